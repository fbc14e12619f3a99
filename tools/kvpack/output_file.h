#pragma once
// An output file written under a temporary name beside its final path and
// renamed into place only when asked, so that a failed build never leaves
// a half-written package behind.
#include <cstdint>
#include <cstdio>
#include <string>

namespace kv::pack {

class TempOutput {
public:
    explicit TempOutput(std::string finalPath);
    TempOutput(const TempOutput&) = delete;
    TempOutput& operator=(const TempOutput&) = delete;
    // Removes the temporary file unless it was committed.
    ~TempOutput();

    // Creates (or truncates) the temporary file.
    bool Open(std::string& error);
    // Appends at the end.
    bool Write(const void* data, size_t n, std::string& error);
    bool Write(const std::string& bytes, std::string& error) { return Write(bytes.data(), bytes.size(), error); }
    // Overwrites bytes already written, then returns to the end.
    bool PatchAt(uint64_t offset, const void* data, size_t n, std::string& error);
    // Makes everything written visible to readers of the temporary path.
    bool Flush(std::string& error);
    bool Close(std::string& error);
    // Closes and renames the temporary file to the final path.
    bool Commit(std::string& error);

    uint64_t Size() const { return size_; }
    const std::string& TempPath() const { return tempPath_; }
    const std::string& FinalPath() const { return finalPath_; }

private:
    std::string finalPath_;
    std::string tempPath_;
    std::FILE* file_ = nullptr;
    uint64_t size_ = 0;
    bool committed_ = false;
};

}  // namespace kv::pack
