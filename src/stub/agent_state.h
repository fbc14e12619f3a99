#pragma once
// The agent control state: process-wide values that the private messages
// of the main window and the command line write and the agent's timer
// reads. Lives for the process; nothing of it is stored.
#include <cstdint>

namespace kv {

// Timer count before the agent's first tick: negative values are ticks
// still to wait.
constexpr int32_t InitialAgentTimerCount = -3;

int32_t AgentTimerCount();
void SetAgentTimerCount(int32_t count);

// The registered listener of the notifications: a window handle and a
// message number; nothing is posted while either is 0.
uintptr_t NotifyWindow();
uint32_t NotifyMessage();
void SetNotifyListener(uintptr_t window, uint32_t message);

}  // namespace kv
