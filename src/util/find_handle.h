#pragma once
// Owner of a directory search handle: FindFirstFile's handle is closed
// with FindClose, and its "none" is INVALID_HANDLE_VALUE.
#include <windows.h>

#include <string>
#include <utility>

namespace kv {

class FindHandle {
public:
    FindHandle() = default;
    explicit FindHandle(HANDLE h) : h_(h) {}
    FindHandle(const FindHandle&) = delete;
    FindHandle& operator=(const FindHandle&) = delete;
    FindHandle(FindHandle&& o) noexcept : h_(o.release()) {}
    FindHandle& operator=(FindHandle&& o) noexcept {
        if (this != &o) { close(); h_ = o.release(); }
        return *this;
    }
    ~FindHandle() { close(); }

    HANDLE get() const { return h_; }
    bool valid() const { return h_ != INVALID_HANDLE_VALUE && h_ != nullptr; }
    explicit operator bool() const { return valid(); }
    bool close() {
        const bool ok = !valid() || FindClose(h_) != 0;
        h_ = INVALID_HANDLE_VALUE;
        return ok;
    }
    HANDLE release() { return std::exchange(h_, INVALID_HANDLE_VALUE); }

private:
    HANDLE h_ = INVALID_HANDLE_VALUE;
};

// Starts a search; the first entry goes to `data`.
inline FindHandle FindFirst(const std::string& pattern, WIN32_FIND_DATAA& data) {
    return FindHandle(FindFirstFileA(pattern.c_str(), &data));
}

}  // namespace kv
