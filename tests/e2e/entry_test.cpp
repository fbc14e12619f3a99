// The entry sequence of the real stub under Wine: channel lines, the run
// log of an agent package, the single-instance test and the role choice.
#include <gtest/gtest.h>

#include <windows.h>

#include <functional>
#include <regex>
#include <sstream>

#include "harness/harness.h"
#include "kvpack/kvpack.h"

namespace kv::test {
namespace {

constexpr unsigned kRunMs = 60000;

struct StubResult {
    bool ended = false;
    uint32_t exitCode = 0;
    DWORD pid = 0;
    std::string trace;
};

class EntryTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.Valid());
        ASSERT_TRUE(receiver_.Ready());
        ASSERT_TRUE(WriteWholeFile(dir_.File("readme.txt"), "sample product file\r\n"));
    }

    // Builds a package around the real stub under the given file name.
    std::string MakePackage(const std::string& name, const std::function<void(pack::PackageSpec&)>& tweak = {}) {
        pack::PackageSpec spec;
        spec.stubPath = StubPath();
        spec.outputPath = dir_.File(name);
        spec.inputs.push_back({dir_.File("readme.txt"), ""});
        if (tweak) tweak(spec);
        std::string error;
        EXPECT_TRUE(pack::BuildPackage(spec, error)) << error;
        return spec.outputPath;
    }

    static void MakeAgent(pack::PackageSpec& spec, bool log) {
        spec.isAutoUpdateProgram = 1;
        spec.agentLog = log;
        spec.update.agentExeName = "Agent.exe";
    }

    StubResult Run(const std::string& exe, const std::string& args) {
        receiver_.Clear();
        StubResult r;
        ChildProcess p;
        const std::string commandLine = QuoteArg(exe) + (args.empty() ? "" : " " + args);
        if (!p.Start(commandLine, dir_.Path())) return r;
        r.pid = p.Pid();
        r.ended = p.Wait(kRunMs) && p.ExitCode(r.exitCode);
        // The last line is sent before the process ends.
        receiver_.WaitFor(" ==== STUB END ====> ", 5000);
        r.trace = receiver_.Text();
        return r;
    }

    std::vector<std::string> LogMessages(const std::string& logPath, const std::string& prefix) {
        std::string text;
        EXPECT_TRUE(ReadWholeFile(logPath, text)) << logPath;
        std::vector<std::string> messages;
        const std::regex shape(R"(^\d\d/\d\d/\d\d \d\d:\d\d:\d\d [ 0-9]{4}[0-9]+)");
        size_t start = 0;
        while (start < text.size()) {
            const size_t end = text.find("\r\n", start);
            EXPECT_NE(end, std::string::npos) << "line without CR LF";
            if (end == std::string::npos) break;
            const std::string line = text.substr(start, end - start);
            std::smatch m;
            EXPECT_TRUE(std::regex_search(line, m, shape)) << line;
            const std::string rest = line.substr(size_t(m.length(0)));
            EXPECT_EQ(rest.compare(0, prefix.size(), prefix), 0) << line;
            messages.push_back(rest.substr(prefix.size()));
            start = end + 2;
        }
        return messages;
    }

    // The relaunched copy runs a whole setup from the temp folder: the
    // next start must not meet it there, and none may outlive the test.
    bool WaitForCopyGone() {
        const std::string end = " ==== STUB END ====> ";
        std::string folder;
        const bool ended = WaitUntil(kRunMs, [&] {
            const std::string text = receiver_.Text();
            for (size_t at = text.find(end); at != std::string::npos; at = text.find(end, at + 1)) {
                const size_t line = text.find("\r\n", at);
                const size_t copy = text.find("\\Y_setup.exe ", at);
                if (copy != std::string::npos && copy < line) {
                    folder = text.substr(at + end.size(), copy - at - end.size());
                    return true;
                }
            }
            return false;
        });
        return ended && WaitUntil(kRunMs, [&] { return GetFileAttributesA(folder.c_str()) == INVALID_FILE_ATTRIBUTES; });
    }

    TempDir dir_;
    TraceReceiver receiver_;
};

