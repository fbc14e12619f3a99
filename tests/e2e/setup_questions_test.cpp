// The questions before extracting, under Wine: a package that always asks,
// a temporary drive without room, a roomier drive taken instead, and a
// hidden setup that asks nothing and shows nothing.
#include <gtest/gtest.h>

#include <windows.h>

#include <regex>
#include <string>
#include <vector>

#include "package/packx.h"
#include "setup/setup_space.h"
#include "setup_e2e.h"

namespace kv::test::setup {
namespace {

// A temporary folder the system reports no free space for (Wine maps Z:
// to the host's root; the process file system has none) and that cannot
// be created, so nothing could be extracted there.
constexpr const char* kNoRoomTemp = "Z:\\proc\\kvsetup";

// A file where the drive probe would make its C:\TEMP folder, so that
// drive C offers no room either. Removed at the end.
class BlockedDriveProbe {
public:
    BlockedDriveProbe() {
        if (FolderExists(kPath)) return;  // the probe would use a subfolder
        made_ = WriteWholeFile(kPath, "in the way\r\n");
    }
    ~BlockedDriveProbe() {
        if (made_) DeleteFileA(kPath);
    }
    BlockedDriveProbe(const BlockedDriveProbe&) = delete;
    BlockedDriveProbe& operator=(const BlockedDriveProbe&) = delete;
    bool Made() const { return made_; }
    static constexpr const char* kPath = "C:\\TEMP";

private:
    bool made_ = false;
};

TEST(SetupQuestions, PackageThatAlwaysAsksExtractsOnlyAfterYes) {
    const struct {
        const char* answer;
        uint32_t exitCode;
        bool engineRuns;
    } cases[] = {
        {"&Yes", 2, true},
        {"&No", 0, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.answer);
        SetupPackage pkg;
        pkg.spec.askBeforeExtract = true;
        pkg.spec.engineArgs = "/TE_EXIT=2";
        ASSERT_TRUE(pkg.Build());
        const std::string folder = SetupFolderOf(pkg.spec.outputPath);
        const double required = TGFileInfo(pkg.spec.outputPath).SpaceRequired(kv::TempFolder(true));
        StubRun stub;
        ASSERT_TRUE(stub.Start(pkg.spec.outputPath, pkg.RecordSwitch(), pkg.Dir().Path()));
        const HWND box = WaitForBox(stub.Pid(), kBoxMs);
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(ControlText(box), "Confirm");
        const std::string text = BoxText(box);
        const std::string drive = kv::TempFolder(true).substr(0, 1) + ":";
        EXPECT_NE(text.find("Kavrix will extract files to your Temp Drive (" + drive + ")"), std::string::npos)
            << text;
        EXPECT_NE(text.find("  " + FormatMB(required) + " MB"), std::string::npos) << text;
        EXPECT_NE(text.find("Free space available on your Temp drive is:"), std::string::npos) << text;
        EXPECT_NE(text.find("Continue with Setup?"), std::string::npos) << text;
        // Nothing is extracted while the question is open.
        EXPECT_FALSE(FileExists(folder + "\\Engine.exe"));
        ASSERT_TRUE(Answer(box, c.answer));
        EXPECT_EQ(stub.ExitCode(), c.exitCode);
        EXPECT_EQ(FileExists(pkg.Record()), c.engineRuns);
        EXPECT_FALSE(FolderExists(folder));
    }
}

TEST(SetupQuestions, ShortTempDriveWithoutABetterOneAsksAndNoEndsCleanly) {
    BlockedDriveProbe blocked;
    if (!blocked.Made()) GTEST_SKIP() << "C:\\TEMP exists as a folder in this prefix";
    SetupPackage pkg;
    ASSERT_TRUE(pkg.Build());
    const double required = TGFileInfo(pkg.spec.outputPath).SpaceRequired(kv::TempFolder(true));
    const EnvOverride tmp("TMP", kNoRoomTemp), temp("TEMP", kNoRoomTemp);
    StubRun stub;
    ASSERT_TRUE(stub.Start(pkg.spec.outputPath, pkg.RecordSwitch(), pkg.Dir().Path()));
    const HWND box = WaitForBox(stub.Pid(), kBoxMs);
    ASSERT_NE(box, nullptr);
    const std::string text = BoxText(box);
    EXPECT_EQ(text.find("Kavrix will extract"), std::string::npos) << text;
    EXPECT_NE(text.find("Limited Free Space on your Temp Drive! (Z:)"), std::string::npos) << text;
    EXPECT_NE(text.find("  " + FormatMB(required) + " MB"), std::string::npos) << text;
    EXPECT_NE(text.find("  0.000 MB"), std::string::npos) << text;
    ASSERT_TRUE(Answer(box, "&No"));
    EXPECT_EQ(stub.ExitCode(), 0u);
    EXPECT_FALSE(FileExists(pkg.Record()));
    // The probe went around the file in its way and left it alone.
    EXPECT_TRUE(FileExists(BlockedDriveProbe::kPath));
}

TEST(SetupQuestions, ShortTempDriveMovesToARoomierFixedDrive) {
    if (FolderExists("C:\\TEMP")) GTEST_SKIP() << "C:\\TEMP exists in this prefix";
    SetupPackage pkg;
    pkg.spec.engineArgs = "/TE_EXIT=9";
    ASSERT_TRUE(pkg.Build());
    const EnvOverride tmp("TMP", kNoRoomTemp), temp("TEMP", kNoRoomTemp);
    StubRun stub;
    ASSERT_TRUE(stub.Start(pkg.spec.outputPath, pkg.RecordSwitch(), pkg.Dir().Path()));
    // Room enough there: no question.
    EXPECT_EQ(stub.ExitCode(), 9u);
    const std::vector<EngineRun> runs = ReadEngineRuns(pkg.Record());
    ASSERT_EQ(runs.size(), 1u);
    const std::string exePath = runs[0].Get("ExePath");
    std::smatch m;
    ASSERT_TRUE(std::regex_match(exePath, m, std::regex(R"((C:\\TEMP_[0-9]{5,6})\\Engine\.exe)"))) << exePath;
    const int suffix = std::stoi(exePath.substr(8, m[1].length() - 8));
    EXPECT_GE(suffix, 10000);
    EXPECT_LE(suffix, 100000);
    // The alternative folder and the probe's C:\TEMP are both gone.
    EXPECT_FALSE(FolderExists(m[1].str()));
    EXPECT_FALSE(FolderExists("C:\\TEMP"));
}

TEST(SetupQuestions, HiddenSetupShowsNoWindowAndAsksNothing) {
    SetupPackage pkg;
    pkg.spec.askBeforeExtract = true;
    pkg.spec.engineArgs = "/TE_EXIT=1";
    ASSERT_TRUE(pkg.Build());
    const std::string exe = pkg.spec.outputPath;
    StubRun stub;
    ASSERT_TRUE(stub.Start(exe, "/hide " + pkg.RecordSwitch(), pkg.Dir().Path()));
    bool windowSeen = false, windowShown = false;
    // A question would hold the stub: it ends on its own.
    Deadline deadline(kRunMs);
    while (!stub.Process().Wait(10) && !deadline.Passed()) {
        const HWND w = FindWindowA(exe.c_str(), nullptr);
        windowSeen = windowSeen || w != nullptr;
        windowShown = windowShown || (w != nullptr && IsWindowVisible(w));
        if (!TopLevelWindows(kBoxClass, stub.Pid()).empty()) break;
    }
    EXPECT_TRUE(TopLevelWindows(kBoxClass, stub.Pid()).empty());
    EXPECT_EQ(stub.ExitCode(), 1u);
    EXPECT_TRUE(windowSeen);
    EXPECT_FALSE(windowShown);
    const std::vector<EngineRun> runs = ReadEngineRuns(pkg.Record());
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_EQ(runs[0].Get("StartShow"), "0");  // the engine is started hidden too
    EXPECT_EQ(runs[0].All("Arg").front(), "/hide");
}

}  // namespace
}  // namespace kv::test::setup
