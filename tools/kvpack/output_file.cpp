#include "kvpack/output_file.h"

#include <cerrno>
#include <cstring>

#ifdef _WIN32
#include <windows.h>
#endif

namespace kv::pack {
namespace {

bool Seek(std::FILE* f, uint64_t offset, int whence) {
#ifdef _WIN32
    return _fseeki64(f, static_cast<long long>(offset), whence) == 0;
#else
    return fseeko(f, off_t(offset), whence) == 0;
#endif
}

std::string Reason() { return std::strerror(errno); }

}  // namespace

TempOutput::TempOutput(std::string finalPath)
    : finalPath_(std::move(finalPath)), tempPath_(finalPath_ + ".kvpack-tmp") {}

TempOutput::~TempOutput() {
    if (file_ != nullptr) std::fclose(file_);
    if (!committed_) std::remove(tempPath_.c_str());
}

bool TempOutput::Open(std::string& error) {
    file_ = std::fopen(tempPath_.c_str(), "wb");
    if (file_ == nullptr) {
        error = "cannot create " + tempPath_ + ": " + Reason();
        return false;
    }
    size_ = 0;
    return true;
}

bool TempOutput::Write(const void* data, size_t n, std::string& error) {
    if (n == 0) return true;
    if (file_ == nullptr || std::fwrite(data, 1, n, file_) != n) {
        error = "cannot write " + tempPath_ + ": " + Reason();
        return false;
    }
    size_ += n;
    return true;
}

bool TempOutput::PatchAt(uint64_t offset, const void* data, size_t n, std::string& error) {
    if (file_ == nullptr || offset + n > size_ || !Seek(file_, offset, SEEK_SET) ||
        std::fwrite(data, 1, n, file_) != n || !Seek(file_, 0, SEEK_END)) {
        error = "cannot update " + tempPath_ + ": " + Reason();
        return false;
    }
    return true;
}

bool TempOutput::Flush(std::string& error) {
    if (file_ == nullptr || std::fflush(file_) != 0) {
        error = "cannot write " + tempPath_ + ": " + Reason();
        return false;
    }
    return true;
}

bool TempOutput::Close(std::string& error) {
    if (file_ == nullptr) return true;
    const bool ok = std::fclose(file_) == 0;
    file_ = nullptr;
    if (!ok) error = "cannot write " + tempPath_ + ": " + Reason();
    return ok;
}

bool TempOutput::Commit(std::string& error) {
    if (!Close(error)) return false;
#ifdef _WIN32
    const bool ok = MoveFileExA(tempPath_.c_str(), finalPath_.c_str(), MOVEFILE_REPLACE_EXISTING) != 0;
    if (!ok) error = "cannot rename " + tempPath_ + " to " + finalPath_ + ": error " + std::to_string(GetLastError());
#else
    const bool ok = std::rename(tempPath_.c_str(), finalPath_.c_str()) == 0;
    if (!ok) error = "cannot rename " + tempPath_ + " to " + finalPath_ + ": " + Reason();
#endif
    committed_ = ok;
    return ok;
}

}  // namespace kv::pack
