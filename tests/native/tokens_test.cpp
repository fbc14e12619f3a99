#include "package/tokens.h"

#include <gtest/gtest.h>

#include <random>
#include <set>

#include "kvpack/token_scramble.h"

namespace kv {
namespace {

// The stored form of a text of hexadecimal digits: every code raised by 50.
std::string Stored(const std::string& hex) {
    std::string s = hex;
    for (char& c : s) c = char(uint8_t(c) + 50);
    return s;
}

bool IsFailureText(const std::string& s) {
    if (s.empty() || s.size() > 5 || s.find_first_not_of("0123456789") != std::string::npos) return false;
    return std::stoi(s) < 99999;
}

TEST(DescrambleToken, DecodesHandMadeTokens) {
    struct Case {
        const char* what;
        std::string hex;
        std::string clear;
    };
    // D = key byte, B1, B2, [B1 pad], token, [B2-1 pad], check, last; the
    // bytes between the first and the last XORed with first ^ last.
    const Case cases[] = {
        {"key 0", "1000014142A410", "AB"},
        {"key 5A", "335A5B1B188469", "AB"},
        {"lower-case digits", "335a5b1b188469", "AB"},
        {"odd last character forms a pair of one", "1015145457E95", "AB"},
        {"unreadable pair reads 255", "100001GG2010", "\xFF"},
        {"0x prefix without digits reads 255", "1000010x2010", "\xFF"},
        {"padding counts beyond the length give empty", "1009012A10", ""},
        {"B1 padding skipped", "100201EEEE414010", "A"},
    };
    for (const Case& c : cases) EXPECT_EQ(DescrambleToken(Stored(c.hex)), c.clear) << c.what;
}

TEST(DescrambleToken, FailedCheckGivesAFreshRandomNumber) {
    const std::string broken[] = {Stored("1000014142A510"), Stored("10000141"), "", "zzzz", Stored("1000014142A4")};
    for (const std::string& b : broken) {
        std::set<std::string> seen;
        for (int i = 0; i < 6; ++i) {
            const std::string r = DescrambleToken(b);
            EXPECT_TRUE(IsFailureText(r)) << r;
            seen.insert(r);
        }
        EXPECT_GT(seen.size(), 1u);  // never the same text every time
    }
}

TEST(ScrambleToken, RoundTripsThroughDescramble) {
    std::string binary;
    for (int i = 0; i < 256; ++i) binary.push_back(char(i));
    const std::string tokens[] = {"", "x", "AB", "secret-token-of-the-line", std::string(1000, 'q'), binary};
    for (uint32_t seed = 0; seed < 40; ++seed) {
        std::mt19937 rng(seed);
        for (const std::string& t : tokens) {
            const std::string s = pack::ScrambleToken(t, rng);
            EXPECT_EQ(DescrambleToken(s), t) << "seed " << seed << " length " << t.size();
            EXPECT_EQ(s.find('|'), std::string::npos);
        }
    }
}

TEST(ScrambleToken, SeedMakesItReproducibleAndOutputsDiffer) {
    std::mt19937 a(7), b(7), c(8);
    const std::string first = pack::ScrambleToken("tok", a);
    EXPECT_EQ(first, pack::ScrambleToken("tok", b));
    EXPECT_NE(first, pack::ScrambleToken("tok", c));
    EXPECT_NE(first, pack::ScrambleToken("tok", a));
}

}  // namespace
}  // namespace kv
