// A plain setup under Wine, from the real stub to the test engine: files
// extracted with their dates, the engine's command line, the hand-over
// atom, the wait for the engine's dialogs, and the exit code.
#include <gtest/gtest.h>

#include <windows.h>

#include <regex>
#include <string>
#include <vector>

#include "setup_e2e.h"

namespace kv::test::setup {
namespace {

constexpr const char* kAtomPrefix = "AutoUpdateAtomTokenByKavrix";

std::string FileLine(const std::string& name, const std::string& path) {
    std::string bytes;
    EXPECT_TRUE(ReadWholeFile(path, bytes)) << path;
    return name + "|" + std::to_string(bytes.size()) + "|" + std::to_string(DosStampOf(path));
}

class SetupFlow : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(receiver_.Ready()); }

    // The first complete run in the record, once there (the engine has
    // ended by then or is about to).
    EngineRun OnlyRun() {
        const std::vector<EngineRun> runs = ReadEngineRuns(pkg_.Record());
        EXPECT_EQ(runs.size(), 1u) << ReadWholeFile(pkg_.Record());
        if (runs.empty()) return EngineRun();
        EXPECT_TRUE(runs[0].complete);
        return runs[0];
    }

    SetupPackage pkg_;
    TraceReceiver receiver_;
};

TEST_F(SetupFlow, PlainSetupRunsTheEngineFromTheTempFolderAndEndsWithItsCode) {
    pkg_.spec.engineArgs = "/TE_EXIT=3";
    ASSERT_TRUE(pkg_.Build());
    const std::string exe = pkg_.spec.outputPath;
    const std::string folder = SetupFolderOf(exe);

    StubRun stub;
    ASSERT_TRUE(stub.Start(exe, "/Q " + pkg_.RecordSwitch(), pkg_.Dir().Path()));
    // A foreground setup shows its main window (class: the stub's path)
    // while it extracts.
    EXPECT_TRUE(WaitUntil(kBoxMs, [&] {
        const HWND w = FindWindowA(exe.c_str(), nullptr);
        return w != nullptr && IsWindowVisible(w);
    }));
    EXPECT_EQ(stub.ExitCode(), 3u);

    const EngineRun run = OnlyRun();
    EXPECT_EQ(run.Get("ExePath"), folder + "\\Engine.exe");
    const std::string token = run.Get("Token");
    EXPECT_TRUE(std::regex_match(token, std::regex("_[0-9]+"))) << token;
    // The stub's arguments, then the star's, then the hand-over switches.
    const std::string expected = folder + "\\Engine.exe /Q " + pkg_.RecordSwitch() + " /TE_EXIT=3 /TH_ID=" + token +
                                 " /OriginExe=" + Quoted(exe);
    EXPECT_EQ(run.Get("CommandLine"), expected);
    EXPECT_EQ(run.Get("StartShow"), "5");
    EXPECT_EQ(run.Get("AtomAtStart"), "found");
    EXPECT_EQ(run.All("File"), (std::vector<std::string>{FileLine("data.bin", pkg_.Dir().File("data.bin")),
                                                          FileLine("Engine.exe", ToolPath("testengine")),
                                                          FileLine("readme.txt", pkg_.Dir().File("readme.txt"))}));
    EXPECT_TRUE(receiver_.WaitFor(" ==== WinExec(Engine.exe) >>" + expected + "<<\r\n", 5000)) << receiver_.Text();

    EXPECT_FALSE(FolderExists(folder)) << folder;
    EXPECT_EQ(GlobalFindAtomA((kAtomPrefix + token).c_str()), 0);
}

