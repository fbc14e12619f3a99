#include "kvpack/dos_time.h"

namespace kv::pack {
namespace {

constexpr uint32_t Pack(uint32_t year, uint32_t month, uint32_t day, uint32_t hour, uint32_t minute, uint32_t second) {
    return ((year - 1980) << 9 | month << 5 | day) << 16 | (hour << 11 | minute << 5 | second / 2);
}
constexpr uint32_t kFirstDosMoment = Pack(1980, 1, 1, 0, 0, 0);
constexpr uint32_t kLastDosMoment = Pack(2107, 12, 31, 23, 59, 58);

}  // namespace

uint32_t DosDateTime(std::time_t when) {
    std::tm tm{};
#ifdef _WIN32
    if (localtime_s(&tm, &when) != 0) return kFirstDosMoment;
#else
    if (localtime_r(&when, &tm) == nullptr) return kFirstDosMoment;
#endif
    const int year = tm.tm_year + 1900;
    if (year < 1980) return kFirstDosMoment;
    if (year > 2107) return kLastDosMoment;
    return Pack(uint32_t(year), uint32_t(tm.tm_mon + 1), uint32_t(tm.tm_mday), uint32_t(tm.tm_hour),
                uint32_t(tm.tm_min), uint32_t(tm.tm_sec > 59 ? 59 : tm.tm_sec));
}

}  // namespace kv::pack
