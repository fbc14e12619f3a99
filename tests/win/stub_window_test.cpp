// The stub main window in this process, made by the same code as the
// stub's: its size, children and fonts in both layouts, the progress
// callback, the status line, closing, and one whole run of the loop.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "dialogs/msgbox_font.h"
#include "harness/harness.h"
#include "harness/ui_automation.h"
#include "inet/download_abort.h"
#include "package/slangid.h"
#include "setup/temp_folder.h"
#include "stub/agent_state.h"
#include "stub/cmdline.h"
#include "stub/progress.h"
#include "stub/stub_win.h"
#include "util/dc_handle.h"
#include "util/message_pump.h"
#include "util/window_helpers.h"

namespace kv::test {
namespace {

constexpr const char* kFreshChildVariable = "KV_STUBWIN_FRESH_CHILD";
constexpr unsigned kRunDeadlineMs = 60000;

// Removes every quit message this thread has queued: destroying the main
// window posts one, and a stray one would end the next test's loop.
void DrainQuit() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
    }
}

LOGFONTA FontOf(HWND window) {
    LOGFONTA lf{};
    const auto font = reinterpret_cast<HFONT>(SendMessageA(window, WM_GETFONT, 0, 0));
    if (font != nullptr) GetObjectA(font, sizeof(lf), &lf);
    return lf;
}

