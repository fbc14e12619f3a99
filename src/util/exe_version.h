#pragma once
#include <string>

namespace kv {

// File version of a program's version resource as "a.b.c.d" (empty path =
// this program); through NormalizeVersion when `width` > 1 or `count` < 4.
// Empty, with one trace line, when the file has none.
std::string GetExeVersion(const std::string& path, int width = 1, int count = 4);

// The "ProductVersion" string of the first translation of a file's version
// resource, ',' read as '.'; through NormalizeVersion as above. Reported
// with one TraceFields line ("QueryValue", path, "ProductVersion",
// result); empty, with one exception trace line instead, when the
// resource cannot be read.
std::string GetProductVersion(const std::string& path, int width = 1, int count = 4);

}  // namespace kv
