#include "util/locale_seps.h"

#include <windows.h>

namespace kv {

namespace {

// First character of a locale value; Windows allows up to four, the
// printed formats take one.
char LocaleChar(LCTYPE type, char fallback) {
    char buf[8] = {};
    if (GetLocaleInfoA(LOCALE_USER_DEFAULT, type, buf, sizeof buf) <= 0 || buf[0] == '\0')
        return fallback;
    return buf[0];
}

}  // namespace

char LocaleDateSeparator() { return LocaleChar(LOCALE_SDATE, '/'); }
char LocaleTimeSeparator() { return LocaleChar(LOCALE_STIME, ':'); }
char LocaleDecimalSeparator() { return LocaleChar(LOCALE_SDECIMAL, '.'); }
bool IsDbcsLeadByte(unsigned char c) { return IsDBCSLeadByte(c) != FALSE; }

}  // namespace kv
