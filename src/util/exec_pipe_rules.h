#pragma once
// The parts of running a command with captured output that are plain
// rules: its command line, the text of a failed start, the poll interval.
#include <cstddef>
#include <cstdint>
#include <string>

namespace kv {

// The exit code RunCaptured reports when the command could not be started.
inline constexpr uint32_t kCaptureStartFailed = 21;
// The longest command line the system starts.
inline constexpr size_t kMaxCommandLine = 32766;

// The command (in double quotes when it has a blank and no quote of its
// own), then one blank and the parameters when there are any.
std::string CapturedCommandLine(const std::string& command, const std::string& parameters);
// The error output of a failed start: the first 256 characters of the
// command line, " --- " and the system's error text; for a command line
// the system cannot take, "Command line is too long".
std::string CaptureStartFailureText(const std::string& commandLine, const std::string& errorText);
// The next poll interval: while output is coming, it shrinks by 10 ms down
// to no less than 10 ms.
uint32_t NextPollInterval(uint32_t intervalMs, bool haveOutput);

}  // namespace kv
