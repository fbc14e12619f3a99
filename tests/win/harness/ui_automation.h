#pragma once
// Driving the program's windows from a test as a user would: find a
// window, read what it shows, press its buttons and keys. Every wait has
// a deadline. Works on windows of another process too, except where a
// function says "same process" (the message carries a pointer).
#include <windows.h>
#include <richedit.h>

#include <functional>
#include <string>
#include <vector>

namespace kv::test {

// ---- Finding windows ------------------------------------------------------

// Top-level windows of the class, of process `processId` when it is not 0.
std::vector<HWND> TopLevelWindows(const std::string& className, DWORD processId = 0);
// The first such window that exists by the deadline; null when none does.
HWND WaitForTopLevelWindow(const std::string& className, unsigned deadline_ms, DWORD processId = 0);
// True once the window no longer exists, by the deadline.
bool WaitForWindowGone(HWND window, unsigned deadline_ms);
// Polls the condition (every 10 ms) until it holds or the deadline passes.
bool WaitUntil(unsigned deadline_ms, const std::function<bool()>& condition);
// The first descendant of the class (case ignored); null when none.
HWND FindChildOfClass(HWND parent, const std::string& className);
std::string ClassNameOf(HWND window);

// Asks every top-level window of the class (and process) to close and
// waits until all are gone. For test teardown: no test leaves a box open.
bool CloseTopLevelWindows(const std::string& className, DWORD processId, unsigned deadline_ms);

// ---- Reading --------------------------------------------------------------

// SendMessage that gives up after 10 s (a hung window fails the test
// instead of hanging it); false then. Every read below goes through it.
bool SendWithin(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);

// The text of a window or control (WM_GETTEXT): a static, an edit or a
// Rich Edit control (line breaks as the control stores them).
std::string ControlText(HWND control);

struct WindowFacts {
    RECT window{};        // screen coordinates
    RECT client{};        // client coordinates (left and top 0)
    POINT clientOrigin{};  // the client area's top left in screen coordinates
    LONG style = 0;
    LONG exStyle = 0;
    HWND owner = nullptr;
    bool enabled = false;
    bool visible = false;
};
WindowFacts ReadWindowFacts(HWND window);
int Width(const RECT& r);
int Height(const RECT& r);

struct ButtonInfo {
    HWND window = nullptr;
    std::string caption;
    RECT client{};  // in the parent's client coordinates
    RECT screen{};  // in screen coordinates
    LONG style = 0;
    bool isDefault = false;  // BS_DEFPUSHBUTTON
};
// The "Button" children of the window (direct children only), left to
// right.
std::vector<ButtonInfo> ListButtons(HWND window);

// The window that has the keyboard focus in the thread of `window`.
HWND FocusOf(HWND window);

// Range and position of a progress bar (PBM_GETRANGE, PBM_GETPOS).
struct ProgressState {
    int low = 0;
    int high = 0;
    int position = 0;
};
bool ReadProgress(HWND bar, ProgressState& state);

// The character format of the characters start..end-1 (0-based) of a Rich
// Edit control, read by selecting them; the selection is put back. Same
// process only.
bool RichEditCharFormat(HWND edit, int start, int end, CHARFORMATA& format);

// ---- Acting ---------------------------------------------------------------

// A left click at the centre of the control, as the mouse delivers it
// (button down and up posted in client coordinates): the control reacts
// as to a real click without needing the foreground.
bool ClickButton(HWND control);
// A key press (down and up) at the focused window of the window's thread
// (the window itself when nothing has the focus).
bool PressKey(HWND window, UINT virtualKey);
// Alt with a character key, as the system delivers it after translation
// (WM_SYSCHAR at the focused window).
bool PressAltChar(HWND window, char character);

}  // namespace kv::test
