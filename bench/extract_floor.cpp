// kvbench_floor PACKAGE DESTDIR: the floor for the stub's extraction on
// this machine. Walks the package's file entries the way the stub does
// (whole block in memory, one inflate call per compressed block, content
// appended to its file) with plain native file calls and zlib, and prints
// "floor_ms=<ms> floor_bytes=<bytes written> entries=<n>".
#include <zlib.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "package/packx.h"

namespace {

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

bool ReadExact(std::FILE* f, void* dst, size_t n) { return std::fread(dst, 1, n, f) == n; }

// Inflates one zlib stream whole; the buffer doubles as it fills.
bool InflateBlock(const std::vector<unsigned char>& in, std::vector<unsigned char>& out) {
    z_stream z{};
    if (inflateInit(&z) != Z_OK) return false;
    out.resize(std::max<size_t>(in.size() * 4, 4096));
    z.next_in = const_cast<unsigned char*>(in.data());
    z.avail_in = static_cast<uInt>(in.size());
    int rc = Z_OK;
    while (rc == Z_OK) {
        if (z.total_out == out.size()) out.resize(out.size() * 2);
        z.next_out = out.data() + z.total_out;
        z.avail_out = static_cast<uInt>(out.size() - z.total_out);
        rc = inflate(&z, Z_NO_FLUSH);
    }
    out.resize(z.total_out);
    inflateEnd(&z);
    return rc == Z_STREAM_END;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: kvbench_floor PACKAGE DESTDIR\n");
        return 2;
    }
    const std::string package = argv[1];
    const std::string dest = argv[2];
    kv::TPackTrailer trailer;
    if (!kv::ReadTrailer(package, trailer)) {
        std::fprintf(stderr, "not a package: %s\n", package.c_str());
        return 1;
    }
    File in(std::fopen(package.c_str(), "rb"));
    if (!in) return 1;
    std::fseek(in.get(), 0, SEEK_END);
    const int64_t end = std::ftell(in.get());
    const auto start = std::chrono::steady_clock::now();
    std::fseek(in.get(), static_cast<long>(trailer.PackageStart), SEEK_SET);
    int64_t pos = trailer.PackageStart;
    uint64_t written = 0;
    unsigned block = 0, entries = 0;
    std::vector<unsigned char> raw, inflated;
    while (end - pos > 74) {
        int32_t n = 0;
        if (!ReadExact(in.get(), &n, 4)) break;
        const uint32_t m = n < 0 ? 0u - static_cast<uint32_t>(n) : static_cast<uint32_t>(n);
        raw.resize(m);
        if (m != 0 && !ReadExact(in.get(), raw.data(), m)) break;
        pos += 4 + static_cast<int64_t>(m);
        if (++block <= trailer.HeaderCount) continue;
        const std::vector<unsigned char>* entry = &raw;
        if (n > 0) {
            if (!InflateBlock(raw, inflated)) {
                std::fprintf(stderr, "bad block %u\n", block);
                return 1;
            }
            entry = &inflated;
        }
        const auto zero = std::find(entry->begin(), entry->end(), 0);
        if (zero == entry->begin() || zero == entry->end()) continue;
        std::string header(entry->begin(), zero);
        std::string name = header.substr(1, header.find('|', 1) - 1);  // "|name|date|"
        name = name.substr(0, name.find('*'));
        File out(std::fopen((dest + "/" + name).c_str(), "ab"));
        if (!out) return 1;
        const size_t size = static_cast<size_t>(entry->end() - zero - 1);
        written += std::fwrite(&*zero + 1, 1, size, out.get());
        ++entries;
    }
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);
    std::printf("floor_ms=%lld floor_bytes=%llu entries=%u\n", static_cast<long long>(ms.count()),
                static_cast<unsigned long long>(written), entries);
    return 0;
}
