#include "package/unpack_core.h"

#include <zlib.h>

#include <climits>
#include <cstdio>
#include <cstring>
#include <new>
#include <stdexcept>

#include "package/unpack.h"
#include "util/ksub.h"
#include "util/text_utils.h"

namespace kv {
namespace {

constexpr size_t kInflateGrain = 256;
constexpr const char* kNoMemory = "insufficient memory";
// Folder and drive separators, and what the file system refuses in names.
constexpr const char* kNotInNames = "\\/:<>\"|?*";

bool HasText(const std::string& text, const char* part) { return text.find(part) != std::string::npos; }

// Packed DOS date/time as stored (decimal, up to 32 bits); 0 otherwise.
int32_t EntryDate(const std::string& header) {
    const int64_t value = SUB::GetInt64(header, 1, 0);
    if (value < INT32_MIN || value > int64_t(UINT32_MAX)) return 0;
    return int32_t(uint32_t(value));
}

bool IsDeviceName(const std::string& name) {
    // The device names apply with any extension ("NUL.txt" is NUL too)
    // and with trailing blanks before it.
    const std::string stem = UpperCase(TrimRight(name.substr(0, name.find('.'))));
    static const char* const kDevices[] = {"CON", "PRN", "AUX", "NUL", "CLOCK$", "CONIN$", "CONOUT$"};
    for (const char* d : kDevices)
        if (stem == d) return true;
    return stem.size() == 4 && (stem.compare(0, 3, "COM") == 0 || stem.compare(0, 3, "LPT") == 0) &&
           stem[3] >= '0' && stem[3] <= '9';
}

}  // namespace

std::string SegmentBaseName(const std::string& firstPath) {
    if (firstPath.size() >= 4 && firstPath.compare(firstPath.size() - 4, 4, ".001") == 0)
        return firstPath.substr(0, firstPath.size() - 4);
    return firstPath;
}

std::string SegmentFileName(const std::string& base, int number) {
    char digits[16];
    std::snprintf(digits, sizeof digits, ".%03d", number);
    return base + digits;
}

std::string DiskPromptText(const std::string& prompt, int number) {
    return ReplaceTextIgnoreCase(prompt, "<DISK_NUM>", IntToStr(number), 0, 0, false);
}

bool IsAgentCarrier(const std::string& path) {
    return EndsWith(".exe", path, true) || EndsWith(".exe.001", path, true);
}

BlockStatus ReadBlock(const ByteSource& src, uint64_t position, uint64_t packageEnd, RawBlock& block,
                      BlockVisitor& visitor) {
    block.length = 0;
    block.bytes.clear();
    if (position > packageEnd || packageEnd - position < 4) return BlockStatus::PastEnd;
    unsigned char word[4];
    if (src.ReadAt(position, word, 4) != 4) return BlockStatus::ShortRead;
    block.length = int32_t(LoadU32(word));
    // Negating in 64 bits: the stored length -2^31 has no 32-bit magnitude.
    const uint64_t m = block.length < 0 ? uint64_t(-int64_t(block.length)) : uint64_t(block.length);
    if (m > packageEnd - position - 4) return BlockStatus::PastEnd;
    try {
        block.bytes.resize(size_t(m));
    } catch (const std::exception&) {
        throw DecompressionError(kNoMemory);
    }
    uint64_t done = 0;
    while (done < m) {
        const size_t want = size_t(m - done < kBlockReadPiece ? m - done : kBlockReadPiece);
        const size_t got = src.ReadAt(position + 4 + done, &block.bytes[size_t(done)], want);
        done += got;
        visitor.Pump();
        if (got != want) return BlockStatus::ShortRead;
    }
    return BlockStatus::Ok;
}

std::string InflateBlock(const std::string& packed, size_t limit, BlockVisitor& visitor) {
    z_stream z{};
    if (inflateInit(&z) != Z_OK) throw DecompressionError(z.msg != nullptr ? z.msg : kNoMemory);
    // Ends the stream on every way out, the throws included.
    struct StreamEnd {
        z_stream& z;
        ~StreamEnd() { inflateEnd(&z); }
    } end{z};

    const size_t room = packed.size() > SIZE_MAX - kInflateGrain ? SIZE_MAX : packed.size() + kInflateGrain - 1;
    size_t capacity = room / kInflateGrain * kInflateGrain;
    if (capacity == 0) capacity = kInflateGrain;
    if (limit > 0 && capacity > limit) capacity = limit;
    std::string out;
    try {
        out.resize(capacity);
    } catch (const std::exception&) {
        throw DecompressionError(kNoMemory);
    }
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(packed.data()));
    z.avail_in = uInt(packed.size());
    size_t produced = 0;
    for (;;) {
        const size_t free = capacity - produced;
        z.next_out = reinterpret_cast<Bytef*>(&out[produced]);
        z.avail_out = uInt(free > UINT_MAX ? UINT_MAX : free);
        const uInt offered = z.avail_out;
        const int rc = inflate(&z, Z_NO_FLUSH);
        produced += offered - z.avail_out;
        if (rc == Z_STREAM_END) break;
        if (rc != Z_OK && !(rc == Z_BUF_ERROR && z.avail_out == 0))
            throw DecompressionError(z.msg != nullptr ? z.msg : zError(rc));
        if (z.avail_out > 0) continue;  // more output room this round
        if (limit > 0 && capacity >= limit) throw DecompressionError("inflated entry exceeds the size limit");
        if (capacity > out.max_size() / 2) throw DecompressionError(kNoMemory);
        size_t grown = capacity * 2;
        if (limit > 0 && grown > limit) grown = limit;
        try {
            out.resize(grown);
        } catch (const std::exception&) {
            throw DecompressionError(kNoMemory);
        }
        capacity = grown;
        visitor.Pump();
    }
    out.resize(produced);
    return out;
}

