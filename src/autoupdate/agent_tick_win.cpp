#include "autoupdate/agent_tick.h"

namespace kv {

// The agent's cycle is not part of this build yet: a tick does nothing.
void AgentTimerTick() {}

}  // namespace kv
