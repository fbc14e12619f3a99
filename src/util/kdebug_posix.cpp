// Native half of the trace channel: a replaceable sink instead of the
// viewer window, and the debug file written with POSIX calls.
#include <fcntl.h>
#include <unistd.h>

#include <mutex>
#include <utility>

#include "util/kdebug.h"
#include "util/kdebug_sink.h"

namespace kv {
namespace {

std::recursive_mutex& Lock() {
    static std::recursive_mutex lock;
    return lock;
}

std::function<void(std::string_view)>& Sink() {
    static std::function<void(std::string_view)> sink;
    return sink;
}

class Fd {
public:
    explicit Fd(int fd) : fd_(fd) {}
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    ~Fd() { if (fd_ >= 0) ::close(fd_); }
    int get() const { return fd_; }

private:
    int fd_;
};

}  // namespace

void TraceStartup() {}

void TraceLockEnter() { Lock().lock(); }
void TraceLockLeave() { Lock().unlock(); }

void SetTraceSinkForTests(std::function<void(std::string_view)> sink) {
    std::lock_guard<std::recursive_mutex> guard(Lock());
    Sink() = std::move(sink);
}

void TraceSendChunk(std::string_view chunk) {
    if (Sink()) Sink()(chunk);
}

bool AppendDebugFile(const std::string& path, const std::string& text) {
    Fd fd(::open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644));
    if (fd.get() < 0) return false;
    size_t done = 0;
    while (done < text.size()) {
        const ssize_t n = ::write(fd.get(), text.data() + done, text.size() - done);
        if (n <= 0) return false;
        done += size_t(n);
    }
    return true;
}

}  // namespace kv
