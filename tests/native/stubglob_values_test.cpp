// Value rules of the agent's settings files: numbers, switches, the low
// 32 bits of versions, the agent's seconds and their readable twin.
#include "autoupdate/stubglob_values.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>

#include "util/text_utils.h"

using namespace kv;

namespace {

TEST(StubGlobValues, Numbers) {
    struct Case {
        const char* text;
        int64_t expected;
    } cases[] = {
        {"0", 0},
        {"01", 1},
        {"-1", -1},
        {"+5", 5},
        {"360", 360},
        {"9223372036854775807", INT64_MAX},
        {"-9223372036854775808", INT64_MIN},
        {"9223372036854775808", -7},  // overflow
        {"-9223372036854775809", -7},
        {"99999999999999999999", -7},
        {"", -7},
        {"-", -7},
        {"+", -7},
        {"true", -7},
        {"yes", -7},
        {"12a", -7},
        {"1 ", -7},
        {" 1", -7},
        {"$1F", -7},  // decimal only
        {"0x10", -7},
        {"1.5", -7},
        {"--1", -7},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(SettingNumber(c.text, -7), c.expected) << '"' << c.text << '"';
        int64_t v = 42;
        const bool ok = TrySettingNumber(c.text, v);
        EXPECT_EQ(ok, c.expected != -7) << '"' << c.text << '"';
        EXPECT_EQ(v, ok ? c.expected : 42) << "left untouched on failure: " << c.text;
    }
}

TEST(StubGlobValues, Switches) {
    const struct {
        const char* text;
        bool on;
    } cases[] = {{"1", true}, {"0", false}, {"", false}, {"yes", false}, {"true", false},
                 {"01", false}, {"1 ", false}, {"2", false}, {"-1", false}};
    for (const auto& c : cases) EXPECT_EQ(SettingSwitch(c.text), c.on) << '"' << c.text << '"';
}

TEST(StubGlobValues, LowInt32) {
    EXPECT_EQ(LowInt32(0), 0);
    EXPECT_EQ(LowInt32(101), 101);
    EXPECT_EQ(LowInt32(-5), -5);
    EXPECT_EQ(LowInt32(0x7FFFFFFF), INT32_MAX);
    EXPECT_EQ(LowInt32(0x80000000LL), INT32_MIN);
    EXPECT_EQ(LowInt32(0xFFFFFFFFLL), -1);
    EXPECT_EQ(LowInt32(0x100000007LL), 7);
    EXPECT_EQ(LowInt32(INT64_MIN), 0);
}

TEST(StubGlobValues, ReadableTwin) {
    const struct {
        int64_t seconds;
        const char* text;
    } cases[] = {
        {0, "30-DEC-1899 00:00:00"},
        {86399, "30-DEC-1899 23:59:59"},
        {86400, "31-DEC-1899 00:00:00"},
        {2 * 86400 + 3600 + 61, "01-JAN-1900 01:01:01"},
        {60 * 86400, "28-FEB-1900 00:00:00"},  // 1900 has no 29 February
        {61 * 86400, "01-MAR-1900 00:00:00"},
        {-1, "29-DEC-1899 23:59:59"},
        {SecondsFromDate(2000, 2, 29, 12, 0, 0), "29-FEB-2000 12:00:00"},
        {SecondsFromDate(2024, 11, 5, 7, 8, 9), "05-NOV-2024 07:08:09"},
        {SecondsFromDate(9999, 12, 31, 23, 59, 59), "31-DEC-9999 23:59:59"},
        {SecondsFromDate(1, 1, 1, 0, 0, 0), "01-JAN-0001 00:00:00"},
    };
    for (const auto& c : cases) EXPECT_EQ(ReadableTimeText(c.seconds), c.text) << c.seconds;
}

// The day counting agrees with the project's date values over a long run
// of days, each with a different time of day.
TEST(StubGlobValues, SecondsAgreeWithDateValues) {
    static const char* const months[] = {"JAN", "FEB", "MAR", "APR", "MAY", "JUN",
                                         "JUL", "AUG", "SEP", "OCT", "NOV", "DEC"};
    for (int64_t day = 0; day < 160000; day += 37) {
        const int64_t s = day * 86400 + (day * 7919) % 86400;
        DateTimeParts p;
        ASSERT_TRUE(DecodeDateTime(DateValueFromSeconds(s), p)) << s;
        ASSERT_EQ(SecondsFromDate(p.year, p.month, p.day, p.hour, p.minute, p.second), s) << s;
        ASSERT_EQ(SecondsFromDateValue(EncodeDateTime(p.year, p.month, p.day, p.hour, p.minute, p.second)), s);
        const std::string expected = ZeroPadInt(p.day, 2) + "-" + months[p.month - 1] + "-" +
                                     ZeroPadInt(p.year, 4) + " " + ZeroPadInt(p.hour, 2) + ":" +
                                     ZeroPadInt(p.minute, 2) + ":" + ZeroPadInt(p.second, 2);
        ASSERT_EQ(ReadableTimeText(s), expected) << s;
    }
}

TEST(StubGlobValues, DateValuesRoundToTheNearestSecond) {
    EXPECT_EQ(SecondsFromDateValue(0.0), 0);
    EXPECT_EQ(SecondsFromDateValue(1.0), 86400);
    EXPECT_EQ(SecondsFromDateValue(0.4 / 86400), 0);
    EXPECT_EQ(SecondsFromDateValue(0.6 / 86400), 1);
    EXPECT_EQ(SecondsFromDateValue(-0.6 / 86400), -1);
    EXPECT_EQ(SecondsFromDateValue(EncodeDateTime(2024, 3, 1, 10, 0, 0, 499)),
              SecondsFromDate(2024, 3, 1, 10, 0, 0));
    EXPECT_EQ(SecondsFromDateValue(EncodeDateTime(2024, 3, 1, 10, 0, 0, 501)),
              SecondsFromDate(2024, 3, 1, 10, 0, 1));
    EXPECT_DOUBLE_EQ(DateValueFromSeconds(129600), 1.5);
}

TEST(StubGlobValues, NowIsTheLocalClockInSeconds) {
    const int64_t before = SecondsFromDateValue(NowValue());
    const int64_t now = NowSeconds();
    const int64_t after = SecondsFromDateValue(NowValue());
    EXPECT_LE(before, now);
    EXPECT_LE(now, after);
    EXPECT_GT(now, SecondsFromDate(2020, 1, 1, 0, 0, 0));
}

TEST(StubGlobValues, MessageTextDefaults) {
    const struct {
        int number;
        const char* text;
    } cases[] = {{2, ""},
                 {3, "File Download Aborted!"},
                 {4, "File not Found!"},
                 {5, "Unable to Download File!"},
                 {11, ""},
                 {24, ""},
                 {31, "Downloading INFO File..."},
                 {32, "Downloading UPDATE File..."},
                 {33, "Downloading INFORM File..."},
                 {34, "New Version"},
                 {35, "Download"},
                 {36, ""}};
    for (const auto& c : cases) EXPECT_EQ(AutoUpdateTextDefault(c.number), c.text) << c.number;
}

}  // namespace
