#include "pefix/pefix.h"

#include <algorithm>
#include <cstring>

namespace kv {
namespace {

// Record sizes of the PE format.
constexpr size_t kDosHeaderSize = 64;
constexpr size_t kLfanewOffset = 60;
constexpr size_t kSignatureSize = 4;
constexpr size_t kFileHeaderSize = 20;
constexpr size_t kSectionHeaderSize = 40;
// Offsets inside the file header.
constexpr size_t kNumberOfSections = 2;
constexpr size_t kSizeOfOptionalHeader = 16;
// Offsets inside the optional header (the same for PE32 and PE32+).
constexpr size_t kSizeOfHeaders = 60;
constexpr size_t kCheckSum = 64;
constexpr size_t kMinOptionalHeader = kCheckSum + 4;
constexpr uint16_t kMagicPe32 = 0x10b;
constexpr uint16_t kMagicPe32Plus = 0x20b;
// Data directories: where the count and the table sit in each kind.
constexpr size_t kRvaCountPe32 = 92, kDirectoriesPe32 = 96;
constexpr size_t kRvaCountPe32Plus = 108, kDirectoriesPe32Plus = 112;
constexpr size_t kDirectorySize = 8;
constexpr uint32_t kCertificateDirectory = 4;
// Offsets inside a section header.
constexpr size_t kSizeOfRawData = 16;
constexpr size_t kPointerToRawData = 20;

static_assert(PeReservedWords + 8 == PeHeaderOffset, "the builder's words end where the headers start");

uint16_t Get16(const std::string& b, size_t at) {
    return uint16_t(uint8_t(b[at]) | uint8_t(b[at + 1]) << 8);
}
uint32_t Get32(const std::string& b, size_t at) {
    return uint32_t(uint8_t(b[at])) | uint32_t(uint8_t(b[at + 1])) << 8 |
           uint32_t(uint8_t(b[at + 2])) << 16 | uint32_t(uint8_t(b[at + 3])) << 24;
}
void Put32(std::string& b, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + i] = char(uint8_t(v >> (8 * i)));
}

PeFixResult Fail(PeFixStatus s, std::string why) { return {s, std::move(why)}; }

}  // namespace

uint32_t PeImageChecksum(const std::string& image, size_t checksumOffset) {
    auto byteAt = [&](size_t i) -> uint32_t {
        if (i >= checksumOffset && i - checksumOffset < 4) return 0;
        return uint8_t(image[i]);
    };
    uint32_t sum = 0;
    const size_t n = image.size();
    for (size_t i = 0; i < n; i += 2) {
        sum += byteAt(i) | (i + 1 < n ? byteAt(i + 1) << 8 : 0);
        sum = (sum & 0xffff) + (sum >> 16);
    }
    sum = (sum & 0xffff) + (sum >> 16);
    return sum + uint32_t(n);
}

