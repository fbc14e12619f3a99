#pragma once
// How the agent's settings files spell their values, and the agent's
// clock: whole seconds since midnight at the start of 30 December 1899,
// local time. Portable; nothing here touches a file.
#include <cstdint>
#include <string>

namespace kv {

// A number value: optional sign and decimal digits only ("01" is 1);
// `def` for empty text, anything else (blanks, hex, "true") or overflow.
int64_t SettingNumber(const std::string& text, int64_t def);
// The same test: true and `value` set when the text is such a number.
bool TrySettingNumber(const std::string& text, int64_t& value);
// A switch value: true exactly for "1".
bool SettingSwitch(const std::string& text);
// Versions and stamps are compared as signed 32-bit values: the low 32
// bits of the number.
int32_t LowInt32(int64_t value);

// A date value (days since 30 December 1899, fraction = time of day) as
// seconds, rounded to the nearest second.
int64_t SecondsFromDateValue(double days);
// Seconds back as a date value.
double DateValueFromSeconds(int64_t seconds);
// Seconds of a calendar moment (month 1..12); no range checks.
int64_t SecondsFromDate(int year, int month, int day, int hour, int minute, int second);
// The local time now, in the agent's seconds.
int64_t NowSeconds();
// The readable twin written beside a time: "30-DEC-1899 00:00:00" for 0.
// Times before 0 count back from there (-1 is "29-DEC-1899 23:59:59").
std::string ReadableTimeText(int64_t seconds);

// The default of message text s<number> of [AutoUpdate]; empty for texts
// without one.
std::string AutoUpdateTextDefault(int number);

}  // namespace kv
