#pragma once
// A read-only, random-access view of a file's bytes. The package reader,
// the checksum and the block decoder work over it so that they build and
// are tested natively; the stub gives them a Win32 file, tests a buffer.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace kv {

class ByteSource {
public:
    virtual ~ByteSource() = default;
    // Total size in bytes; 0 when unknown or empty.
    virtual uint64_t Size() const = 0;
    // Reads up to n bytes at offset into dst; returns the count read
    // (0 at or past the end, or on a read error). Never reads past Size().
    virtual size_t ReadAt(uint64_t offset, void* dst, size_t n) const = 0;
};

// Bytes held in memory (the whole file as one buffer).
class MemorySource final : public ByteSource {
public:
    explicit MemorySource(std::string bytes) : bytes_(std::move(bytes)) {}
    uint64_t Size() const override { return bytes_.size(); }
    size_t ReadAt(uint64_t offset, void* dst, size_t n) const override;
    const std::string& Bytes() const { return bytes_; }

private:
    std::string bytes_;
};

// Reads a little-endian 32-bit word; false when fewer than 4 bytes are there.
bool ReadU32At(const ByteSource& src, uint64_t offset, uint32_t& value);

inline uint32_t LoadU32(const unsigned char* p) {
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}
inline void StoreU32(unsigned char* p, uint32_t v) {
    p[0] = uint8_t(v); p[1] = uint8_t(v >> 8); p[2] = uint8_t(v >> 16); p[3] = uint8_t(v >> 24);
}

}  // namespace kv
