// The agent's settings files on real INI files: defaults, typed values,
// override entries, writes with their readable twins, fresh reads, and
// the paths taken from the running package.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "autoupdate/stubglob.h"
#include "harness/harness.h"
#include "kvpack/kvpack.h"
#include "stub/run_state.h"
#include "util/ini.h"
#include "util/sysinfo.h"

namespace {

using namespace kv::test;

struct TextKey {
    std::string (*read)();
    const char* section;
    const char* key;
    const char* def;
};
struct NumberKey {
    int64_t (*read)();
    const char* section;
    const char* key;
    int64_t def;
};
struct SwitchKey {
    bool (*read)();
    const char* key;
    int entry;  // -1: no override entry
};

int64_t VersionOriginal64() { return kv::VersionOriginal(); }
int64_t StampOriginal64() { return kv::StampOriginal(); }
int64_t VersionNew64() { return kv::VersionNew(); }
int64_t StampNew64() { return kv::StampNew(); }
std::string MessageS3() { return kv::AutoUpdateMessage(3); }
std::string MessageS35() { return kv::AutoUpdateMessage(35); }
std::string MessageS22() { return kv::AutoUpdateMessage(22); }

const TextKey kOriginalTexts[] = {
    {kv::ProgramNameOriginal, "OriginalSetup", "ProgramName", ""},
    {kv::TargetDir, "Directories", "TargetDir", ""},
    {kv::SharedDir, "Directories", "SharedDir", ""},
    {kv::AuxiliaryDir, "Directories", "AuxiliaryDir", ""},
    {kv::StartUpLink, "UnInstall", "StartUpLink", ""},
    {kv::CheckforNewUpdateLink, "UnInstall", "CheckforNewUpdateLink", ""},
    {kv::MsgBoxBtnText, "MsgBox", "BtnText", "|&OK|&Cancel|&Yes|&No|&Abort|&Retry|&Ignore|"},
    {kv::MsgBoxError, "MsgBox", "Error", "Error"},
    {kv::MsgBoxConfirm, "MsgBox", "Confirm", "Confirm"},
    {kv::MsgBoxAttention, "MsgBox", "Attention", "Attention"},
    {kv::MsgBoxFontName, "MsgBox", "FontName", "Tahoma"},
    {MessageS3, "AutoUpdate", "s3", "File Download Aborted!"},
    {MessageS22, "AutoUpdate", "s22", ""},
    {MessageS35, "AutoUpdate", "s35", "Download"},
};
const NumberKey kOriginalNumbers[] = {
    {kv::ProbeSecondsInterval, "OriginalSetup", "ProbeSecondsInterval", 0},
    {kv::ProbeSecondsLast, "OriginalSetup", "ProbeSecondsLast", 0},
    {kv::ReAskSecondsInterval, "OriginalSetup", "ReAskSecondsInterval", 0},
    {kv::ReAskSecondsLast, "OriginalSetup", "ReAskSecondsLast", 0},
    {VersionOriginal64, "OriginalSetup", "VersionOriginal", 0},
    {StampOriginal64, "OriginalSetup", "Stamp", 0},
    {kv::MsgBoxCharSet, "MsgBox", "CharSet", 0},
    {kv::MsgBoxFontSize, "MsgBox", "FontSize", 8},
};
const TextKey kInfoTexts[] = {
    {kv::DownloadURL_UPDATE, "NewSetup", "DownloadURL_UPDATE", ""},
    {kv::NameOfUpdateFile, "NewSetup", "NameOfUpdateFile", ""},
    {kv::ShutDownMethod, "NewSetup", "ShutDownMethod", ""},
    {kv::RunningProcess, "NewSetup", "RunningProcess", ""},
    {kv::ProgramNameNew, "NewSetup", "ProgramName", ""},
    {kv::ValidVersions, "NewSetup", "ValidVersions", ""},
    {kv::DownloadURL_INFORM, "AutoInform", "DownloadURL_INFORM", ""},
    {kv::NameOfInformFile, "AutoInform", "NameOfInformFile", ""},
};
const NumberKey kInfoNumbers[] = {
    {kv::SizeOfUpdateFile, "NewSetup", "SizeOfUpdateFile", 0},
    {VersionNew64, "NewSetup", "VersionNew", 0},
    {StampNew64, "NewSetup", "Stamp", 0},
    {kv::AutoInform, "General", "AutoInform", 0},
    {kv::SizeOfInformFile, "AutoInform", "SizeOfInformFile", 0},
    {kv::AutoInformW, "AutoInform", "AutoInformW", 360},
    {kv::AutoInformH, "AutoInform", "AutoInformH", 360},
};
const SwitchKey kInfoSwitches[] = {
    {kv::RequestConfirmationBeforeDownload, "RequestConfirmationBeforeDownload", 1},
    {kv::RequestConfirmationBeforeInstall, "RequestConfirmationBeforeInstall", 2},
    {kv::BackgroundUpdate, "BackgroundUpdate", 3},
    {kv::InformFinish, "InformFinish", 4},
    {kv::RestartProcess, "RestartProcess", 5},
    {kv::RequestConfirmationBeforeDownloadForce, "RequestConfirmationBeforeDownloadForce", 6},
    {kv::RequestConfirmationBeforeInstallForce, "RequestConfirmationBeforeInstallForce", 7},
    {kv::RemoveStartUpShortcut, "RemoveStartUpShortcut", -1},
    {kv::RemoveCheckForNewUpdateShortcut, "RemoveCheckForNewUpdateShortcut", -1},
};

class StubGlobFiles : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.Valid());
        original_ = dir_.File("Product.original");
        info_ = dir_.File("Product.info");
        kv::SetSettingsFilesForTests(original_, info_);
        kv::ResetOverrideEntries();
    }
    void TearDown() override {
        kv::SetSettingsFilesForTests("", "");
        kv::ResetOverrideEntries();
    }
    void Put(const std::string& file, const std::string& section, const std::string& key, const std::string& v) {
        ASSERT_TRUE(kv::WriteIniString(file, section, key, v)) << key;
    }

    TempDir dir_;
    std::string original_, info_;
};

