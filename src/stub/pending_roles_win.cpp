// Roles whose work is not part of this build yet. Each one ends the run
// and says so on the trace channel, so a run that reaches one is visible.
#include <windows.h>

#include <string>

#include "autoupdate/test_mode.h"
#include "stub/agent_control.h"
#include "stub/self_copy.h"
#include "util/files.h"
#include "util/kdebug.h"

namespace kv {
namespace {

void NotBuilt(const char* what) {
    TraceLine(std::to_string(GetCurrentProcessId()) + " ==== not in this build: " + what + " ====");
}

}  // namespace

void CreateAndRun_X_Exe() { NotBuilt("CreateAndRun_X_Exe"); }
void CheckTestMode(bool) { NotBuilt("CheckTestMode"); }
void HandleParamOK(bool) { NotBuilt("HandleParamOK"); }

}  // namespace kv
