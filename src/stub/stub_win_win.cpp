// The main window's life: class, creation, loop and teardown.
#include "stub/stub_win.h"

#include <commctrl.h>

#include "dialogs/msgbox_font.h"
#include "inet/download_abort.h"
#include "inet/wininet_module.h"
#include "package/packx.h"
#include "stub/agent_notify.h"
#include "stub/agent_state.h"
#include "stub/cmdline.h"
#include "stub/main_window_layout.h"
#include "stub/main_window_state_win.h"
#include "stub/run_mode.h"
#include "stub/run_state.h"
#include "util/system_library.h"
#include "util/window_helpers.h"

namespace kv {
namespace {

// comctl32 is not a known DLL on every system, so it is loaded from the
// system folder at run time rather than imported. The manifest still
// brings version 6 of the progress bar class: the window class is
// redirected to it when the bars are created.
void InitCommonControlsLibrary() {
    using InitFn = BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*);
    const auto init = reinterpret_cast<InitFn>(
        reinterpret_cast<void*>(LoadProcedure("comctl32.dll", "InitCommonControlsEx")));
    if (init == nullptr) return;
    INITCOMMONCONTROLSEX icc{};
    icc.dwSize = sizeof(icc);
    icc.dwICC = ICC_PROGRESS_CLASS;
    init(&icc);
}

bool RegisterMainClass(const std::string& className, HINSTANCE instance) {
    WNDCLASSA wc{};
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = MainWindowProc;
    wc.hInstance = instance;
    wc.hIcon = LoadIconA(instance, "MainIcon");
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.lpszClassName = className.c_str();
    // A second window in the same process (tests) finds the class there.
    return RegisterClassA(&wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

}  // namespace

void ApplySleepSwitch() {
    const int64_t sleep = GetSwitchInt64("/SleepX=", -1);
    if (sleep >= 0) SetAgentTimerCount(int32_t(-sleep));
}

MainWindowLook MainWindowLookOf(const TGFileInfo& package) {
    MainWindowLook look;
    look.caption = package.LangText("s0", DefaultMainCaption);
    look.charset = package.LangCharset();
    return look;
}

HWND CreateMainWindow(const std::string& className, const MainWindowLook& look) {
    const HINSTANCE instance = GetModuleHandleA(nullptr);
    if (!RegisterMainClass(className, instance)) return nullptr;
    MainState().loopEnded = false;
    const WindowOrigin at = CenterInWorkArea(MainWindowWidth, MainWindowHeight);
    // The creation message builds the children from the look.
    MainWindowLook params = look;
    return CreateWindowExA(0, className.c_str(), look.caption.c_str(), WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN,
                           at.left, at.top, MainWindowWidth, MainWindowHeight, nullptr, nullptr, instance, &params);
}

void RunMainLoop() {
    MSG msg;
    for (;;) {
        const BOOL got = GetMessageA(&msg, nullptr, 0, 0);
        if (got == 0 || got == -1) break;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
        if (MainState().loopEnded) break;
    }
}

void RunMainWindow() {
    ApplySleepSwitch();
    InitCommonControlsLibrary();
    const TGFileInfo& package = RunPackage();
    const HWND window =
        CreateMainWindow(WindowClassNameFor(ThisIs_AutoUpdateProg(), ProgramPath()), MainWindowLookOf(package));
    SetMessageBoxFont(package.LangFontName(), package.LangFontSize(), package.LangCharset());
    if (window != nullptr) {
        ShowWindow(window, SW_HIDE);
        RunMainLoop();
        // The window itself is left to the process's end.
        KillTimer(window, MainTimerId);
    }
    SetDownloadAbortFlag();
    UnloadWinINet();
    PostNotify(NotifyLoopEnded, 0);
}

}  // namespace kv