TEST_F(StubGlobFiles, MissingFilesGiveTheDefaults) {
    ASSERT_FALSE(FileExists(original_));
    ASSERT_FALSE(FileExists(info_));
    for (const TextKey& k : kOriginalTexts) EXPECT_EQ(k.read(), k.def) << k.key;
    for (const NumberKey& k : kOriginalNumbers) EXPECT_EQ(k.read(), k.def) << k.key;
    for (const TextKey& k : kInfoTexts) EXPECT_EQ(k.read(), k.def) << k.key;
    for (const NumberKey& k : kInfoNumbers) EXPECT_EQ(k.read(), k.def) << k.key;
    for (const SwitchKey& k : kInfoSwitches) EXPECT_FALSE(k.read()) << k.key;
    EXPECT_EQ(kv::VersionOriginal(), 0);
    EXPECT_EQ(kv::GetAutoUpdateText("s99", "fallback"), "fallback");
    // Reading created nothing.
    EXPECT_FALSE(FileExists(original_));
    EXPECT_FALSE(FileExists(info_));
}

// Each accessor reads its own key in its own section of its own file:
// every key gets a different value, all in one file pair.
TEST_F(StubGlobFiles, EachAccessorReadsItsKey) {
    for (const TextKey& k : kOriginalTexts) Put(original_, k.section, k.key, std::string("o-") + k.key);
    for (const TextKey& k : kInfoTexts) Put(info_, k.section, k.key, std::string("i-") + k.key);
    int64_t n = 1000;
    for (const NumberKey& k : kOriginalNumbers) Put(original_, k.section, k.key, std::to_string(++n));
    for (const NumberKey& k : kInfoNumbers) Put(info_, k.section, k.key, std::to_string(++n));
    for (const SwitchKey& k : kInfoSwitches) Put(info_, "NewSetup", k.key, "1");
    // The same keys in the other file must not be what is read.
    Put(info_, "OriginalSetup", "VersionOriginal", "7");
    Put(original_, "NewSetup", "VersionNew", "7");

    for (const TextKey& k : kOriginalTexts) EXPECT_EQ(k.read(), std::string("o-") + k.key) << k.key;
    for (const TextKey& k : kInfoTexts) EXPECT_EQ(k.read(), std::string("i-") + k.key) << k.key;
    n = 1000;
    for (const NumberKey& k : kOriginalNumbers) EXPECT_EQ(k.read(), ++n) << k.key;
    for (const NumberKey& k : kInfoNumbers) EXPECT_EQ(k.read(), ++n) << k.key;
    for (const SwitchKey& k : kInfoSwitches) EXPECT_TRUE(k.read()) << k.key;
    EXPECT_EQ(kv::GetAutoUpdateText("s3", "x"), "o-s3");
}

