#pragma once
// Which role one start of the stub plays, decided from the package, the
// running file's name and the command line. Pure rules, no system calls.
#include <cstdint>
#include <string>

namespace kv {

enum class RunRole {
    AlreadyRunning,  // a window of this file's own class exists
    PlainAgent,      // the installed agent: starts its X_ copy
    XAgent,          // the running X_ copy: runs the agent
    SpanRelaunch,    // a multi-disk setup copies itself to the temp folder
    MainWindow,      // the main window: setup flow, or agent cycle for an agent package
};

// The running file is the plain agent: an agent package whose file name
// equals AgentExeName (trimmed, case ignored).
bool IsPlainAgentName(bool isAgentPackage, const std::string& fileName, const std::string& agentExeName);
// The running file is the X_ agent: the name equals "X_" + AgentExeName.
bool IsXAgentName(bool isAgentPackage, const std::string& fileName, const std::string& agentExeName);

// Main window class: ".AutoUpdate." + file name without its last
// extension for an agent package, else the program's full path.
std::string WindowClassNameFor(bool isAgentPackage, const std::string& programPath);
// Class of a running X_ agent of this package.
std::string XAgentWindowClass(const std::string& agentExeName);

struct RoleInputs {
    bool ownClassExists = false;
    bool isAgentPackage = false;
    std::string fileName;
    std::string agentExeName;
    bool isSpanned = false;
    int64_t spanLevel = 1;  // "/SpanCdLvl=", 1 when absent
};

// The first rule that holds decides.
RunRole DecideRole(const RoleInputs& in);

const char* RoleName(RunRole role);

}  // namespace kv
