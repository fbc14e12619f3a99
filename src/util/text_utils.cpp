#include "util/text_utils.h"

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "util/ksub.h"
#include "util/locale_seps.h"

namespace kv {

namespace {

bool IsTrimmed(char c) { return static_cast<unsigned char>(c) <= 32; }

char Upper(char c) { return (c >= 'a' && c <= 'z') ? char(c - 'a' + 'A') : c; }

bool SameChar(char a, char b, bool ignoreCase) {
    return ignoreCase ? Upper(a) == Upper(b) : a == b;
}

// Whether `part` matches `text` at 0-based offset `at` (which must leave
// room for the whole part).
bool MatchAt(const std::string& part, const std::string& text, size_t at, bool ignoreCase) {
    for (size_t i = 0; i < part.size(); ++i)
        if (!SameChar(part[i], text[at + i], ignoreCase)) return false;
    return true;
}

bool IsPathDelimiter(char c) { return c == '\\' || c == '/' || c == ':'; }

std::string Printf(const char* format, double value, int decimals) {
    char small[64];
    int n = std::snprintf(small, sizeof small, format, decimals, value);
    if (n < 0) return std::string();
    if (size_t(n) < sizeof small) return std::string(small, size_t(n));
    std::string big(size_t(n) + 1, '\0');
    std::snprintf(&big[0], big.size(), format, decimals, value);
    big.resize(size_t(n));
    return big;
}

std::string Two(int v) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%02d", v);
    return buf;
}

std::string Four(int v) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%04d", v);
    return buf;
}

// Days of the proleptic Gregorian calendar since 1970-01-01 (and back).
int64_t DaysFromCivil(int64_t y, int64_t m, int64_t d) {
    y -= m <= 2;
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const int64_t yoe = y - era * 400;
    const int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

void CivilFromDays(int64_t z, int& year, int& month, int& day) {
    z += 719468;
    const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const int64_t doe = z - era * 146097;
    const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const int64_t mp = (5 * doy + 2) / 153;
    day = int(doy - (153 * mp + 2) / 5 + 1);
    month = int(mp < 10 ? mp + 3 : mp - 9);
    year = int(yoe + era * 400 + (month <= 2));
}

bool IsLeapYear(int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

int DaysInMonth(int y, int m) {
    static const int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return (m == 2 && IsLeapYear(y)) ? 29 : kDays[m - 1];
}

// Day count of 1970-01-01 in the time-value form.
constexpr int64_t kUnixDayOffset = 25569;
constexpr int64_t kMsPerDay = 86400000;

bool DecodeOrNow(double t, DateTimeParts& parts) {
    return DecodeDateTime(t == TimeNow ? NowValue() : t, parts);
}

std::string TimeOfDayText(const DateTimeParts& p) {
    const char sep = LocaleTimeSeparator();
    return Two(p.hour) + sep + Two(p.minute) + sep + Two(p.second);
}

// 64-bit mixing of a clock reading (splitmix64 finaliser).
uint64_t Mix64(uint64_t x) {
    x += 0x9E3779B97F4A7C15ull;
    x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ull;
    x = (x ^ (x >> 27)) * 0x94D049BB133111EBull;
    return x ^ (x >> 31);
}

}  // namespace

// ---- Basics ---------------------------------------------------------------

std::string Trim(const std::string& s) {
    size_t b = 0, e = s.size();
    while (b < e && IsTrimmed(s[b])) ++b;
    while (e > b && IsTrimmed(s[e - 1])) --e;
    return s.substr(b, e - b);
}

std::string TrimLeft(const std::string& s) {
    size_t b = 0;
    while (b < s.size() && IsTrimmed(s[b])) ++b;
    return s.substr(b);
}

std::string TrimRight(const std::string& s) {
    size_t e = s.size();
    while (e > 0 && IsTrimmed(s[e - 1])) --e;
    return s.substr(0, e);
}

std::string UpperCase(std::string s) {
    for (char& c : s) c = Upper(c);
    return s;
}

bool SameText(const std::string& a, const std::string& b) {
    return a.size() == b.size() && MatchAt(a, b, 0, true);
}

std::string IntToStr(int64_t value) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%lld", static_cast<long long>(value));
    return buf;
}

