#include "stub/runlog.h"

#include <cstdio>

#include "stub/cmdline.h"
#include "util/locale_seps.h"
#include "util/text_utils.h"

namespace kv {
namespace {

bool g_runLogEnabled = false;
std::string g_logPrefix = "   ";
std::string g_logFileName;  // computed on first use

std::string TwoDigits(int v) {
    char buf[8];
    std::snprintf(buf, sizeof buf, "%02d", v % 100);
    return buf;
}

}  // namespace

void SetRunLogEnabled(bool enabled) { g_runLogEnabled = enabled; }
bool RunLogEnabled() { return g_runLogEnabled; }
void SetLogPrefix(const std::string& prefix) { g_logPrefix = prefix; }
const std::string& LogPrefix() { return g_logPrefix; }

std::string LogFileNameFor(const std::string& programPath) {
    const std::string folder = ExtractFilePath(programPath);
    std::string name = ExtractFileName(programPath);
    if (name.compare(0, 2, "X_") != 0) name = "X_" + name;
    return folder + ChangeFileExt(name, ".log");
}

std::string LogFileName() {
    if (g_logFileName.empty()) g_logFileName = LogFileNameFor(ProgramPath());
    return g_logFileName;
}

std::string FormatLogLine(const LogClock& now, char dateSep, char timeSep, uint32_t threadId,
                          const std::string& prefix, const std::string& message) {
    std::string line = TwoDigits(now.day) + dateSep + TwoDigits(now.month) + dateSep +
                       TwoDigits(now.year) + ' ' + TwoDigits(now.hour) + timeSep +
                       TwoDigits(now.minute) + timeSep + TwoDigits(now.second) + ' ';
    char tid[16];
    std::snprintf(tid, sizeof tid, "%5u", unsigned(threadId));
    line += tid;
    line += prefix;
    line += message;
    line += "\r\n";
    return line;
}

void LogLine(const std::string& message) {
    if (!g_runLogEnabled) return;
    const std::string line = FormatLogLine(LocalClockNow(), LocaleDateSeparator(), LocaleTimeSeparator(),
                                           CurrentThreadId(), g_logPrefix, message);
    AppendLogFile(LogFileName(), line);
}

}  // namespace kv
