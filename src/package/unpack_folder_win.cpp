// The destination folder with all its missing parents.
#include <windows.h>

#include "dialogs/msgbox_win.h"
#include "package/unpack_parts_win.h"
#include "util/sysinfo.h"
#include "util/text_utils.h"

namespace kv::unpack {
namespace {

std::string WithoutTrailingBackslash(std::string path) {
    while (!path.empty() && path.back() == '\\') path.pop_back();
    return path;
}

bool FolderExists(const std::string& path) {
    const DWORD attr = GetFileAttributesA(path.c_str());
    return attr != INVALID_FILE_ATTRIBUTES && (attr & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// Parents first; a drive root ("C:", "\\") or an existing folder ends the
// climb.
bool CreateWithParents(const std::string& folder) {
    const std::string dir = WithoutTrailingBackslash(folder);
    if (dir.size() < 3 || FolderExists(dir) || ExtractFilePath(dir) == dir) return true;
    return CreateWithParents(ExtractFilePath(dir)) && CreateDirectoryA(dir.c_str(), nullptr) != 0;
}

}  // namespace

void CreateDestination(const std::string& destDir) {
    if (!destDir.empty()) {
        CreateWithParents(destDir);
        return;
    }
    SetLastError(ERROR_PATH_NOT_FOUND);
    ShowError(kBoxWithHeading, destDir + "<P><P>Unable to create Directory!<P><P>" + LastErrorText());
}

}  // namespace kv::unpack
