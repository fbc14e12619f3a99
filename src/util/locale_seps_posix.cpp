#include "util/locale_seps.h"

namespace kv {

char LocaleDateSeparator() { return '/'; }
char LocaleTimeSeparator() { return ':'; }
char LocaleDecimalSeparator() { return '.'; }
bool IsDbcsLeadByte(unsigned char) { return false; }

}  // namespace kv