PeFixResult FixPeHeaderOffset(std::string& image) {
    const size_t size = image.size();
    if (size < kDosHeaderSize || image[0] != 'M' || image[1] != 'Z') {
        return Fail(PeFixStatus::NotPe, "no DOS header (\"MZ\")");
    }
    const size_t nt = Get32(image, kLfanewOffset);
    if (nt < kDosHeaderSize || nt > size || size - nt < kSignatureSize + kFileHeaderSize ||
        std::memcmp(image.data() + nt, "PE\0\0", 4) != 0) {
        return Fail(PeFixStatus::NotPe, "no PE signature where e_lfanew points");
    }
    const size_t fileHeader = nt + kSignatureSize;
    const size_t sections = Get16(image, fileHeader + kNumberOfSections);
    const size_t optSize = Get16(image, fileHeader + kSizeOfOptionalHeader);
    const size_t opt = fileHeader + kFileHeaderSize;
    const size_t length = kSignatureSize + kFileHeaderSize + optSize + sections * kSectionHeaderSize;
    if (size - nt < length) {
        return Fail(PeFixStatus::Truncated, "the optional header or the section table runs past the end of the file");
    }
    if (nt == PeHeaderOffset) return {PeFixStatus::AlreadyFixed, {}};

    if (optSize < kMinOptionalHeader) return Fail(PeFixStatus::NotPe, "optional header too small");
    const uint16_t magic = Get16(image, opt);
    if (magic != kMagicPe32 && magic != kMagicPe32Plus) {
        return Fail(PeFixStatus::NotPe, "unknown optional header magic");
    }
    const size_t countAt = magic == kMagicPe32 ? kRvaCountPe32 : kRvaCountPe32Plus;
    const size_t tableAt = magic == kMagicPe32 ? kDirectoriesPe32 : kDirectoriesPe32Plus;
    size_t directories = 0;
    if (optSize >= countAt + 4) {
        directories = std::min<size_t>(Get32(image, opt + countAt),
                                       optSize >= tableAt ? (optSize - tableAt) / kDirectorySize : 0);
    }

    const size_t newEnd = PeHeaderOffset + length;
    const uint32_t sizeOfHeaders = Get32(image, opt + kSizeOfHeaders);
    if (newEnd > sizeOfHeaders || newEnd > size) {
        return Fail(PeFixStatus::NoRoom, "the headers moved to offset 256 would end at " + std::to_string(newEnd) +
                                             ", past SizeOfHeaders (" + std::to_string(sizeOfHeaders) + ")");
    }
    const size_t sectionTable = opt + optSize;
    for (size_t i = 0; i < sections; ++i) {
        const size_t sh = sectionTable + i * kSectionHeaderSize;
        const uint32_t raw = Get32(image, sh + kPointerToRawData);
        if (Get32(image, sh + kSizeOfRawData) != 0 && raw != 0 && raw < newEnd) {
            return Fail(PeFixStatus::NoRoom, "the headers moved to offset 256 would end at " +
                                                 std::to_string(newEnd) + ", past the start of section data at " +
                                                 std::to_string(raw));
        }
    }

    // Everything in [lo, hi) is rewritten: the old headers are zeroed, the
    // new ones written, bytes 248..255 cleared.
    const size_t oldEnd = nt + length;
    const size_t lo = std::min<size_t>(nt, PeReservedWords);
    const size_t hi = std::max(oldEnd, newEnd);
    for (size_t i = 0; i < directories; ++i) {
        const size_t d = opt + tableAt + i * kDirectorySize;
        const uint32_t where = Get32(image, d), len = Get32(image, d + 4);
        if (len == 0) continue;
        if (i == kCertificateDirectory) {
            return Fail(PeFixStatus::Signed, "the file is signed; fix it before signing");
        }
        // Headers map at RVA == file offset, so an RVA below SizeOfHeaders
        // names bytes of the header area itself (a bound import table, say).
        if (where < sizeOfHeaders && where < hi && uint64_t(where) + len > lo) {
            return Fail(PeFixStatus::InTheWay, "data directory " + std::to_string(i) +
                                                   " lies in the header area the move rewrites");
        }
    }
    for (size_t i = oldEnd; i < hi; ++i) {
        if (image[i] != 0) {
            return Fail(PeFixStatus::InTheWay, "non-zero bytes after the section table at offset " + std::to_string(i));
        }
    }

    const uint32_t oldChecksum = Get32(image, opt + kCheckSum);
    const std::string headers = image.substr(nt, length);
    std::fill(image.begin() + lo, image.begin() + hi, '\0');
    image.replace(PeHeaderOffset, length, headers);
    Put32(image, kLfanewOffset, PeHeaderOffset);
    if (oldChecksum != 0) {
        const size_t at = PeHeaderOffset + (opt - nt) + kCheckSum;
        Put32(image, at, PeImageChecksum(image, at));
    }
    return {PeFixStatus::Moved, {}};
}

}  // namespace kv
