#pragma once
// The stub's exit codes besides the engine's own, which is passed on
// unchanged.
#include <cstdint>

namespace kv {

// Nothing ran, or the user said No or Cancel.
constexpr uint32_t kExitNothingRun = 0;
// The setup could not run: damaged package, a compressed entry that does
// not inflate, or an engine that could not be started. The value installer
// callers already read as "installation failed" (ERROR_INSTALL_FAILURE).
constexpr uint32_t kExitSetupFailed = 1603;

}  // namespace kv
