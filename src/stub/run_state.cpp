#include "stub/run_state.h"

#include <memory>

#include "package/packx.h"
#include "stub/cmdline.h"
#include "stub/run_mode.h"
#include "util/text_utils.h"

namespace kv {
namespace {

std::unique_ptr<TGFileInfo> g_runPackage;
bool g_isAutoUpdateProg = false;
uint32_t g_exitCode = 0;

}  // namespace

void OpenRunPackage(const std::string& programPath) {
    g_runPackage = std::make_unique<TGFileInfo>(programPath);
    g_isAutoUpdateProg = g_runPackage->IsAutoUpdateProgram();
}

void FreeRunPackage() { g_runPackage.reset(); }

const TGFileInfo& RunPackage() {
    // Readers outside the entry sequence get an empty package rather than
    // a crash.
    static const TGFileInfo empty{std::string()};
    return g_runPackage ? *g_runPackage : empty;
}

bool ThisIs_AutoUpdateProg() { return g_isAutoUpdateProg; }

bool ThisIs_Plain_AutoUpdate_Exe() {
    return IsPlainAgentName(g_isAutoUpdateProg, ExtractFileName(ProgramPath()), RunPackage().AgentExeName());
}

bool ThisIs_X_AutoUpdate_Exe() {
    return IsXAgentName(g_isAutoUpdateProg, ExtractFileName(ProgramPath()), RunPackage().AgentExeName());
}

uint32_t RunExitCode() { return g_exitCode; }
void SetRunExitCode(uint32_t code) { g_exitCode = code; }

}  // namespace kv
