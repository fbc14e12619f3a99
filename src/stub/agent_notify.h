#pragma once
// Notifications to the listener window that registered itself with the
// running agent (see agent_state.h).
#include <cstdint>

namespace kv {

// Posts the listener message with the two values to the listener window;
// posts nothing while no listener is registered (window or message 0).
void PostNotify(int32_t wparam, int32_t lparam);

// The notification sent when the main window's loop has ended.
constexpr int32_t NotifyLoopEnded = 43;

}  // namespace kv