bool DecodeFileEntry(std::string payload, FileEntry& entry) {
    entry = FileEntry();
    const size_t zero = payload.find('\0');
    if (zero == std::string::npos || zero == 0) return false;
    entry.header = payload.substr(0, zero);
    payload.erase(0, zero + 1);
    entry.content = std::move(payload);
    if (HasText(entry.header, "*")) {
        entry.marksEngine = true;
        entry.engineCommand = entry.header;
    }
    entry.name = SUB::Get(entry.header, 0);
    entry.date = EntryDate(entry.header);
    const size_t star = entry.name.find('*');
    if (star != std::string::npos) {
        entry.marksEngine = true;
        entry.engineCommand = entry.name;
        entry.name.erase(star);
    }
    return true;
}

bool IsPlainFileName(const std::string& name) {
    if (name.empty() || name.find_first_not_of(". ") == std::string::npos) return false;
    for (const char c : name) {
        const unsigned char u = static_cast<unsigned char>(c);
        if (u < 32 || u == 127) return false;
        if (std::strchr(kNotInNames, c) != nullptr) return false;
    }
    return !IsDeviceName(name);
}

WalkResult WalkSegmentBlocks(const ByteSource& src, uint64_t packageEnd, uint32_t headerCount, SegmentWalk& walk,
                             BlockVisitor& visitor, size_t inflateLimit) {
    if (walk.position > packageEnd) return WalkResult::Damaged;
    RawBlock block;
    FileEntry entry;
    while (packageEnd - walk.position > kBlocksEndRoom) {
        visitor.Pump();
        if (ReadBlock(src, walk.position, packageEnd, block, visitor) != BlockStatus::Ok) return WalkResult::Damaged;
        walk.position += 4 + block.bytes.size();
        ++walk.blockNumber;
        if (walk.blockNumber == headerCount) walk.firstEntryOffset = walk.position;
        if (walk.blockNumber <= headerCount) continue;
        std::string payload = block.Compressed() ? InflateBlock(block.bytes, inflateLimit, visitor)
                                                 : std::move(block.bytes);
        if (DecodeFileEntry(std::move(payload), entry)) visitor.OnFileEntry(entry);
    }
    return WalkResult::Complete;
}

std::string AgentCopyBytes(std::string image, TPackTrailer trailer) {
    if (image.size() >= kSignedEndLowOffset + 4)
        StoreU32(reinterpret_cast<unsigned char*>(&image[size_t(kSignedEndLowOffset)]), 0);
    trailer.IsAutoUpdateProgram = 1;
    trailer.TrailerSize = uint32_t(kTrailerRecordSize);
    const auto bytes = trailer.Encode();
    image.append(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    return image;
}

}  // namespace kv
