// A real program removes itself: kv_selfdelete calls DeleteSelf and exits;
// its file (and with the flag its folder) and the batch file must vanish.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "harness/harness.h"
#include "util/self_delete_script.h"

namespace {

using namespace kv::test;

constexpr unsigned kStartMs = 60000;   // a process start under emulation is slow
constexpr unsigned kVanishMs = 60000;  // the batch runs in the emulated command interpreter

bool FolderExists(const std::string& path) {
    const DWORD a = GetFileAttributesA(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

std::string ShortPath(const std::string& path) {
    char buf[MAX_PATH + 1];
    const DWORD n = GetShortPathNameA(path.c_str(), buf, sizeof buf);
    return n > 0 && n < sizeof buf ? std::string(buf, n) : std::string();
}

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// Points the temporary folder of processes started meanwhile at `folder`.
class TempFolderOverride {
public:
    explicit TempFolderOverride(const std::string& folder) {
        for (const char* name : {"TMP", "TEMP"}) {
            char buf[MAX_PATH + 1];
            const DWORD n = GetEnvironmentVariableA(name, buf, sizeof buf);
            saved_.push_back(n > 0 && n < sizeof buf ? std::string(buf, n) : std::string());
            SetEnvironmentVariableA(name, folder.c_str());
        }
    }
    ~TempFolderOverride() {
        SetEnvironmentVariableA("TMP", saved_[0].empty() ? nullptr : saved_[0].c_str());
        SetEnvironmentVariableA("TEMP", saved_[1].empty() ? nullptr : saved_[1].c_str());
    }
    TempFolderOverride(const TempFolderOverride&) = delete;
    TempFolderOverride& operator=(const TempFolderOverride&) = delete;

private:
    std::vector<std::string> saved_;
};

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t p = text.find("\r\n"); p != std::string::npos; p = text.find("\r\n", start)) {
        lines.push_back(text.substr(start, p - start));
        start = p + 2;
    }
    if (start < text.size()) lines.push_back(text.substr(start));
    return lines;
}

struct Case {
    bool removeFolder;
    bool shortNames;
};

class SelfDelete : public ::testing::TestWithParam<Case> {};

TEST_P(SelfDelete, ProgramFileAndBatchVanishAfterExit) {
    const Case c = GetParam();
    TempDir root;
    ASSERT_TRUE(root.Valid());
    const std::string temp = root.File("tmp");
    const std::string app = root.File("my app");  // a space, so that quoting matters
    ASSERT_TRUE(CreateDirectoryA(temp.c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryA(app.c_str(), nullptr));
    const std::string exe = app + "\\self delete.exe";
    ASSERT_TRUE(CopyFileTo(BuildDir() + "\\tests\\win\\kv_selfdelete.exe", exe));
    const std::string batch = temp + "\\" + kv::SelfDeleteBatchName;
    // Taken now: once the files are gone they have no short names.
    const std::string shortExe = ShortPath(exe);
    const std::string shortApp = ShortPath(app);
    const std::string shortTemp = ShortPath(temp);

    ChildProcess child;
    {
        const TempFolderOverride override(temp);
        // The program stays a while after the call, so that the script is
        // seen waiting for it.
        ASSERT_TRUE(child.Start(QuoteArg(exe) + " " + (c.removeFolder ? "1" : "0") + " " +
                                    (c.shortNames ? "1" : "0") + " 3000",
                                app));
    }
    ASSERT_TRUE(WaitForFile(batch, kStartMs));
    std::string script;
    const Deadline readable(10000);
    while (Lines(script).size() < (c.removeFolder ? 5u : 4u) && !readable.Passed()) {
        script = ReadWholeFile(batch);
        Sleep(20);
    }
    const std::vector<std::string> lines = Lines(script);
    ASSERT_EQ(lines.size(), c.removeFolder ? 5u : 4u) << script;
    EXPECT_EQ(lines[0], ":START");
    if (c.shortNames) {
        EXPECT_EQ(shortExe.find(' '), std::string::npos) << shortExe;
        EXPECT_EQ(lines[1], "DEL " + shortExe);
        EXPECT_EQ(lines[2], "IF exist " + shortExe + " GOTO START");
        if (c.removeFolder) {
            EXPECT_EQ(lines[3], "RD " + shortApp);
        }
        EXPECT_EQ(lines.back(), "DEL " + shortTemp + "\\" + kv::SelfDeleteBatchName);
    } else {
        EXPECT_EQ(lines[1], "DEL \"" + exe + "\"");
        EXPECT_EQ(lines[2], "IF exist \"" + exe + "\" GOTO START");
        if (c.removeFolder) {
            EXPECT_EQ(lines[3], "RD \"" + app + "\"");
        }
        EXPECT_EQ(lines.back(), "DEL \"" + batch + "\"");
    }

    // The script is already running; the file stays as long as the
    // program does.
    const bool exeThere = Exists(exe);
    if (child.Running()) {
        EXPECT_TRUE(exeThere);
    }

    ASSERT_TRUE(child.Wait(kStartMs));
    uint32_t code = 1;
    ASSERT_TRUE(child.ExitCode(code));
    EXPECT_EQ(code, 0u);

    const Deadline vanish(kVanishMs);
    while ((Exists(exe) || Exists(batch) || (c.removeFolder && Exists(app))) && !vanish.Passed()) Sleep(50);
    EXPECT_FALSE(Exists(exe));
    EXPECT_FALSE(Exists(batch));
    EXPECT_EQ(FolderExists(app), !c.removeFolder);
}

INSTANTIATE_TEST_SUITE_P(Flags, SelfDelete,
                         ::testing::Values(Case{false, false}, Case{true, false}, Case{false, true},
                                           Case{true, true}),
                         [](const ::testing::TestParamInfo<Case>& p) {
                             return std::string(p.param.removeFolder ? "RemoveFolder" : "KeepFolder") +
                                    (p.param.shortNames ? "ShortNames" : "LongNames");
                         });

}  // namespace
