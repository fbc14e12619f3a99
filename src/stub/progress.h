#pragma once
// The progress callback: the unpacker calls it directly and the download
// progress forwards to it; the stub main window implements it for its two
// progress bars.
#include <cstdint>
#include <string>

namespace kv {

// What one call reports.
constexpr int32_t ProgressSetUp = 0;  // start or reset: range, position, step
constexpr int32_t ProgressStep = 1;   // one unit done

// (kind, range low, range high, position, step, text).
using TProgBarShowProc = void (*)(int32_t kind, int32_t rangeLow, int32_t rangeHigh, int32_t position,
                                  int32_t step, const std::string& text);

}  // namespace kv
