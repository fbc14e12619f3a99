#pragma once
// The run log: lines appended to "X_<program>.log" beside the running
// program, written only while RunLogEnabled is set (an agent package that
// asks for it), so a plain setup never writes one.
#include <cstdint>
#include <string>

namespace kv {

// Set once by the entry sequence.
void SetRunLogEnabled(bool enabled);
bool RunLogEnabled();

// Appends one line (time stamp, thread id, prefix, message, CR LF).
void LogLine(const std::string& message);
// Replaces the line prefix (three spaces by default).
void SetLogPrefix(const std::string& prefix);
const std::string& LogPrefix();
// The run log path, worked out on first use and then kept.
std::string LogFileName();

// The log path for a program path: same folder, "X_" added unless the
// name already starts with it (case-sensitive), extension ".log".
std::string LogFileNameFor(const std::string& programPath);

struct LogClock {
    int day, month, year, hour, minute, second;
};
// One formatted line: "dd/mm/yy HH:NN:SS" with the locale separators, a
// space, the thread id right-aligned to 5, prefix, message, CR LF.
std::string FormatLogLine(const LogClock& now, char dateSep, char timeSep, uint32_t threadId,
                          const std::string& prefix, const std::string& message);

// Platform half: appends bytes to the file (opened with read and write
// sharing, created when missing).
bool AppendLogFile(const std::string& path, const std::string& bytes);
LogClock LocalClockNow();
uint32_t CurrentThreadId();

}  // namespace kv
