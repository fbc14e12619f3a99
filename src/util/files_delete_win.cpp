// Deleting files by pattern and whole folder trees. Each step drops its
// own failure and goes on, so that one stubborn file does not keep the
// rest of a temporary folder on disk.
#include <windows.h>

#include <exception>
#include <vector>

#include "util/files.h"
#include "util/find_handle.h"
#include "util/text_utils.h"

namespace kv {
namespace {

bool IsFolder(const std::string& path) {
    const DWORD attr = GetFileAttributesA(path.c_str());
    return attr != INVALID_FILE_ATTRIBUTES && (attr & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool IsDotEntry(const char* name) {
    return name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'));
}

// The names matching the pattern, of folders or of everything else. The
// search is finished before anything is deleted, so that deleting does
// not disturb it.
std::vector<std::string> ListEntries(const std::string& pattern, bool folders) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA data{};
    const FindHandle find = FindFirst(pattern, data);
    if (!find) return names;
    do {
        const bool folder = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        if (folder == folders && !IsDotEntry(data.cFileName)) names.emplace_back(data.cFileName);
    } while (FindNextFileA(find.get(), &data));
    return names;
}

}  // namespace

bool DeleteFiles(const std::string& pattern, bool clearAttributes) {
    std::vector<std::string> names;
    try {
        names = ListEntries(pattern, false);
    } catch (const std::exception&) {
        return false;
    }
    const std::string folder = ExtractFilePath(pattern);
    for (const std::string& name : names) {
        try {
            const std::string path = folder + name;
            if (clearAttributes) SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
            DeleteFileA(path.c_str());
        } catch (const std::exception&) {
        }
    }
    return !names.empty();
}

bool DeleteTree(const std::string& folder, bool clearAttributes) {
    if (folder.empty()) return false;
    const bool existed = IsFolder(folder);
    try {
        DeleteFiles(folder + "\\*.*", clearAttributes);
    } catch (const std::exception&) {
    }
    try {
        for (const std::string& name : ListEntries(folder + "\\*.*", true)) {
            try {
                const std::string sub = folder + "\\" + name;
                DeleteTree(sub, clearAttributes);
                RemoveDirectoryA(sub.c_str());
            } catch (const std::exception&) {
            }
        }
    } catch (const std::exception&) {
    }
    RemoveDirectoryA(folder.c_str());
    return existed && !IsFolder(folder);
}

}  // namespace kv
