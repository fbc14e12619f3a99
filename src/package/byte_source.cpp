#include "package/byte_source.h"

#include <cstring>

namespace kv {

size_t MemorySource::ReadAt(uint64_t offset, void* dst, size_t n) const {
    if (offset >= bytes_.size()) return 0;
    const size_t left = size_t(bytes_.size() - offset);
    const size_t take = n < left ? n : left;
    std::memcpy(dst, bytes_.data() + offset, take);
    return take;
}

bool ReadU32At(const ByteSource& src, uint64_t offset, uint32_t& value) {
    unsigned char b[4];
    if (src.ReadAt(offset, b, 4) != 4) return false;
    value = LoadU32(b);
    return true;
}

}  // namespace kv
