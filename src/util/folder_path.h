#pragma once
// The one rule every folder query goes through, so that callers can
// append names without doubling or dropping separators.
#include <string>

namespace kv {

// One trailing '\' (not the second byte of a double-byte character) is
// removed unless the path would then be 2 characters or fewer, so a drive
// root such as "C:\" keeps it; with `trailing`, a '\' is then appended
// when the path does not end in one. An empty path stays empty.
std::string TrailingBackslashRule(const std::string& path, bool trailing);

}  // namespace kv