TEST_F(StubGlobFiles, TypedValues) {
    const struct {
        const char* text;
        int64_t autoInform;
        bool on;
    } cases[] = {
        {"1", 1, true},   {"01", 1, false}, {"true", 0, false}, {"yes", 0, false}, {"0", 0, false},
        {"-1", -1, false}, {"$1", 0, false}, {"", 0, false},     {"2", 2, false},
    };
    for (const auto& c : cases) {
        Put(info_, "General", "AutoInform", c.text);
        Put(info_, "NewSetup", "RequestConfirmationBeforeDownload", c.text);
        Put(info_, "NewSetup", "RemoveStartUpShortcut", c.text);
        Put(info_, "AutoInform", "AutoInformW", c.text);
        EXPECT_EQ(kv::AutoInform(), c.autoInform) << c.text;
        EXPECT_EQ(kv::RequestConfirmationBeforeDownload(), c.on) << c.text;
        EXPECT_EQ(kv::RemoveStartUpShortcut(), c.on) << c.text;
        // A non-number (or empty) value gives the default, not 0.
        const bool number = c.autoInform != 0 || std::string(c.text) == "0";
        EXPECT_EQ(kv::AutoInformW(), number ? c.autoInform : 360) << c.text;
    }
}

TEST_F(StubGlobFiles, VersionsAndStampsAreTheLow32Bits) {
    Put(original_, "OriginalSetup", "VersionOriginal", "4294967397");  // 2^32 + 101
    Put(original_, "OriginalSetup", "Stamp", "4294967295");
    Put(info_, "NewSetup", "VersionNew", "2147483648");
    Put(info_, "NewSetup", "Stamp", "-3");
    EXPECT_EQ(kv::VersionOriginal(), 101);
    EXPECT_EQ(kv::StampOriginal(), -1);
    EXPECT_EQ(kv::VersionNew(), INT32_MIN);
    EXPECT_EQ(kv::StampNew(), -3);
}

TEST_F(StubGlobFiles, OverrideEntriesDecideTheirSwitches) {
    for (const SwitchKey& k : kInfoSwitches) {
        if (k.entry < 0) continue;
        for (const char* file : {"1", "0"}) {
            Put(info_, "NewSetup", k.key, file);
            const bool fileOn = std::string(file) == "1";
            const struct {
                int entry;
                bool expected;
            } cases[] = {{255, fileOn}, {1, true}, {0, false}, {2, false}, {7, false}};
            for (const auto& c : cases) {
                kv::SetOverrideEntry(k.entry, uint8_t(c.entry));
                EXPECT_EQ(k.read(), c.expected) << k.key << " file " << file << " entry " << c.entry;
            }
            kv::ResetOverrideEntries();
        }
    }
    // Entries of other keys leave a switch alone.
    Put(info_, "NewSetup", "BackgroundUpdate", "1");
    kv::ApplyOverrideList("|0|0|0||0|0|0|0|");
    EXPECT_TRUE(kv::BackgroundUpdate());
    EXPECT_FALSE(kv::InformFinish());
}

TEST_F(StubGlobFiles, TimesAreWrittenWithTheirTwins) {
    kv::WriteProbeSecondsLast(0);
    kv::WriteReAskSecondsLast(3913792496LL);  // 07-JAN-2024 12:34:56
    const std::string text = ReadWholeFile(original_);
    EXPECT_NE(text.find("[OriginalSetup]"), std::string::npos) << text;
    EXPECT_NE(text.find("\nProbeSecondsLast=0\r\n__ProbeSecondsLast=30-DEC-1899 00:00:00\r\n"), std::string::npos)
        << text;
    EXPECT_NE(text.find("ReAskSecondsLast=3913792496\r\n__ReAskSecondsLast=07-JAN-2024 12:34:56\r\n"),
              std::string::npos)
        << text;
    EXPECT_EQ(kv::ProbeSecondsLast(), 0);
    EXPECT_EQ(kv::ReAskSecondsLast(), 3913792496LL);

    kv::WriteProbeSecondsLast(kv::NowSeconds());
    EXPECT_EQ(kv::ReadIniString(original_, "OriginalSetup", "__ProbeSecondsLast", ""),
              kv::ReadableTimeText(kv::ProbeSecondsLast()));
}

