#include "harness/paths.h"

#include <windows.h>

#include <atomic>

namespace kv::test {
namespace {

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

}  // namespace

std::string WinPath(const std::string& unixPath) {
    std::string p = unixPath;
    for (char& c : p) {
        if (c == '/') c = '\\';
    }
    if (p.size() >= 2 && p[1] == ':') return p;
    return "Z:" + p;
}

std::string BuildDir() { return WinPath(KV_BUILD_DIR); }
std::string SourceDir() { return WinPath(KV_SOURCE_DIR); }
std::string StubPath() { return BuildDir() + "\\src\\stub.exe"; }
std::string ToolPath(const std::string& name) { return BuildDir() + "\\tools\\win\\" + name + "\\" + name + ".exe"; }

bool RemoveTree(const std::string& path) {
    WIN32_FIND_DATAA fd;
    {
        FindHandle find(FindFirstFileA((path + "\\*").c_str(), &fd));
        if (find) {
            do {
                const std::string name = fd.cFileName;
                if (name == "." || name == "..") continue;
                const std::string full = path + "\\" + name;
                if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                    RemoveTree(full);
                } else {
                    if (fd.dwFileAttributes & FILE_ATTRIBUTE_READONLY) SetFileAttributesA(full.c_str(), FILE_ATTRIBUTE_NORMAL);
                    DeleteFileA(full.c_str());
                }
            } while (FindNextFileA(find.get(), &fd));
        }
    }
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    return RemoveDirectoryA(path.c_str()) != 0 || GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES;
}

TempDir::TempDir() {
    static std::atomic<unsigned> counter{0};
    char base[MAX_PATH + 1];
    const DWORD n = GetTempPathA(sizeof base, base);
    if (n == 0 || n > MAX_PATH) return;
    std::string root(base, n);
    if (!root.empty() && root.back() == '\\') root.pop_back();
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::string candidate = root + "\\kvtest-" + std::to_string(GetCurrentProcessId()) + "-" +
                                      std::to_string(++counter) + "-" + std::to_string(GetTickCount() % 100000);
        if (CreateDirectoryA(candidate.c_str(), nullptr)) {
            path_ = candidate;
            return;
        }
        if (GetLastError() != ERROR_ALREADY_EXISTS) return;
    }
}

TempDir::~TempDir() {
    if (!path_.empty() && !keep_) RemoveTree(path_);
}

}  // namespace kv::test
