// The agent's control commands are not part of this build yet: the
// messages arrive and change nothing.
#include "stub/agent_messages.h"

namespace kv {

void OnShutDownMessage(uintptr_t, intptr_t) {}
void OnLocalMessage(uintptr_t, intptr_t) {}
intptr_t OnAgentMessage(uintptr_t, intptr_t) { return 0; }

}  // namespace kv
