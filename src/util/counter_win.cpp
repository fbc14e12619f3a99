#include <windows.h>

#include "util/sysinfo.h"

namespace kv {

int64_t MillisecondsNow() {
    static const double factor = [] {
        LARGE_INTEGER frequency{};
        return QueryPerformanceFrequency(&frequency) && frequency.QuadPart > 0 ? 1000.0 / double(frequency.QuadPart)
                                                                                 : 0.0;
    }();
    LARGE_INTEGER counter{};
    QueryPerformanceCounter(&counter);
    return static_cast<int64_t>(double(counter.QuadPart) * factor);
}

}  // namespace kv
