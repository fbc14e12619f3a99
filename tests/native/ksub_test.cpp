#include "util/ksub.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using kv::SUB;
using namespace std::string_literals;

namespace {

const std::string kMonths = "||JAN|FEB|MAR|APR|MAY|JUN|JUL|AUG|SEP|OCT|NOV|DEC|";
// Every separator candidate, so that none is free.
const std::string kAllCandidates = "|*~^!@#$&\xff";

TEST(SubCount, Table) {
    struct Case { std::string list; int count; } cases[] = {
        {"", 0}, {"|", 0}, {"|a", 0}, {"||", 1}, {"|a||b|", 3}, {"|a|b|", 2},
        {"*a|b*", 1},
        {"|a\0b|c|"s, 0},  // the scan stops at code 0
        {"|a|b\0|"s, 1},
    };
    for (const auto& c : cases) EXPECT_EQ(SUB::Count(c.list), c.count) << c.list;
}

TEST(SubGet, Table) {
    struct Case { std::string list; int index; std::string expected; } cases[] = {
        {"|a||b|", 0, "a"}, {"|a||b|", 1, "x"}, {"|a||b|", 2, "b"},
        {"|a||b|", -1, "b"}, {"|a||b|", 3, "x"}, {"|a||b|", -2, "x"},
        {"|a|b", 0, "a"}, {"|a|b", 1, "x"},   // text after the last separator is no field
        {"|a|b", -1, "x"},                    // no closing separator: count 0
        {"", 0, "x"}, {"", -1, "x"}, {"\0"s, 0, "x"}, {"|", 0, "x"},
        {"*a|b*c*", 0, "a|b"},
        {kMonths, 1, "JAN"}, {kMonths, 12, "DEC"}, {kMonths, 0, "x"}, {kMonths, 13, "x"},
        {kMonths, -1, "DEC"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(SUB::Get(c.list, c.index, "x"), c.expected) << c.list << " @" << c.index;
    EXPECT_EQ(SUB::Get(kMonths, 0), "");
}

TEST(SubGetInt64, Table) {
    const std::string list = "|12|-5|$1F|abc||9x| 7|9223372036854775808|";
    struct Case { int index; int64_t expected; } cases[] = {
        {0, 12}, {1, -5}, {2, 31}, {3, -99}, {4, -99}, {5, -99}, {6, 7}, {7, -99}, {20, -99},
    };
    for (const auto& c : cases) EXPECT_EQ(SUB::GetInt64(list, c.index, -99), c.expected) << c.index;
}

TEST(SubGetValue, Table) {
    struct Case { std::string list, key, expected; } cases[] = {
        {"|A=1|b = 2|", "B", " 2"},        // blank before '=' goes, the one after stays
        {"|A=|", "a", "E"},                // present without value
        {"|A=|", "c", "M"},
        {"|A=1", "A", "M"},                // no closing separator
        {"|A=1|", "A=", "1"},              // key already ending with '='
        {"|==x|", "=", "x"},               // the key "=" alone is searched as "=="
        {"|a=b=c|", "a", "b=c"},
        {"|ab=1|b=2|", "b", "2"},          // whole key only, not a key's tail
        {"| k=v|", "k", "v"},              // one blank after the separator is dropped
        {"|  k=v|", "k", "M"},             // ... but only one
        {"|k   =v|", "k", "v"},            // every blank before '=' goes
        {"|k=v w|", "k", "v w"},
        {"|k=1|k=2|", "K", "1"},           // first occurrence wins
        {"*k=a|b*", "k", "a|b"},
        {"||", "k", "M"},                  // shorter than 3
    };
    for (const auto& c : cases)
        EXPECT_EQ(SUB::GetValue(c.list, c.key, "M", "E"), c.expected) << c.list << " / " << c.key;
}

TEST(SubIndexOf, Table) {
    struct Case { std::string list, item; bool prefix; int expected; } cases[] = {
        {"|Alpha|Beta|", "beta", false, 1},
        {"|Alpha|Beta|", "AL", true, 0},
        {"|Alpha|Beta|", "x", false, -1},
        {"|Alpha|Beta|", "Al", false, -1},   // whole-field match without the flag
        {"|Alpha|Beta|", "be", true, 1},
        {"|a|b|c|", "c", false, 2},
        {"  |Alpha|Beta|  ", "beta", false, 1},  // the list is trimmed
        {"|Alpha|Beta|", " beta ", false, 1},    // falls back to the trimmed item
        {"|b| b|", " b", false, 1},              // the untrimmed item is tried first
        {"| b|b|", " b", false, 0},
        {"|Alpha|Beta|", "", false, -1},
        {"", "a", false, -1},
    };
    for (const auto& c : cases)
        EXPECT_EQ(SUB::IndexOf(c.list, c.item, c.prefix, -1), c.expected) << c.list << " / " << c.item;
}

TEST(SubContains, Table) {
    struct Case { std::string list, item; bool ignoreCase, trim, expected; } cases[] = {
        {"|a|B|", "b", true, false, true},
        {"|a|B|", "b", false, false, false},
        {"|a|B|", "B", false, false, true},
        {" |a|b| ", " a ", false, true, true},
        {" |a|b| ", " a ", false, false, false},  // untrimmed: separator is ' '
        {"|ab|", "a", true, false, false},        // whole fields only
        {"|a|b|", "", true, true, false},
        {"", "a", true, true, false},
        {"|a|b|", "  ", true, true, false},       // empty after trimming
    };
    for (const auto& c : cases)
        EXPECT_EQ(SUB::Contains(c.list, c.item, c.ignoreCase, c.trim), c.expected)
            << c.list << " / " << c.item;
}

TEST(SubPairs, LeftsRightsSplitPairs) {
    struct Case { std::string list, keys, values; } cases[] = {
        {"|a=1|b|c=|=d|", "|a||c||", "|1|||d|"},
        {"*x=a|b*y=2*", "|x|y|", "*a|b*2*"},   // each side chooses its own separator
        {"|k=v=w|", "|k|", "|v=w|"},
        {"", "", ""},
        {"|", "", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(SUB::Lefts(c.list), c.keys) << c.list;
        EXPECT_EQ(SUB::Rights(c.list), c.values) << c.list;
        std::string k = "junk", v = "junk";
        SUB::SplitPairs(c.list, k, v);
        EXPECT_EQ(k, c.keys) << c.list;
        EXPECT_EQ(v, c.values) << c.list;
    }
}

TEST(SubZip, Table) {
    struct Case { std::string keys, values; bool drop; std::string expected; } cases[] = {
        {"|a|b|c|", "|1|2|", false, "|a=1|b=2|c=|"},
        {"|a|b|", "|1|2|3|", false, "|a=1|b=2|=3|"},
        {"|a|b|||", "|1|||", false, "|a=1|b=|=|=|"},
        {"|a|b|||", "|1|||", true, "|a=1|b=|"},
        {"*a*", "*x|y*", false, "*a=x|y*"},
        {"", "", false, ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(SUB::Zip(c.keys, c.values, c.drop), c.expected) << c.keys << " + " << c.values;
}

TEST(SubDelete, Table) {
    struct Case { std::string list; int index; std::string expected; } cases[] = {
        {"|a|b|c|", 1, "|a|c|"},
        {"|a|b|c|", 0, "|b|c|"},
        {"|a|b|c|", 2, "|a|b|"},
        {"|a|b|c|", 3, "|a|b|c|"},   // count not greater than the index
        {"|a|b|c|", -1, "|a|b|c|"},  // rebuilt, nothing removed
        {"|a|b|c", -1, "|a|b|"},     // ... which drops the text after the last separator
        {"|a|b|c", 0, "|a|b|c"},     // count 0: unchanged
        {"*a|b*c*", 1, "*a|b*"},
        {"", 0, ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(SUB::Delete(c.list, c.index), c.expected) << c.list << " @" << c.index;
}

TEST(SubPut, Table) {
    struct Case { std::string list; int index; std::string value, expected; } cases[] = {
        {"", 2, "v", "|||v|"},
        {"|a|b|", 1, "x|y", "*a*x|y*"},   // first free candidate
        {"|a|b|", 0, "z", "|z|b|"},
        {"|a|", 2, "c", "|a||c|"},
        {"|a|b|", -1, "z", "|a|b|"},
        {"*a*b*", 1, "x|y", "*a*x|y*"},   // own separator kept when free
        {"*a*b*", 0, "z", "*z*b*"},
        {"*a*b*", 0, "*", "|*|b|"},
        {"|a|b|", 1, "", "|a||"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(SUB::Put(c.list, c.index, c.value), c.expected) << c.list << " @" << c.index;
}

TEST(SubFromArrayAppend, Table) {
    EXPECT_EQ(SUB::FromArray({}, false), "");
    EXPECT_EQ(SUB::FromArray({"a", "b|c"}, false), "*a*b|c*");
    EXPECT_EQ(SUB::FromArray({"a", "b"}, false), "|a|b|");
    EXPECT_EQ(SUB::FromArray({""}, false), "||");
    EXPECT_EQ(SUB::FromArray({"a", "A", "", "b"}, true), "|a|b|");

    struct Case { std::string list; std::vector<std::string> items; bool distinct; std::string expected; };
    const Case cases[] = {
        {"", {"a", "b"}, false, "|a|b|"},
        {"|a|", {"b", "c"}, false, "|a|b|c|"},
        {"|a|", {"x|y"}, false, "*a*x|y*"},   // separator re-chosen for the whole list
        {"*a*", {"x|y"}, false, "*a*x|y*"},
        {"|a|", {"A", "b"}, true, "|a|b|"},
        {"|a|", {}, false, "|a|"},
        {"", {"a", "a"}, true, "|a|"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(SUB::Append(c.list, c.items, c.distinct), c.expected) << c.list;
}

TEST(SubReverse, Table) {
    struct Case { std::string list, expected; } cases[] = {
        {"|a|b|c|", "|c|b|a|"}, {"", ""}, {"|", "|"}, {"||", "||"}, {"|a||", "||a|"},
        {"|a|b", "|a|"},
    };
    for (const auto& c : cases) EXPECT_EQ(SUB::Reverse(c.list), c.expected) << c.list;
}

TEST(SubDistinct, Table) {
    struct Case { std::string list, expected; } cases[] = {
        {"|a|A|| a|b|", "|a|b|"},
        {"*x*X*y*", "*x*y*"},          // the input's separator comes back
        {"*a|b*A|B*", "*a|b*"},
        {"", ""},
        {"||", ""},
        {"|B|a|b|", "|B|a|"},          // first spelling kept
    };
    for (const auto& c : cases) EXPECT_EQ(SUB::Distinct(c.list), c.expected) << c.list;
}

TEST(SubTrimEmpty, Table) {
    struct Case { std::string list; bool atEnd, atStart; std::string expected; } cases[] = {
        {"|||", true, true, ""},
        {"||a||", true, false, "||a|"},
        {"||a||", false, true, "|a||"},
        {"||a||", true, true, "|a|"},
        {"|a|", true, true, "|a|"},
        {"||", true, false, ""},       // one character left: empty
        {"||", false, false, "||"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(SUB::TrimEmpty(c.list, c.atEnd, c.atStart), c.expected) << c.list;
}

TEST(SubNormalize, Table) {
    struct Case { std::string list, expected; } cases[] = {
        {"", ""},
        {"*a*b*", "|a|b|"},
        {"|a|b|", "|a|b|"},
        {"\0a|b\0"s, "*a|b*"},
        {"\0a|*b\0"s, "~a|*b~"},
        {"\0a\0"s, "|a|"},
        {"|", ""},
        {"\0"s, ""},
        {"|a\0b|"s, "*a\0b*"s},   // a code 0 inside: only the first character is replaced
    };
    for (const auto& c : cases) EXPECT_EQ(SUB::Normalize(c.list), c.expected) << c.list;
}

TEST(SubNormalize, AllCandidatesTakenKeepsFieldsReadable) {
    const std::string built = "\0"s + kAllCandidates + "\0x\0"s;
    const std::string r = SUB::Normalize(built);
    ASSERT_FALSE(r.empty());
    EXPECT_EQ(r[0], '\x01');
    EXPECT_EQ(SUB::Count(r), 2);
    EXPECT_EQ(SUB::Get(r, 0), kAllCandidates);
    EXPECT_EQ(SUB::Get(r, 1), "x");
    // The same through a building operation.
    const std::string put = SUB::Put("|a|", 1, kAllCandidates);
    EXPECT_EQ(SUB::Get(put, 0), "a");
    EXPECT_EQ(SUB::Get(put, 1), kAllCandidates);
}

TEST(SubChangeSeparator, Table) {
    EXPECT_EQ(SUB::ChangeSeparator("|a|b|", '*'), "*a*b*");
    EXPECT_EQ(SUB::ChangeSeparator("", '*'), "");
    EXPECT_EQ(SUB::ChangeSeparator("|a*b|", '*'), "*a*b*");  // fields are not checked
}

}  // namespace