bool TryStrToInt64(const std::string& s, int64_t& value) {
    size_t i = 0;
    while (i < s.size() && (s[i] == ' ' || s[i] == '\t')) ++i;
    bool negative = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';
    bool hex = false;
    if (i < s.size() && s[i] == '$') {
        hex = true;
        ++i;
    } else if (i + 1 < s.size() && s[i] == '0' && (s[i + 1] == 'x' || s[i + 1] == 'X')) {
        hex = true;
        i += 2;
    }
    if (i >= s.size()) return false;
    uint64_t mag = 0;
    for (; i < s.size(); ++i) {
        const char c = s[i];
        unsigned digit;
        if (c >= '0' && c <= '9') digit = unsigned(c - '0');
        else if (hex && c >= 'a' && c <= 'f') digit = unsigned(c - 'a' + 10);
        else if (hex && c >= 'A' && c <= 'F') digit = unsigned(c - 'A' + 10);
        else return false;
        if (hex) {
            // Hex spells the 64 bits directly, so $FFFFFFFFFFFFFFFF is -1.
            if (mag >> 60) return false;
            mag = mag << 4 | digit;
        } else {
            if (mag > (UINT64_MAX - digit) / 10) return false;
            mag = mag * 10 + digit;
        }
    }
    if (!hex) {
        const uint64_t limit = negative ? uint64_t(INT64_MAX) + 1 : uint64_t(INT64_MAX);
        if (mag > limit) return false;
    }
    // Two's complement negation in unsigned arithmetic avoids overflow at
    // the most negative value.
    value = int64_t(negative ? 0 - mag : mag);
    return true;
}

int64_t StrToInt64Def(const std::string& s, int64_t def) {
    int64_t v = def;
    return TryStrToInt64(s, v) ? v : def;
}

std::string ExtractFileName(const std::string& path) {
    const size_t p = path.find_last_of("\\/:");
    return p == std::string::npos ? path : path.substr(p + 1);
}

std::string ExtractFilePath(const std::string& path) {
    const size_t p = path.find_last_of("\\:");
    return p == std::string::npos ? std::string() : path.substr(0, p + 1);
}

std::string ChangeFileExt(const std::string& path, const std::string& ext) {
    size_t i = path.size();
    while (i > 0 && !IsPathDelimiter(path[i - 1]) && path[i - 1] != '.') --i;
    if (i > 0 && path[i - 1] == '.') return path.substr(0, i - 1) + ext;
    return path + ext;
}

// ---- Trace lines ----------------------------------------------------------

std::string FormatTraceFields(const std::string& a, const std::string& b,
                              const std::string& c, const std::string& d) {
    return "[" + a + "]  [" + b + "]  [" + c + "]  [" + d + "]";
}

std::string FormatTraceException(const std::string& message, const std::string& where,
                                 const std::string& extra) {
    std::string line = " --- " + where;
    if (!extra.empty()) line += " --- " + extra;
    return line + " --- " + message;
}

// ---- Searching and comparing ----------------------------------------------

int PosText(const std::string& part, const std::string& text) {
    return PosFrom(part, text, 1, true);
}

int PosFrom(const std::string& part, const std::string& text, int start, bool ignoreCase) {
    if (start < 1 || part.empty() || text.empty() || part.size() > text.size()) return 0;
    const char first = part[0];
    for (size_t at = size_t(start - 1); at + part.size() <= text.size(); ++at)
        if (SameChar(text[at], first, ignoreCase) && MatchAt(part, text, at, ignoreCase))
            return int(at + 1);
    return 0;
}

