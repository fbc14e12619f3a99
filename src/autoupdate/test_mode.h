#pragma once
// The agent's test mode.

namespace kv {

// Reads the test-mode settings; with force the check runs regardless of
// the last time it ran.
void CheckTestMode(bool force);

}  // namespace kv
