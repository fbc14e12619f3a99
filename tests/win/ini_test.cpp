// INI settings values through the system's private-profile calls, on
// real files.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "harness/harness.h"
#include "util/ini.h"

namespace {

using namespace kv::test;

class IniFile : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dir_.Valid()); }
    std::string Path(const char* name = "settings.ini") const { return dir_.File(name); }
    TempDir dir_;
};

TEST_F(IniFile, StringsRoundTrip) {
    const std::string f = Path();
    EXPECT_TRUE(kv::WriteIniString(f, "General", "Name", "My Product 2.1"));
    EXPECT_TRUE(kv::WriteIniString(f, "General", "Path", "C:\\Program Files\\My Product"));
    EXPECT_TRUE(kv::WriteIniString(f, "Other", "Name", "second"));
    EXPECT_EQ(kv::ReadIniString(f, "General", "Name", "d"), "My Product 2.1");
    EXPECT_EQ(kv::ReadIniString(f, "general", "PATH", "d"), "C:\\Program Files\\My Product");
    EXPECT_EQ(kv::ReadIniString(f, "Other", "Name", "d"), "second");
    EXPECT_TRUE(kv::WriteIniString(f, "General", "Name", "changed"));
    EXPECT_EQ(kv::ReadIniString(f, "General", "Name", "d"), "changed");
}

TEST_F(IniFile, DefaultsWhereNothingUsableIsThere) {
    const std::string f = Path();
    ASSERT_TRUE(WriteWholeFile(f, "[S]\r\nEmpty=\r\nSet=1\r\n[]\r\nK=in the nameless section\r\n"));
    EXPECT_EQ(kv::ReadIniString(f, "S", "Set", "d"), "1");
    EXPECT_EQ(kv::ReadIniString(f, "S", "Empty", "d"), "d");
    EXPECT_EQ(kv::ReadIniString(f, "S", "Missing", "d"), "d");
    EXPECT_EQ(kv::ReadIniString(f, "Nope", "Set", "d"), "d");
    EXPECT_EQ(kv::ReadIniString(Path("missing.ini"), "S", "Set", "d"), "d");
    EXPECT_EQ(kv::ReadIniString(f, "S", "Empty", ""), "");
    // An empty section or key is never looked up, not even in a file that
    // has a section without a name.
    EXPECT_EQ(kv::ReadIniString(f, "", "K", "d"), "d");
    EXPECT_EQ(kv::ReadIniString(f, "S", "", "d"), "d");
}

TEST_F(IniFile, LongValuesAreCutAtTheBuffer) {
    const std::string f = Path();
    const std::string value(12000, 'v');
    ASSERT_TRUE(kv::WriteIniString(f, "S", "Long", value));
    EXPECT_EQ(kv::ReadIniString(f, "S", "Long", "d"), std::string(kv::IniValueBufferSize - 1, 'v'));
}

TEST_F(IniFile, Int64Values) {
    const std::string f = Path();
    EXPECT_TRUE(kv::WriteIniInt64(f, "N", "Big", -9000000000123));
    EXPECT_TRUE(kv::WriteIniInt64(f, "N", "Max", INT64_MAX));
    ASSERT_TRUE(kv::WriteIniString(f, "N", "Hex", "$1F"));
    ASSERT_TRUE(kv::WriteIniString(f, "N", "Word", "twelve"));
    EXPECT_NE(ReadWholeFile(f).find("Big=-9000000000123"), std::string::npos) << ReadWholeFile(f);
    EXPECT_EQ(kv::ReadIniInt64(f, "N", "Big", 0), -9000000000123);
    EXPECT_EQ(kv::ReadIniInt64(f, "N", "Max", 0), INT64_MAX);
    EXPECT_EQ(kv::ReadIniInt64(f, "N", "Hex", 0), 31);
    EXPECT_EQ(kv::ReadIniInt64(f, "N", "Word", 77), 77);
    EXPECT_EQ(kv::ReadIniInt64(f, "N", "Missing", -5), -5);
}

TEST_F(IniFile, WritesNeedFileSectionAndKey) {
    const std::string f = Path("never.ini");
    EXPECT_FALSE(kv::WriteIniString("", "S", "K", "v"));
    EXPECT_FALSE(kv::WriteIniString(f, "", "K", "v"));
    EXPECT_FALSE(kv::WriteIniString(f, "S", "", "v"));
    EXPECT_FALSE(kv::WriteIniInt64(f, "", "K", 1));
    EXPECT_FALSE(FileExists(f));
    EXPECT_FALSE(kv::WriteIniString(dir_.File("no-folder\\x.ini"), "S", "K", "v"));
}

}  // namespace
