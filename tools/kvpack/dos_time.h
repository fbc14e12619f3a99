#pragma once
// The packed DOS date and time the stub gives extracted files.
#include <cstdint>
#include <ctime>

namespace kv::pack {

// (date << 16) | time of a moment in local time. Moments before 1980 give
// 1 January 1980 00:00, after 2107 the last representable moment, so an
// entry date is never 0 (which would mean "leave the date alone").
uint32_t DosDateTime(std::time_t when);

}  // namespace kv::pack
