#include "util/file_chunks.h"

namespace kv {

size_t WriteChunkSize(size_t total) {
    const size_t tenth = total / 10;
    if (tenth <= MinWriteChunk) return total < MinWriteChunk ? total : MinWriteChunk;
    return tenth < MaxWriteChunk ? tenth : MaxWriteChunk;
}

}  // namespace kv
