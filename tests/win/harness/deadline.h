#pragma once
// A point in time a wait must not pass; every wait in the harness has one.
#include <windows.h>

#include <cstdint>

namespace kv::test {

class Deadline {
public:
    explicit Deadline(unsigned ms) : end_(GetTickCount64() + ms) {}
    bool Passed() const { return GetTickCount64() >= end_; }
    // Milliseconds left, 0 once passed.
    DWORD RemainingMs() const {
        const uint64_t now = GetTickCount64();
        return now >= end_ ? 0 : DWORD(end_ - now);
    }

private:
    uint64_t end_;
};

}  // namespace kv::test
