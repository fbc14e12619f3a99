#include <gtest/gtest.h>

#include "setup/engine_cmdline.h"

namespace kv {
namespace {

TEST(EngineCmdline, TokenAndNames) {
    EXPECT_EQ(HandOverToken(1234), "_1234");
    EXPECT_EQ(HandOverAtomName("_1234"), "AutoUpdateAtomTokenByKavrix_1234");
    EXPECT_EQ(EngineDialogClass("_1234"), ".SDialog_Class_Name._1234");
}

TEST(EngineCmdline, SplitAtTheFirstStar) {
    const struct {
        const char* command;
        const char* extra;
        const char* program;
        const char* arguments;
    } cases[] = {
        {"Engine.exe*", "", "Engine.exe", ""},
        {"Engine.exe*", "/hide", "Engine.exe", "/hide"},
        {"Setup.exe*/Q", "/hide", "Setup.exe", "/hide /Q"},  // the stub's arguments first
        {" Setup.exe * /Q ", "", "Setup.exe", "/Q"},
        {"Setup.exe*/A=*x*", " /B ", "Setup.exe", "/B  /A=*x*"},  // the first star only; inner blanks kept
        {"Engine.exe", " /hide ", "Engine.exe", " /hide "},  // no star: both unchanged
    };
    for (const auto& c : cases) {
        const EngineProgram e = SplitEngineCommand(c.command, c.extra);
        EXPECT_EQ(e.program, c.program) << c.command;
        EXPECT_EQ(e.arguments, c.arguments) << c.command;
    }
}

TEST(EngineCmdline, RemoveSwitchCutsUpToTheNextSlash) {
    const struct {
        const char* line;
        const char* name;
        const char* result;
    } cases[] = {
        {"a.exe /SpanCdLvl=2 /X", "/SpanCdLvl=", "a.exe /X"},
        {"a.exe /X /SpanCdLvl=2", "/SpanCdLvl=", "a.exe /X "},  // the blank before stays
        {"a.exe /SpanDiskFName1=\"D:\\s.exe.001\" /O=1", "/SpanDiskFName1=", "a.exe /O=1"},
        {"a.exe /SpanDiskFName1=D:/s.exe /O", "/SpanDiskFName1=", "a.exe /s.exe /O"},  // a '/' in the value ends it
        {"a.exe /spancdlvl=2", "/SpanCdLvl=", "a.exe /spancdlvl=2"},  // case-sensitive
        {"a.exe /X=1 /X=2", "/X=", "a.exe /X=2"},  // first occurrence only
        {"/SpanCdLvl=2", "/SpanCdLvl=", ""},
        {"a.exe", "/SpanCdLvl=", "a.exe"},
        {"a.exe /Q", "", "a.exe /Q"},
    };
    for (const auto& c : cases) EXPECT_EQ(RemoveSwitch(c.line, c.name), c.result) << c.line;
}

TEST(EngineCmdline, CommandLineShapes) {
    const std::string stub = "D:\\setup.exe";
    const struct {
        const char* what;
        const char* command;
        const char* extra;
        bool agent;
        const char* line;
    } cases[] = {
        {"plain setup", "Engine.exe*", "/hide", false,
         "C:\\Temp\\SETUP_29797\\Engine.exe /hide /TH_ID=_1234 /OriginExe=\"D:\\setup.exe\""},
        {"no arguments", "Engine.exe*", "", false,
         "C:\\Temp\\SETUP_29797\\Engine.exe /TH_ID=_1234 /OriginExe=\"D:\\setup.exe\""},
        {"fixed arguments after the stub's", "Setup.exe*/Q", "/hide", false,
         "C:\\Temp\\SETUP_29797\\Setup.exe /hide /Q /TH_ID=_1234 /OriginExe=\"D:\\setup.exe\""},
        {"agent package", "Engine.exe*", "/OriginalInfoFile=C:\\A\\x.info", true,
         "C:\\Temp\\SETUP_29797\\Engine.exe /OriginalInfoFile=C:\\A\\x.info /TH_ID=_1234 "
         "/OriginExe=\"D:\\setup.exe\" /AutoUpdateProg"},
        {"relaunched copy", "Engine.exe*",
         "/L=1 /SpanCdLvl=2 /SpanDiskFName1=\"E:\\s.exe.001\" /OriginExe=\"E:\\s.exe\"", false,
         "C:\\Temp\\SETUP_29797\\Engine.exe /L=1 /OriginExe=\"E:\\s.exe\" /TH_ID=_1234"},
        {"lower-case origin is not the switch", "Engine.exe*", "/originexe=x", false,
         "C:\\Temp\\SETUP_29797\\Engine.exe /originexe=x /TH_ID=_1234 /OriginExe=\"D:\\setup.exe\""},
    };
    for (const auto& c : cases) {
        EngineLaunchInput in;
        in.tempFolder = "C:\\Temp\\SETUP_29797";
        in.engineCommand = c.command;
        in.extraArguments = c.extra;
        in.token = "_1234";
        in.stubPath = stub;
        in.autoUpdateProgram = c.agent;
        EXPECT_EQ(EngineCommandLine(in), c.line) << c.what;
    }
}

TEST(EngineCmdline, TempFolderWithTrailingBackslashIsNotDoubled) {
    EngineLaunchInput in;
    in.tempFolder = "C:\\Temp\\SETUP_1\\";
    in.engineCommand = "Engine.exe*";
    in.token = "_7";
    in.stubPath = "C:\\s.exe";
    EXPECT_EQ(EngineCommandLine(in), "C:\\Temp\\SETUP_1\\Engine.exe /TH_ID=_7 /OriginExe=\"C:\\s.exe\"");
}

}  // namespace
}  // namespace kv
