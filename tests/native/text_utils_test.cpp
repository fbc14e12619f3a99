#include "util/text_utils.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <string>

using namespace kv;
using namespace std::string_literals;

namespace {

int CountOf(const std::string& part, const std::string& text) {
    int n = 0;
    for (size_t p = text.find(part); p != std::string::npos; p = text.find(part, p + 1)) ++n;
    return n;
}

// ---- Basics ---------------------------------------------------------------

TEST(TextBasics, TrimUpperSameText) {
    EXPECT_EQ(Trim("\0 \t a b \x01\x20"s), "a b");
    EXPECT_EQ(Trim("\x80" "a"), "\x80" "a");  // codes above 32 stay
    EXPECT_EQ(TrimLeft("  a  "), "a  ");
    EXPECT_EQ(TrimRight("  a  "), "  a");
    EXPECT_EQ(Trim("   "), "");
    EXPECT_EQ(UpperCase("aZ\xe4z1"), "AZ\xe4Z1");  // ASCII only
    EXPECT_TRUE(SameText("abc", "ABC"));
    EXPECT_FALSE(SameText("abc", "abd"));
    EXPECT_FALSE(SameText("ab", "abc"));
    EXPECT_FALSE(SameText("\xe4", "\xc4"));
    EXPECT_EQ(IntToStr(INT64_MIN), "-9223372036854775808");
}

TEST(TextBasics, TryStrToInt64) {
    struct Case { std::string text; bool ok; int64_t value; } cases[] = {
        {"123", true, 123}, {" -42", true, -42}, {"+7", true, 7}, {"007", true, 7},
        {"$1F", true, 31}, {"0x1f", true, 31}, {"0X1F", true, 31}, {"-$10", true, -16},
        {"9223372036854775807", true, INT64_MAX},
        {"-9223372036854775808", true, INT64_MIN},
        {"$FFFFFFFFFFFFFFFF", true, -1},
        {"9223372036854775808", false, 0}, {"-9223372036854775809", false, 0},
        {"99999999999999999999", false, 0}, {"$10000000000000000", false, 0},
        {"12x", false, 0}, {"1 ", false, 0}, {"1.5", false, 0}, {"", false, 0}, {" ", false, 0},
        {"-", false, 0}, {"$", false, 0}, {"0x", false, 0}, {"$G", false, 0}, {"1F", false, 0},
    };
    for (const auto& c : cases) {
        int64_t v = 555;
        EXPECT_EQ(TryStrToInt64(c.text, v), c.ok) << c.text;
        EXPECT_EQ(v, c.ok ? c.value : 555) << c.text;
        EXPECT_EQ(StrToInt64Def(c.text, -1234), c.ok ? c.value : -1234) << c.text;
    }
}

TEST(TextBasics, FileNameParts) {
    struct Case { std::string path, name, dir; } cases[] = {
        {"C:\\a\\b.txt", "b.txt", "C:\\a\\"}, {"a/b", "b", ""}, {"C:x", "x", "C:"},
        {"abc", "abc", ""}, {"C:\\a\\", "", "C:\\a\\"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ExtractFileName(c.path), c.name) << c.path;
        EXPECT_EQ(ExtractFilePath(c.path), c.dir) << c.path;
    }
    EXPECT_EQ(ChangeFileExt("a\\b.txt", ".log"), "a\\b.log");
    EXPECT_EQ(ChangeFileExt("a.d\\b", ".log"), "a.d\\b.log");
    EXPECT_EQ(ChangeFileExt("b.tar.gz", ""), "b.tar");

    struct Ext { std::string path; bool all; std::string expected; } exts[] = {
        {"C:\\d.x\\a.b.c", false, "a.b"}, {"C:\\d.x\\a.b.c", true, "a"},
        {"noext", false, "noext"}, {"dir/a.txt", false, "a"},
    };
    for (const auto& c : exts) EXPECT_EQ(FileNameWithoutExt(c.path, c.all), c.expected) << c.path;
}

// ---- Trace lines ----------------------------------------------------------

TEST(TextTrace, Fields) {
    EXPECT_EQ(FormatTraceFields("", "", "", ""), "[]  []  []  []");
    EXPECT_EQ(FormatTraceFields("a", "b", "c", "d"), "[a]  [b]  [c]  [d]");
}

TEST(TextTrace, Exception) {
    const std::string plain = FormatTraceException("boom", "Utils.GetExeVersion()", "");
    EXPECT_EQ(plain, " --- Utils.GetExeVersion() --- boom");
    EXPECT_EQ(CountOf(" --- ", plain), 2);
    const std::string extra = FormatTraceException("boom", "Utils.GetExeVersion()", "x.exe");
    EXPECT_EQ(extra, " --- Utils.GetExeVersion() --- x.exe --- boom");
    EXPECT_EQ(CountOf(" --- ", extra), 3);
}

// ---- Searching and comparing ----------------------------------------------

TEST(TextSearch, PosFunctions) {
    EXPECT_EQ(PosText("b", "ABC"), 2);
    EXPECT_EQ(PosText("", "abc"), 0);
    EXPECT_EQ(PosText("x", "abc"), 0);
    EXPECT_EQ(PosText("abcd", "abc"), 0);

    struct Case { std::string part, text; int start; bool ic; int expected; } cases[] = {
        {"a", "banana", 3, false, 4}, {"A", "banana", 3, false, 0}, {"A", "banana", 3, true, 4},
        {"na", "banana", 5, false, 5}, {"na", "banana", 6, false, 0},
        {"a", "banana", 0, false, 0}, {"a", "banana", -5, false, 0}, {"a", "banana", 99, false, 0},
        {"", "banana", 1, false, 0}, {"a", "", 1, false, 0},
        {"NaN", "banana", 1, true, 3},
    };
    for (const auto& c : cases)
        EXPECT_EQ(PosFrom(c.part, c.text, c.start, c.ic), c.expected) << c.part << " in " << c.text;
    EXPECT_EQ(PosTextFrom("NA", "banana", 4), 5);

    EXPECT_EQ(LastPos("a", "banana"), 6);
    EXPECT_EQ(LastPos("ana", "banana"), 4);
    EXPECT_EQ(LastPos("A", "banana"), 0);
    EXPECT_EQ(LastPos("", "banana"), 0);
}

TEST(TextSearch, StartsEndsSame) {
    struct Case { std::string part, text; bool ic, starts, ends; } cases[] = {
        {"ab", "abc", false, true, false}, {"AB", "abc", false, false, false},
        {"AB", "abc", true, true, false}, {"bc", "abc", false, false, true},
        {"BC", "abc", true, false, true}, {"BC", "abc", false, false, false},
        {"abc", "abc", false, true, true}, {"xabc", "abc", false, false, false},
        {"", "abc", false, false, true},  // an empty prefix never occurs; an empty suffix ends any text
    };
    for (const auto& c : cases) {
        EXPECT_EQ(StartsWith(c.part, c.text, c.ic), c.starts) << c.part;
        EXPECT_EQ(EndsWith(c.part, c.text, c.ic), c.ends) << c.part;
    }
    EXPECT_TRUE(SameTextTrimmed(" Abc\t", "abc"));
    EXPECT_FALSE(SameTextTrimmed("ab c", "abc"));
}

// ---- Cutting and shaping --------------------------------------------------

TEST(TextShape, BeforeAfter) {
    EXPECT_EQ(TextBefore("a,b", ",", "D", false), "a");
    EXPECT_EQ(TextBefore("ab", ",", "D", false), "D");
    EXPECT_EQ(TextBefore(" a , b", ",", "D", true), "a");
    EXPECT_EQ(TextBefore("ab", ",", " D ", true), " D ");  // the default comes back as given
    EXPECT_EQ(TextAfter("a,b", ",", "D", false), "b");
    EXPECT_EQ(TextAfter("a,b,c", ",", "D", false), "b,c");
    EXPECT_EQ(TextAfter("a:: b", "::", "D", true), "b");
    EXPECT_EQ(TextAfter("ab", ",", "D", false), "D");
}

TEST(TextShape, StripEncloseQuote) {
    struct Case { std::string text; char c; bool always, once; std::string expected; } cases[] = {
        {"00120", '0', true, false, "12"}, {"00120", '0', true, true, "012"},
        {"0", '0', false, false, ""}, {"x", '0', true, false, "x"},
        {"0120", '0', false, false, "12"}, {"0121", '0', false, false, "0121"},
        {"1210", '0', true, false, "121"}, {"00", '0', true, false, ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(StripChar(c.text, c.c, c.always, c.once), c.expected) << c.text;

    EXPECT_EQ(Enclose("a", '|', false), "|a|");
    EXPECT_EQ(Enclose("|a|", '|', false), "||a||");
    EXPECT_EQ(Enclose("|a|", '|', true), "|a|");
    EXPECT_EQ(Enclose("||a", '|', true), "|a|");

    EXPECT_EQ(Unquote("  \"a b\" ", false), "a b");
    EXPECT_EQ(Unquote("\"a", false), "\"a");
    EXPECT_EQ(Unquote("\"a", true), "a");
    EXPECT_EQ(Quote("a"), "\"a\"");
    EXPECT_EQ(Quote("\"a\""), "\"a\"");
    EXPECT_EQ(Quote(" \"a"), "\"a\"");
}

TEST(TextShape, CharsAndReverse) {
    EXPECT_EQ(ReplaceChar("a.b.c", '.', '/'), "a/b/c");
    EXPECT_EQ(ReplaceChar("a.b", '.', '.'), "a.b");
    EXPECT_EQ(KeepChars("a1b2c3", "0123456789", ""), "123");
    EXPECT_EQ(KeepChars("a1b2\xff", "", "1"), "ab2\xff");  // empty allowed set: all codes
    EXPECT_EQ(KeepChars("a1b2", "ab12", "b"), "a12");
    EXPECT_EQ(ReverseText("abc"), "cba");
    EXPECT_EQ(ReverseText(""), "");
}

TEST(TextShape, PadLeft) {
    struct Case { std::string text; int width; char fill; std::string expected; } cases[] = {
        {"12345", 3, ' ', "12345"}, {"12345", -3, ' ', "12."}, {"7", 3, '0', "007"},
        {"12", -3, ' ', " 12"}, {"1234", -4, 'x', "1234"}, {"abcdef", -5, '*', "abcd."},
        {"12345", -2, ' ', "12345"},  // -1 and -2 do not cut
        {"", 2, '-', "--"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(PadLeft(c.text, c.width, c.fill), c.expected) << c.text << " " << c.width;
    EXPECT_EQ(ZeroPad("12", 4), "0012");
    EXPECT_EQ(ZeroPad("12345", 3), "12345");
    EXPECT_EQ(ZeroPad("12345", -3), "12345");  // never cut
    EXPECT_EQ(ZeroPadInt(7, 3), "007");
    EXPECT_EQ(ZeroPadInt(1234, 2), "1234");
}

TEST(TextShape, CleanPath) {
    struct Case { std::string path; bool trailing; std::string expected; } cases[] = {
        {R"(C:\\dir\\file)", false, R"(C:\dir\file)"},
        {R"(C:\\\x)", false, R"(C:\x)"},
        {R"(\\server\share\\x)", false, R"(\\server\share\x)"},  // network prefix kept
        {R"(\\\server)", false, R"(\\server)"},
        {R"(|C:\\a|\\srv\x|)", false, R"(|C:\a|\\srv\x|)"},    // prefix after a list separator kept
        {R"(C:\a|\\srv)", false, R"(C:\a|\srv)"},              // not a list: collapsed
        // The collapsing stops before the last pair; the trailing flag then
        // takes one backslash.
        {R"(C:\a\\)", false, R"(C:\a\\)"},
        {R"(C:\a\\)", true, R"(C:\a\)"},
        {R"(C:\dir\)", true, R"(C:\dir)"},
        {R"(C:\dir)", true, R"(C:\dir)"},
        {R"(\)", true, ""},
        {R"(\\)", false, R"(\\)"},  // too short to collapse
        {R"(\\)", true, R"(\)"},
        {"ab", false, "ab"},
        {"", true, ""},
    };
    for (const auto& c : cases) EXPECT_EQ(CleanPath(c.path, c.trailing), c.expected) << c.path;
}

// ---- Replacing ------------------------------------------------------------

TEST(TextReplace, OccurrenceRanges) {
    struct Case { std::string text, oldPart, newPart; int first, last; std::string expected; } cases[] = {
        {"aaa", "aa", "b", 0, 0, "ba"},          // replaced occurrences do not overlap
        {"aaa", "aa", "b", 2, 0, "ab"},          // the second, overlapping, occurrence only
        {"aaaa", "aa", "b", 0, 0, "bb"},
        {"aaaa", "aa", "b", 2, 2, "aba"},
        {"ababab", "ab", "X", 0, 0, "XXX"},
        {"ababab", "ab", "X", 2, 3, "abXX"},
        {"ababab", "ab", "X", 2, 0, "abXab"},
        {"ababab", "ab", "X", 0, 2, "XXab"},
        {"ababab", "ab", "X", 3, 1, "ababab"},   // empty range
        {"ababab", "ab", "X", 4, 0, "ababab"},
        {"abc", "x", "y", 0, 0, "abc"},
        {"abc", "", "y", 0, 0, "abc"},
        {"aAa", "a", "-", 0, 0, "-A-"},          // exact case
    };
    for (const auto& c : cases)
        EXPECT_EQ(ReplaceText(c.text, c.oldPart, c.newPart, c.first, c.last, false), c.expected)
            << c.text << " " << c.first << ".." << c.last;
}

TEST(TextReplace, TrimAndCase) {
    EXPECT_EQ(ReplaceText("  a b  ", "b", "c", 0, 0, true), "a c");
    EXPECT_EQ(ReplaceText("  abc ", "x", "y", 0, 0, true), "  abc ");  // no occurrence: input as is
    EXPECT_EQ(ReplaceTextIgnoreCase("ABab", "ab", "x", 0, 0, false), "xx");
    EXPECT_EQ(ReplaceTextIgnoreCase("xAAa", "aa", "b", 2, 0, false), "xAb");
    EXPECT_EQ(ReplaceTextIgnoreCase("  abc ", "x", "y", 0, 0, true), "abc");
}

TEST(TextReplace, Repeated) {
    struct Case { std::string text, oldPart, newPart; bool trim; std::string expected; } cases[] = {
        {"  =", " =", "=", false, "="},
        {"a   =  b", " =", "=", false, "a=  b"},
        {"aabb", "ab", "", false, ""},     // a new occurrence forms before the last one
        {"aXa", "a", "aa", false, "aXa"},  // the new text contains the old: nothing done
        {"x", "y", "z", false, "x"},
        {" a  = ", " =", "=", true, "a="},
        {"abc", "", "z", false, "abc"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ReplaceRepeated(c.text, c.oldPart, c.newPart, c.trim), c.expected) << c.text;
}

// ---- Numbers --------------------------------------------------------------

TEST(TextNumbers, SmallOnes) {
    EXPECT_EQ(Min64(-3, 2), -3);
    EXPECT_EQ(Max64(-3, 2), 2);
    EXPECT_EQ(EnsureRange64(5, 1, 3), 3);
    EXPECT_EQ(EnsureRange64(-5, 1, 3), 1);
    EXPECT_EQ(EnsureRange64(2, 1, 3), 2);
    EXPECT_EQ(EnsureRange64(2, 3, 1), 1);  // raised to the minimum, then lowered to the maximum
    EXPECT_EQ(IfThenText(true, "a", "b"), "a");
    EXPECT_EQ(IfThenInt64(false, 1, 2), 2);
    EXPECT_EQ(IfThenChar(false, 'y', 'n'), 'n');
    EXPECT_EQ(BoolText(false), "FALSE");
    EXPECT_EQ(BoolText(true), "TRUE");
    EXPECT_EQ(BoolChar(true), '1');
    EXPECT_EQ(BoolChar(false), '0');
}

TEST(TextNumbers, StrToFloatAnyLocale) {
    struct Case { std::string text; double expected; } cases[] = {
        {"1,5", 1.5}, {"1,234.5", 1234.5}, {"1.5", 1.5}, {" 2.5 ", 2.5}, {"-3", -3},
        {"1e3", 1000}, {".5", 0.5}, {"1,234", 1.234},
        {"abc", -7}, {"", -7}, {".", -7}, {"1.2.3", -7}, {"0x10", -7}, {"inf", -7},
        {"nan", -7}, {"1e", -7}, {"1 2", -7},
    };
    for (const auto& c : cases) EXPECT_DOUBLE_EQ(StrToFloatAnyLocale(c.text, -7), c.expected) << c.text;
}

TEST(TextNumbers, FloatToFixed) {
    struct Case { int decimals; bool trim; double x; std::string expected; } cases[] = {
        {2, true, 12.5, "12.5"}, {2, true, 100, "100"}, {2, true, 0.5, ".5"}, {2, true, 0, "0"},
        {2, false, 12.5, "12.50"}, {0, true, 100, "100"},  // no '.': integer zeros stay
        {3, true, -0.25, "-0.25"}, {2, false, 1234.567, "1234.57"}, {0, false, 2.75, "3"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FloatToFixed(c.decimals, c.trim, c.x), c.expected) << c.x;
}

TEST(TextNumbers, InsertThousands) {
    struct Case { std::string text, expected; } cases[] = {
        {"1234567", "1,234,567"}, {"1234.5", "1,234.5"}, {"123", "123"}, {"1234", "1,234"},
        {"123456.789", "123,456.789"}, {"-1234567", "-1,234,567"}, {"-123", "-123"}, {"", ""},
        {"-0.0", "-0.0"},
    };
    for (const auto& c : cases) EXPECT_EQ(InsertThousands(c.text), c.expected) << c.text;
}

TEST(TextNumbers, SizeText) {
    struct Case { bool thousands; int decimals; int64_t value, unit; std::string expected; } cases[] = {
        {false, 0, 1025, 1024, "2"}, {false, 2, 1025, 1024, "1.0"}, {false, 0, 0, 1024, "0"},
        {false, 0, 1024, 1024, "1"}, {false, -1, 1, 1024, "1"},
        {true, 1, 12000000, 1024, "11,718.8"}, {true, 1, 1536, 1024, "1.5"},
        {true, 0, int64_t(2000000) * 1024, 1024, "2,000,000"},
        {false, 1, -1, 1048576, "-0.0"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(SizeText(c.thousands, c.decimals, c.value, c.unit), c.expected) << c.value;
    EXPECT_EQ(KBText(false, 0, 1025), "2");
    EXPECT_EQ(MBText(false, 1, 5242880), "5.0");
}

TEST(TextNumbers, RandomRangeStaysInside) {
    struct Range { int64_t low, high; } ranges[] = {
        {10000, 100000}, {5, 5}, {-3, 3}, {7, 3}, {0, 1},
        {INT64_MIN, INT64_MAX}, {0, int64_t(1) << 40},
    };
    for (const auto& r : ranges) {
        const int64_t lo = Min64(r.low, r.high), hi = Max64(r.low, r.high);
        for (int i = 0; i < 200; ++i) {
            const int64_t v = RandomRange64(r.low, r.high);
            ASSERT_GE(v, lo);
            ASSERT_LE(v, hi);
        }
    }
    EXPECT_EQ(RandomRangeText(42, 42), "42");
}

// ---- Dates and times ------------------------------------------------------

TEST(TextDates, EncodeDecode) {
    EXPECT_EQ(EncodeDateTime(1899, 12, 30, 0, 0, 0), 0.0);
    EXPECT_EQ(EncodeDateTime(1970, 1, 1, 0, 0, 0), 25569.0);
    EXPECT_EQ(EncodeDateTime(1899, 12, 29, 6, 0, 0), -1.25);  // fraction counts forward
    EXPECT_EQ(EncodeDateTime(2023, 2, 29, 0, 0, 0), 0.0);
    EXPECT_EQ(EncodeDateTime(2024, 13, 1, 0, 0, 0), 0.0);
    EXPECT_EQ(EncodeDateTime(2024, 1, 1, 24, 0, 0), 0.0);

    const DateTimeParts samples[] = {
        {2024, 2, 29, 12, 30, 15, 250}, {1600, 3, 1, 0, 0, 0, 0}, {1, 1, 1, 0, 0, 0, 0},
        {9999, 12, 31, 23, 59, 59, 999}, {1899, 12, 29, 6, 0, 0, 0}, {2000, 2, 29, 0, 0, 1, 0},
    };
    for (const auto& s : samples) {
        DateTimeParts p;
        ASSERT_TRUE(DecodeDateTime(EncodeDateTime(s.year, s.month, s.day, s.hour, s.minute,
                                                  s.second, s.msec), p))
            << s.year;
        EXPECT_EQ(p.year, s.year);
        EXPECT_EQ(p.month, s.month);
        EXPECT_EQ(p.day, s.day);
        EXPECT_EQ(p.hour, s.hour);
        EXPECT_EQ(p.minute, s.minute);
        EXPECT_EQ(p.second, s.second);
        EXPECT_EQ(p.msec, s.msec) << s.year;
    }
    DateTimeParts p;
    EXPECT_FALSE(DecodeDateTime(std::nan(""), p));
    EXPECT_FALSE(DecodeDateTime(1e9, p));
    EXPECT_FALSE(DecodeDateTime(-1e9, p));
}

TEST(TextDates, Texts) {
    EXPECT_EQ(DateText(EncodeDateTime(2026, 3, 5, 0, 0, 0)), "05-MAR-2026");
    const double t = EncodeDateTime(2026, 12, 9, 13, 5, 7);
    EXPECT_EQ(DateText(t), "09-DEC-2026");
    EXPECT_EQ(DateTimeText(" ", t), "09-DEC-2026 13:05:07");
    EXPECT_EQ(DateTimeText("", t), "09-DEC-202613:05:07");
    EXPECT_EQ(TimestampText(false, t), "09/12/26 13:05:07");
    EXPECT_EQ(TimestampText(true, t), "09/12/2026 13:05:07");
    EXPECT_EQ(TimestampText(false, EncodeDateTime(2005, 1, 2, 3, 4, 5)), "02/01/05 03:04:05");
    EXPECT_EQ(TimestampText(true, -1.25), "29/12/1899 06:00:00");
    // Just below midnight rounds to the next day at 00:00:00.000.
    EXPECT_EQ(TimestampText(true, EncodeDateTime(2026, 1, 1, 0, 0, 0) - 1e-10),
              "01/01/2026 00:00:00");
    // Seconds are cut, not rounded.
    EXPECT_EQ(TimestampText(true, EncodeDateTime(2026, 1, 1, 0, 0, 5, 999)), "01/01/2026 00:00:05");
    EXPECT_EQ(DateText(std::nan("")), "");
    EXPECT_EQ(TimestampText(true, 1e9), "");
}

TEST(TextDates, MinusOneMeansNow) {
    EXPECT_GT(NowValue(), EncodeDateTime(2020, 1, 1, 0, 0, 0));
    const std::string d = DateText(TimeNow);
    ASSERT_EQ(d.size(), 11u) << d;
    EXPECT_EQ(d[2], '-');
    EXPECT_EQ(d[6], '-');
    EXPECT_EQ(TimestampText(true, TimeNow).size(), 19u);
    EXPECT_EQ(DateTimeText("  ", TimeNow).size(), 21u);
}

}  // namespace
