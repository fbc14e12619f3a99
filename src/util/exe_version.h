#pragma once
#include <string>

namespace kv {

// File version of a program's version resource as "a.b.c.d" (empty path =
// this program). Empty, with one trace line, when the file has none.
std::string GetExeVersion(const std::string& path, int width = 1, int count = 4);

}  // namespace kv
