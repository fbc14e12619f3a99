#include "autoupdate/agent_tick.h"

#include <windows.h>

#include <string>

#include "stub/stub_win.h"
#include "util/kdebug.h"

namespace kv {

// The agent's cycle is not part of this build yet. Like every role still
// missing, the agent ends its run (on its first tick) and says so on the
// trace channel instead of staying resident with nothing to do.
void AgentTimerTick() {
    KillTimer(MainWindowHandle(), MainTimerId);
    TraceLine(std::to_string(GetCurrentProcessId()) + " ==== not in this build: agent tick ====");
    PostQuitMessage(0);
}

}  // namespace kv