TEST_F(SetupFlow, ShortcutsGoOnlyWhenTheEngineTookOver) {
    // The installed settings name the two shortcuts and the update
    // information asks for both to be removed after a successful setup.
    const std::string startUp = pkg_.Dir().File("startup.lnk");
    const std::string check = pkg_.Dir().File("check.lnk");
    ASSERT_TRUE(WriteWholeFile(pkg_.Dir().File(".original"),
                               "[UnInstall]\r\nStartUpLink=" + startUp + "\r\nCheckforNewUpdateLink=" + check + "\r\n"));
    ASSERT_TRUE(WriteWholeFile(pkg_.Dir().File(".info"),
                               "[NewSetup]\r\nRemoveStartUpShortcut=1\r\nRemoveCheckForNewUpdateShortcut=1\r\n"));
    ASSERT_TRUE(pkg_.Build());
    const struct {
        const char* what;
        const char* args;
        bool handedOver;
        uint32_t exitCode;
    } cases[] = {
        {"engine deletes the atom", "/TE_EXIT=0", true, 0},
        {"engine keeps the atom", "/TE_KEEPATOM /TE_EXIT=5", false, 5},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_TRUE(WriteWholeFile(startUp, "link"));
        ASSERT_TRUE(WriteWholeFile(check, "link"));
        DeleteFileA(pkg_.Record().c_str());
        StubRun stub;
        ASSERT_TRUE(stub.Start(pkg_.spec.outputPath, std::string(c.args) + " " + pkg_.RecordSwitch(),
                               pkg_.Dir().Path()));
        EXPECT_EQ(stub.ExitCode(), c.exitCode);
        const EngineRun run = OnlyRun();
        EXPECT_EQ(run.Get("AtomAfter"), c.handedOver ? "missing" : "found");
        EXPECT_EQ(FileExists(startUp), !c.handedOver);
        EXPECT_EQ(FileExists(check), !c.handedOver);
        // A kept atom is removed by the stub once it has looked.
        EXPECT_EQ(GlobalFindAtomA((kAtomPrefix + run.Get("Token")).c_str()), 0);
    }
}

TEST_F(SetupFlow, StubWaitsWhileTheEnginesDialogOutlivesIt) {
    pkg_.spec.engineArgs = "/TE_DIALOGMS=600000 /TE_EXIT=4";
    ASSERT_TRUE(pkg_.Build());
    const std::string folder = SetupFolderOf(pkg_.spec.outputPath);
    StubRun stub;
    ASSERT_TRUE(stub.Start(pkg_.spec.outputPath, pkg_.RecordSwitch(), pkg_.Dir().Path()));

    // The record is complete once the engine has left its dialog behind
    // and is about to exit.
    ASSERT_TRUE(WaitUntil(kRunMs, [&] {
        const std::vector<EngineRun> runs = ReadEngineRuns(pkg_.Record());
        return !runs.empty() && runs[0].complete;
    }));
    const EngineRun run = OnlyRun();
    const HWND dialog = WaitForTopLevelWindow(".SDialog_Class_Name." + run.Get("Token"), kBoxMs);
    ASSERT_NE(dialog, nullptr);
    {
        const DWORD enginePid = DWORD(std::stoul(run.Get("Pid")));
        const KernelHandle engine(OpenProcess(SYNCHRONIZE, FALSE, enginePid));
        if (engine) {
            EXPECT_EQ(WaitForSingleObject(engine.get(), kRunMs), WAIT_OBJECT_0);
        }
    }
    // Without the dialog the stub would be done within about two seconds
    // of the engine's end; with it, it is still there and so is its folder.
    EXPECT_FALSE(stub.Process().Wait(6000));
    EXPECT_TRUE(FolderExists(folder));

    PostMessageA(dialog, WM_CLOSE, 0, 0);
    EXPECT_EQ(stub.ExitCode(), 4u);
    EXPECT_FALSE(FolderExists(folder));
}

TEST_F(SetupFlow, EngineThatCannotStartEndsWithTheFailureCode) {
    // An engine entry that is no program: the start fails.
    ASSERT_TRUE(WriteWholeFile(pkg_.Dir().File("notaprogram.txt"), "plain text\r\n"));
    pkg_.spec.enginePath = pkg_.Dir().File("notaprogram.txt");
    ASSERT_TRUE(pkg_.Build());
    StubRun stub;
    ASSERT_TRUE(stub.Start(pkg_.spec.outputPath, "", pkg_.Dir().Path()));
    // No message is shown: the stub ends on its own.
    EXPECT_EQ(stub.ExitCode(), 1603u);
    EXPECT_TRUE(receiver_.WaitFor(" ==== WinExec(Engine.exe) >>", 5000));
    EXPECT_FALSE(FolderExists(SetupFolderOf(pkg_.spec.outputPath)));
}

}  // namespace
}  // namespace kv::test::setup
