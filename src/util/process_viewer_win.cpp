#include "util/process_viewer.h"

#include <map>
#include <vector>

#include "util/ksub.h"
#include "util/process_match.h"
#include "util/process_psapi.h"
#include "util/snapshot_handle.h"
#include "util/sysinfo.h"
#include "util/window_helpers.h"

namespace kv {
namespace {

// The executable name of every process of one snapshot, by id.
std::map<DWORD, std::string> ExeNamesById() {
    std::map<DWORD, std::string> names;
    ForEachProcess(ProcessSnapshot(), [&](const PROCESSENTRY32& e) {
        names.emplace(e.th32ProcessID, e.szExeFile);
        return true;
    });
    return names;
}

struct WalkState {
    TProcessData* data;
    std::map<DWORD, std::string> names;
};

BOOL CALLBACK VisitTopWindow(HWND window, LPARAM param) {
    auto& state = *reinterpret_cast<WalkState*>(param);
    TopWindowFacts facts;
    DWORD pid = 0;
    facts.threadId = GetWindowThreadProcessId(window, &pid);
    facts.pid = pid;
    const auto name = state.names.find(pid);
    if (name != state.names.end()) facts.exeName = name->second;
    facts.className = WindowClassName(window);
    facts.handle = reinterpret_cast<uintptr_t>(window);
    facts.title = WindowTitle(window);
    facts.visible = IsWindowVisible(window) != 0;
    return state.data->Visit(facts) ? TRUE : FALSE;
}

}  // namespace

std::string ProcessExeName(HWND window) {
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    std::string name;
    ForEachProcess(ProcessSnapshot(), [&](const PROCESSENTRY32& e) {
        if (e.th32ProcessID != pid) return true;
        name = e.szExeFile;
        return false;
    });
    return name;
}

void CollectTopWindows(TProcessData& data, bool collectAll, const std::string& searchName, uint32_t searchPid) {
    data.Reset(collectAll, searchName, searchPid);
    // One snapshot serves the whole walk: the name of each window's
    // process is looked up in it instead of a snapshot per window.
    WalkState state{&data, ExeNamesById()};
    EnumWindows(VisitTopWindow, reinterpret_cast<LPARAM>(&state));
}

std::string WindowProcessList(bool withIds, bool withHandles) {
    TProcessData data;
    CollectTopWindows(data, true, "*", uint32_t(-1));
    if (withIds) return SUB::Zip(data.ExeNames, data.Pids, false);
    if (withHandles) return SUB::Zip(data.ExeNames, data.Handles, false);
    return data.ExeNames;
}

std::string ProcessStatusList(bool fullPaths, bool withIds) {
    const PsapiLibrary psapi;
    std::vector<std::string> fields;
    const uint32_t kind = GetOSKind();
    for (const uint32_t pid : psapi.ProcessIds(4100, false)) {
        std::string path, base;
        psapi.ExeNames(pid, path, base);
        std::string field = ProcessStatusField(pid, path, fullPaths, withIds, kind);
        if (!field.empty()) fields.push_back(std::move(field));
    }
    return SUB::FromArray(fields, false);
}

std::string ProcessList(bool fullPaths, bool withIds) {
    return IsXP() ? ProcessStatusList(fullPaths, withIds) : WindowProcessList(withIds, false);
}

}  // namespace kv
