// The main window's procedure: children at creation, painting, the timer
// that starts the setup flow or drives the agent, close and destroy, and
// the private messages of the agent.
#include <windows.h>

#include <exception>
#include <string>

#include "autoupdate/agent_tick.h"
#include "inet/download_abort.h"
#include "setup/stub_setup.h"
#include "setup/temp_folder.h"
#include "stub/agent_messages.h"
#include "stub/main_window_layout.h"
#include "stub/main_window_state_win.h"
#include "stub/private_messages.h"
#include "stub/run_state.h"
#include "stub/runlog.h"
#include "stub/stub_win.h"
#include "util/files.h"
#include "util/kdebug.h"
#include "util/message_pump.h"
#include "util/text_utils.h"

namespace kv {
namespace {

constexpr const char* kProgressClass = "msctls_progress32";

HWND CreateChild(HWND parent, const char* className, DWORD style, const ChildPlace& at) {
    return CreateWindowExA(0, className, "", style, at.x, at.y, at.width, at.height, parent, nullptr,
                           GetModuleHandleA(nullptr), nullptr);
}

void OnCreate(HWND window, const CREATESTRUCTA& cs) {
    const auto* look = static_cast<const MainWindowLook*>(cs.lpCreateParams);
    const MainWindowLayout layout = MainWindowLayoutFor(look != nullptr && ReadsRightToLeft(look->charset));
    MainWindowState& s = MainState();
    s.window = window;
    s.statusLine = CreateChild(window, "Static", WS_CHILD | WS_VISIBLE, layout.status);
    s.mainBar = CreateChild(window, kProgressClass, WS_CHILD | WS_VISIBLE, layout.mainBar);
    s.activityBar = CreateChild(window, kProgressClass, WS_CHILD, layout.activityBar);
    SetTimer(window, MainTimerId, MainTimerPeriodMs, nullptr);
    s.statusFont = FontHandle(CreateFontA(StatusFontHeight, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, "Tahoma"));
    SendMessageA(s.statusLine, WM_SETFONT, WPARAM(s.statusFont.get()), FALSE);
}

void OnPaint(HWND window) {
    const PaintScope paint(window);
    RECT client{};
    GetClientRect(window, &client);
    FillRect(paint.dc(), &client, GetSysColorBrush(COLOR_BTNFACE));
    // Loaded from the module's resources: a shared icon, never destroyed.
    if (const HICON icon = LoadIconA(GetModuleHandleA(nullptr), "MainIcon"))
        DrawIcon(paint.dc(), MainIconX, MainIconY, icon);
}

void OnTimer() {
    if (ThisIs_AutoUpdateProg())
        AgentTimerTick();
    else
        RunSetupFlow();
}

// The children are gone by now; nothing may message their handles again.
void OnFinalDestroy(HWND window) {
    MainWindowState& s = MainState();
    if (s.window != window) return;
    s.window = s.statusLine = s.mainBar = s.activityBar = nullptr;
    s.statusFont.close();
}

LRESULT Dispatch(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CREATE:
            OnCreate(window, *reinterpret_cast<const CREATESTRUCTA*>(lParam));
            break;
        case WM_PAINT:
            OnPaint(window);
            break;
        case WM_TIMER:
            OnTimer();
            break;
        case WM_CLOSE:
            return CloseMainWindow(window, wParam, lParam);
        case WM_DESTROY:
            TraceLine("- wm_Destroy -");
            DestroyMainWindow();
            break;
        case WM_NCDESTROY:
            OnFinalDestroy(window);
            break;
        case WM_QUIT:
            TraceLine("- wm_Quit -");
            DestroyMainWindow();
            break;
        case wm_ShutDown:
            OnShutDownMessage(wParam, lParam);
            break;
        case wm_LocalMsg:
            OnLocalMessage(wParam, lParam);
            break;
        case wm_AgentMsg:
            return OnAgentMessage(wParam, lParam);
        default:
            // Non-zero only while the unpacker asks for a further disk.
            if (message != 0 && message == AutoPlayCancelMessage()) return 1;
            break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

MainWindowState& MainState() {
    static MainWindowState state;
    return state;
}

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    // Nothing may unwind through the system's dispatcher.
    try {
        return Dispatch(window, message, wParam, lParam);
    } catch (const std::exception& e) {
        TraceException(e, "MainWindowProc", std::to_string(message));
    } catch (...) {
        TraceLine("MainWindowProc: unknown exception, message " + std::to_string(message));
    }
    return 0;
}

LRESULT CloseMainWindow(HWND window, WPARAM wParam, LPARAM lParam) {
    LogLine(".. CloseMainWindow() - Start");
    if (!DownloadAbortFlag()) {
        // The window stays: a running transfer stops at its next chunk.
        SetDownloadAbortFlag();
    } else {
        DefWindowProcA(window, WM_CLOSE, wParam, lParam);
    }
    LogLine(".. CloseMainWindow() - End");
    return 0;
}

void DestroyMainWindow() {
    LogLine(".. DestroyMainWindow() - Start");
    SetDownloadAbortFlag();
    const std::string& folder = KeptSetupTempFolder();
    if (!folder.empty()) DeleteTree(folder, false);
    PostQuitMessage(0);
    MainState().loopEnded = true;
    LogLine(".. DestroyMainWindow() - End");
}

}  // namespace kv
