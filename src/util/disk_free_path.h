#pragma once
// Which path the free-space query is asked about.
#include <string>

namespace kv {

// The drive root of a path: its first character upper-cased followed by
// ":\" (empty for an empty path).
std::string DriveRootOf(const std::string& path);

// The path handed to the free-space query for `path` ('/' read as '\').
// Empty means "no path", which the system answers for the disk of the
// current directory. Without the extended query, and for paths shorter
// than 3 characters, the drive root; otherwise the path cut before the
// first '\' at position 4 or later (C:\Temp\Sub -> C:\Temp, C:\ stays),
// since the extended query accepts a folder, which matters for mounted
// folders and network shares.
std::string DiskFreeQueryPath(const std::string& path, bool extendedQuery);

}  // namespace kv
