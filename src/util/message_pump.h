#pragma once
// Keeping the program responsive while it waits, AutoPlay suppression and
// the developer switch (unit Utils). The system has one thread: every long
// operation pumps the window messages itself, so whoever waits here must
// expect timers and window procedures to run meanwhile.
#include <cstdint>
#include <string>

namespace kv {

// ---- Waiting --------------------------------------------------------------

// Translates and dispatches every message waiting in this thread's queue,
// for all windows, then sleeps `sleepMs` (negative counts as 0). A
// standard exception raised while dispatching becomes a trace line. A
// quit message for the thread is not consumed: it is posted again and
// the dispatching stops, so that the loop that owns the thread still ends.
void ProcessMessages(int64_t sleepMs);
// Pumps messages (ProcessMessages with the step) until `durationMs` have
// passed; at least one round always runs. A step of 0 or less means
// duration / 10, kept within 1..25 ms.
void WaitMs(int64_t stepMs, int64_t durationMs);

// The step WaitMs uses.
int64_t WaitStepMs(int64_t stepMs, int64_t durationMs);

// The loop of WaitMs over a clock `now() -> ms` and a pump `pump(stepMs)`.
template <class Now, class Pump>
void RunTimedWait(int64_t stepMs, int64_t durationMs, Now&& now, Pump&& pump) {
    const int64_t step = WaitStepMs(stepMs, durationMs);
    const int64_t deadline = now() + durationMs;
    do {
        pump(step);
    } while (now() < deadline);
}

// ---- AutoPlay -------------------------------------------------------------

// On: registers "QueryCancelAutoPlay" and keeps its identifier, which the
// main window and the message box then answer with 1 (so that inserting
// the next disk does not start AutoPlay). Off: the identifier becomes 0.
void SetAutoPlayCancel(bool on);
// The kept identifier; 0 while cancelling is off.
unsigned AutoPlayCancelMessage();

// ---- Developer switch -----------------------------------------------------

// The environment variable and the one value of it that switches the
// developer mode on.
constexpr const char* DeveloperModeVariable = "DVX";
constexpr const char* DeveloperModeCode = "731";

// True for exactly the developer code.
bool IsDeveloperModeValue(const std::string& value);
// True when the environment variable holds the code; read once and kept.
bool DeveloperMode();

}  // namespace kv
