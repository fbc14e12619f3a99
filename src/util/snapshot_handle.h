#pragma once
// A tool-help snapshot of the running processes, closed by its owner.
#include <windows.h>
#include <tlhelp32.h>

#include <cstdint>

#include "util/win_handle.h"

namespace kv {

// A failed snapshot is INVALID_HANDLE_VALUE, like a file handle.
using SnapshotHandle = FileHandle;

inline SnapshotHandle ProcessSnapshot() { return SnapshotHandle(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0)); }

// Calls visit(entry) for each process of the snapshot until it returns
// false; false when the snapshot holds no entry.
template <class Visit>
bool ForEachProcess(const SnapshotHandle& snapshot, Visit&& visit) {
    if (!snapshot) return false;
    PROCESSENTRY32 entry{};
    entry.dwSize = sizeof entry;
    if (!Process32First(snapshot.get(), &entry)) return false;
    do {
        if (!visit(static_cast<const PROCESSENTRY32&>(entry))) break;
        entry.dwSize = sizeof entry;
    } while (Process32Next(snapshot.get(), &entry));
    return true;
}

}  // namespace kv
