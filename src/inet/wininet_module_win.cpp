#include "inet/wininet_module.h"

namespace kv {

// No download loads the library yet, so there is nothing to release.
void UnloadWinINet() {}

}  // namespace kv
