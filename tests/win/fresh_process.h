#pragma once
// Runs some tests of this test program again in a fresh process: for state
// that is kept once per process (a cached switch), and for system calls
// that must not meet what a long run of earlier tests leaves behind in the
// process (under the emulated 32-bit Wine, GetDriveType crashes or hangs
// a process that has run the process-control or main-window tests first).
#include <windows.h>

#include <cstdint>
#include <string>

#include "harness/harness.h"

namespace kv::test {

constexpr const char* FreshRunVariable = "KV_FRESH_RUN";

// True inside the fresh process started for the tests of `suite`.
inline bool InFreshRun(const char* suite) {
    char buf[128] = {};
    const DWORD n = GetEnvironmentVariableA(FreshRunVariable, buf, sizeof buf);
    return n > 0 && n < sizeof buf && std::string(buf, n) == suite;
}

// Runs the tests of `suite` in a new process of this program; true when it
// ended in time with exit code 0 (every test passed).
inline bool RunSuiteInFreshProcess(const char* suite, unsigned deadline_ms) {
    char self[MAX_PATH + 1];
    const DWORD n = GetModuleFileNameA(nullptr, self, sizeof self);
    if (n == 0 || n >= sizeof self) return false;
    SetEnvironmentVariableA(FreshRunVariable, suite);
    uint32_t code = 1;
    const bool ended = RunProcess(QuoteArg(std::string(self, n)) + " --gtest_filter=" + suite + ".*", "",
                                  deadline_ms, code);
    SetEnvironmentVariableA(FreshRunVariable, nullptr);
    return ended && code == 0;
}

}  // namespace kv::test
