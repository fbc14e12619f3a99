// The running program removes its own file: a generated batch file keeps
// trying to delete it until the process has ended.
#include <windows.h>

#include <vector>

#include "util/files.h"
#include "util/self_delete_script.h"
#include "util/sysinfo.h"
#include "util/win_handle.h"

namespace kv {
namespace {

// The 8.3 form of an existing path; the path itself when it has none.
std::string ShortPath(const std::string& path) {
    const DWORD need = GetShortPathNameA(path.c_str(), nullptr, 0);
    if (need == 0) return path;
    std::vector<char> buf(need + 1);
    const DWORD n = GetShortPathNameA(path.c_str(), buf.data(), DWORD(buf.size()));
    return (n > 0 && n < buf.size()) ? std::string(buf.data(), n) : path;
}

void StartHidden(const std::string& commandLine) {
    STARTUPINFOA si{};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESHOWWINDOW;
    si.wShowWindow = SW_HIDE;
    PROCESS_INFORMATION pi{};
    std::vector<char> cmd(commandLine.begin(), commandLine.end());
    cmd.push_back('\0');
    if (CreateProcessA(nullptr, cmd.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, nullptr, &si,
                       &pi)) {
        KernelHandle process(pi.hProcess);
        KernelHandle thread(pi.hThread);
    }
}

}  // namespace

void DeleteSelf(bool removeFolder, bool shortNames) {
    const std::string batchPath = TempFolder(true) + SelfDeleteBatchName;
    std::string scriptBatchPath = batchPath;
    std::string quote = "\"";
    std::string programPath = ProgramPath(false);
    std::string programFolder = ProgramFolder(false);

    if (shortNames) {
        // A short name exists only for a file that exists.
        WriteFileText(batchPath, "ABC\r\n", 0, false);
        quote.clear();
        scriptBatchPath = ShortPath(batchPath);
        programPath = ShortPath(programPath);
        programFolder = ShortPath(programFolder);
        DeleteFileA(batchPath.c_str());
    }

    const std::string script = SelfDeleteScript(programPath, programFolder, scriptBatchPath, quote, removeFolder);
    // The batch inherits this folder as its own; it must not be the one it
    // is about to remove.
    SetCurrentDirectoryA(TempFolder(false).c_str());
    WriteFileText(batchPath, script, 0, false);
    StartHidden(batchPath);
}

}  // namespace kv
