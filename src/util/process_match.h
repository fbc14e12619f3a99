#pragma once
// The text rules of finding a process by the path of its executable: how
// a path is compared with what a process source reports, and how the
// lists of the process sources are read. No system calls here, so that
// the rules are tested on the host.
#include <cstdint>
#include <functional>
#include <string>

namespace kv {

// Stands in for a process's file name under the full-path flag, so that
// only its whole path can match.
inline constexpr char kNoFileName[] = "*X*";
// Stands in for the short (8.3) form of a path that has none; it matches
// nothing, not even itself.
inline constexpr char kNoShortForm[] = "*XX*";

// Whether the process whose executable is `exe` (a full path, or only a
// file name where the source gives no more), with file name `exeName` and
// short form `exeShort`, is the one asked for by `path` (short form
// `pathShort`). With `fullPathOnly` the file name does not count.
bool ExeMatchesPath(const std::string& path, const std::string& pathShort, const std::string& exe,
                    const std::string& exeName, const std::string& exeShort, bool fullPathOnly);

// The id of the process named `fileName` in the CSV output of the
// system's task list ("image","pid",... one line per process after a
// heading line): the first line with an id above 0, visiting the lines in
// order with `firstMatch`, otherwise from the last back to the second.
// 0 when none.
uint32_t TasklistPidFromOutput(const std::string& output, const std::string& fileName, bool firstMatch);

// The field of one process in the process-status list: its executable
// path (the file name only unless `fullPaths`), with "=" + id when
// `withIds`. The idle process (id 0) and the system process of NT 4 (id 2,
// `osKind` 8) and of Windows 2000 (id 8, `osKind` 16) are named by rule.
// Empty when the process stays nameless (it is left out).
std::string ProcessStatusField(uint32_t pid, const std::string& exePath, bool fullPaths, bool withIds,
                               uint32_t osKind);

// The id of the first process of `list` (name=id fields) named `fileName`
// or whose name's short form (`shortForm`, kNoShortForm when none) is the
// short form of the file name; 0 when none. Without `keepDuplicates` empty
// and repeated fields are dropped first.
uint32_t ListPidFromList(const std::string& list, const std::string& fileName, bool keepDuplicates,
                         const std::function<std::string(const std::string&)>& shortForm);

}  // namespace kv
