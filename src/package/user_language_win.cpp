#include "package/user_language.h"

#include <windows.h>

namespace kv {
namespace {

// Taken before main runs: the texts follow the locale the user started
// the program in, even if something later changes the thread's locale.
const uint32_t gStartupLocale = uint32_t(GetThreadLocale());

}  // namespace

uint32_t StartupLocaleId() { return gStartupLocale; }

}  // namespace kv