int PosTextFrom(const std::string& part, const std::string& text, int start) {
    return PosFrom(part, text, start, true);
}

int LastPos(const std::string& part, const std::string& text) {
    if (part.empty()) return 0;
    const size_t p = text.rfind(part);
    return p == std::string::npos ? 0 : int(p + 1);
}

bool StartsWith(const std::string& prefix, const std::string& text, bool ignoreCase) {
    return !prefix.empty() && prefix.size() <= text.size() && MatchAt(prefix, text, 0, ignoreCase);
}

bool EndsWith(const std::string& suffix, const std::string& text, bool ignoreCase) {
    return suffix.size() <= text.size() &&
           MatchAt(suffix, text, text.size() - suffix.size(), ignoreCase);
}

bool SameTextTrimmed(const std::string& a, const std::string& b) {
    return SameText(Trim(a), Trim(b));
}

// ---- Cutting and shaping --------------------------------------------------

std::string TextBefore(const std::string& text, const std::string& separator,
                       const std::string& def, bool trim) {
    const int p = PosFrom(separator, text, 1, false);
    if (p == 0) return def;
    const std::string r = text.substr(0, size_t(p - 1));
    return trim ? Trim(r) : r;
}

std::string TextAfter(const std::string& text, const std::string& separator,
                      const std::string& def, bool trim) {
    const int p = PosFrom(separator, text, 1, false);
    if (p == 0) return def;
    const std::string r = text.substr(size_t(p - 1) + separator.size());
    return trim ? Trim(r) : r;
}

std::string StripChar(const std::string& text, char c, bool always, bool once) {
    if (text.size() == 1 && text[0] == c) return std::string();
    if (text.size() < 2) return text;
    if (!always && !(text.front() == c && text.back() == c)) return text;
    size_t b = 0, e = text.size();
    while (b < e && text[b] == c) {
        ++b;
        if (once) break;
    }
    while (e > b && text[e - 1] == c) {
        --e;
        if (once) break;
    }
    return text.substr(b, e - b);
}

std::string Enclose(const std::string& text, char c, bool strip) {
    return c + (strip ? StripChar(text, c, true, false) : text) + c;
}

std::string Unquote(const std::string& text, bool always) {
    return StripChar(Trim(text), '"', always, false);
}

std::string Quote(const std::string& text) { return '"' + Unquote(text, true) + '"'; }

std::string ReplaceChar(const std::string& text, char oldChar, char newChar) {
    std::string r = text;
    if (oldChar == newChar) return r;
    for (char& ch : r)
        if (ch == oldChar) ch = newChar;
    return r;
}

std::string KeepChars(const std::string& text, const std::string& allowed,
                      const std::string& excluded) {
    bool keep[256];
    for (bool& k : keep) k = allowed.empty();
    for (char ch : allowed) keep[static_cast<unsigned char>(ch)] = true;
    for (char ch : excluded) keep[static_cast<unsigned char>(ch)] = false;
    std::string r;
    for (char ch : text)
        if (keep[static_cast<unsigned char>(ch)]) r += ch;
    return r;
}

std::string ReverseText(const std::string& text) { return std::string(text.rbegin(), text.rend()); }

std::string PadLeft(const std::string& text, int width, char fill) {
    std::string r = text;
    if (width <= -3) {
        width = -width;
        if (r.size() > size_t(width)) r = r.substr(0, size_t(width - 1)) + '.';
    }
    if (width > 0 && r.size() < size_t(width)) r.insert(0, size_t(width) - r.size(), fill);
    return r;
}

std::string ZeroPad(const std::string& text, int width) {
    return width > 0 ? PadLeft(text, width, '0') : text;
}

std::string ZeroPadInt(int32_t value, int width) { return ZeroPad(IntToStr(value), width); }

