#pragma once
// How a whole text goes to a file: large texts in about ten chunks of at
// most 1 MiB, so that no single write call asks the system for a buffer
// of many megabytes, small ones in one call.
#include <cstddef>
#include <string>

namespace kv {

// Texts longer than this are written in chunks.
constexpr size_t ChunkedWriteThreshold = 1048576;
constexpr size_t MaxWriteChunk = 1048576;
constexpr size_t MinWriteChunk = 1024;

// The chunk size for a text of `total` bytes: total / 10, at least 1024
// bytes (never more than the text) and at most 1 MiB.
size_t WriteChunkSize(size_t total);

// Writes `data` through `write(const char* p, size_t n) -> size_t written`:
// one call for a text up to the threshold (none for an empty one),
// otherwise chunks of WriteChunkSize in order, stopping at the first call
// that writes nothing. Returns the number of bytes written.
template <class Write>
size_t WriteWholeText(const std::string& data, Write&& write) {
    if (data.size() <= ChunkedWriteThreshold) {
        return data.empty() ? 0 : write(data.data(), data.size());
    }
    const size_t chunk = WriteChunkSize(data.size());
    size_t done = 0;
    while (done < data.size()) {
        const size_t left = data.size() - done;
        const size_t n = write(data.data() + done, left < chunk ? left : chunk);
        if (n == 0) break;
        done += n;
    }
    return done;
}

}  // namespace kv
