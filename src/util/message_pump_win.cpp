#include <windows.h>

#include <exception>
#include <vector>

#include "util/message_pump.h"
#include "util/sysinfo.h"
#include "util/text_utils.h"

namespace kv {
namespace {

UINT g_autoPlayMessage = 0;

enum class Switch { Unknown, Off, On };
Switch g_developerMode = Switch::Unknown;

void DispatchWaiting() {
    MSG msg{};
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT && msg.hwnd == nullptr) {
            PostQuitMessage(int(msg.wParam));
            return;
        }
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

std::string EnvironmentValue(const char* name) {
    const DWORD need = GetEnvironmentVariableA(name, nullptr, 0);
    if (need == 0) return std::string();
    std::vector<char> buf(need + 1);
    const DWORD n = GetEnvironmentVariableA(name, buf.data(), DWORD(buf.size()));
    return (n > 0 && n < buf.size()) ? std::string(buf.data(), n) : std::string();
}

}  // namespace

void ProcessMessages(int64_t sleepMs) {
    try {
        DispatchWaiting();
    } catch (const std::exception& e) {
        TraceException(e, "YieldX", "");
    }
    Sleep(sleepMs <= 0 ? 0 : DWORD(sleepMs > 0x7FFFFFFF ? 0x7FFFFFFF : sleepMs));
}

void WaitMs(int64_t stepMs, int64_t durationMs) {
    RunTimedWait(stepMs, durationMs, [] { return MillisecondsNow(); }, [](int64_t step) { ProcessMessages(step); });
}

void SetAutoPlayCancel(bool on) { g_autoPlayMessage = on ? RegisterWindowMessageA("QueryCancelAutoPlay") : 0; }

unsigned AutoPlayCancelMessage() { return g_autoPlayMessage; }

bool DeveloperMode() {
    if (g_developerMode == Switch::Unknown) {
        g_developerMode = IsDeveloperModeValue(EnvironmentValue(DeveloperModeVariable)) ? Switch::On : Switch::Off;
    }
    return g_developerMode == Switch::On;
}

}  // namespace kv
