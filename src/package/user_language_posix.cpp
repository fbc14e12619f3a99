#include "package/user_language.h"

namespace kv {
namespace {

uint32_t gStartupLocale = 0;

}  // namespace

uint32_t StartupLocaleId() { return gStartupLocale; }
void SetStartupLocaleIdForTests(uint32_t lcid) { gStartupLocale = lcid; }

}  // namespace kv
