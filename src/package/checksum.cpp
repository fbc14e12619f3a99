#include "package/checksum.h"

#include "package/file_source.h"
#include "package/packx.h"

namespace kv {

uint32_t PackageChecksum(const ByteSource& src, uint32_t tailLength) {
    constexpr size_t kPiece = 4096;
    uint64_t size = src.Size();
    if (size > kChecksumMaxFileSize) return kChecksumNotComputed;

    // A signed file is summed from 512 up to the end it recorded before
    // signing; only the low half is consulted, as the file is small.
    uint32_t signedEnd = 0;
    if (IsPeFile(src) && ReadU32At(src, kSignedEndLowOffset, signedEnd) && signedEnd > 0) size = signedEnd;

    int64_t remaining = int64_t(size) - int64_t(tailLength);
    uint64_t offset = 0;
    if (signedEnd > 0) {
        remaining -= 512;
        offset = 512;
    }

    uint32_t sum = 0;
    unsigned char buf[kPiece];
    for (;;) {
        const size_t got = src.ReadAt(offset, buf, kPiece);
        offset += got;
        for (size_t i = 0; i + 4 <= got; i += 4) {
            remaining -= 4;
            if (remaining > 4) sum += LoadU32(buf + i);
        }
        if (remaining > 4) sum += kChecksumNotComputed;
        if (got != kPiece) break;
    }
    return sum;
}

uint32_t PackageChecksum(const std::string& path, uint32_t tailLength) {
    const std::unique_ptr<ByteSource> src = OpenFileSource(path);
    if (!src) return 0;
    return PackageChecksum(*src, tailLength);
}

}  // namespace kv
