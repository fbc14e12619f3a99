#include <gtest/gtest.h>

#include "stub/cmdline.h"

namespace kv {
namespace {

const std::string kExe = "C:\\Program Files\\Acme\\setup.exe";

struct ArgCase {
    const char* raw;
    const char* expected;
};

TEST(ArgumentText, StripsTheProgramInEveryForm) {
    const ArgCase cases[] = {
        {"\"C:\\Program Files\\Acme\\setup.exe\"", ""},
        {"\"C:\\Program Files\\Acme\\setup.exe\"\"", ""},           // stray trailing quote
        {"\"C:\\Program Files\\Acme\\setup.exe\" /Q", "/Q"},
        {"\"c:\\program files\\acme\\SETUP.EXE\"   /Q /X=1 ", "/Q /X=1"},  // case ignored
        {"C:\\Progra~1\\Acme\\setup.exe /hide", "/hide"},          // bare name after a short folder
        {"setup.exe x", ""},                                        // one character: dropped
        {"setup.exe  xy", "xy"},
        {"setup.exe \"", ""},                                       // one character left: dropped
        {"setup.exe ab", "ab"},
        {"SETUP~1.EXE /Q", "SETUP~1.EXE /Q"},                        // name absent: nothing removed
    };
    for (const auto& c : cases) EXPECT_EQ(ArgumentTextOf(c.raw, kExe), c.expected) << c.raw;
}

TEST(ArgumentText, FullPathRuleWhenThereIsNoFileName) {
    // A path ending in a backslash has no name part: the path itself is
    // cut out and what stands before it stays.
    EXPECT_EQ(ArgumentTextOf("run C:\\x\\ /Q", "C:\\x\\"), "run  /Q");
}

class SwitchTest : public ::testing::Test {
protected:
    void Args(const std::string& args) { SetCommandLineSource("\"" + kExe + "\" " + args, kExe); }
    void TearDown() override { SetCommandLineSource("", ""); }
};

TEST_F(SwitchTest, SwitchListSplitsBeforeEverySwitchCharacter) {
    Args("/STOP=5 /WM_MSG=abc /Q");
    EXPECT_EQ(SwitchList('/', '\x01'), std::string("\x01\x01STOP=5\x01WM_MSG=abc\x01Q\x01"));
    Args("/A=\"x y\" -B");
    EXPECT_EQ(SwitchList('/', '|'), "||A=x y -B|");
    EXPECT_EQ(SwitchList('-', '|'), "| /A=x y|B|");
}

TEST_F(SwitchTest, GetSwitchTable) {
    struct Case {
        const char* args;
        const char* name;
        const char* def;
        const char* expected;
    } cases[] = {
        {"", "/STOP=", "x", "x"},
        {"/Q", "/STOP=", "x", "x"},
        {"/STOP=", "/STOP=", "x", ""},
        {"/STOP= /Q", "/STOP=", "x", ""},
        {"/stop = 5", "/STOP=", "x", "5"},
        {"/STOP=5 /WM_MSG=1:2", "WM_MSG", "", "1:2"},
        {"/STOP=5", "STOP", "", "5"},
        {"/PATH=C:\\Program Files\\X /Q", "PATH", "", "C:\\Program Files\\X"},
        {"/OriginExe=\"C:\\a b\\s.exe\" /Q", "/OriginExe=", "", "C:\\a b\\s.exe"},
        {"/STOP=5 -STOP=7", "-STOP=", "", "7"},
        {"-STOP=7 /STOP=5", "-STOP=", "", "7 /STOP=5"},  // a '-' value runs to the next " -"
        {"/STOP=5", "-STOP", "none", "none"},    // '-' names look only at '-' switches
        {"/Q", "Q", "d", "d"},                   // a flag without '=' is not a value
        {"/A=1", "", "d", "d"},
        {"/A=1 /A=2", "A", "", "1"},             // first occurrence wins
    };
    for (const auto& c : cases) {
        Args(c.args);
        EXPECT_EQ(GetSwitch(c.name, c.def), c.expected) << c.args << " / " << c.name;
    }
}

TEST_F(SwitchTest, GetSwitchInt64FallsBackOnNonNumbers) {
    Args("/SpanCdLvl=2 /SleepX=abc /N=-4");
    EXPECT_EQ(GetSwitchInt64("/SpanCdLvl=", 1), 2);
    EXPECT_EQ(GetSwitchInt64("/SleepX=", -1), -1);
    EXPECT_EQ(GetSwitchInt64("/N=", 0), -4);
    EXPECT_EQ(GetSwitchInt64("/Missing=", 9), 9);
}

TEST_F(SwitchTest, HasSwitchNeedsAWholeWordAtTheEnd) {
    Args("/hide /Q");
    EXPECT_TRUE(HasSwitch("/hide"));
    EXPECT_TRUE(HasSwitch(" /HIDE "));
    EXPECT_TRUE(HasSwitch("/q"));
    EXPECT_FALSE(HasSwitch("/hid"));
    Args("/hidex");
    EXPECT_FALSE(HasSwitch("/hide"));
}

}  // namespace
}  // namespace kv
