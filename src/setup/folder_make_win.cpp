#include "setup/folder_make_win.h"

#include <windows.h>

#include "util/text_utils.h"

namespace kv {
namespace {

std::string WithoutTrailingBackslash(std::string path) {
    while (!path.empty() && path.back() == '\\') path.pop_back();
    return path;
}

}  // namespace

bool FolderExists(const std::string& path) {
    const DWORD attr = GetFileAttributesA(path.c_str());
    return attr != INVALID_FILE_ATTRIBUTES && (attr & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool MakeFolderWithParents(const std::string& folder) {
    const std::string dir = WithoutTrailingBackslash(folder);
    // A drive ("C:") or a name without a parent ends the climb.
    if (dir.size() < 3 || FolderExists(dir)) return !dir.empty();
    const std::string parent = ExtractFilePath(dir);
    if (!parent.empty() && parent != dir) MakeFolderWithParents(parent);
    return CreateDirectoryA(dir.c_str(), nullptr) != 0 || FolderExists(dir);
}

}  // namespace kv
