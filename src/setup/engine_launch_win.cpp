#include "setup/engine_launch_win.h"

#include <vector>

#include "autoupdate/stubglob.h"
#include "package/file_source.h"
#include "setup/engine_cmdline.h"
#include "setup/exit_codes.h"
#include "setup/global_atom_win.h"
#include "stub/cmdline.h"
#include "stub/run_state.h"
#include "stub/stub_win.h"
#include "util/kdebug.h"
#include "util/message_pump.h"
#include "util/process.h"

namespace kv {
namespace {

constexpr int64_t kSettleMs = 1000;
constexpr int64_t kExitPollMs = 500;

std::string Pid() { return std::to_string(GetCurrentProcessId()); }

void RemoveShortcut(bool asked, const std::string& link) {
    if (asked && !link.empty() && FileExists(link)) DeleteFileA(link.c_str());
}

}  // namespace

KernelHandle StartProcess(const std::string& commandLine, int showState) {
    STARTUPINFOA si{};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESHOWWINDOW;
    si.wShowWindow = WORD(showState);
    PROCESS_INFORMATION pi{};
    // CreateProcessA may write into the command line.
    std::vector<char> line(commandLine.begin(), commandLine.end());
    line.push_back('\0');
    if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
        return KernelHandle();
    KernelHandle thread(pi.hThread);
    return KernelHandle(pi.hProcess);
}

void WaitForProcessEnd(HANDLE process) {
    for (;;) {
        WaitMs(0, kExitPollMs);
        DWORD code = 0;
        if (!GetExitCodeProcess(process, &code) || code != STILL_ACTIVE) return;
        // An engine whose own exit code is 259 has still ended.
        if (WaitForSingleObject(process, 0) != WAIT_TIMEOUT) return;
    }
}

bool RunEngine(const std::string& tempFolder, const std::string& engineCommand, const std::string& extraArguments,
               bool foreground) {
    EngineLaunchInput in;
    in.tempFolder = tempFolder;
    in.engineCommand = engineCommand;
    in.extraArguments = extraArguments;
    in.token = HandOverToken(GetCurrentThreadId());
    in.stubPath = ProgramPath();
    in.autoUpdateProgram = ThisIs_AutoUpdateProg();
    // Read before the engine runs: the engine may rewrite the settings.
    const std::string startUpLink = StartUpLink();
    const std::string updateLink = CheckforNewUpdateLink();
    const std::string commandLine = EngineCommandLine(in);
    TraceLine(Pid() + " ==== WinExec(Engine.exe) >>" + commandLine + "<<");

    const std::string atomName = HandOverAtomName(in.token);
    GlobalAtom atom = GlobalAtom::Add(atomName);
    const KernelHandle process = StartProcess(commandLine, foreground ? SW_SHOW : SW_HIDE);
    HideMainWindow();
    WaitMs(0, kSettleMs);
    WaitForProcessEnd(process.get());
    DWORD code = 0;
    if (!process)
        SetRunExitCode(kExitSetupFailed);
    else if (GetExitCodeProcess(process.get(), &code))
        SetRunExitCode(code);
    WaitWindowGone(EngineDialogClass(in.token), std::string());
    WaitMs(0, kSettleMs);

    // An atom that could not be added cannot tell of a successful end.
    const bool handedOver = atom && GlobalFindAtomA(atomName.c_str()) == 0;
    // The engine deleted our reference at its end; deleting by the kept
    // number again could hit an atom that now has that number.
    if (handedOver)
        atom.release();
    else
        atom.close();
    if (handedOver) {
        RemoveShortcut(RemoveStartUpShortcut(), startUpLink);
        RemoveShortcut(RemoveCheckForNewUpdateShortcut(), updateLink);
    }
    return handedOver;
}

}  // namespace kv
