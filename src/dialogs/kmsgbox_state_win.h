#pragma once
// Inside the message box: the state of one open box, shared by the code
// that opens it, its window procedure and the keyboard filter of its
// modal loop. The window finds its state through GWLP_USERDATA, so a box
// opened while another is open (from a timer of another window) keeps
// its own.
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "dialogs/msgbox_buttons.h"
#include "dialogs/msgbox_layout.h"
#include "util/gdi_handle.h"

namespace kv {

constexpr UINT_PTR kMsgBoxTimeoutTimer = 1;
extern const char kMsgBoxClassName[];  // "KMsgBox"

struct MsgBoxState {
    int result = kMsgBoxNone;
    uint32_t timeoutMs = 0;
    std::vector<MsgBoxButton> buttons;  // what the style and captions ask for
    HWND slots[3] = {};                 // the buttons this box created
    HWND box = nullptr;
    HWND text = nullptr;
    HICON icon = nullptr;
    FontHandle font;
    HWND previousActive = nullptr;
    bool previousReenabled = false;
    BoxExtent requested;  // the text control's last resize request
    bool done = false;
};

LRESULT CALLBACK MsgBoxWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Sets the result to the button's code and asks the box to close.
void ChooseMsgBoxButton(MsgBoxState& state, HWND button);

// Gives the previously active window back its input (the close path, and
// the end of a box destroyed without closing).
void RestorePreviousWindow(MsgBoxState& state);

// The keyboard filter of the modal loop: true when it chose a button and
// the message must not be dispatched.
bool FilterMsgBoxKey(MsgBoxState& state, const MSG& message);

}  // namespace kv
