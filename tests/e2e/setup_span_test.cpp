// A three-disk setup under Wine: the stub relaunches as its Y_ copy in the
// temp folder, which reads the disks, asks for the one that is missing,
// runs the engine and removes itself and its folder at the end.
#include <gtest/gtest.h>

#include <windows.h>

#include <regex>
#include <string>
#include <vector>

#include "setup_e2e.h"

namespace kv::test::setup {
namespace {

class SpannedSetup : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(receiver_.Ready());
        ASSERT_TRUE(WriteWholeFile(pkg_.Dir().File("a.bin"), SetupPackage::Noise(600000, 1)));
        ASSERT_TRUE(WriteWholeFile(pkg_.Dir().File("b.bin"), SetupPackage::Noise(600000, 2)));
        std::string stub;
        ASSERT_TRUE(ReadWholeFile(StubPath(), stub));
        pkg_.spec.inputs = {{pkg_.Dir().File("a.bin"), ""}, {pkg_.Dir().File("b.bin"), ""}};
        pkg_.spec.spanned = true;
        pkg_.spec.storeMode = pack::StoreMode::StoreAll;
        // Disk 1: the stub, the engine and the start of a.bin; disk 2 (as
        // large, without a stub) most of the rest, disk 3 the end of b.bin.
        pkg_.spec.segmentSize = stub.size() + 280000;
        ASSERT_TRUE(pkg_.Build());
        ASSERT_EQ(pkg_.written.size(), 4u);  // the launcher and three disks
        exe_ = pkg_.spec.outputPath;
        folder_ = SetupFolderOf(exe_);
        third_ = pack::SegmentPath(exe_, true, 3);
        ASSERT_EQ(third_, exe_ + ".003");
        ASSERT_TRUE(MoveFileA(third_.c_str(), (third_ + ".away").c_str()));
    }

    void TearDown() override {
        if (copy_) {
            CloseBoxes(copyPid_);
            WaitForSingleObject(copy_.get(), kRunMs);
        }
    }

    // Starts the launcher and waits for the copy's question for disk 3.
    HWND RunToDiskPrompt(const std::string& args) {
        StubRun launcher;
        if (!launcher.Start(exe_, args, pkg_.Dir().Path())) return nullptr;
        // The launcher only copies and starts; it extracts nothing.
        EXPECT_EQ(launcher.ExitCode(), 0u);
        EXPECT_TRUE(receiver_.WaitFor(" ==== span relaunch >>" + folder_ + "\\Y_setup.exe ", 5000)) << receiver_.Text();
        EXPECT_TRUE(FileExists(folder_ + "\\Y_setup.exe"));

        const std::regex start("([0-9]+) ==== STUB START ====> [^\r\n]*\\\\Y_setup\\.exe ");
        std::smatch m;
        const bool started = WaitUntil(kBoxMs, [&] {
            const std::string text = receiver_.Text();
            return std::regex_search(text, m, start);
        });
        if (!started) return nullptr;
        copyPid_ = DWORD(std::stoul(m[1].str()));
        copy_.reset(OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION, FALSE, copyPid_));
        EXPECT_TRUE(copy_);
        return WaitForBox(copyPid_, kBoxMs);
    }

    uint32_t CopyExitCode() {
        DWORD code = 0xDEADBEEF;
        if (!copy_ || WaitForSingleObject(copy_.get(), kRunMs) != WAIT_OBJECT_0) return code;
        GetExitCodeProcess(copy_.get(), &code);
        return code;
    }

    SetupPackage pkg_;
    TraceReceiver receiver_;
    std::string exe_, folder_, third_;
    KernelHandle copy_;
    DWORD copyPid_ = 0;
};

TEST_F(SpannedSetup, CopyAsksForTheMissingDiskAndGoesOnWhenItIsThere) {
    const HWND box = RunToDiskPrompt("/TE_EXIT=6 " + pkg_.RecordSwitch());
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(ControlText(box), "Attention");
    const std::string text = BoxText(box);
    EXPECT_NE(text.find("Please insert DISK #3 and press OK to continue"), std::string::npos) << text;

    ASSERT_TRUE(MoveFileA((third_ + ".away").c_str(), third_.c_str()));
    ASSERT_TRUE(Answer(box, "&OK"));
    EXPECT_EQ(CopyExitCode(), 6u);

    const std::vector<EngineRun> runs = ReadEngineRuns(pkg_.Record());
    ASSERT_EQ(runs.size(), 1u);
    const EngineRun& run = runs[0];
    EXPECT_EQ(run.Get("ExePath"), folder_ + "\\Engine.exe");
    // The span switches stay with the stub; the origin is the launcher.
    EXPECT_EQ(run.Get("CommandLine"), folder_ + "\\Engine.exe /TE_EXIT=6 " + pkg_.RecordSwitch() +
                                          " /OriginExe=" + Quoted(exe_) + " /TH_ID=" + run.Get("Token"));
    EXPECT_EQ(run.Get("StartShow"), "5");
    const std::vector<std::string> files = run.All("File");
    const std::string a = "a.bin|600000|" + std::to_string(DosStampOf(pkg_.Dir().File("a.bin")));
    const std::string b = "b.bin|600000|" + std::to_string(DosStampOf(pkg_.Dir().File("b.bin")));
    ASSERT_EQ(files.size(), 4u);  // with the engine and the running copy
    EXPECT_EQ(files[0], a);
    EXPECT_EQ(files[1], b);
    EXPECT_EQ(files[3].rfind("Y_setup.exe|", 0), 0u) << files[3];

    EXPECT_TRUE(WaitUntil(kGoneMs, [&] { return !FolderExists(folder_); })) << folder_;
}

TEST_F(SpannedSetup, CancelAtTheDiskPromptStartsNoEngine) {
    const HWND box = RunToDiskPrompt(pkg_.RecordSwitch());
    ASSERT_NE(box, nullptr);
    ASSERT_TRUE(Answer(box, "&Cancel"));
    // The user's choice, not a failure.
    EXPECT_EQ(CopyExitCode(), 0u);
    EXPECT_FALSE(FileExists(pkg_.Record()));
    EXPECT_TRUE(WaitUntil(kGoneMs, [&] { return !FolderExists(folder_); })) << folder_;
}

}  // namespace
}  // namespace kv::test::setup
