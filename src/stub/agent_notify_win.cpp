#include "stub/agent_notify.h"

#include <windows.h>

#include "stub/agent_state.h"

namespace kv {

void PostNotify(int32_t wparam, int32_t lparam) {
    const uintptr_t window = NotifyWindow();
    const uint32_t message = NotifyMessage();
    if (window == 0 || message == 0) return;
    // The parameters travel as 32-bit values, sign-extended.
    PostMessageA(reinterpret_cast<HWND>(window), message, WPARAM(intptr_t(wparam)), LPARAM(lparam));
}

}  // namespace kv
