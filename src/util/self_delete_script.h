#pragma once
// The batch script with which a program removes its own file once it has
// exited: a running program's file cannot be deleted, so the script keeps
// trying until the process is gone, then deletes itself.
#include <string>

namespace kv {

// The script's file name inside the temporary folder.
constexpr const char* SelfDeleteBatchName = "_DEL_ME_.BAT";

// The script's lines, each ending with CR LF. `quote` encloses every path
// (empty when the paths are short names without spaces); with
// `removeFolder` the program's (then empty) folder is removed as well.
std::string SelfDeleteScript(const std::string& programPath, const std::string& programFolder,
                             const std::string& batchPath, const std::string& quote,
                             bool removeFolder);

}  // namespace kv
