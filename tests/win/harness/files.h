#pragma once
// Whole-file helpers (see harness.h).
#include <string>

namespace kv::test {

// The whole file; false when it cannot be opened or read.
bool ReadWholeFile(const std::string& path, std::string& bytes);
// The whole file, or an empty text when it cannot be read.
std::string ReadWholeFile(const std::string& path);
// Creates or replaces the file with `bytes`; true when all were written.
bool WriteWholeFile(const std::string& path, const std::string& bytes);
// Copies a file, replacing the target.
bool CopyFileTo(const std::string& from, const std::string& to);
bool FileExists(const std::string& path);
// True once the file exists, false when the deadline passes first.
bool WaitForFile(const std::string& path, unsigned deadline_ms);

}  // namespace kv::test
