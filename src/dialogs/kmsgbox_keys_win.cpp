#include "dialogs/kmsgbox_state_win.h"

namespace kv {
namespace {

int ButtonCount(const MsgBoxState& state) {
    int n = 0;
    while (n < 3 && state.slots[n] != nullptr) ++n;
    return n;
}

int FocusedSlot(const MsgBoxState& state) {
    const HWND focus = GetFocus();
    for (int i = 0; i < 3; ++i)
        if (focus != nullptr && state.slots[i] == focus) return i;
    return -1;
}

void MoveFocus(const MsgBoxState& state, int step) {
    const int count = ButtonCount(state);
    if (count == 0) return;
    const int current = FocusedSlot(state);
    int next;
    if (current < 0)
        next = step > 0 ? 0 : count - 1;
    else
        next = (current + step + count) % count;
    SetFocus(state.slots[next]);
}

bool Choose(MsgBoxState& state, int slot) {
    if (slot < 0 || slot >= ButtonCount(state)) return false;
    ChooseMsgBoxButton(state, state.slots[slot]);
    return true;
}

}  // namespace

bool FilterMsgBoxKey(MsgBoxState& state, const MSG& message) {
    if (message.message == WM_SYSCHAR) return Choose(state, ButtonForSysChar(state.buttons, char(message.wParam)));
    if (message.message != WM_KEYDOWN) return false;

    const WPARAM key = message.wParam;
    switch (key) {
    case VK_LEFT:
    case VK_UP:
        MoveFocus(state, -1);
        return false;
    case VK_TAB:
    case VK_RIGHT:
    case VK_DOWN:
        MoveFocus(state, +1);
        return false;
    case VK_RETURN:
        return Choose(state, FocusedSlot(state));
    case VK_ESCAPE:
        // Closes without a button: the result stays as it is (0), also
        // when the Close command is greyed.
        PostMessageA(state.box, WM_CLOSE, 0, 0);
        return false;
    default:
        if (key >= 'A' && key <= 'Z') return Choose(state, ButtonForLetter(state.buttons, char(key)));
        return false;
    }
}

}  // namespace kv
