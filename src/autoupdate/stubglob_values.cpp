#include "autoupdate/stubglob_values.h"

#include <cmath>
#include <limits>

#include "util/text_utils.h"

namespace kv {
namespace {

constexpr int64_t SecondsPerDay = 86400;

// Days from 1 March of year 0 (proleptic Gregorian) to 30 December 1899.
constexpr int64_t EpochShift = 693899;

int64_t FloorDiv(int64_t a, int64_t b) {
    const int64_t q = a / b;
    return (a % b != 0 && (a < 0) != (b < 0)) ? q - 1 : q;
}

// Calendar date of a day count since 30 December 1899 (the usual
// era-based civil-from-days conversion, counting from 1 March of year 0).
void CivilFromDays(int64_t days, int64_t& year, int& month, int& day) {
    const int64_t z = days + EpochShift;
    const int64_t era = FloorDiv(z, 146097);
    const int64_t doe = z - era * 146097;
    const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const int64_t mp = (5 * doy + 2) / 153;
    day = int(doy - (153 * mp + 2) / 5 + 1);
    month = int(mp < 10 ? mp + 3 : mp - 9);
    year = yoe + era * 400 + (month <= 2 ? 1 : 0);
}

int64_t DaysFromCivil(int64_t year, int month, int day) {
    year -= month <= 2 ? 1 : 0;
    const int64_t era = FloorDiv(year, 400);
    const int64_t yoe = year - era * 400;
    const int64_t mp = month > 2 ? month - 3 : month + 9;
    const int64_t doy = (153 * mp + 2) / 5 + day - 1;
    const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - EpochShift;
}

const char* const MonthNames[12] = {"JAN", "FEB", "MAR", "APR", "MAY", "JUN",
                                    "JUL", "AUG", "SEP", "OCT", "NOV", "DEC"};

std::string TwoDigits(int64_t v) { return ZeroPad(IntToStr(v), 2); }

}  // namespace

bool TrySettingNumber(const std::string& text, int64_t& value) {
    size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    if (i == text.size()) return false;
    // Accumulated negatively so that the lowest value fits too.
    const int64_t lowest = std::numeric_limits<int64_t>::min();
    int64_t v = 0;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        if (c < '0' || c > '9') return false;
        const int digit = c - '0';
        if (v < (lowest + digit) / 10) return false;
        v = v * 10 - digit;
    }
    if (!negative) {
        if (v == lowest) return false;
        v = -v;
    }
    value = v;
    return true;
}

int64_t SettingNumber(const std::string& text, int64_t def) {
    int64_t value = def;
    return TrySettingNumber(text, value) ? value : def;
}

bool SettingSwitch(const std::string& text) { return text == "1"; }

int32_t LowInt32(int64_t value) {
    const uint32_t low = static_cast<uint32_t>(static_cast<uint64_t>(value));
    return low > uint32_t(std::numeric_limits<int32_t>::max())
               ? int32_t(int64_t(low) - (int64_t(1) << 32))
               : int32_t(low);
}

int64_t SecondsFromDateValue(double days) {
    const double seconds = days * double(SecondsPerDay);
    // Beyond the 64-bit range (or NaN) there is no sensible time.
    if (!(std::fabs(seconds) < 9.2e18)) return 0;
    return std::llround(seconds);
}

double DateValueFromSeconds(int64_t seconds) { return double(seconds) / double(SecondsPerDay); }

int64_t SecondsFromDate(int year, int month, int day, int hour, int minute, int second) {
    return DaysFromCivil(year, month, day) * SecondsPerDay + int64_t(hour) * 3600 + int64_t(minute) * 60 +
           second;
}

int64_t NowSeconds() { return SecondsFromDateValue(NowValue()); }

std::string ReadableTimeText(int64_t seconds) {
    const int64_t days = FloorDiv(seconds, SecondsPerDay);
    const int64_t inDay = seconds - days * SecondsPerDay;
    int64_t year = 0;
    int month = 1, day = 1;
    CivilFromDays(days, year, month, day);
    return TwoDigits(day) + "-" + MonthNames[month - 1] + "-" + ZeroPad(IntToStr(year), 4) + " " +
           TwoDigits(inDay / 3600) + ":" + TwoDigits(inDay / 60 % 60) + ":" + TwoDigits(inDay % 60);
}

std::string AutoUpdateTextDefault(int number) {
    switch (number) {
        case 3: return "File Download Aborted!";
        case 4: return "File not Found!";
        case 5: return "Unable to Download File!";
        case 31: return "Downloading INFO File...";
        case 32: return "Downloading UPDATE File...";
        case 33: return "Downloading INFORM File...";
        case 34: return "New Version";
        case 35: return "Download";
        default: return std::string();
    }
}

}  // namespace kv
