#pragma once
// Lists of the running processes: from their top-level windows, or from
// the process-status functions (unit ProcessViewer).
#include <windows.h>

#include <cstdint>
#include <string>

#include "util/process_data.h"

namespace kv {

// The executable name of the process that owns the window, from a fresh
// tool-help snapshot; empty when none.
std::string ProcessExeName(HWND window);

// Walks all top-level windows into `data` (reset first) until the
// record's rules stop it.
void CollectTopWindows(TProcessData& data, bool collectAll, const std::string& searchName, uint32_t searchPid);

// One field per top-level window: its process's executable name, with
// "=" + process id (`withIds`) or "=" + window handle (`withHandles`). A
// process without a top-level window is not listed.
std::string WindowProcessList(bool withIds, bool withHandles);

// The running processes: on Windows XP every process from the
// process-status functions (full executable paths with `fullPaths`),
// elsewhere WindowProcessList(withIds, false).
std::string ProcessList(bool fullPaths, bool withIds);

// The process-status list of ProcessList: up to 1025 processes, those
// without a name left out.
std::string ProcessStatusList(bool fullPaths, bool withIds);

}  // namespace kv
