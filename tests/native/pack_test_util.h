#pragma once
// Test helpers for the package format: scratch folders, fake and signable
// PE images, and a small walker that reads a package set the way the
// stub's unpacker does (blocks, inflate, segments), so that tests can see
// what the stub would extract.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utime.h>
#include <zlib.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "package/byte_source.h"
#include "package/checksum.h"
#include "package/packx.h"
#include "util/ksub.h"

namespace kv::testing {

// A fresh folder under the system temp folder, removed with its contents.
class ScratchDir {
public:
    ScratchDir() {
        std::string tmpl = (std::filesystem::temp_directory_path() / "kvpack-test-XXXXXX").string();
        if (::mkdtemp(&tmpl[0]) != nullptr) path_ = tmpl;
    }
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;
    ~ScratchDir() {
        std::error_code ec;
        if (!path_.empty()) std::filesystem::remove_all(path_, ec);
    }
    const std::string& path() const { return path_; }
    std::string operator/(const std::string& name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

inline void WriteBytes(const std::string& path, const std::string& bytes) {
    std::ofstream f(path, std::ios::binary | std::ios::trunc);
    f.write(bytes.data(), std::streamsize(bytes.size()));
    ASSERT_TRUE(f.good()) << path;
}

inline std::string ReadBytes(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    std::ostringstream s;
    s << f.rdbuf();
    return s.str();
}

inline bool PathExists(const std::string& path) {
    std::error_code ec;
    return std::filesystem::exists(path, ec);
}

inline void SetMTime(const std::string& path, std::time_t when) {
    struct utimbuf times {when, when};
    ASSERT_EQ(::utime(path.c_str(), &times), 0) << path;
}

inline void Put32(std::string& b, size_t at, uint32_t v) {
    StoreU32(reinterpret_cast<unsigned char*>(&b[at]), v);
}
inline void Put16(std::string& b, size_t at, uint16_t v) {
    b[at] = char(v & 0xFF);
    b[at + 1] = char(v >> 8);
}
inline uint32_t Get32(const std::string& b, size_t at) {
    return LoadU32(reinterpret_cast<const unsigned char*>(&b[at]));
}

// Bytes that pass IsPeFile ("MZ", "PE" at 256) and nothing more, filled
// with a non-zero pattern so that sums over them are not trivially 0.
inline std::string FakePe(size_t size) {
    std::string b(size, '\0');
    for (size_t i = 0; i < size; ++i) b[i] = char(0x20 + (i * 7) % 90);
    b[0] = 'M';
    b[1] = 'Z';
    for (size_t i = 248; i < 256 && i < size; ++i) b[i] = 0;  // unsigned
    if (size >= 258) {
        b[256] = 'P';
        b[257] = 'E';
    }
    return b;
}

// A minimal well-formed PE32 image (headers at 256, one code section) that
// a signing tool accepts; `size` is a multiple of 512, at least 1024.
inline std::string SignablePe(size_t size) {
    std::string b(size, '\0');
    const uint32_t raw = uint32_t(size - 0x200);
    b[0] = 'M';
    b[1] = 'Z';
    Put32(b, 0x3C, 256);
    b[256] = 'P';
    b[257] = 'E';
    Put16(b, 260, 0x14C);  // i386
    Put16(b, 262, 1);      // sections
    Put16(b, 276, 224);    // optional header size
    Put16(b, 278, 0x0102); // executable, 32-bit
    Put16(b, 280, 0x10B);  // PE32
    b[282] = 14;
    Put32(b, 284, raw);        // size of code
    Put32(b, 296, 0x1000);     // entry point
    Put32(b, 300, 0x1000);     // base of code
    Put32(b, 304, 0x1000);     // base of data
    Put32(b, 308, 0x400000);   // image base
    Put32(b, 312, 0x1000);     // section alignment
    Put32(b, 316, 0x200);      // file alignment
    Put16(b, 320, 6);
    Put16(b, 328, 6);
    Put32(b, 336, 0x1000 + ((raw + 0xFFF) & ~0xFFFu));  // size of image
    Put32(b, 340, 0x200);      // size of headers
    Put16(b, 348, 2);          // GUI
    Put32(b, 352, 0x100000);
    Put32(b, 356, 0x1000);
    Put32(b, 360, 0x100000);
    Put32(b, 364, 0x1000);
    Put32(b, 372, 16);         // data directories
    std::memcpy(&b[504], ".text", 5);
    Put32(b, 512, raw);        // virtual size
    Put32(b, 516, 0x1000);     // virtual address
    Put32(b, 520, raw);        // raw size
    Put32(b, 524, 0x200);      // raw offset
    Put32(b, 540, 0x60000020); // code, execute, read
    for (size_t i = 0x200; i < size; ++i) b[i] = char(0xC3 ^ (i & 0x3F));
    return b;
}

inline std::string Inflate(const std::string& in, bool& ok) {
    ok = false;
    z_stream z{};
    if (inflateInit(&z) != Z_OK) return std::string();
    std::string out;
    char buf[16384];
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(in.data()));
    z.avail_in = uInt(in.size());
    int rc = Z_OK;
    while (rc == Z_OK) {
        z.next_out = reinterpret_cast<Bytef*>(buf);
        z.avail_out = sizeof buf;
        rc = inflate(&z, Z_NO_FLUSH);
        out.append(buf, sizeof buf - z.avail_out);
        if (rc == Z_BUF_ERROR && z.avail_in == 0) break;
    }
    ok = rc == Z_STREAM_END;
    inflateEnd(&z);
    return out;
}

struct WalkedEntry {
    std::string header;  // as stored, e.g. "Engine.exe*|1234|"
    std::string name;    // without the engine marker
    uint32_t date = 0;
    std::string content;
    bool compressed = false;
    int segment = 0;  // 1-based segment number
};

struct WalkedSegment {
    std::string path;
    TPackTrailer trailer;
    uint32_t computedChecksum = 0;
    uint64_t size = 0;
    int entries = 0;  // file entries (empty-header blocks not counted)
};

struct WalkedSet {
    std::vector<WalkedSegment> segments;
    std::vector<WalkedEntry> entries;
    std::vector<std::string> headerTexts;  // the header blocks of segment 1
    std::map<std::string, std::string> files;  // name -> content as extracted
    std::string engineCommand;
    uint64_t firstEntryOffset = 0;
    bool crcOk = true;
    bool wellFormed = true;  // no block ran past its segment, every inflate worked
};

// Reads a package set starting at `firstPath` as the unpacker does: base
// name without ".001", block numbers across segments, the first
// HeaderCount blocks of the first segment are headers, blocks end where
// 74 or fewer bytes remain before the package end.
inline WalkedSet WalkPackage(const std::string& firstPath) {
    WalkedSet set;
    std::string base = firstPath;
    if (base.size() > 4 && base.compare(base.size() - 4, 4, ".001") == 0) base.resize(base.size() - 4);
    std::string path = firstPath;
    int j = 1;
    uint64_t block = 0;
    uint32_t headerCount = 0;
    for (;;) {
        if (!PathExists(path)) break;
        const MemorySource src(ReadBytes(path));
        WalkedSegment seg;
        seg.path = path;
        seg.size = src.Size();
        ReadTrailer(src, seg.trailer);
        seg.computedChecksum = PackageChecksum(src, seg.trailer.TrailerSize);
        const bool ok = seg.computedChecksum == seg.trailer.Checksum || seg.computedChecksum == 1234 ||
                        seg.trailer.Checksum == 1234;
        if (!ok) {
            set.crcOk = false;
            set.segments.push_back(seg);
            break;
        }
        if (j == 1) headerCount = seg.trailer.HeaderCount;
        uint64_t end = src.Size();
        if (IsPeFile(src) && SignedPackageEnd(src) > 0) end = SignedPackageEnd(src);
        const std::string& bytes = src.Bytes();
        if (seg.trailer.Magic == kPackMagic) {
            uint64_t pos = seg.trailer.PackageStart;
            do {
                if (pos + 4 > end) { set.wellFormed = false; break; }
                const int32_t n = int32_t(Get32(bytes, size_t(pos)));
                const uint64_t m = n < 0 ? uint64_t(-int64_t(n)) : uint64_t(n);
                if (pos + 4 + m > end) { set.wellFormed = false; break; }
                std::string data = bytes.substr(size_t(pos + 4), size_t(m));
                pos += 4 + m;
                ++block;
                if (block == headerCount) set.firstEntryOffset = pos;
                if (block <= headerCount) {
                    if (j == 1) set.headerTexts.push_back(data);
                    continue;
                }
                if (n > 0) {
                    bool inflated = false;
                    data = Inflate(data, inflated);
                    if (!inflated) set.wellFormed = false;
                }
                const size_t zero = data.find('\0');
                if (zero == std::string::npos || zero == 0) continue;
                WalkedEntry e;
                e.header = data.substr(0, zero);
                e.content = data.substr(zero + 1);
                e.compressed = n > 0;
                e.segment = j;
                if (e.header.find('*') != std::string::npos) set.engineCommand = e.header;
                e.name = SUB::Get(e.header, 0);
                e.date = uint32_t(std::strtoul(SUB::Get(e.header, 1).c_str(), nullptr, 10));
                if (e.name.find('*') != std::string::npos) {
                    set.engineCommand = e.name;
                    e.name.erase(e.name.find('*'));
                }
                set.files[e.name] += e.content;
                ++seg.entries;
                set.entries.push_back(std::move(e));
            } while (end - pos > 74);
        }
        set.segments.push_back(seg);
        if (!HasNextSegment(seg.trailer)) break;
        ++j;
        char suffix[16];
        std::snprintf(suffix, sizeof suffix, ".%03d", j);
        path = base + suffix;
    }
    return set;
}

}  // namespace kv::testing