TEST_F(StubGlobFiles, NumbersAreWrittenAlone) {
    kv::WriteProbeSecondsInterval(-1);
    kv::WriteReAskSecondsInterval(86400);
    kv::WriteVersionOriginal(102);
    kv::WriteStampOriginal(-7);
    EXPECT_EQ(ReadWholeFile(original_),
              "[OriginalSetup]\r\nProbeSecondsInterval=-1\r\nReAskSecondsInterval=86400\r\n"
              "VersionOriginal=102\r\nStamp=-7\r\n");
    EXPECT_EQ(kv::ProbeSecondsInterval(), -1);
    EXPECT_EQ(kv::ReAskSecondsInterval(), 86400);
    EXPECT_EQ(kv::VersionOriginal(), 102);
    EXPECT_EQ(kv::StampOriginal(), -7);
    EXPECT_FALSE(FileExists(info_));
}

TEST_F(StubGlobFiles, AChangeOnDiskIsSeenAtTheNextCall) {
    ASSERT_TRUE(WriteWholeFile(info_, "[NewSetup]\r\nVersionNew=100\r\nRestartProcess=0\r\n"));
    ASSERT_TRUE(WriteWholeFile(original_, "[UnInstall]\r\nStartUpLink=C:\\a.lnk\r\n"));
    EXPECT_EQ(kv::VersionNew(), 100);
    EXPECT_FALSE(kv::RestartProcess());
    EXPECT_EQ(kv::StartUpLink(), "C:\\a.lnk");
    // Replaced whole, as a download replaces the information file.
    ASSERT_TRUE(WriteWholeFile(info_, "[NewSetup]\r\nRestartProcess=1\r\nVersionNew=2001\r\n"));
    ASSERT_TRUE(WriteWholeFile(original_, "[UnInstall]\r\nStartUpLink=D:\\links\\b.lnk\r\n"));
    EXPECT_EQ(kv::VersionNew(), 2001);
    EXPECT_TRUE(kv::RestartProcess());
    EXPECT_EQ(kv::StartUpLink(), "D:\\links\\b.lnk");
    ASSERT_TRUE(DeleteFileA(info_.c_str()));
    EXPECT_EQ(kv::VersionNew(), 0);
}

TEST_F(StubGlobFiles, DownloadedFilesLieInTheAgentFolder) {
    Put(info_, "NewSetup", "NameOfUpdateFile", "Setup2.exe");
    Put(info_, "AutoInform", "NameOfInformFile", "inform.txt");
    EXPECT_EQ(kv::UpdateSetupPath(), kv::ProgramFolder(true) + "Setup2.exe");
    EXPECT_EQ(kv::InformFilePath(), kv::ProgramFolder(true) + "inform.txt");
}

TEST(StubGlobPaths, SettingsFilesAreNamedByTheRunningPackage) {
    TempDir dir;
    ASSERT_TRUE(dir.Valid());
    const std::string input = dir.File("readme.txt");
    ASSERT_TRUE(WriteWholeFile(input, "agent\r\n"));
    kv::pack::PackageSpec spec;
    spec.stubPath = StubPath();
    spec.outputPath = dir.File("Agent.exe");
    spec.inputs.push_back({input, ""});
    spec.isAutoUpdateProgram = 1;
    spec.update.url = "http://updates.example.test/product/";
    spec.update.infoFile = "sub\\Product.v2.info";
    spec.update.agentExeName = "Agent.exe";
    std::string error;
    ASSERT_TRUE(kv::pack::BuildPackage(spec, error)) << error;

    kv::OpenRunPackage(dir.File("Agent.exe"));
    const std::string original = kv::OriginalFilePath();
    const std::string info = kv::InfoFilePath();
    kv::FreeRunPackage();
    // Leave the process as a plain program again: opening the test
    // program itself (no package) clears the agent flag for later tests.
    char self[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    kv::OpenRunPackage(self);
    kv::FreeRunPackage();
    // The agent folder is the running program's, not the package file's.
    EXPECT_EQ(original, kv::ProgramFolder(true) + "Product.original");
    EXPECT_EQ(info, kv::ProgramFolder(true) + "Product.v2.info");
}

}  // namespace
