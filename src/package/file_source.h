#pragma once
// A ByteSource over a file on disk, opened shared for reading so that a
// running program can read its own image and files others hold open.
#include <memory>
#include <string>

#include "package/byte_source.h"

namespace kv {

// The open file, or nullptr when it cannot be opened. The size is taken
// once at opening; the file stays open until the source is destroyed.
std::unique_ptr<ByteSource> OpenFileSource(const std::string& path);

// True when a regular file (not a folder) exists at the path.
bool FileExists(const std::string& path);

}  // namespace kv
