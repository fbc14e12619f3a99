#include <ctime>
#include <fstream>
#include <functional>
#include <thread>

#include "stub/runlog.h"

namespace kv {

bool AppendLogFile(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::app);
    out.write(bytes.data(), std::streamsize(bytes.size()));
    return bool(out);
}

LogClock LocalClockNow() {
    const std::time_t t = std::time(nullptr);
    std::tm tm{};
    localtime_r(&t, &tm);
    return {tm.tm_mday, tm.tm_mon + 1, tm.tm_year + 1900, tm.tm_hour, tm.tm_min, tm.tm_sec};
}

uint32_t CurrentThreadId() {
    return uint32_t(std::hash<std::thread::id>{}(std::this_thread::get_id()) % 100000u);
}

}  // namespace kv