std::string CleanPath(const std::string& path, bool removeTrailing) {
    std::string r = path;
    if (r.size() > 2) {
        // A field list of paths ("|\\srv\a|...") starts and ends with its
        // separator; a pair right after that separator is a network prefix.
        const bool listLike = r.front() == r.back();
        const char lead = r[0];
        std::string rest = r.substr(1);
        // 1-based i over the rest, from the third-last position down to 2;
        // the pair at 1 is the network prefix handled below.
        for (size_t i = rest.size() >= 2 ? rest.size() - 2 : 0; i >= 2; --i) {
            if (rest[i - 1] != '\\' || rest[i] != '\\') continue;
            const char before = rest[i - 2];
            if (IsDbcsLeadByte(static_cast<unsigned char>(before))) continue;
            if (listLike && before == lead) continue;
            rest.erase(i - 1, 1);
        }
        if (rest.size() >= 2 && rest[0] == '\\' && rest[1] == '\\') rest.erase(0, 1);
        r = lead + rest;
    }
    if (removeTrailing && !r.empty() && r.back() == '\\' &&
        (r.size() == 1 || !IsDbcsLeadByte(static_cast<unsigned char>(r[r.size() - 2]))))
        r.pop_back();
    return r;
}

std::string FileNameWithoutExt(const std::string& path, bool all) {
    const std::string name = ExtractFileName(path);
    const size_t p = all ? name.find('.') : name.rfind('.');
    return p == std::string::npos ? name : name.substr(0, p);
}

// ---- Replacing ------------------------------------------------------------

namespace {

std::string ReplaceRange(const std::string& text, const std::string& oldPart,
                         const std::string& newPart, int first, int last, bool trim,
                         bool ignoreCase) {
    if (!ignoreCase && PosFrom(oldPart, text, 1, false) == 0) return text;
    if (last <= 0) last = first;
    const bool unlimited = last <= 0;
    std::string r;
    r.reserve(text.size());
    size_t start = 0;  // 0-based: everything before it is in r
    int number = 0;
    for (;;) {
        const int p = PosFrom(oldPart, text, int(start + 1), ignoreCase);
        if (p == 0) break;
        const size_t at = size_t(p - 1);
        ++number;
        if (number >= first && (unlimited || number <= last)) {
            r.append(text, start, at - start);
            r += newPart;
            start = at + oldPart.size();
        } else {
            // Go on one character after the start so that an overlapping
            // occurrence gets the next number.
            r.append(text, start, at + 1 - start);
            start = at + 1;
        }
    }
    r.append(text, start, std::string::npos);
    return trim ? Trim(r) : r;
}

}  // namespace

std::string ReplaceText(const std::string& text, const std::string& oldPart,
                        const std::string& newPart, int first, int last, bool trim) {
    return ReplaceRange(text, oldPart, newPart, first, last, trim, false);
}

std::string ReplaceTextIgnoreCase(const std::string& text, const std::string& oldPart,
                                  const std::string& newPart, int first, int last, bool trim) {
    return ReplaceRange(text, oldPart, newPart, first, last, trim, true);
}

std::string ReplaceRepeated(const std::string& text, const std::string& oldPart,
                            const std::string& newPart, bool trim) {
    std::string r = text;
    int p = PosFrom(oldPart, r, 1, false);
    if (p > 0 && PosFrom(oldPart, newPart, 1, false) == 0) {
        // A rewrite that does not shrink the text need not end in general;
        // this bound is far beyond any real use and only stops a runaway.
        long budget = 1L << 20;
        while (p > 0 && budget-- > 0) {
            r.replace(size_t(p - 1), oldPart.size(), newPart);
            // Text before p - len(old) + 1 is unchanged and held no match.
            const int from = p - int(oldPart.size()) + 1;
            p = PosFrom(oldPart, r, from < 1 ? 1 : from, false);
        }
    }
    return trim ? Trim(r) : r;
}

// ---- Numbers --------------------------------------------------------------

int64_t Min64(int64_t a, int64_t b) { return a < b ? a : b; }
int64_t Max64(int64_t a, int64_t b) { return a > b ? a : b; }

