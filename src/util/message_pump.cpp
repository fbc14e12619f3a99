#include "util/message_pump.h"

namespace kv {

int64_t WaitStepMs(int64_t stepMs, int64_t durationMs) {
    if (stepMs > 0) return stepMs;
    const int64_t tenth = durationMs / 10;
    return tenth < 1 ? 1 : (tenth > 25 ? 25 : tenth);
}

bool IsDeveloperModeValue(const std::string& value) { return value == DeveloperModeCode; }

}  // namespace kv
