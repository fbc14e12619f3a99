#include "stub/run_mode.h"

#include "util/text_utils.h"

namespace kv {

bool IsPlainAgentName(bool isAgentPackage, const std::string& fileName, const std::string& agentExeName) {
    return isAgentPackage && SameTextTrimmed(fileName, agentExeName);
}

bool IsXAgentName(bool isAgentPackage, const std::string& fileName, const std::string& agentExeName) {
    return isAgentPackage && SameTextTrimmed(fileName, "X_" + Trim(agentExeName));
}

std::string WindowClassNameFor(bool isAgentPackage, const std::string& programPath) {
    if (!isAgentPackage) return programPath;
    return ".AutoUpdate." + ChangeFileExt(ExtractFileName(programPath), "");
}

std::string XAgentWindowClass(const std::string& agentExeName) {
    return ".AutoUpdate.X_" + ChangeFileExt(agentExeName, "");
}

RunRole DecideRole(const RoleInputs& in) {
    if (in.ownClassExists) return RunRole::AlreadyRunning;
    if (IsPlainAgentName(in.isAgentPackage, in.fileName, in.agentExeName)) return RunRole::PlainAgent;
    if (IsXAgentName(in.isAgentPackage, in.fileName, in.agentExeName)) return RunRole::XAgent;
    if (in.isSpanned && in.spanLevel == 1) return RunRole::SpanRelaunch;
    return RunRole::MainWindow;
}

const char* RoleName(RunRole role) {
    switch (role) {
        case RunRole::AlreadyRunning: return "already running";
        case RunRole::PlainAgent: return "plain agent";
        case RunRole::XAgent: return "X_ agent";
        case RunRole::SpanRelaunch: return "span relaunch";
        case RunRole::MainWindow: return "main window";
    }
    return "";
}

}  // namespace kv
