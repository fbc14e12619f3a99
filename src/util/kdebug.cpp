// The portable half of the trace channel: the 128-character buffer and the
// chunk sender. The platform half supplies the lock and the dispatcher.
#include "util/kdebug.h"

#include <algorithm>
#include <cstring>

namespace kv {
namespace {

// The dispatcher is never handed more than this many characters.
constexpr size_t kMaxDispatch = 10241;
static_assert(TraceBufferSize <= kMaxDispatch, "a full buffer must fit one dispatch");

char g_buffer[TraceBufferSize];
size_t g_count = 0;

class TraceLock {
public:
    TraceLock() { TraceLockEnter(); }
    ~TraceLock() { TraceLockLeave(); }
    TraceLock(const TraceLock&) = delete;
    TraceLock& operator=(const TraceLock&) = delete;
};

// The chunk sender; the caller holds the lock. The buffer is emptied before
// the dispatch so that text written during it (the dispatch sends a window
// message, and messages sent to this thread are handled meanwhile) starts a
// new chunk instead of being sent twice or lost.
void SendBuffered() {
    if (g_count == 0) return;
    char local[TraceBufferSize + 1];
    const size_t n = g_count;
    std::memcpy(local, g_buffer, n);
    local[n] = '\0';
    g_count = 0;
    try {
        TraceSendChunk(std::string_view(local, n));
    } catch (...) {
        // A trace failure never reaches the code that wrote the line.
    }
}

}  // namespace

void TraceWrite(std::string_view text) {
    TraceLock lock;
    while (!text.empty()) {
        const size_t n = std::min(text.size(), TraceBufferSize - g_count);
        std::memcpy(g_buffer + g_count, text.data(), n);
        g_count += n;
        text.remove_prefix(n);
        if (g_count == TraceBufferSize) SendBuffered();
    }
}

void TraceLine(std::string_view text) {
    TraceLock lock;
    TraceWrite(text);
    TraceWrite("\r\n");
    SendBuffered();
}

void TraceFlush() {
    TraceLock lock;
    SendBuffered();
}

std::string DebugFileName() { return "C:\\ProgramData\\_kdebug.txt"; }

std::string NormalizeLineEnds(std::string_view text) {
    std::string out;
    out.reserve(text.size() + text.size() / 8);
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\r') {
            if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
            out += "\r\n";
        } else if (c == '\n' || c == '\0') {
            out += "\r\n";
        } else {
            out += c;
        }
    }
    return out;
}

}  // namespace kv
