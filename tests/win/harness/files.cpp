#include "harness/files.h"

#include <windows.h>

#include <algorithm>

#include "harness/deadline.h"
#include "util/win_handle.h"

namespace kv::test {

bool ReadWholeFile(const std::string& path, std::string& bytes) {
    bytes.clear();
    FileHandle f(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                             nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!f) return false;
    char buf[65536];
    for (;;) {
        DWORD n = 0;
        if (!::ReadFile(f.get(), buf, sizeof buf, &n, nullptr)) return false;
        if (n == 0) return true;
        bytes.append(buf, n);
    }
}

std::string ReadWholeFile(const std::string& path) {
    std::string bytes;
    return ReadWholeFile(path, bytes) ? bytes : std::string();
}

bool WriteWholeFile(const std::string& path, const std::string& bytes) {
    FileHandle f(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!f) return false;
    size_t done = 0;
    while (done < bytes.size()) {
        DWORD n = 0;
        const DWORD want = DWORD(std::min<size_t>(bytes.size() - done, 1u << 20));
        if (!::WriteFile(f.get(), bytes.data() + done, want, &n, nullptr) || n == 0) return false;
        done += n;
    }
    return true;
}

bool CopyFileTo(const std::string& from, const std::string& to) {
    return CopyFileA(from.c_str(), to.c_str(), FALSE) != 0;
}

bool FileExists(const std::string& path) {
    const DWORD a = GetFileAttributesA(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

bool WaitForFile(const std::string& path, unsigned deadline_ms) {
    const Deadline deadline(deadline_ms);
    for (;;) {
        if (FileExists(path)) return true;
        if (deadline.Passed()) return false;
        Sleep(20);
    }
}

}  // namespace kv::test
