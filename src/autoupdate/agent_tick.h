#pragma once
// The auto-update agent's one-second tick.

namespace kv {

// Runs on every tick of the main window's timer when the running package
// is an agent package. Guards itself against re-entry: the nested message
// pumps of its downloads and waits let further ticks arrive meanwhile.
void AgentTimerTick();

}  // namespace kv