// A child's place in its parent's client area.
RECT ClientPlace(HWND child) {
    const WindowFacts facts = ReadWindowFacts(child);
    RECT r = facts.window;
    MapWindowPoints(HWND_DESKTOP, GetParent(child), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

ProgressState Progress(HWND bar) {
    ProgressState state;
    EXPECT_TRUE(ReadProgress(bar, state));
    return state;
}

// The main window made through CreateMainWindow, destroyed at the end.
class MainWindowTest : public ::testing::Test {
protected:
    void TearDown() override {
        if (const HWND window = MainWindowHandle()) DestroyWindow(window);
        DrainQuit();
        ClearDownloadAbortFlag();
        SetKeptSetupTempFolder(std::string());
    }

    HWND Create(const MainWindowLook& look) {
        const HWND window = CreateMainWindow("KvStubWindowTest", look);
        EXPECT_NE(window, nullptr);
        EXPECT_EQ(window, MainWindowHandle());
        return window;
    }
};

struct LayoutCase {
    int charset;
    int statusX;
    int activityX;
};

TEST_F(MainWindowTest, WindowAndChildrenAsLaidOutForEachCharacterSet) {
    const LayoutCase cases[] = {{0, 70, 416}, {1, 70, 416}, {177, 122, 70}, {178, 122, 70}, {204, 70, 416}};
    for (const LayoutCase& c : cases) {
        SCOPED_TRACE("charset " + std::to_string(c.charset));
        MainWindowLook look;
        look.caption = "Caption " + std::to_string(c.charset);
        look.charset = c.charset;
        const HWND window = Create(look);
        ASSERT_NE(window, nullptr);

        const WindowFacts facts = ReadWindowFacts(window);
        EXPECT_EQ(Width(facts.window), 492);
        EXPECT_EQ(Height(facts.window), 110);
        const WindowOrigin centred = CenterInWorkArea(492, 110);
        EXPECT_EQ(facts.window.left, centred.left);
        EXPECT_EQ(facts.window.top, centred.top);
        EXPECT_EQ(facts.style & (WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN),
                  LONG(WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN));
        EXPECT_FALSE(facts.style & (WS_VISIBLE | WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX));
        EXPECT_EQ(facts.owner, nullptr);
        EXPECT_EQ(ControlText(window), look.caption);

        struct Child {
            HWND window;
            const char* className;
            RECT place;
            bool visible;
        };
        const Child children[] = {
            {StatusLineHandle(), "Static", {c.statusX, 20, c.statusX + 340, 38}, true},
            {MainProgressBarHandle(), "msctls_progress32", {70, 38, 462, 51}, true},
            {ActivityBarHandle(), "msctls_progress32", {c.activityX, 20, c.activityX + 46, 33}, false},
        };
        for (const Child& child : children) {
            SCOPED_TRACE(child.className);
            ASSERT_NE(child.window, nullptr);
            EXPECT_EQ(GetParent(child.window), window);
            EXPECT_EQ(ClassNameOf(child.window), child.className);
            const RECT r = ClientPlace(child.window);
            EXPECT_EQ(r.left, child.place.left);
            EXPECT_EQ(r.top, child.place.top);
            EXPECT_EQ(r.right, child.place.right);
            EXPECT_EQ(r.bottom, child.place.bottom);
            const LONG style = ReadWindowFacts(child.window).style;
            EXPECT_TRUE(style & WS_CHILD);
            EXPECT_EQ((style & WS_VISIBLE) != 0, child.visible);
        }
        EXPECT_EQ(ControlText(StatusLineHandle()), "");
        const LONG statusStyle = ReadWindowFacts(StatusLineHandle()).style;
        EXPECT_EQ(statusStyle & SS_TYPEMASK, SS_LEFT);
        const LOGFONTA font = FontOf(StatusLineHandle());
        EXPECT_STREQ(font.lfFaceName, "Tahoma");
        EXPECT_EQ(font.lfHeight, -11);
        EXPECT_EQ(font.lfWeight, 0);
        EXPECT_EQ(font.lfCharSet, 0);

        // Timer 1 runs from the creation on.
        EXPECT_TRUE(KillTimer(window, MainTimerId));
        ASSERT_TRUE(DestroyWindow(window));
        EXPECT_EQ(MainWindowHandle(), nullptr);
        DrainQuit();
    }
}

TEST_F(MainWindowTest, ClassHasTheArrowCursorNoBackgroundAndDoubleClicks) {
    const HWND window = Create(MainWindowLook());
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(GetClassLongPtrA(window, GCL_STYLE), ULONG_PTR(CS_DBLCLKS));
    EXPECT_EQ(GetClassLongPtrA(window, GCLP_HBRBACKGROUND), ULONG_PTR(0));
    EXPECT_EQ(GetClassLongPtrA(window, GCLP_HCURSOR), ULONG_PTR(LoadCursorA(nullptr, IDC_ARROW)));
    EXPECT_EQ(GetMenu(window), nullptr);
}

TEST_F(MainWindowTest, SetUpGivesTheBarsTheirRangesAndStepsMoveTheMainBar) {
    ASSERT_NE(Create(MainWindowLook()), nullptr);
    const TProgBarShowProc progress = MainProgress;
    progress(ProgressSetUp, 50, 200, 10, 3, "not shown");
    ProgressState main = Progress(MainProgressBarHandle());
    EXPECT_EQ(main.low, 0);  // the range low argument is not used
    EXPECT_EQ(main.high, 200);
    EXPECT_EQ(main.position, 10);
    ProgressState activity = Progress(ActivityBarHandle());
    EXPECT_EQ(activity.low, 0);
    EXPECT_EQ(activity.high, 5);
    EXPECT_EQ(activity.position, 0);

    progress(ProgressStep, 0, 0, 0, 0, "");
    progress(ProgressStep, 0, 0, 0, 0, "");
    EXPECT_EQ(Progress(MainProgressBarHandle()).position, 16);
    EXPECT_EQ(SendMessageA(ActivityBarHandle(), PBM_GETSTEP, 0, 0), 1);

    // Any other kind leaves both bars alone.
    const int before = Progress(ActivityBarHandle()).position;
    progress(2, 0, 100, 1, 1, "");
    progress(-1, 0, 100, 1, 1, "");
    main = Progress(MainProgressBarHandle());
    EXPECT_EQ(main.high, 200);
    EXPECT_EQ(main.position, 16);
    EXPECT_EQ(Progress(ActivityBarHandle()).position, before);
    // The text is not shown anywhere.
    EXPECT_EQ(ControlText(StatusLineHandle()), "");
}

TEST_F(MainWindowTest, RangeHighIsCutToItsLow16Bits) {
    ASSERT_NE(Create(MainWindowLook()), nullptr);
    const struct {
        int32_t high;
        int expected;
    } cases[] = {{70000, 4464}, {65535, 65535}, {65536, 0}, {131077, 5}, {10, 10}};
    for (const auto& c : cases) {
        MainProgress(ProgressSetUp, 0, c.high, 0, 1, "");
        const ProgressState main = Progress(MainProgressBarHandle());
        EXPECT_EQ(main.low, 0) << c.high;
        EXPECT_EQ(main.high, c.expected) << c.high;
    }
}

struct StatusCase {
    int charset;
    bool rightToLeft;
};

TEST_F(MainWindowTest, SetStatusRestylesForRightToLeftAndSetsFontAndText) {
    ASSERT_NE(Create(MainWindowLook()), nullptr);
    const HWND status = StatusLineHandle();
    // 177 first, then back: the left-to-right style must be put back too.
    const StatusCase cases[] = {{177, true}, {0, false}, {178, true}, {204, false}};
    for (const StatusCase& c : cases) {
        SCOPED_TRACE("charset " + std::to_string(c.charset));
        const std::string text = "Extracting " + std::to_string(c.charset);
        SetMainStatus(text, "Arial", c.charset, 10);
        const WindowFacts facts = ReadWindowFacts(status);
        EXPECT_EQ(facts.exStyle & WS_EX_RTLREADING, c.rightToLeft ? LONG(WS_EX_RTLREADING) : 0);
        EXPECT_EQ(facts.exStyle & ~LONG(WS_EX_RTLREADING), 0);
        EXPECT_EQ(facts.style & SS_TYPEMASK, c.rightToLeft ? SS_RIGHT : SS_LEFT);
        EXPECT_TRUE(facts.style & WS_VISIBLE);
        EXPECT_EQ(ControlText(status), text);
        const LOGFONTA font = FontOf(status);
        EXPECT_STREQ(font.lfFaceName, "Arial");
        EXPECT_EQ(font.lfCharSet, c.charset);
        EXPECT_EQ(font.lfHeight, -PointsToPixels(10));
        EXPECT_EQ(font.lfWeight, 0);
        EXPECT_EQ(font.lfItalic, 0);
    }
}

TEST_F(MainWindowTest, ShowAndHideTheWindowAndShowTheActivityBar) {
    const HWND window = Create(MainWindowLook());
    ASSERT_NE(window, nullptr);
    ShowMainWindow();
    EXPECT_TRUE(IsWindowVisible(window));
    ShowActivityBar();
    EXPECT_TRUE(IsWindowVisible(ActivityBarHandle()));
    HideMainWindow();
    EXPECT_FALSE(IsWindowVisible(window));
}

TEST_F(MainWindowTest, FirstCloseOnlyAsksTransfersToStopSecondDestroysAndRemovesTheTempFolder) {
    TempDir dir;
    ASSERT_TRUE(dir.Valid());
    const std::string temp = dir.File("SETUP_12345");
    ASSERT_TRUE(CreateDirectoryA(temp.c_str(), nullptr));
    ASSERT_TRUE(WriteWholeFile(temp + "\\engine.exe", "x"));
    SetKeptSetupTempFolder(temp);

    const HWND window = Create(MainWindowLook());
    ASSERT_NE(window, nullptr);
    ClearDownloadAbortFlag();
    EXPECT_EQ(SendMessageA(window, WM_CLOSE, 0, 0), 0);
    EXPECT_TRUE(IsWindow(window));
    EXPECT_TRUE(DownloadAbortFlag());
    EXPECT_TRUE(FileExists(temp + "\\engine.exe"));
    MSG msg;
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE));

    SendMessageA(window, WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(MainWindowHandle(), nullptr);
    EXPECT_EQ(GetFileAttributesA(temp.c_str()), INVALID_FILE_ATTRIBUTES);
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(msg.wParam, 0u);
}

TEST_F(MainWindowTest, CloseWithTheAbortFlagAlreadySetDestroysAtOnce) {
    const HWND window = Create(MainWindowLook());
    ASSERT_NE(window, nullptr);
    SetDownloadAbortFlag();
    SendMessageA(window, WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindow(window));
    MSG msg;
    EXPECT_TRUE(PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
}

TEST_F(MainWindowTest, DestroyingTheWindowSetsTheAbortFlag) {
    const HWND window = Create(MainWindowLook());
    ASSERT_NE(window, nullptr);
    ClearDownloadAbortFlag();
    ASSERT_TRUE(DestroyWindow(window));
    EXPECT_TRUE(DownloadAbortFlag());
}

TEST_F(MainWindowTest, AgentMessagesAreAnsweredWithoutDefaultProcessing) {
    const HWND window = Create(MainWindowLook());
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(SendMessageA(window, 1125, 6, 0), 0);
    EXPECT_EQ(SendMessageA(window, 1123, 5, 0), 0);
    EXPECT_EQ(SendMessageA(window, 1124, 0, 0), 0);
    EXPECT_TRUE(IsWindow(window));
}

TEST_F(MainWindowTest, AnswersQueryCancelAutoPlayOnlyWhileSwitchedOn) {
    const HWND window = Create(MainWindowLook());
    ASSERT_NE(window, nullptr);
    const UINT query = RegisterWindowMessageA("QueryCancelAutoPlay");
    ASSERT_NE(query, 0u);
    // The switch is process-wide; an unpacking test may have left it on.
    SetAutoPlayCancel(false);
    EXPECT_EQ(SendMessageA(window, query, 0, 0), 0);
    SetAutoPlayCancel(true);
    EXPECT_EQ(SendMessageA(window, query, 0, 0), 1);
    SetAutoPlayCancel(false);
    EXPECT_EQ(SendMessageA(window, query, 0, 0), 0);
}

TEST_F(MainWindowTest, AQuitReachingTheProcedureEndsTheLoopAndRemovesTheTempFolder) {
    TempDir dir;
    ASSERT_TRUE(dir.Valid());
    const std::string temp = dir.File("SETUP_7");
    ASSERT_TRUE(CreateDirectoryA(temp.c_str(), nullptr));
    SetKeptSetupTempFolder(temp);
    const HWND window = Create(MainWindowLook());
    ASSERT_NE(window, nullptr);
    ClearDownloadAbortFlag();
    SendMessageA(window, WM_QUIT, 0, 0);
    EXPECT_TRUE(DownloadAbortFlag());
    EXPECT_EQ(GetFileAttributesA(temp.c_str()), INVALID_FILE_ATTRIBUTES);
    MSG msg;
    EXPECT_TRUE(PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    // The window itself stays; the loop ends on the quit message.
    EXPECT_TRUE(IsWindow(window));
}

TEST_F(MainWindowTest, PaintingFillsTheClientAreaWithTheButtonFace) {
    const HWND window = Create(MainWindowLook());
    ASSERT_NE(window, nullptr);
    ShowMainWindow();
    UpdateWindow(window);
    const WindowFacts facts = ReadWindowFacts(window);
    // Corners and the gaps between the children; not the icon's place.
    const POINT probes[] = {{2, 2}, {facts.client.right - 3, 2}, {2, facts.client.bottom - 3},
                            {facts.client.right - 3, facts.client.bottom - 3}, {66, 30}, {240, 60}};
    const ScreenDC dc(window);
    ASSERT_TRUE(dc);
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    for (const POINT& p : probes) {
        COLORREF seen = CLR_INVALID;
        EXPECT_TRUE(WaitUntil(5000, [&] { return (seen = GetPixel(dc.get(), p.x, p.y)) == face; }))
            << p.x << "," << p.y << " is " << std::hex << seen;
    }
}

// Restores the process-wide state that a whole run of the window touches.
class ProcessStateGuard {
public:
    ProcessStateGuard()
        : raw_(RawCommandLine()), path_(ProgramPath()), timerCount_(AgentTimerCount()), font_(MessageBoxFont()) {}
    ~ProcessStateGuard() {
        SetCommandLineSource(raw_, path_);
        SetAgentTimerCount(timerCount_);
        SetMessageBoxFont(font_.name, font_.points, font_.charset);
        SetNotifyListener(0, 0);
        ResetChosenLanguageRecordForTests();
        ClearDownloadAbortFlag();
    }

private:
    std::string raw_, path_;
    int32_t timerCount_;
    MsgBoxFontSettings font_;
};

std::string ThisExePath() {
    char path[MAX_PATH] = {};
    const DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
    return std::string(path, n);
}

TEST(MainWindowSleepSwitch, SetsTheAgentTimerCountToMinusItsValue) {
    const ProcessStateGuard guard;
    const struct {
        const char* args;
        int32_t expected;
    } cases[] = {{"/SleepX=0", 0}, {"/SleepX=7", -7}, {"/Q /sleepx = 12 /X", -12},
                 {"/SleepX=-2", InitialAgentTimerCount}, {"/SleepX=abc", InitialAgentTimerCount},
                 {"", InitialAgentTimerCount}};
    const std::string exe = ThisExePath();
    for (const auto& c : cases) {
        SetAgentTimerCount(InitialAgentTimerCount);
        SetCommandLineSource("\"" + exe + "\" " + c.args, exe);
        ApplySleepSwitch();
        EXPECT_EQ(AgentTimerCount(), c.expected) << c.args;
    }
}

// A message-only window that collects what is posted to it.
class Listener {
public:
    Listener() {
        WNDCLASSA wc{};
        wc.lpfnWndProc = DefWindowProcA;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "KvStubWindowListener";
        RegisterClassA(&wc);
        window_ = CreateWindowExA(0, wc.lpszClassName, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance,
                                  nullptr);
    }
    ~Listener() {
        if (window_) DestroyWindow(window_);
    }
    HWND get() const { return window_; }

private:
    HWND window_ = nullptr;
};

// If the first tick never came, this ends the loop so that the test fails
// instead of hanging.
bool g_guardFired = false;
void CALLBACK EndStuckLoop(HWND, UINT, UINT_PTR, DWORD) {
    g_guardFired = true;
    PostQuitMessage(99);
}

TEST(MainWindowRun, FirstTickEndsTheLoopAndTheTeardownNotifiesTheListener) {
    const ProcessStateGuard guard;
    const std::string exe = ThisExePath();
    // The first tick runs the setup flow over this program, which carries
    // no package; /hide keeps the window hidden through it.
    SetCommandLineSource("\"" + exe + "\" /SleepX=4 /hide", exe);
    SetAgentTimerCount(InitialAgentTimerCount);
    ClearDownloadAbortFlag();
    const Listener listener;
    ASSERT_NE(listener.get(), nullptr);
    constexpr UINT kListenerMessage = WM_APP + 7;
    SetNotifyListener(reinterpret_cast<uintptr_t>(listener.get()), kListenerMessage);

    g_guardFired = false;
    const UINT_PTR guardTimer = SetTimer(nullptr, 0, kRunDeadlineMs, EndStuckLoop);
    RunMainWindow();
    KillTimer(nullptr, guardTimer);
    ASSERT_FALSE(g_guardFired) << "the first tick did not end the loop";

    EXPECT_EQ(AgentTimerCount(), -4);
    EXPECT_TRUE(DownloadAbortFlag());
    MSG msg;
    ASSERT_TRUE(PeekMessageA(&msg, listener.get(), kListenerMessage, kListenerMessage, PM_REMOVE));
    EXPECT_EQ(msg.wParam, 43u);
    EXPECT_EQ(msg.lParam, 0);

    // The window is left to the process's end: hidden, of the class named
    // after the program, with the default caption, its timer stopped.
    const HWND window = MainWindowHandle();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(ClassNameOf(window), exe);
    EXPECT_EQ(ControlText(window), DefaultMainCaption);
    EXPECT_FALSE(IsWindowVisible(window));
    EXPECT_FALSE(KillTimer(window, MainTimerId));
    DestroyWindow(window);
    DrainQuit();
}

// The activity count lives for the process, so its sequence from the start
// is only seen in a fresh one: the test runs itself again in a child.
TEST(MainWindowFreshProcess, SevenStepsLeaveTheActivityBarAtOneAndASetUpDoesNotResetTheCount) {
    char flag[8] = {};
    if (GetEnvironmentVariableA(kFreshChildVariable, flag, sizeof(flag)) == 0) {
        SetEnvironmentVariableA(kFreshChildVariable, "1");
        const std::string command = QuoteArg(ThisExePath()) +
                                    " --gtest_filter=MainWindowFreshProcess.*";
        uint32_t code = 1;
        const bool ended = RunProcess(command, std::string(), kRunDeadlineMs, code);
        SetEnvironmentVariableA(kFreshChildVariable, nullptr);
        ASSERT_TRUE(ended);
        EXPECT_EQ(code, 0u) << "the test failed in the fresh process";
        return;
    }

    const HWND window = CreateMainWindow("KvStubWindowFresh", MainWindowLook());
    ASSERT_NE(window, nullptr);
    MainProgress(ProgressSetUp, 0, 100, 0, 1, "");
    std::vector<int> seen;
    for (int i = 0; i < 7; ++i) {
        MainProgress(ProgressStep, 0, 0, 0, 0, "");
        seen.push_back(Progress(ActivityBarHandle()).position);
    }
    EXPECT_EQ(seen, (std::vector<int>{1, 2, 3, 4, 5, 0, 1}));
    EXPECT_EQ(Progress(MainProgressBarHandle()).position, 7);

    // A new set-up puts the bar at 0; the count goes on from 1.
    MainProgress(ProgressSetUp, 0, 100, 0, 1, "");
    EXPECT_EQ(Progress(ActivityBarHandle()).position, 0);
    MainProgress(ProgressStep, 0, 0, 0, 0, "");
    EXPECT_EQ(Progress(ActivityBarHandle()).position, 2);
    DestroyWindow(window);
    DrainQuit();
}

}  // namespace
}  // namespace kv::test