int64_t EnsureRange64(int64_t value, int64_t lo, int64_t hi) {
    if (value < lo) value = lo;
    if (value > hi) value = hi;
    return value;
}

std::string IfThenText(bool condition, const std::string& ifTrue, const std::string& ifFalse) {
    return condition ? ifTrue : ifFalse;
}
int64_t IfThenInt64(bool condition, int64_t ifTrue, int64_t ifFalse) {
    return condition ? ifTrue : ifFalse;
}
char IfThenChar(bool condition, char ifTrue, char ifFalse) { return condition ? ifTrue : ifFalse; }

std::string BoolText(bool b) { return b ? "TRUE" : "FALSE"; }
char BoolChar(bool b) { return b ? '1' : '0'; }

double StrToFloatAnyLocale(const std::string& text, double def) {
    std::string s = text;
    if (s.find('.') == std::string::npos) s = ReplaceChar(s, ',', '.');
    s = KeepChars(s, std::string(), ",");
    // Strict shape: blanks, sign, digits with at most one '.', optional
    // exponent, blanks. strtod alone would accept hex, "inf" and "nan".
    size_t i = 0;
    const size_t n = s.size();
    while (i < n && s[i] == ' ') ++i;
    const size_t begin = i;
    if (i < n && (s[i] == '+' || s[i] == '-')) ++i;
    size_t digits = 0;
    while (i < n && s[i] >= '0' && s[i] <= '9') ++i, ++digits;
    if (i < n && s[i] == '.') {
        ++i;
        while (i < n && s[i] >= '0' && s[i] <= '9') ++i, ++digits;
    }
    if (digits == 0) return def;
    if (i < n && (s[i] == 'e' || s[i] == 'E')) {
        ++i;
        if (i < n && (s[i] == '+' || s[i] == '-')) ++i;
        size_t expDigits = 0;
        while (i < n && s[i] >= '0' && s[i] <= '9') ++i, ++expDigits;
        if (expDigits == 0) return def;
    }
    const size_t end = i;
    while (i < n && s[i] == ' ') ++i;
    if (i != n) return def;
    // The process never switches its C locale, so strtod reads '.'.
    const std::string number = s.substr(begin, end - begin);
    const double v = std::strtod(number.c_str(), nullptr);
    return std::isfinite(v) ? v : def;
}

std::string FloatToFixed(int decimals, bool trimZeros, double x) {
    if (std::isnan(x)) return "NAN";
    if (std::isinf(x)) return x < 0 ? "-INF" : "INF";
    if (decimals < 0) decimals = 0;
    if (decimals > 18) decimals = 18;
    std::string r = Printf("%.*f", x, decimals);
    const char dec = LocaleDecimalSeparator();
    r = ReplaceChar(r, '.', dec);
    // Trimmed on the separator actually printed, so that the flag keeps
    // working under a locale whose decimal separator is not '.'.
    if (trimZeros && r.find(dec) != std::string::npos) {
        r = StripChar(r, '0', true, false);
        if (r.size() > 1 && r.back() == dec) r.pop_back();
        if (r.size() == 1 && r[0] == dec) r = "0";
    }
    return r;
}

std::string InsertThousands(const std::string& numberText) {
    std::string r = numberText;
    const size_t dot = r.find('.');
    long i = long(dot == std::string::npos ? r.size() : dot) - 3;  // 0-based insert point
    // Never at the start, and never between a sign and the first digit.
    for (; i > 0; i -= 3) {
        if (r[size_t(i) - 1] < '0' || r[size_t(i) - 1] > '9') break;
        r.insert(size_t(i), 1, ',');
    }
    return r;
}

std::string SizeText(bool thousands, int decimals, int64_t value, int64_t unit) {
    if (unit == 0) unit = 1;
    std::string r;
    if (decimals < 1) {
        int64_t q = value / unit;
        if (value % unit != 0 && ((value > 0) == (unit > 0))) ++q;
        r = IntToStr(q);
    } else {
        r = Printf("%.*f", double(value) / double(unit), 1);
    }
    return thousands ? InsertThousands(r) : r;
}

