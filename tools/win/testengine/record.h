#pragma once
// The test engine's record: what it saw, as "Key=value" lines that tests
// read back. Each run appends one block from "[Run]" to "[End]".
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace kv::testengine {

// One entry of a folder listing.
struct FolderEntry {
    std::string name;
    bool folder = false;
    uint64_t size = 0;
    // Last write time in local time, packed DOS form: date << 16 | time,
    // the form the package's entry headers carry.
    uint32_t dosTime = 0;
};

// The files and folders directly in `folder` ("." and ".." left out),
// sorted by name with ASCII case ignored so that the record is stable.
std::vector<FolderEntry> ListFolder(const std::string& folder);

// "File=name|size|dostime" for a file, "Dir=name" for a folder, one line
// each, CR LF ended.
std::string FolderLines(const std::vector<FolderEntry>& entries);

// One "Key=value" line, CR LF ended.
std::string Line(const std::string& key, const std::string& value);

// Appends `text` to the file, creating it when missing; true when all of
// it was written.
bool AppendToFile(const std::string& path, const std::string& text);

}  // namespace kv::testengine
