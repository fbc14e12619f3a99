#pragma once
// Platform seam for the user's language: the Win32 half records the
// locale of the main thread at start-up, the native half answers with a
// value tests set.
#include <cstdint>

namespace kv {

// The locale id (LCID) the process started with; 0 when unknown.
uint32_t StartupLocaleId();

// Native builds only (tests): the value StartupLocaleId answers with
// (0 until set).
void SetStartupLocaleIdForTests(uint32_t lcid);

}  // namespace kv
