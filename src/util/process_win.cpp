#include "util/process.h"

#include <memory>

#include "util/exec_pipe.h"
#include "util/message_pump.h"
#include "util/process_analizer.h"
#include "util/process_match.h"
#include "util/process_psapi.h"
#include "util/process_viewer.h"
#include "util/snapshot_handle.h"
#include "util/sysinfo.h"
#include "util/text_utils.h"
#include "util/window_helpers.h"
#include "util/win_handle.h"

namespace kv {
namespace {

constexpr WPARAM kPostWParam = 15;
constexpr LPARAM kPostLParam = 255;
constexpr int64_t kPollMs = 100;

const char* NullIfEmpty(const std::string& s) { return s.empty() ? nullptr : s.c_str(); }

BOOL CALLBACK CollectProcessWindow(HWND window, LPARAM param) {
    auto& analizer = *reinterpret_cast<TAnalizer*>(param);
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    // Windows beyond the capacity are ignored, the walk goes on.
    if (pid == analizer.ProcessId) analizer.Add(reinterpret_cast<uintptr_t>(window));
    return TRUE;
}

uint32_t MainWindowSourcePid(const std::string& path, bool fullPathOnly, bool firstMatch) {
    if (IsWin8OrLater()) return TasklistPid(path, firstMatch);
    if (IsNT()) return PsapiPid(path, fullPathOnly, firstMatch);
    return ToolhelpPid(path, fullPathOnly, firstMatch);
}

}  // namespace

std::string ShortFormOf(const std::string& path) {
    if (path.empty()) return kNoShortForm;
    char buffer[MAX_PATH + 1];
    const DWORD n = GetShortPathNameA(path.c_str(), buffer, sizeof buffer);
    return n > 0 && n < sizeof buffer ? std::string(buffer, n) : std::string(kNoShortForm);
}

uint32_t ToolhelpPid(const std::string& path, bool fullPathOnly, bool firstMatch) {
    if (path.empty()) return 0;
    const std::string pathShort = ShortFormOf(path);
    uint32_t result = 0;
    ForEachProcess(ProcessSnapshot(), [&](const PROCESSENTRY32& e) {
        const std::string exe = e.szExeFile;
        // Without a short form of the path, no other short form can match.
        const std::string exeShort = pathShort == kNoShortForm ? std::string(kNoShortForm) : ShortFormOf(exe);
        if (!ExeMatchesPath(path, pathShort, exe, ExtractFileName(exe), exeShort, fullPathOnly)) return true;
        result = e.th32ProcessID;
        return !firstMatch;
    });
    return result;
}

std::vector<uint32_t> EnumProcessIds() { return PsapiLibrary().ProcessIds(1024, true); }

uint32_t PsapiPid(const std::string& path, bool fullPathOnly, bool firstMatch) {
    if (path.empty()) return 0;
    const PsapiLibrary psapi;
    const std::vector<uint32_t> ids = psapi.ProcessIds(1024, true);
    if (ids.empty()) return 0;
    const std::string pathShort = ShortFormOf(path);
    uint32_t result = 0;
    // From the end, so that without `firstMatch` the first hit is the last
    // process of the list; with it, earlier hits overwrite later ones.
    for (size_t i = ids.size(); i-- > 0;) {
        if (result != 0 && !firstMatch) break;
        std::string full, base;
        if (!psapi.ExeNames(ids[i], full, base)) continue;
        const std::string fullShort = pathShort == kNoShortForm ? std::string(kNoShortForm) : ShortFormOf(full);
        if (ExeMatchesPath(path, pathShort, full, base, fullShort, fullPathOnly)) result = ids[i];
    }
    return result;
}

uint32_t TasklistPid(const std::string& path, bool firstMatch) {
    const std::string fileName = ExtractFileName(path);
    if (fileName.empty()) return 0;
    // From the system folder by full path: a "tasklist.exe" beside the
    // setup or in the current folder would otherwise be started first.
    uint32_t code = 0;
    std::string output, errors;
    RunCaptured(SystemFolder(true) + "tasklist.exe", "/FO csv", SW_HIDE, code, output, errors, 1);
    return TasklistPidFromOutput(output, fileName, firstMatch);
}

uint32_t ListPid(const std::string& path, bool fullPaths, bool keepDuplicates) {
    if (path.empty()) return 0;
    // Where the list names processes by their whole paths (the
    // process-status list with full paths), a file name would match none
    // of them: the whole path is compared there.
    const bool listHasPaths = fullPaths && IsXP();
    const std::string name = listHasPaths ? path : ExtractFileName(path);
    return ListPidFromList(ProcessList(fullPaths, true), name, keepDuplicates, ShortFormOf);
}

HWND FindProcessMainWindow(const std::string& path, bool fullPathOnly, bool firstMatch) {
    const uint32_t pid = MainWindowSourcePid(path, fullPathOnly, firstMatch);
    if (pid == 0) return nullptr;
    const auto analizer = std::make_unique<TAnalizer>();
    analizer->Clear();
    analizer->ProcessId = pid;
    EnumWindows(CollectProcessWindow, reinterpret_cast<LPARAM>(analizer.get()));
    std::vector<TAnalizer::Facts> facts(size_t(analizer->Count));
    for (size_t i = 0; i < facts.size(); ++i) {
        const HWND w = reinterpret_cast<HWND>(analizer->Windows[i]);
        facts[i].topOwner = reinterpret_cast<uintptr_t>(TopOwnerWindow(w));
        facts[i].titled = GetWindowTextLengthA(w) > 0;
        facts[i].visible = IsWindowVisible(w) != 0;
    }
    analizer->Score(facts);
    return reinterpret_cast<HWND>(analizer->Best());
}

bool PostProcessMessage(const std::string& path, bool fullPathOnly, UINT message, WPARAM wParam, LPARAM lParam) {
    const HWND window = FindProcessMainWindow(path, fullPathOnly, false);
    if (window == nullptr) return false;
    PostMessageA(window, message, wParam, lParam);
    return true;
}

bool PostCloseToProcess(const std::string& path, bool fullPathOnly, uint32_t waitMs) {
    const bool posted = PostProcessMessage(path, fullPathOnly, WM_CLOSE, kPostWParam, kPostLParam);
    if (waitMs > 0) WaitProcessGone(path, waitMs);
    return posted;
}

bool PostQuitToProcess(const std::string& path, bool fullPathOnly) {
    return PostProcessMessage(path, fullPathOnly, WM_QUIT, kPostWParam, kPostLParam);
}

bool TerminateProcessByPath(const std::string& path, bool fullPathOnly) {
    const uint32_t pid = IsNT() ? ListPid(path, fullPathOnly, false) : ToolhelpPid(path, fullPathOnly, false);
    if (pid == 0) return false;
    const KernelHandle process(OpenProcess(PROCESS_TERMINATE, FALSE, pid));
    return process && TerminateProcess(process.get(), 0) != 0;
}

bool IsProcessRunning(const std::string& path) {
    const std::string p = Unquote(path, false);
    return (IsNT() ? ListPid(p, false, false) : ToolhelpPid(p, false, false)) != 0;
}

void WaitProcessGone(const std::string& path, uint32_t timeoutMs) {
    const std::string p = Unquote(path, false);
    const int64_t start = MillisecondsNow();
    const int64_t limit = timeoutMs == 0 ? 1000 : int64_t(timeoutMs);
    do {
        if (!IsProcessRunning(p)) break;
        WaitMs(0, kPollMs);
    } while (start + limit >= MillisecondsNow());
}

void WaitWindowGone(const std::string& className, const std::string& title) {
    while (FindWindowA(NullIfEmpty(className), NullIfEmpty(title)) != nullptr) ProcessMessages(kPollMs);
}

}  // namespace kv
