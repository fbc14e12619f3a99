#pragma once
// The main window's handling of the private messages (private_messages.h):
// what each one does to the agent control state.
#include <cstdint>

namespace kv {

// wm_ShutDown: sets the shutdown countdown.
void OnShutDownMessage(uintptr_t wParam, intptr_t lParam);
// wm_LocalMsg: registers the listener and notifies it.
void OnLocalMessage(uintptr_t wParam, intptr_t lParam);
// wm_AgentMsg: runs one command; returns its result.
intptr_t OnAgentMessage(uintptr_t wParam, intptr_t lParam);

}  // namespace kv
