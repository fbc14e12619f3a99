#pragma once
// Folder tests and creation for the setup's temporary folders.
#include <string>

namespace kv {

// True when a folder (not a file) exists at the path.
bool FolderExists(const std::string& path);
// Creates the folder and every missing parent; true when it exists then.
bool MakeFolderWithParents(const std::string& folder);

}  // namespace kv
