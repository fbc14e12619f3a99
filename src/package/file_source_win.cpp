#include "package/file_source.h"

#include <windows.h>

#include "util/win_handle.h"

namespace kv {
namespace {

class WinFileSource final : public ByteSource {
public:
    WinFileSource(FileHandle h, uint64_t size) : h_(std::move(h)), size_(size) {}
    uint64_t Size() const override { return size_; }
    size_t ReadAt(uint64_t offset, void* dst, size_t n) const override {
        if (offset >= size_) return 0;
        if (n > size_ - offset) n = size_t(size_ - offset);
        LARGE_INTEGER pos;
        pos.QuadPart = LONGLONG(offset);
        if (!::SetFilePointerEx(h_.get(), pos, nullptr, FILE_BEGIN)) return 0;
        size_t done = 0;
        while (done < n) {
            const DWORD want = DWORD(n - done > 0x10000000u ? 0x10000000u : n - done);
            DWORD got = 0;
            if (!::ReadFile(h_.get(), static_cast<char*>(dst) + done, want, &got, nullptr) || got == 0) break;
            done += got;
        }
        return done;
    }

private:
    FileHandle h_;
    uint64_t size_;
};

}  // namespace

std::unique_ptr<ByteSource> OpenFileSource(const std::string& path) {
    FileHandle h(::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                               OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!h.valid()) return nullptr;
    LARGE_INTEGER size;
    if (!::GetFileSizeEx(h.get(), &size)) return nullptr;
    return std::make_unique<WinFileSource>(std::move(h), uint64_t(size.QuadPart));
}

bool FileExists(const std::string& path) {
    const DWORD attr = ::GetFileAttributesA(path.c_str());
    return attr != INVALID_FILE_ATTRIBUTES && (attr & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

}  // namespace kv