// A top-level window of a given class, as another running instance has.
class ClassWindow {
public:
    explicit ClassWindow(const std::string& className) : name_(className) {
        WNDCLASSA wc{};
        wc.lpfnWndProc = DefWindowProcA;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = name_.c_str();
        atom_ = RegisterClassA(&wc);
        hwnd_ = CreateWindowExA(0, name_.c_str(), "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, wc.hInstance, nullptr);
    }
    ~ClassWindow() {
        if (hwnd_) DestroyWindow(hwnd_);
        if (atom_) UnregisterClassA(name_.c_str(), GetModuleHandleA(nullptr));
    }
    bool Valid() const { return hwnd_ != nullptr; }

private:
    std::string name_;
    ATOM atom_ = 0;
    HWND hwnd_ = nullptr;
};

TEST_F(EntryTest, PlainSetupWritesTheEntryChannelLines) {
    const std::string exe = MakePackage("setup.exe");
    const StubResult r = Run(exe, "/Q /X=1");
    ASSERT_TRUE(r.ended);
    EXPECT_EQ(r.exitCode, 0u);
    const std::string pid = std::to_string(r.pid);
    const std::string cmd = QuoteArg(exe) + " /Q /X=1";
    const std::string start = pid + " ==== STUB START ====> " + cmd + "<\r\n";
    const std::string role = pid + " ==== ThisIs_AutoUpdateProg=FALSE\r\n";
    const std::string end = pid + " ==== STUB END ====> " + cmd + "<\r\n\r\n";
    const size_t a = r.trace.find(start), b = r.trace.find(role), c = r.trace.find(end);
    ASSERT_NE(a, std::string::npos) << r.trace;
    ASSERT_NE(b, std::string::npos) << r.trace;
    ASSERT_NE(c, std::string::npos) << r.trace;
    EXPECT_LT(a, b);
    EXPECT_LT(b, c);
    // A plain setup never writes a run log.
    EXPECT_FALSE(FileExists(dir_.File("X_setup.log")));
}

TEST_F(EntryTest, LongCommandLineArrivesWhole) {
    // Longer than one 128-character chunk of the channel.
    const std::string exe = MakePackage("setup.exe");
    const std::string args = "/PATH=" + std::string(300, 'p') + " /Q";
    const StubResult r = Run(exe, args);
    ASSERT_TRUE(r.ended);
    EXPECT_NE(r.trace.find(" ==== STUB START ====> " + QuoteArg(exe) + " " + args + "<\r\n"), std::string::npos);
}

TEST_F(EntryTest, XAgentWritesItsRunLog) {
    const std::string exe = MakePackage("X_Agent.exe", [](pack::PackageSpec& s) { MakeAgent(s, true); });
    const StubResult r = Run(exe, "/TEST=1");
    ASSERT_TRUE(r.ended);
    EXPECT_NE(r.trace.find(" ==== ThisIs_AutoUpdateProg=TRUE\r\n"), std::string::npos) << r.trace;

    const std::vector<std::string> expected = {
        "", "",
        "=== START === " + exe,
        "CommandLine=" + QuoteArg(exe) + " /TEST=1",
        "Agent Version=1.0.0.1",
        "DoRunStubWin() --- Start",
        "X_ExeIsRunning=FALSE",
        "ThisIs_Plain_AutoUpdate_Exe=FALSE",
        "ThisIs_X_AutoUpdate_Exe=TRUE",
        "CheckTestMode",
        "WinMain",
        "DeleteMySelf",
        "DoRunStubWin() --- End",
        "=== EXIT === " + exe,
        "",
    };
    EXPECT_EQ(LogMessages(dir_.File("X_Agent.log"), " X "), expected);
}

TEST_F(EntryTest, PlainAgentLogsWithTheDefaultPrefixAndSeesARunningXAgent) {
    const std::string exe = MakePackage("Agent.exe", [](pack::PackageSpec& s) { MakeAgent(s, true); });
    ClassWindow xAgent(".AutoUpdate.X_Agent");
    ASSERT_TRUE(xAgent.Valid());
    const StubResult r = Run(exe, "");
    ASSERT_TRUE(r.ended);
    const std::vector<std::string> log = LogMessages(dir_.File("X_Agent.log"), "   ");
    const std::vector<std::string> decision(log.begin() + 5, log.begin() + 9);
    EXPECT_EQ(decision, (std::vector<std::string>{"DoRunStubWin() --- Start", "X_ExeIsRunning=TRUE",
                                                  "ThisIs_Plain_AutoUpdate_Exe=TRUE",
                                                  "ThisIs_X_AutoUpdate_Exe=FALSE"}));
}

TEST_F(EntryTest, AgentWithoutTheLogFlagWritesNoLog) {
    const std::string exe = MakePackage("X_Agent.exe", [](pack::PackageSpec& s) { MakeAgent(s, false); });
    ASSERT_TRUE(Run(exe, "").ended);
    EXPECT_FALSE(FileExists(dir_.File("X_Agent.log")));
}

TEST_F(EntryTest, SecondStartFindsTheFirstOnesClassAndTakesNoBranch) {
    const std::string exe = MakePackage("X_Agent.exe", [](pack::PackageSpec& s) { MakeAgent(s, true); });
    ClassWindow first(".AutoUpdate.X_Agent");
    ASSERT_TRUE(first.Valid());
    const StubResult r = Run(exe, "");
    ASSERT_TRUE(r.ended);
    EXPECT_EQ(r.exitCode, 0u);
    const std::vector<std::string> log = LogMessages(dir_.File("X_Agent.log"), " X ");
    ASSERT_GE(log.size(), 10u);
    // The X_ class of the package is also this file's own class.
    EXPECT_EQ(log[6], "X_ExeIsRunning=TRUE");
    EXPECT_EQ(log[9], "DoRunStubWin() --- End");
    for (const std::string& m : log) EXPECT_NE(m, "CheckTestMode");
}

TEST_F(EntryTest, SpannedSetupRelaunchesOnlyOnTheFirstLevel) {
    const std::string exe = MakePackage("setup.exe", [](pack::PackageSpec& s) { s.spanned = true; });
    // Level 2, the relaunched copy, removes itself and its folder at the
    // end; the spanned setup tests cover it.
    struct Case {
        const char* args;
        bool relaunch;
    } cases[] = {
        {"", true},
        {"/SpanCdLvl=1", true},
        {"/SpanCdLvl=3", false},
        {"/SpanCdLvl=x", true},
    };
    for (const Case& c : cases) {
        const StubResult r = Run(exe, c.args);
        ASSERT_TRUE(r.ended) << c.args;
        EXPECT_EQ(r.trace.find("span relaunch") != std::string::npos, c.relaunch) << c.args << "\n" << r.trace;
        EXPECT_EQ(r.trace.find("setup flow") != std::string::npos, !c.relaunch) << c.args;
        if (c.relaunch) {
            EXPECT_TRUE(WaitForCopyGone()) << c.args << "\n" << receiver_.Text();
        }
    }
}

TEST_F(EntryTest, FileWithoutPackageRunsAsASetup) {
    ASSERT_TRUE(CopyFileTo(StubPath(), dir_.File("bare.exe")));
    const StubResult r = Run(dir_.File("bare.exe"), "");
    ASSERT_TRUE(r.ended);
    EXPECT_EQ(r.exitCode, 0u);
    EXPECT_NE(r.trace.find(" ==== ThisIs_AutoUpdateProg=FALSE"), std::string::npos);
}

}  // namespace
}  // namespace kv::test
