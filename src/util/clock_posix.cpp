#include <ctime>

#include "util/text_utils.h"

namespace kv {

double NowValue() {
    timespec ts{};
    clock_gettime(CLOCK_REALTIME, &ts);
    tm local{};
    localtime_r(&ts.tv_sec, &local);
    return EncodeDateTime(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour,
                          local.tm_min, local.tm_sec > 59 ? 59 : local.tm_sec,
                          int(ts.tv_nsec / 1000000));
}

}  // namespace kv
