#include "package/file_source.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace kv {
namespace {

// Owns one POSIX file descriptor.
class FdOwner {
public:
    explicit FdOwner(int fd = -1) : fd_(fd) {}
    FdOwner(const FdOwner&) = delete;
    FdOwner& operator=(const FdOwner&) = delete;
    FdOwner(FdOwner&& o) noexcept : fd_(o.release()) {}
    FdOwner& operator=(FdOwner&& o) noexcept {
        if (this != &o) { close(); fd_ = o.release(); }
        return *this;
    }
    ~FdOwner() { close(); }
    int get() const { return fd_; }
    bool valid() const { return fd_ >= 0; }
    int release() { const int fd = fd_; fd_ = -1; return fd; }
    bool close() {
        if (fd_ < 0) return true;
        const bool ok = ::close(fd_) == 0;
        fd_ = -1;
        return ok;
    }

private:
    int fd_;
};

class PosixFileSource final : public ByteSource {
public:
    PosixFileSource(FdOwner fd, uint64_t size) : fd_(std::move(fd)), size_(size) {}
    uint64_t Size() const override { return size_; }
    size_t ReadAt(uint64_t offset, void* dst, size_t n) const override {
        if (offset >= size_) return 0;
        if (n > size_ - offset) n = size_t(size_ - offset);
        size_t done = 0;
        while (done < n) {
            const ssize_t r = ::pread(fd_.get(), static_cast<char*>(dst) + done, n - done, off_t(offset + done));
            if (r < 0 && errno == EINTR) continue;
            if (r <= 0) break;
            done += size_t(r);
        }
        return done;
    }

private:
    FdOwner fd_;
    uint64_t size_;
};

}  // namespace

std::unique_ptr<ByteSource> OpenFileSource(const std::string& path) {
    FdOwner fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (!fd.valid()) return nullptr;
    struct stat st {};
    if (::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode)) return nullptr;
    return std::make_unique<PosixFileSource>(std::move(fd), uint64_t(st.st_size));
}

bool FileExists(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

}  // namespace kv
