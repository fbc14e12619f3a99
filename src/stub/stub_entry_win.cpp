// The entry sequence and DoRunStubWin: open the package on the running
// file, decide the role, run it, end with the exit code of the last engine.
#include <windows.h>

#include <string>

#include "autoupdate/test_mode.h"
#include "package/packx.h"
#include "stub/agent_control.h"
#include "stub/cmdline.h"
#include "stub/run_mode.h"
#include "stub/run_state.h"
#include "stub/runlog.h"
#include "stub/self_copy.h"
#include "stub/stub.h"
#include "stub/stub_win.h"
#include "util/exe_version.h"
#include "util/files.h"
#include "util/kdebug.h"
#include "util/text_utils.h"

namespace kv {
namespace {

std::string Pid() { return std::to_string(GetCurrentProcessId()); }

bool TopWindowOfClassExists(const std::string& className) {
    return !className.empty() && FindWindowA(className.c_str(), nullptr) != nullptr;
}

}  // namespace

void DoRunStubWin() {
    LogLine("DoRunStubWin() --- Start");
    const TGFileInfo& package = RunPackage();
    const std::string windowClass = WindowClassNameFor(ThisIs_AutoUpdateProg(), ProgramPath());

    const bool xExeIsRunning = TopWindowOfClassExists(XAgentWindowClass(package.AgentExeName()));
    const bool isPlainAgent = ThisIs_Plain_AutoUpdate_Exe();
    LogLine("X_ExeIsRunning=" + BoolText(xExeIsRunning));
    LogLine("ThisIs_Plain_AutoUpdate_Exe=" + BoolText(isPlainAgent));
    LogLine("ThisIs_X_AutoUpdate_Exe=" + BoolText(ThisIs_X_AutoUpdate_Exe()));

    RoleInputs in;
    in.ownClassExists = TopWindowOfClassExists(windowClass);
    in.isAgentPackage = ThisIs_AutoUpdateProg();
    in.fileName = ExtractFileName(ProgramPath());
    in.agentExeName = package.AgentExeName();
    in.isSpanned = package.IsSpanned();
    in.spanLevel = GetSwitchInt64("/SpanCdLvl=", 1);
    const RunRole role = DecideRole(in);

    switch (role) {
        case RunRole::AlreadyRunning:
            break;
        case RunRole::PlainAgent:
            CreateAndRun_X_Exe();
            break;
        case RunRole::XAgent:
            LogLine("CheckTestMode");
            CheckTestMode(true);
            LogLine("WinMain");
            RunMainWindow();
            LogLine("DeleteMySelf");
            DeleteSelf(false, false);
            break;
        case RunRole::SpanRelaunch:
            RunSpanRelaunch();
            break;
        case RunRole::MainWindow:
            RunMainWindow();
            if (in.spanLevel == 2) DeleteSelf(true, false);
            break;
    }

    if (isPlainAgent) HandleParamOK(xExeIsRunning);
    LogLine("DoRunStubWin() --- End");
}

unsigned RunStubEntry() {
    const std::string& raw = RawCommandLine();
    const std::string& path = ProgramPath();
    TraceLine(Pid() + " ==== STUB START ====> " + raw + "<");

    OpenRunPackage(path);
    SetRunLogEnabled(ThisIs_AutoUpdateProg() && RunPackage().AgentLogEnabled());
    if (ThisIs_X_AutoUpdate_Exe()) SetLogPrefix(" X ");

    LogLine("");
    LogLine("");
    LogLine("=== START === " + path);
    LogLine("CommandLine=" + raw);
    LogLine("Agent Version=" + GetExeVersion(std::string()));
    TraceLine(Pid() + " ==== ThisIs_AutoUpdateProg=" + BoolText(ThisIs_AutoUpdateProg()));

    DoRunStubWin();

    FreeRunPackage();
    TraceLine(Pid() + " ==== STUB END ====> " + raw + "<");
    TraceLine("");
    LogLine("=== EXIT === " + path);
    LogLine("");
    return RunExitCode();
}

}  // namespace kv