std::string KBText(bool thousands, int decimals, int64_t value) {
    return SizeText(thousands, decimals, value, 1024);
}

std::string MBText(bool thousands, int decimals, int64_t value) {
    return SizeText(thousands, decimals, value, 1048576);
}

int64_t RandomRange64(int64_t low, int64_t high) {
    if (high < low) {
        const int64_t t = low;
        low = high;
        high = t;
    }
    const uint64_t seed =
        uint64_t(std::chrono::high_resolution_clock::now().time_since_epoch().count());
    const uint32_t span = uint32_t(uint64_t(high) - uint64_t(low) + 1);
    const uint64_t r = Mix64(seed);
    const uint64_t offset = span == 0 ? (r & 0xFFFFFFFFu) : r % span;
    return int64_t(uint64_t(low) + offset);
}

std::string RandomRangeText(int64_t low, int64_t high) { return IntToStr(RandomRange64(low, high)); }

// ---- Dates and times ------------------------------------------------------

double EncodeDateTime(int year, int month, int day, int hour, int minute, int second, int msec) {
    if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1 ||
        day > DaysInMonth(year, month) || hour < 0 || hour > 23 || minute < 0 || minute > 59 ||
        second < 0 || second > 59 || msec < 0 || msec > 999)
        return 0;
    const double date = double(DaysFromCivil(year, month, day) + kUnixDayOffset);
    const double time =
        double((int64_t(hour) * 3600 + minute * 60 + second) * 1000 + msec) / double(kMsPerDay);
    // Before day 0 the fraction still counts forward from midnight, so it
    // makes the value more negative.
    return date >= 0 ? date + time : date - time;
}

bool DecodeDateTime(double t, DateTimeParts& parts) {
    // Outside 0001-01-01 .. 9999-12-31 (and NaN) nothing is printed.
    if (!(t > -693594.0 && t < 2958466.0)) return false;
    int64_t days = int64_t(t);  // toward zero
    int64_t ms = std::llround(std::fabs(t - double(days)) * double(kMsPerDay));
    if (ms >= kMsPerDay) {
        ms -= kMsPerDay;
        ++days;
    }
    DateTimeParts p;
    CivilFromDays(days - kUnixDayOffset, p.year, p.month, p.day);
    if (p.year < 1 || p.year > 9999) return false;
    p.hour = int(ms / 3600000);
    p.minute = int(ms / 60000 % 60);
    p.second = int(ms / 1000 % 60);
    p.msec = int(ms % 1000);
    parts = p;
    return true;
}

namespace {

std::string DateTextOf(const DateTimeParts& p) {
    static const char kMonths[] = "||JAN|FEB|MAR|APR|MAY|JUN|JUL|AUG|SEP|OCT|NOV|DEC|";
    return Two(p.day) + '-' + SUB::Get(kMonths, p.month) + '-' + Four(p.year);
}

}  // namespace

std::string DateText(double t) {
    DateTimeParts p;
    return DecodeOrNow(t, p) ? DateTextOf(p) : std::string();
}

std::string DateTimeText(const std::string& separator, double t) {
    // Decoded once so that date and time come from the same instant.
    DateTimeParts p;
    if (!DecodeOrNow(t, p)) return std::string();
    return DateTextOf(p) + separator + TimeOfDayText(p);
}

std::string TimestampText(bool longYear, double t) {
    DateTimeParts p;
    if (!DecodeOrNow(t, p)) return std::string();
    const char sep = LocaleDateSeparator();
    const std::string year = longYear ? Four(p.year) : Two(p.year % 100);
    return Two(p.day) + sep + Two(p.month) + sep + year + ' ' + TimeOfDayText(p);
}

}  // namespace kv
