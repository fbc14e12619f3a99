#include "util/os_describe.h"

#include <gtest/gtest.h>

#include <string>

using namespace kv;

namespace {

OsVersion Record(uint32_t platform, uint32_t major, uint32_t minor, uint32_t build = 0,
                 const std::string& sp = std::string()) {
    OsVersion v;
    v.platformId = platform;
    v.major = major;
    v.minor = minor;
    v.build = build;
    v.servicePack = sp;
    return v;
}

// Every row of the identification table, and the combinations of the two
// probes that must not change a row's answer.
TEST(DescribeOS, EveryRowOfTheTable) {
    struct Case {
        uint32_t platform, major, minor, build;
        bool win64, server;
        const char* version;
        const char* name;
        uint32_t kind;
    } cases[] = {
        {0, 3, 10, 0, false, false, "3.10", "32S", 0},
        {0, 3, 10, 0, true, true, "3.10", "32S", 0},
        {1, 4, 0, 950, false, false, "4.0", "95", 1},
        {1, 4, 10, 1998, false, false, "4.10", "98", 2},
        {1, 4, 10, 2222, true, true, "4.10", "98", 2},
        {1, 4, 90, 3000, false, false, "4.90", "ME", 4},
        {1, 4, 10, 3000, false, false, "4.90", "ME", 4},  // ME reporting itself as 98
        {1, 4, 3, 0, false, false, "4.3", "9x", 1},
        {1, 4, 10, 3000 + 0x10000, false, false, "4.90", "ME", 4},  // build compared on its low 16 bits
        {2, 4, 0, 1381, false, false, "4.0", "NT", 8},
        {2, 5, 0, 2195, false, false, "5.0", "2000", 16},
        {2, 5, 0, 2195, true, true, "5.0", "2000", 16},
        {2, 5, 1, 2600, false, false, "5.1", "XP", 32},
        {2, 5, 2, 3790, false, false, "5.2", "2003", 64},
        {2, 5, 2, 3790, false, true, "5.2", "2003", 64},
        {2, 6, 0, 6002, false, false, "6.0", "Vista", 128},
        {2, 6, 1, 7601, false, false, "6.1", "7", 1024},
        {2, 6, 2, 9200, false, false, "6.2", "8", 0x8000},
        {2, 6, 3, 9600, false, false, "6.3", "8.1", 0x40000},
        {2, 10, 0, 19045, false, false, "10.0", "10", 0x200000},
        {2, 6, 4, 0, false, false, "6.4", "NTx", 8},
        {2, 3, 51, 0, true, true, "3.51", "NTx", 8},
        {2, 5, 2, 3790, true, false, "5.2", "XP.64", 256},
        {2, 5, 2, 3790, true, true, "5.2", "XP.64", 256},  // a 64-bit 5.2 server
        {2, 6, 0, 6002, true, false, "6.0", "Vista.64", 512},
        {2, 6, 1, 7601, true, false, "6.1", "7.64", 2048},
        {2, 6, 2, 9200, true, false, "6.2", "8.64", 0x10000},
        {2, 6, 3, 9600, true, false, "6.3", "8.1.64", 0x80000},
        {2, 10, 0, 19045, true, false, "10.0", "10.64", 0x400000},
        {2, 10, 0, 20348, true, true, "10.0", "10.64", 0x400000},  // no server row for 10.0
        {2, 6, 0, 6002, true, true, "6.0", "2008.64", 8192},
        {2, 6, 1, 7601, true, true, "6.1", "2008R2.64", 0x4000},
        {2, 6, 2, 9200, true, true, "6.2", "2012.64", 0x20000},
        {2, 6, 3, 9600, true, true, "6.3", "2012R2.64", 0x100000},
        {2, 6, 0, 6002, false, true, "6.0", "2008", 4096},
        {2, 6, 1, 7601, false, true, "6.1", "7", 1024},  // only 6.0 has a 32-bit server row
        {3, 10, 0, 0, false, false, "10.0", "", 0},       // unknown platform
    };
    for (const Case& c : cases) {
        const OsDescription d = DescribeOSFrom(Record(c.platform, c.major, c.minor, c.build), c.win64, c.server);
        const std::string where = std::to_string(c.platform) + " " + std::to_string(c.major) + "." +
                                  std::to_string(c.minor) + " b" + std::to_string(c.build) +
                                  (c.win64 ? " 64" : "") + (c.server ? " server" : "");
        EXPECT_EQ(d.version, c.version) << where;
        EXPECT_EQ(d.name, c.name) << where;
        EXPECT_EQ(d.kind, c.kind) << where;
        EXPECT_EQ(d.build, c.build & 0xFFFF) << where;
    }
}

TEST(DescribeOS, ServicePackTrimmed) {
    const OsDescription d = DescribeOSFrom(Record(2, 6, 1, 7601, " Service Pack 1 \t"), false, false);
    EXPECT_EQ(d.servicePack, "Service Pack 1");
}

// Windows answers 6.3 to a program that declares support only up to 8.1;
// the system library's product version tells the truth.
TEST(OsVersionCorrection, UnderReportedVersionTakenFromKernelProductVersion) {
    struct Case {
        uint32_t major, minor, build;
        std::string product;
        uint32_t wantMajor, wantMinor, wantBuild;
    } cases[] = {
        {6, 3, 9600, "10.0.19041.3636", 10, 0, 19041},
        {6, 3, 9600, "6.3.9600.20000", 6, 3, 9600},
        {6, 3, 9600, "10.0", 10, 0, 0},          // missing fields count as 0
        {6, 3, 9600, "", 0, 0, 0},
        {6, 2, 9200, "10.0.19041.1", 6, 2, 9200},  // minor not above 2: kept
        {10, 0, 19045, "11.0.1.1", 10, 0, 19045},
        {5, 3, 1, "10.0.1.1", 5, 3, 1},            // major not above 5: kept
    };
    for (const Case& c : cases) {
        const OsVersion v = CorrectedOsVersion(Record(2, c.major, c.minor, c.build, "sp"), c.product);
        EXPECT_EQ(v.major, c.wantMajor) << c.product;
        EXPECT_EQ(v.minor, c.wantMinor) << c.product;
        EXPECT_EQ(v.build, c.wantBuild) << c.product;
        EXPECT_EQ(v.platformId, 2u);
        EXPECT_EQ(v.servicePack, "sp");
    }
}

TEST(OsVersionCorrection, Windows10ReportingItselfAs63OnA64BitSystem) {
    const OsVersion v = CorrectedOsVersion(Record(2, 6, 3, 9600), "10.0.19041.1");
    const OsDescription d = DescribeOSFrom(v, true, false);
    EXPECT_EQ(d.version, "10.0");
    EXPECT_EQ(d.name, "10.64");
    EXPECT_EQ(d.kind, 0x400000u);
    EXPECT_EQ(d.build, 19041u);
}

TEST(OsVersionPredicates, NTXPAndWin8OrLater) {
    struct Case { uint32_t platform, major, minor; bool nt, xp, win8; } cases[] = {
        {2, 5, 1, true, true, false}, {2, 5, 2, true, false, false}, {2, 6, 1, true, false, false},
        {2, 6, 2, true, false, true}, {2, 6, 3, true, false, true},   {2, 10, 0, true, false, true},
        {1, 5, 1, false, false, false}, {1, 10, 0, false, false, false}, {0, 6, 2, false, false, false},
    };
    for (const Case& c : cases) {
        const OsVersion v = Record(c.platform, c.major, c.minor);
        EXPECT_EQ(IsNTVersion(v), c.nt) << VersionText(v);
        EXPECT_EQ(IsXPVersion(v), c.xp) << VersionText(v);
        EXPECT_EQ(IsWin8OrLaterVersion(v), c.win8) << c.platform << " " << VersionText(v);
    }
}

}  // namespace
