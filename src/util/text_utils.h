#pragma once
// Small text, number and date operations on 8-bit ANSI texts. Positions are
// 1-based (0 = not found); ignoring case means ASCII upper-casing (a-z
// only); trimming removes codes 0 to 32 at both ends. Nothing here throws
// or changes its arguments.
#include <cstdint>
#include <exception>
#include <string>

namespace kv {

// ---- Basics ---------------------------------------------------------------

// Without codes 0..32 at both ends / at the start / at the end.
std::string Trim(const std::string& s);
std::string TrimLeft(const std::string& s);
std::string TrimRight(const std::string& s);
// a-z turned into A-Z; every other code unchanged.
std::string UpperCase(std::string s);
// Equal when both sides are upper-cased in ASCII.
bool SameText(const std::string& a, const std::string& b);
std::string IntToStr(int64_t value);
// Optional leading blanks, optional sign, then decimal digits or hex digits
// after "$" or "0x"; anything else (empty, trailing text, overflow) fails
// and leaves `value` untouched.
bool TryStrToInt64(const std::string& s, int64_t& value);
int64_t StrToInt64Def(const std::string& s, int64_t def);
// The part after the last '\', '/' or ':'.
std::string ExtractFileName(const std::string& path);
// The part up to and including the last '\' or ':'.
std::string ExtractFilePath(const std::string& path);
// The path with its extension (from the last '.' of the file name) replaced
// by `ext`, or with `ext` appended when it has none.
std::string ChangeFileExt(const std::string& path, const std::string& ext);

// ---- Trace lines ----------------------------------------------------------

// "[a]  [b]  [c]  [d]".
std::string FormatTraceFields(const std::string& a, const std::string& b,
                              const std::string& c, const std::string& d);
// " --- where[ --- extra] --- message".
std::string FormatTraceException(const std::string& message, const std::string& where,
                                 const std::string& extra);
// Write the formatted line above as one trace line.
void TraceFields(const std::string& a, const std::string& b, const std::string& c,
                 const std::string& d);
void TraceException(const std::exception& e, const std::string& where, const std::string& extra);

// ---- Searching and comparing ----------------------------------------------

// First occurrence of `part` in `text`, ignoring case.
int PosText(const std::string& part, const std::string& text);
// First occurrence at or after `start`; 0 when none, when start < 1 or
// when either text is empty.
int PosFrom(const std::string& part, const std::string& text, int start, bool ignoreCase);
int PosTextFrom(const std::string& part, const std::string& text, int start);
// Last occurrence, exact case.
int LastPos(const std::string& part, const std::string& text);
// The prefix occurs at position 1 (an empty prefix never does).
bool StartsWith(const std::string& prefix, const std::string& text, bool ignoreCase);
// The last length-of-suffix characters equal the suffix (an empty suffix
// always does).
bool EndsWith(const std::string& suffix, const std::string& text, bool ignoreCase);
// Equal after trimming, ignoring case.
bool SameTextTrimmed(const std::string& a, const std::string& b);

// ---- Cutting and shaping --------------------------------------------------

// Text before / after the first `separator`; `def` (as given) when it is
// absent; the cut text trimmed when asked.
std::string TextBefore(const std::string& text, const std::string& separator,
                       const std::string& def, bool trim);
std::string TextAfter(const std::string& text, const std::string& separator,
                      const std::string& def, bool trim);
// `c` removed from both ends: always, or only when the text both starts
// and ends with it; with `once` at most one at each end. A text that is
// exactly `c` becomes empty.
std::string StripChar(const std::string& text, char c, bool always, bool once);
// c + text + c; with `strip` the text first loses every `c` at both ends.
std::string Enclose(const std::string& text, char c, bool strip);
// Trimmed and without enclosing double quotes (any at the ends with
// `always`, a matching pair otherwise).
std::string Unquote(const std::string& text, bool always);
// Unquoted, then enclosed in double quotes.
std::string Quote(const std::string& text);
std::string ReplaceChar(const std::string& text, char oldChar, char newChar);
// Only the characters in `allowed` (all codes when empty) that are not in
// `excluded`.
std::string KeepChars(const std::string& text, const std::string& allowed,
                      const std::string& excluded);
std::string ReverseText(const std::string& text);
// Left-padded with `fill` to `width`; a width of -3 or less cuts a longer
// text to |width| - 1 characters and a '.' before padding.
std::string PadLeft(const std::string& text, int width, char fill);
// Left-padded with '0' to `width`, never cut.
std::string ZeroPad(const std::string& text, int width);
std::string ZeroPadInt(int32_t value, int width);
// Doubled backslashes collapsed, a leading network prefix kept; with
// `removeTrailing` one trailing backslash removed.
std::string CleanPath(const std::string& path, bool removeTrailing);
// File-name part without its last extension (with `all`, without every one).
std::string FileNameWithoutExt(const std::string& path, bool all);

// ---- Replacing ------------------------------------------------------------

// Replaces occurrences numbered first..last (counted from 1, overlapping
// occurrences included); last <= 0 means "= first", and then <= 0 means
// unlimited, so (0, 0) replaces all and (n, 0) only the n-th.
std::string ReplaceText(const std::string& text, const std::string& oldPart,
                        const std::string& newPart, int first, int last, bool trim);
std::string ReplaceTextIgnoreCase(const std::string& text, const std::string& oldPart,
                                  const std::string& newPart, int first, int last, bool trim);
// Replaces the first occurrence again and again until none is left (only
// when `newPart` does not itself contain `oldPart`).
std::string ReplaceRepeated(const std::string& text, const std::string& oldPart,
                            const std::string& newPart, bool trim);

// ---- Numbers --------------------------------------------------------------

int64_t Min64(int64_t a, int64_t b);
int64_t Max64(int64_t a, int64_t b);
// Raised to `lo`, then lowered to `hi`.
int64_t EnsureRange64(int64_t value, int64_t lo, int64_t hi);
std::string IfThenText(bool condition, const std::string& ifTrue, const std::string& ifFalse);
int64_t IfThenInt64(bool condition, int64_t ifTrue, int64_t ifFalse);
char IfThenChar(bool condition, char ifTrue, char ifFalse);
// "TRUE" / "FALSE".
std::string BoolText(bool b);
// '1' / '0'.
char BoolChar(bool b);
// Reads "1,5" and "1.5" as 1.5 and "1,234.5" as 1234.5 whatever the
// user's locale; `def` when the text is not a number.
double StrToFloatAnyLocale(const std::string& text, double def);
// Fixed-point text with `decimals` decimals in the user's locale; with
// `trimZeros` leading and trailing zeros go (12.50 -> 12.5, 0.50 -> .5,
// 100.00 -> 100, 0.00 -> 0).
std::string FloatToFixed(int decimals, bool trimZeros, double x);
// A ',' every three digits left of the decimal point: 1234567.5 ->
// 1,234,567.5.
std::string InsertThousands(const std::string& numberText);
// value / unit: rounded up to a whole number when decimals < 1, otherwise
// with exactly one decimal and '.'; thousands separated when asked.
std::string SizeText(bool thousands, int decimals, int64_t value, int64_t unit);
std::string KBText(bool thousands, int decimals, int64_t value);
std::string MBText(bool thousands, int decimals, int64_t value);
// A pseudo-random integer in [low, high] (the bounds may come in either
// order); spans wider than 32 bits only reach the first 2^32-wrapped part.
int64_t RandomRange64(int64_t low, int64_t high);
std::string RandomRangeText(int64_t low, int64_t high);

// ---- Dates and times ------------------------------------------------------
// A time value counts days since 30 December 1899; its fraction is the
// time of day (for dates before then the fraction still counts forward
// from midnight). A value of exactly -1 stands for "now" (local time).

constexpr double TimeNow = -1.0;

struct DateTimeParts {
    int year = 1899, month = 12, day = 30;
    int hour = 0, minute = 0, second = 0, msec = 0;
};

// Local time now.
double NowValue();
// 0 when a field is out of range (years 1..9999).
double EncodeDateTime(int year, int month, int day, int hour, int minute, int second,
                      int msec = 0);
// False for values outside years 1..9999 (and NaN).
bool DecodeDateTime(double t, DateTimeParts& parts);
// "09-DEC-2026"; empty for an unreadable time value.
std::string DateText(double t);
// DateText + separator + "HH:NN:SS" (':' = locale time separator).
std::string DateTimeText(const std::string& separator, double t);
// "dd/mm/yy HH:NN:SS" ("yyyy" with `longYear`), '/' and ':' as the
// locale's date and time separators.
std::string TimestampText(bool longYear, double t);

}  // namespace kv
