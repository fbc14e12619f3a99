#include <gtest/gtest.h>

#include "setup/engine_cmdline.h"
#include "stub/span_relaunch.h"

namespace kv {
namespace {

TEST(SpanRelaunch, CopyLivesInTheSetupTempFolder) {
    EXPECT_EQ(YCopyPath("C:\\T\\SETUP_29797", "D:\\setup.exe"), "C:\\T\\SETUP_29797\\Y_setup.exe");
    EXPECT_EQ(YCopyPath("C:\\T\\SETUP_1", "D:\\Disk 1\\My Setup.exe"), "C:\\T\\SETUP_1\\Y_My Setup.exe");
}

TEST(SpanRelaunch, CommandLinePointsToTheFirstDiskAndTheOrigin) {
    const struct {
        const char* args;
        const char* line;
    } cases[] = {
        {"", "C:\\T\\Y_setup.exe /SpanCdLvl=2 /SpanDiskFName1=\"D:\\setup.exe.001\" /OriginExe=\"D:\\setup.exe\""},
        // A level given to the launcher must not reach the copy before its
        // own 2: the first of two is the one read.
        {"/SpanCdLvl=1", "C:\\T\\Y_setup.exe /SpanCdLvl=2 /SpanDiskFName1=\"D:\\setup.exe.001\" /OriginExe=\"D:\\setup.exe\""},
        {"/hide /spancdlvl=x /L=1",
         "C:\\T\\Y_setup.exe /hide /L=1 /SpanCdLvl=2 /SpanDiskFName1=\"D:\\setup.exe.001\" "
         "/OriginExe=\"D:\\setup.exe\""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(YCopyCommandLine("C:\\T\\Y_setup.exe", c.args, "D:\\setup.exe"), c.line) << c.args;
}

TEST(SpanRelaunch, OwnSpanSwitchesAreDroppedWhereverTheyStand) {
    const struct {
        const char* in;
        const char* out;
    } cases[] = {
        {"", ""},
        {"/SpanCdLvl=1", ""},
        {"/A /SPANCDLVL=3 /B", "/A /B"},
        {"/SpanDiskFName1=E:\\x.001 /SpanCdLvl=1 /Q", "/Q"},
        {"/A /SpanCdLvl=1", "/A "},
        {"/SpanCdLvl=1 /SpanCdLvl=2 /Z", "/Z"},
    };
    for (const auto& c : cases) EXPECT_EQ(WithoutSpanSwitches(c.in), c.out) << c.in;
}

TEST(SpanRelaunch, EngineOfTheCopySeesNeitherSpanSwitch) {
    // The Y_ copy's arguments, passed on to the engine.
    const std::string line = YCopyCommandLine("C:\\T\\Y_setup.exe", "/hide", "D:\\setup.exe");
    const std::string args = line.substr(line.find(' ') + 1);
    EngineLaunchInput in;
    in.tempFolder = "C:\\T";
    in.engineCommand = "Engine.exe*";
    in.extraArguments = args;
    in.token = "_5";
    in.stubPath = "C:\\T\\Y_setup.exe";
    EXPECT_EQ(EngineCommandLine(in), "C:\\T\\Engine.exe /hide /OriginExe=\"D:\\setup.exe\" /TH_ID=_5");
}

}  // namespace
}  // namespace kv
