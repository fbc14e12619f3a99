// The status line and the window's visibility, as the setup flow drives them.
#include <windows.h>

#include "stub/main_window_layout.h"
#include "stub/main_window_state_win.h"
#include "stub/stub_win.h"
#include "util/window_helpers.h"

namespace kv {

void SetMainStatus(const std::string& text, const std::string& fontName, int charset, int pointSize) {
    MainWindowState& s = MainState();
    const HWND status = s.statusLine;
    if (ReadsRightToLeft(charset)) {
        SetWindowLongA(status, GWL_EXSTYLE, WS_EX_RTLREADING);
        SetWindowLongA(status, GWL_STYLE, WS_CHILD | WS_VISIBLE | SS_RIGHT);
    } else {
        SetWindowLongA(status, GWL_EXSTYLE, 0);
        SetWindowLongA(status, GWL_STYLE, WS_CHILD | WS_VISIBLE);
    }
    FontHandle font(CreateFontA(-PointsToPixels(pointSize), 0, 0, 0, 0, 0, 0, 0, DWORD(charset), 0, 0, 0, 0,
                                fontName.c_str()));
    SendMessageA(status, WM_SETFONT, WPARAM(font.get()), FALSE);
    // The previous font goes only once the control no longer uses it.
    s.statusFont = std::move(font);
    SetWindowTextA(status, text.c_str());
}

void ShowMainWindow() { ShowWindow(MainState().window, SW_SHOW); }
void HideMainWindow() { ShowWindow(MainState().window, SW_HIDE); }
void ShowActivityBar() { ShowWindow(MainState().activityBar, SW_SHOW); }

HWND MainWindowHandle() { return MainState().window; }
HWND StatusLineHandle() { return MainState().statusLine; }
HWND MainProgressBarHandle() { return MainState().mainBar; }
HWND ActivityBarHandle() { return MainState().activityBar; }

}  // namespace kv
