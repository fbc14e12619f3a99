// The message pump and the pumping wait against a real window of this
// thread, AutoPlay cancelling, and the developer switch read by a fresh
// process.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fresh_process.h"
#include "harness/harness.h"
#include "util/message_pump.h"
#include "util/sysinfo.h"

namespace {

using namespace kv::test;

constexpr UINT kProbe = WM_APP + 7;

// A hidden window that counts what reaches its procedure.
class CountingWindow {
public:
    CountingWindow() {
        WNDCLASSA wc{};
        wc.lpfnWndProc = &Proc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "kvPumpTestWindow";
        RegisterClassA(&wc);  // a second registration fails harmlessly
        hwnd_ = CreateWindowExA(0, wc.lpszClassName, "", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr,
                                wc.hInstance, nullptr);
        SetWindowLongPtrA(hwnd_, GWLP_USERDATA, LONG_PTR(this));
        Drain();
    }
    ~CountingWindow() {
        DestroyWindow(hwnd_);
        Drain();
    }
    CountingWindow(const CountingWindow&) = delete;
    CountingWindow& operator=(const CountingWindow&) = delete;

    HWND hwnd() const { return hwnd_; }
    int timers = 0;
    int probes = 0;
    int quits = 0;
    std::string chars;

private:
    // Whatever creation left in the queue, so each test starts empty.
    static void Drain() {
        MSG m;
        while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
            if (m.message != WM_QUIT) DispatchMessageA(&m);
        }
    }
    static LRESULT CALLBACK Proc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
        auto* self = reinterpret_cast<CountingWindow*>(GetWindowLongPtrA(h, GWLP_USERDATA));
        if (self != nullptr) {
            switch (msg) {
            case WM_TIMER: ++self->timers; return 0;
            case kProbe: ++self->probes; return 0;
            case WM_QUIT: ++self->quits; return 0;
            case WM_CHAR: self->chars += char(wp); return 0;
            default: break;
            }
        }
        return DefWindowProcA(h, msg, wp, lp);
    }
    HWND hwnd_ = nullptr;
};

TEST(MessagePump, TimerFiresDuringAOneSecondWait) {
    CountingWindow w;
    ASSERT_NE(w.hwnd(), nullptr);
    ASSERT_NE(SetTimer(w.hwnd(), 1, 100, nullptr), 0u);
    const int64_t start = kv::MillisecondsNow();
    kv::WaitMs(0, 1000);
    const int64_t elapsed = kv::MillisecondsNow() - start;
    KillTimer(w.hwnd(), 1);
    EXPECT_GE(w.timers, 1);
    EXPECT_GE(elapsed, 1000);
}

TEST(MessagePump, ZeroWaitStillDispatchesOnce) {
    CountingWindow w;
    ASSERT_TRUE(PostMessageA(w.hwnd(), kProbe, 0, 0));
    ASSERT_TRUE(PostMessageA(w.hwnd(), kProbe, 0, 0));
    kv::WaitMs(0, 0);
    EXPECT_EQ(w.probes, 2);
}

TEST(MessagePump, KeysAreTranslatedBeforeDispatch) {
    CountingWindow w;
    ASSERT_TRUE(PostMessageA(w.hwnd(), WM_KEYDOWN, 'K', 1));
    kv::ProcessMessages(0);
    // The character message made by the translation is dispatched in the
    // same call.
    EXPECT_EQ(w.chars, "k");
}

TEST(MessagePump, AThreadQuitIsKeptForTheOwningLoop) {
    CountingWindow w;
    ASSERT_TRUE(PostMessageA(w.hwnd(), kProbe, 0, 0));
    PostQuitMessage(7);
    kv::ProcessMessages(0);
    EXPECT_EQ(w.probes, 1);
    MSG m{};
    ASSERT_TRUE(PeekMessageA(&m, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(m.wParam, 7u);
    EXPECT_EQ(m.hwnd, nullptr);
}

TEST(MessagePump, AQuitPostedToAWindowReachesItsProcedure) {
    CountingWindow w;
    ASSERT_TRUE(PostMessageA(w.hwnd(), WM_QUIT, 15, 255));
    kv::ProcessMessages(0);
    EXPECT_EQ(w.quits, 1);
    MSG m{};
    EXPECT_FALSE(PeekMessageA(&m, nullptr, 0, 0, PM_NOREMOVE));
}

TEST(AutoPlay, IdentifierOnlyWhileSwitchedOn) {
    EXPECT_EQ(kv::AutoPlayCancelMessage(), 0u);
    kv::SetAutoPlayCancel(true);
    EXPECT_EQ(kv::AutoPlayCancelMessage(), RegisterWindowMessageA("QueryCancelAutoPlay"));
    EXPECT_GE(kv::AutoPlayCancelMessage(), 0xC000u);
    kv::SetAutoPlayCancel(false);
    EXPECT_EQ(kv::AutoPlayCancelMessage(), 0u);
}

// The developer switch is read once per process, so each value is checked
// in a fresh process that runs only the check below.
constexpr const char* kExpectVariable = "KV_EXPECT_DEVELOPER_MODE";

TEST(DeveloperModeFresh, ReadOnceFromTheEnvironment) {
    if (!InFreshRun("DeveloperModeFresh")) GTEST_SKIP() << "runs in a fresh process of DeveloperMode";
    char expected[8] = {};
    ASSERT_GT(GetEnvironmentVariableA(kExpectVariable, expected, sizeof expected), 0u);
    EXPECT_EQ(kv::DeveloperMode(), expected[0] == '1');
    // A change after the first call is not seen.
    SetEnvironmentVariableA(kv::DeveloperModeVariable, expected[0] == '1' ? "0" : kv::DeveloperModeCode);
    EXPECT_EQ(kv::DeveloperMode(), expected[0] == '1');
}

TEST(DeveloperMode, OnlyTheCodeSwitchesItOn) {
    struct Case {
        const char* value;  // null: not set
        const char* expected;
    };
    const Case cases[] = {{kv::DeveloperModeCode, "1"}, {"000", "0"}, {"", "0"}, {nullptr, "0"}};
    for (const Case& c : cases) {
        SetEnvironmentVariableA(kv::DeveloperModeVariable, c.value);
        SetEnvironmentVariableA(kExpectVariable, c.expected);
        EXPECT_TRUE(RunSuiteInFreshProcess("DeveloperModeFresh", 60000)) << (c.value ? c.value : "(unset)");
        SetEnvironmentVariableA(kExpectVariable, nullptr);
        SetEnvironmentVariableA(kv::DeveloperModeVariable, nullptr);
    }
}

}  // namespace
