#include <richedit.h>

#include <exception>

#include "dialogs/kmsgbox_state_win.h"
#include "util/message_pump.h"
#include "util/text_utils.h"

namespace kv {

const char kMsgBoxClassName[] = "KMsgBox";

namespace {

const COLORREF kStripeColour = RGB(0, 78, 152);

MsgBoxState* StateOf(HWND window) {
    return reinterpret_cast<MsgBoxState*>(GetWindowLongPtrA(window, GWLP_USERDATA));
}

void HorizontalLine(HDC dc, int y, int width, COLORREF colour) {
    const PenHandle pen(CreatePen(PS_SOLID, 1, colour));
    const SelectedObject selected(dc, pen.get());
    MoveToEx(dc, 0, y, nullptr);
    LineTo(dc, width, y);
}

void Paint(const MsgBoxState& state, HWND window) {
    const PaintScope paint(window);
    const HDC dc = paint.dc();
    RECT client{};
    GetClientRect(window, &client);
    const int w = client.right;
    const int h = client.bottom;

    FillRect(dc, &client, GetSysColorBrush(COLOR_WINDOW));
    HorizontalLine(dc, h - 37, w, GetSysColor(COLOR_3DDKSHADOW));
    HorizontalLine(dc, h - 36, w, RGB(255, 255, 255));
    const RECT buttonArea{0, h - 35, w, h};
    FillRect(dc, &buttonArea, GetSysColorBrush(COLOR_BTNFACE));
    const BrushHandle stripeBrush(CreateSolidBrush(kStripeColour));
    const RECT stripe{0, 0, kMsgBoxStripeWidth, h - 37};
    FillRect(dc, &stripe, stripeBrush.get());
    if (state.icon != nullptr) DrawIcon(dc, 11, 20, state.icon);
}

bool IsOwnButton(const MsgBoxState& state, HWND control) {
    if (control == nullptr) return false;
    for (HWND slot : state.slots)
        if (slot == control) return true;
    return false;
}

LRESULT Dispatch(MsgBoxState& state, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE:
        if (state.timeoutMs > 0) SetTimer(window, kMsgBoxTimeoutTimer, state.timeoutMs, nullptr);
        break;
    case WM_PAINT:
        Paint(state, window);
        return 0;
    case WM_COMMAND:
        if (IsOwnButton(state, reinterpret_cast<HWND>(lParam)))
            ChooseMsgBoxButton(state, reinterpret_cast<HWND>(lParam));
        break;
    case WM_TIMER:
        if (wParam == kMsgBoxTimeoutTimer) {
            state.result = state.slots[0] ? int(GetWindowLongPtrA(state.slots[0], GWLP_USERDATA)) : kMsgBoxNone;
            PostMessageA(window, WM_CLOSE, 0, 0);
        }
        break;
    case WM_NOTIFY: {
        const auto* header = reinterpret_cast<const NMHDR*>(lParam);
        if (header != nullptr && header->hwndFrom == state.text && header->code == EN_REQUESTRESIZE) {
            const RECT& rc = reinterpret_cast<const REQRESIZE*>(lParam)->rc;
            state.requested = BoxExtent{rc.right - rc.left, rc.bottom - rc.top};
            return 0;
        }
        break;
    }
    case WM_CLOSE:
        RestorePreviousWindow(state);
        if (state.timeoutMs > 0) KillTimer(window, kMsgBoxTimeoutTimer);
        break;  // default processing destroys the box
    case WM_DESTROY:
        state.done = true;
        return 1;
    case WM_NCDESTROY:
        // The state lives only as long as the box's modal loop.
        SetWindowLongPtrA(window, GWLP_USERDATA, 0);
        break;
    default:
        // Inserting the next disk while a box is open must not start
        // AutoPlay over the setup.
        if (message != 0 && message == AutoPlayCancelMessage()) return 1;
        break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

void ChooseMsgBoxButton(MsgBoxState& state, HWND button) {
    state.result = int(GetWindowLongPtrA(button, GWLP_USERDATA));
    PostMessageA(state.box, WM_CLOSE, 0, 0);
}

void RestorePreviousWindow(MsgBoxState& state) {
    if (state.previousReenabled) return;
    state.previousReenabled = true;
    const HWND previous = state.previousActive;
    if (previous == nullptr || !IsWindow(previous)) return;
    EnableWindow(previous, TRUE);
    SetActiveWindow(previous);
    SetFocus(previous);
}

LRESULT CALLBACK MsgBoxWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    try {
        if (message == WM_NCCREATE) {
            auto* state = static_cast<MsgBoxState*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
            state->box = window;
            SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(state));
        }
        if (MsgBoxState* state = StateOf(window)) return Dispatch(*state, window, message, wParam, lParam);
    } catch (const std::exception& e) {
        TraceException(e, "KMsgBox.WndProc", IntToStr(message));
        return 0;
    } catch (...) {
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace kv
