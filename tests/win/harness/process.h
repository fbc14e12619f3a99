#pragma once
// Child processes and top-level windows, with deadlines (see harness.h).
#include <windows.h>

#include <cstdint>
#include <string>

#include "util/win_handle.h"

namespace kv::test {

// Quotes one command-line argument the way the C runtime splits them.
std::string QuoteArg(const std::string& arg);

// A started process; terminated (and waited for) on destruction if it is
// still running.
class ChildProcess {
public:
    ChildProcess() = default;
    ~ChildProcess();
    ChildProcess(ChildProcess&&) = default;
    // Ends a process this one still owns before taking the other's.
    ChildProcess& operator=(ChildProcess&& other);

    // CreateProcessA with the command line as given (the first token names
    // the program); an empty folder means the test's own. False when the
    // process could not be started (or one is already owned).
    bool Start(const std::string& commandLine, const std::string& currentDir = std::string());
    bool Started() const { return static_cast<bool>(process_); }
    // True when the process has ended by the deadline.
    bool Wait(unsigned deadline_ms);
    bool Running() const;
    // The exit code once it has ended; false while running or not started.
    bool ExitCode(uint32_t& code) const;
    DWORD Pid() const { return pid_; }
    HANDLE Handle() const { return process_.get(); }
    // Ends the process now and waits (bounded) until it is gone.
    bool Terminate(uint32_t exitCode = 1);

private:
    KernelHandle process_;
    DWORD pid_ = 0;
};

// Starts a process and waits for it: true when it ended before the
// deadline, with its exit code (a process still running then is ended).
bool RunProcess(const std::string& commandLine, const std::string& currentDir, unsigned timeout_ms,
                uint32_t& exitCode);

// The first top-level window of the class (and, when given, the title)
// that appears by the deadline; null when none does.
HWND FindTopWindow(const std::string& className, unsigned deadline_ms, const std::string& title = std::string());

}  // namespace kv::test
