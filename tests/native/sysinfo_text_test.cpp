// The portable halves of the system-information helpers: version texts,
// registry key paths and value texts, the folder trailing-backslash rule.
#include <gtest/gtest.h>

#include <string>

#include "util/folder_path.h"
#include "util/registry_text.h"
#include "util/version_text.h"

using namespace kv;
using namespace std::string_literals;

namespace {

TEST(NormalizeVersion, WidthCountAndCleaning) {
    struct Case { std::string text; int width, count; std::string want; } cases[] = {
        {"1.2.30", 3, 4, "001.002.030.000"},
        {"7", 2, 3, "07.00.00"},
        {"1,2,3,4", 1, 4, "1.2.3.4"},
        {"v1.2 beta 3", 1, 2, "1.23"},  // non-digits dropped before splitting
        {"1.2.3.4.5", 2, 2, "01.02"},
        {"1..3", 1, 3, "1.0.3"},         // an empty field counts as 0
        {"", 2, 2, "00.00"},
        {"10.0.19041.1", 5, 4, "00010.00000.19041.00001"},
        {"123456", 3, 1, "123456"},      // padding never cuts
        {"1.2", 0, 2, "1.2"},
        {"1.2", 2, 0, ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(NormalizeVersion(c.text, c.width, c.count), c.want) << c.text << " " << c.width << " " << c.count;
}

TEST(NormalizeVersion, PaddedTextsCompareAsNumbers) {
    EXPECT_LT(NormalizeVersion("1.2.9", 5, 4), NormalizeVersion("1.2.10", 5, 4));
    EXPECT_LT(NormalizeVersion("9.0", 5, 4), NormalizeVersion("10.0", 5, 4));
    EXPECT_EQ(NormalizeVersion("2.0", 5, 4), NormalizeVersion("2,0,0,0", 5, 4));
}

TEST(FixedVersionText, HighWordsFirst) {
    EXPECT_EQ(FixedVersionText(0x00010002, 0x00030004), "1.2.3.4");
    EXPECT_EQ(FixedVersionText(0xFFFF0000, 0x0000FFFF), "65535.0.0.65535");
}

TEST(RegistryKeyPath, RootsAndSubKeys) {
    struct Case { std::string path; uint32_t root; std::string subKey; } cases[] = {
        {"HKLM", RootLocalMachine, ""},
        {"  hklm  ", RootLocalMachine, ""},
        {"HKLM\\Software\\X", RootLocalMachine, "Software\\X"},
        {"HKEY_LOCAL_MACHINE\\Software", RootLocalMachine, "Software"},
        {"hkey_classes_root\\.txt", RootClassesRoot, ".txt"},
        {"HKCR\\.txt", RootClassesRoot, ".txt"},
        {"HKCU\\Software", RootCurrentUser, "Software"},
        {"HKEY_CURRENT_USER\\Software", RootCurrentUser, "Software"},
        {"HKU\\.DEFAULT", RootUsers, ".DEFAULT"},
        {"HKEY_USERS", RootUsers, ""},
        {"HKCC\\System", RootCurrentConfig, "System"},
        {"HKEY_CURRENT_CONFIG\\System", RootCurrentConfig, "System"},
        {"HKDD\\PerfStats", RootDynData, "PerfStats"},
        {"HKEY_DYN_DATA", RootDynData, ""},
        {"Software\\X", RootCurrentUser, "Software\\X"},
        {"HKNOPE\\Software", RootCurrentUser, "Software"},  // unknown root name
        {"HKLM\\", RootLocalMachine, ""},
        {"", RootCurrentUser, ""},
        {"HKLM\\A\\B\\", RootLocalMachine, "A\\B\\"},
    };
    for (const Case& c : cases) {
        const RegistryKeyPath k = SplitRegistryKeyPath(c.path);
        EXPECT_EQ(k.root, c.root) << c.path;
        EXPECT_EQ(k.subKey, c.subKey) << c.path;
    }
}

TEST(RegistryValueText, ByType) {
    struct Case { uint32_t type; std::string bytes; std::string want; } cases[] = {
        {RegTypeDword, "\x01\x00\x00\x00"s, "1"},
        {RegTypeDword, "\xff\xff\xff\xff"s, "4294967295"},
        {RegTypeDword, "\x2a\x00\x00"s, "*"},                  // not 4 bytes: up to the first zero
        {RegTypeMultiSz, "a\0b\0\0"s, "a<0>b"},
        {RegTypeMultiSz, "one\0\0two\0\0"s, "one<0><0>two"},
        {RegTypeMultiSz, "a\0"s, "a"},                          // 2 bytes: up to the first zero
        {RegTypeMultiSz, "ab\0"s, "ab"},
        {1, "text\0"s, "text"},                                 // REG_SZ
        {2, "%TEMP%\\x\0"s, "%TEMP%\\x"},                       // not expanded
        {3, "AB\0CD"s, "AB"},                                   // REG_BINARY
        {3, ""s, ""},
        {11, "\x05\x00\x00\x00\x00\x00\x00\x00"s, "\x05"},      // REG_QWORD
    };
    for (const Case& c : cases) EXPECT_EQ(RegistryValueText(c.type, c.bytes), c.want) << c.type << " " << c.want;
}

TEST(RegistryValueText, WindowsKeyPath) {
    EXPECT_EQ(WindowsVersionKeyPath(false), "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion");
    EXPECT_EQ(WindowsVersionKeyPath(true), "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion");
}

TEST(TrailingBackslashRule, DriveRootsKeepTheirBackslash) {
    struct Case { std::string path; bool trailing; std::string want; } cases[] = {
        {"C:\\Windows\\", false, "C:\\Windows"},
        {"C:\\Windows", false, "C:\\Windows"},
        {"C:\\Windows\\", true, "C:\\Windows\\"},
        {"C:\\Windows", true, "C:\\Windows\\"},
        {"C:\\", false, "C:\\"},
        {"C:\\", true, "C:\\"},
        {"C:", true, "C:\\"},
        {"C:\\a\\\\", false, "C:\\a\\"},  // only one backslash goes
        {"", true, ""},
        {"", false, ""},
    };
    for (const Case& c : cases) EXPECT_EQ(TrailingBackslashRule(c.path, c.trailing), c.want) << c.path;
}

}  // namespace
