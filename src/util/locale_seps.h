#pragma once
// Platform seam for the few locale facts the text helpers print with. The
// Win32 half asks the user default locale; the native half answers with
// the neutral values so that tests do not depend on the host's settings.

namespace kv {

// Date separator of the user's locale ('/' when unknown).
char LocaleDateSeparator();
// Time separator of the user's locale (':' when unknown).
char LocaleTimeSeparator();
// Decimal separator of the user's locale ('.' when unknown).
char LocaleDecimalSeparator();
// Whether `c` starts a double-byte character in the ANSI code page (a
// backslash after such a byte is part of the character, not a separator).
bool IsDbcsLeadByte(unsigned char c);

}  // namespace kv
