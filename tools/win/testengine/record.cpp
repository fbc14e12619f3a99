#include "record.h"

#include <algorithm>
#include <cctype>

#include "util/win_handle.h"

namespace kv::testengine {
namespace {

// A FindFirstFile handle; "none" is INVALID_HANDLE_VALUE.
class FindHandle {
public:
    explicit FindHandle(HANDLE h) : h_(h) {}
    FindHandle(const FindHandle&) = delete;
    FindHandle& operator=(const FindHandle&) = delete;
    ~FindHandle() { close(); }
    explicit operator bool() const { return h_ != INVALID_HANDLE_VALUE; }
    HANDLE get() const { return h_; }
    bool close() {
        const bool ok = h_ == INVALID_HANDLE_VALUE || FindClose(h_) != 0;
        h_ = INVALID_HANDLE_VALUE;
        return ok;
    }

private:
    HANDLE h_;
};

uint32_t DosTimeOf(const FILETIME& utc) {
    FILETIME local;
    WORD date = 0;
    WORD time = 0;
    if (!FileTimeToLocalFileTime(&utc, &local) || !FileTimeToDosDateTime(&local, &date, &time)) return 0;
    return uint32_t(date) << 16 | time;
}

bool LessNoCase(const FolderEntry& a, const FolderEntry& b) {
    return std::lexicographical_compare(a.name.begin(), a.name.end(), b.name.begin(), b.name.end(), [](char x, char y) {
        return std::toupper(static_cast<unsigned char>(x)) < std::toupper(static_cast<unsigned char>(y));
    });
}

}  // namespace

std::vector<FolderEntry> ListFolder(const std::string& folder) {
    std::vector<FolderEntry> entries;
    WIN32_FIND_DATAA fd;
    FindHandle find(FindFirstFileA((folder + "\\*").c_str(), &fd));
    if (!find) return entries;
    do {
        FolderEntry e;
        e.name = fd.cFileName;
        if (e.name == "." || e.name == "..") continue;
        e.folder = (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        e.size = uint64_t(fd.nFileSizeHigh) << 32 | fd.nFileSizeLow;
        e.dosTime = DosTimeOf(fd.ftLastWriteTime);
        entries.push_back(e);
    } while (FindNextFileA(find.get(), &fd));
    std::sort(entries.begin(), entries.end(), LessNoCase);
    return entries;
}

std::string FolderLines(const std::vector<FolderEntry>& entries) {
    std::string text;
    for (const FolderEntry& e : entries) {
        if (e.folder) {
            text += Line("Dir", e.name);
        } else {
            text += Line("File", e.name + "|" + std::to_string(e.size) + "|" + std::to_string(e.dosTime));
        }
    }
    return text;
}

std::string Line(const std::string& key, const std::string& value) { return key + "=" + value + "\r\n"; }

bool AppendToFile(const std::string& path, const std::string& text) {
    // FILE_APPEND_DATA alone makes every write land at the end, even when
    // a second engine appends to the same record at the same time.
    FileHandle file(CreateFileA(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;
    DWORD written = 0;
    return WriteFile(file.get(), text.data(), DWORD(text.size()), &written, nullptr) && written == text.size();
}

}  // namespace kv::testengine
