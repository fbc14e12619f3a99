// The test engine against the contract other tests rely on: the hand-over
// atom, the exit code, the record of what it saw, the dialog window it
// leaves behind after exiting, and its run time.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "harness/engine_record.h"
#include "harness/harness.h"

namespace {

using namespace kv::test;

constexpr unsigned kRunMs = 60000;  // a process start under emulation is slow
const std::string kAtomPrefix = "AutoUpdateAtomTokenByKavrix";
const std::string kDialogPrefix = ".SDialog_Class_Name.";

std::string Engine() { return QuoteArg(ToolPath("testengine")); }

// A fresh token per use, so that no test sees another's atom or window.
std::string NewToken() {
    static int n = 0;
    return "_te" + std::to_string(GetCurrentProcessId()) + "x" + std::to_string(++n);
}

// The hand-over atom added as the stub adds it (`adds` times); whatever
// is left of it goes at the end.
class TestAtom {
public:
    TestAtom(const std::string& token, int adds) : name_(kAtomPrefix + token) {
        for (int i = 0; i < adds; ++i) GlobalAddAtomA(name_.c_str());
    }
    TestAtom(const TestAtom&) = delete;
    TestAtom& operator=(const TestAtom&) = delete;
    ~TestAtom() {
        for (int i = 0; i < 100 && Exists(); ++i) GlobalDeleteAtom(GlobalFindAtomA(name_.c_str()));
    }
    bool Exists() const { return GlobalFindAtomA(name_.c_str()) != 0; }

private:
    std::string name_;
};

// The single complete run of a record file (a failure otherwise).
EngineRun OnlyRun(const std::string& path) {
    const std::vector<EngineRun> runs = ReadEngineRuns(path);
    EXPECT_EQ(runs.size(), 1u) << path;
    if (runs.empty()) return EngineRun();
    EXPECT_TRUE(runs[0].complete);
    return runs[0];
}

// Runs a command to its end; the exit code, or 0xDEADBEEF when it did not end.
uint32_t RunToEnd(const std::string& cmd, const std::string& dir = std::string()) {
    uint32_t code = 0xDEADBEEF;
    EXPECT_TRUE(RunProcess(cmd, dir, kRunMs, code)) << cmd;
    return code;
}

uint64_t Ticks100ns(const FILETIME& t) { return uint64_t(t.dwHighDateTime) << 32 | t.dwLowDateTime; }

// Milliseconds from the process's creation to its exit.
uint64_t LifetimeMs(HANDLE process) {
    FILETIME created, exited, kernel, user;
    if (!GetProcessTimes(process, &created, &exited, &kernel, &user)) return 0;
    return (Ticks100ns(exited) - Ticks100ns(created)) / 10000;
}

// The engine waits on a tick count with the system's tick granularity.
constexpr uint64_t kTickSlackMs = 50;

TEST(TestEngine, HandOverAtom) {
    struct Case {
        const char* what;
        int adds;
        const char* extra;
        const char* atomLine;
        bool leftAfter;
    };
    const Case cases[] = {
        {"one add, deleted", 1, "", "deleted", false},
        {"keep switch", 1, " /TE_KEEPATOM", "kept", true},
        {"keep switch in lower case", 1, " /te_keepatom", "kept", true},
        {"two adds: one delete, as a real engine", 2, "", "deleted", true},
        {"no atom", 0, "", "missing", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TempDir dir;
        const std::string token = NewToken();
        TestAtom atom(token, c.adds);
        const std::string record = dir.File("record.txt");
        EXPECT_EQ(RunToEnd(Engine() + " /TH_ID=" + token + " /TE_RECORD=" + record + c.extra), 0u);
        EXPECT_EQ(atom.Exists(), c.leftAfter);
        const EngineRun run = OnlyRun(record);
        EXPECT_EQ(run.Get("Token"), token);
        EXPECT_EQ(run.Get("AtomAtStart"), c.adds > 0 ? "found" : "missing");
        EXPECT_EQ(run.Get("Atom"), c.atomLine);
        EXPECT_EQ(run.Get("AtomAfter"), c.leftAfter ? "found" : "missing");
        // Without the dialog switch nothing is left behind.
        EXPECT_EQ(run.Get("DialogHolder"), "none");
        EXPECT_EQ(FindWindowA((kDialogPrefix + token).c_str(), nullptr), nullptr);
    }
}

TEST(TestEngine, WithoutTokenTouchesNoAtom) {
    TempDir dir;
    TestAtom atom("", 1);  // the bare prefix: what an empty token would name
    EXPECT_EQ(RunToEnd(Engine() + " /TE_RECORD=" + dir.File("r.txt")), 0u);
    EXPECT_TRUE(atom.Exists());
    EXPECT_EQ(OnlyRun(dir.File("r.txt")).Get("Atom"), "notoken");
}

TEST(TestEngine, ExitCode) {
    const std::pair<const char*, uint32_t> cases[] = {
        {"", 0},
        {" /TE_EXIT=3", 3},
        {" /TE_EXIT=1603", 1603},
        {" /TE_EXIT=-1", 0xFFFFFFFFu},
        {" /TE_EXIT=4294967295", 0xFFFFFFFFu},
        {" /TE_EXIT=three", 0},
        {" /TE_EXIT=4294967296", 0},
        // The stub's arguments come before the package's fixed ones.
        {" /TE_EXIT=5 /TE_EXIT=7", 5},
        {" /te_exit = 9", 9},
        // Quotes are dropped before the switches are read.
        {" \"/TE_EXIT=12\"", 12},
        {" /TE_EXIT=\"13\"", 13},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.first);
        EXPECT_EQ(RunToEnd(Engine() + " /TH_ID=" + NewToken() + c.first), c.second);
    }
}

// Sets a file's last write time from a packed local DOS date and time.
bool SetDosTime(const std::string& path, uint32_t dos) {
    FILETIME local, utc;
    if (!DosDateTimeToFileTime(WORD(dos >> 16), WORD(dos), &local) || !LocalFileTimeToFileTime(&local, &utc)) return false;
    const kv::FileHandle file(CreateFileA(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                          nullptr, OPEN_EXISTING, 0, nullptr));
    return file && SetFileTime(file.get(), nullptr, nullptr, &utc) != 0;
}

uint64_t FileSize(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA a;
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &a)) return 0;
    return uint64_t(a.nFileSizeHigh) << 32 | a.nFileSizeLow;
}

TEST(TestEngine, RecordsCommandLineFolderAndFilesBesideIt) {
    // 15 June 2021 14:35:10 and 1 January 1999 00:00:00, local time.
    constexpr uint32_t kDos1 = (uint32_t((2021 - 1980) << 9 | 6 << 5 | 15) << 16) | (14 << 11 | 35 << 5 | 5);
    constexpr uint32_t kDos2 = uint32_t((1999 - 1980) << 9 | 1 << 5 | 1) << 16;
    TempDir root;
    TempDir cwd;
    // A folder with a blank, started unquoted as the stub starts the engine.
    const std::string setup = root.File("SETUP 1");
    ASSERT_TRUE(CreateDirectoryA(setup.c_str(), nullptr));
    const std::string engine = setup + "\\Engine.exe";
    ASSERT_TRUE(CopyFileTo(ToolPath("testengine"), engine));
    ASSERT_TRUE(WriteWholeFile(setup + "\\data.txt", "hello"));
    ASSERT_TRUE(WriteWholeFile(setup + "\\Agent.EXE", ""));
    ASSERT_TRUE(CreateDirectoryA((setup + "\\sub").c_str(), nullptr));
    ASSERT_TRUE(SetDosTime(engine, kDos1));
    ASSERT_TRUE(SetDosTime(setup + "\\data.txt", kDos1));
    ASSERT_TRUE(SetDosTime(setup + "\\Agent.EXE", kDos2));
    const std::vector<std::string> expectedFiles = {
        "Agent.EXE|0|" + std::to_string(kDos2),
        "data.txt|5|" + std::to_string(kDos1),
        "Engine.exe|" + std::to_string(FileSize(engine)) + "|" + std::to_string(kDos1),
    };

    struct Case {
        const char* what;
        std::string program;
    };
    const Case cases[] = {{"unquoted path with a blank", engine}, {"quoted path", "\"" + engine + "\""}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string token = NewToken();
        TestAtom atom(token, 1);
        const std::string record = cwd.File("my record " + token + ".txt");
        const std::vector<std::string> args = {
            "/hide", "/TE_EXIT=3", "/TE_RECORD=" + record, "/TH_ID=" + token,
            "/OriginExe=\"D:\\some folder\\setup.exe\"", "/AutoUpdateProg",
        };
        std::string cmd = c.program;
        for (const std::string& a : args) cmd += " " + a;

        EXPECT_EQ(RunToEnd(cmd, cwd.Path()), 3u);
        const EngineRun run = OnlyRun(record);
        // Wine puts quotes around an unquoted program path that holds a
        // blank before the program sees it; Windows passes it unchanged.
        const std::string quotedCmd = "\"" + engine + "\"" + cmd.substr(c.program.size());
        const std::string line = run.Get("CommandLine");
        EXPECT_TRUE(line == cmd || line == quotedCmd) << line;
        EXPECT_EQ(run.Get("CurrentDir"), cwd.Path());
        EXPECT_EQ(run.Get("ExePath"), engine);
        EXPECT_EQ(run.All("Arg"), args);
        EXPECT_EQ(run.Get("Token"), token);
        EXPECT_EQ(run.Get("OriginExe"), "D:\\some folder\\setup.exe");
        EXPECT_EQ(run.Get("AutoUpdateProg"), "1");
        EXPECT_EQ(run.Get("Atom"), "deleted");
        EXPECT_EQ(run.Get("ExitCode"), "3");
        EXPECT_EQ(run.All("File"), expectedFiles);
        EXPECT_EQ(run.All("Dir"), std::vector<std::string>{"sub"});
        EXPECT_NE(run.Get("Pid"), "<absent>");
    }
}

TEST(TestEngine, RecordGainsOneBlockPerRun) {
    TempDir dir;
    const std::string record = dir.File("r.txt");
    EXPECT_EQ(RunToEnd(Engine() + " /TE_RECORD=" + record + " /TE_EXIT=1"), 1u);
    EXPECT_EQ(RunToEnd(Engine() + " /TE_RECORD=" + record + " /TE_EXIT=2"), 2u);
    const std::vector<EngineRun> runs = ReadEngineRuns(record);
    ASSERT_EQ(runs.size(), 2u);
    EXPECT_TRUE(runs[0].complete && runs[1].complete);
    EXPECT_EQ(runs[0].Get("ExitCode"), "1");
    EXPECT_EQ(runs[1].Get("ExitCode"), "2");
    EXPECT_EQ(runs[0].Get("AutoUpdateProg"), "0");
    EXPECT_EQ(runs[0].Get("OriginExe"), "");
}

// Starts the engine with a show state, as the stub's StartProcess does.
bool RunWithShow(const std::string& cmd, WORD show) {
    std::vector<char> buf(cmd.begin(), cmd.end());
    buf.push_back('\0');
    STARTUPINFOA si{};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESHOWWINDOW;
    si.wShowWindow = show;
    PROCESS_INFORMATION pi{};
    if (!CreateProcessA(nullptr, buf.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) return false;
    const kv::KernelHandle process(pi.hProcess);
    const kv::KernelHandle thread(pi.hThread);
    const bool ended = WaitForSingleObject(process.get(), kRunMs) == WAIT_OBJECT_0;
    if (!ended) TerminateProcess(process.get(), 1);
    return ended;
}

TEST(TestEngine, RecordsTheShowStateItWasGiven) {
    const std::pair<WORD, const char*> cases[] = {{SW_HIDE, "0"}, {SW_SHOW, "5"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.second);
        TempDir dir;
        ASSERT_TRUE(RunWithShow(Engine() + " /TE_RECORD=" + dir.File("r.txt"), c.first));
        EXPECT_EQ(OnlyRun(dir.File("r.txt")).Get("StartShow"), c.second);
    }
}

// Polls until no top-level window of the class is left.
bool WaitClassGone(const std::string& cls, unsigned deadline_ms) {
    const Deadline deadline(deadline_ms);
    while (FindWindowA(cls.c_str(), nullptr) != nullptr) {
        if (deadline.Passed()) return false;
        Sleep(20);
    }
    return true;
}

uint64_t CreationTicks(HANDLE process) {
    FILETIME created, exited, kernel, user;
    return GetProcessTimes(process, &created, &exited, &kernel, &user) ? Ticks100ns(created) : 0;
}

uint64_t NowTicks() {
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    return Ticks100ns(now);
}

TEST(TestEngine, DialogWindowOutlivesTheEngineForTheGivenTime) {
    TempDir dir;
    const std::string token = NewToken();
    const std::string cls = kDialogPrefix + token;
    TestAtom atom(token, 1);
    constexpr unsigned kHoldMs = 2000;
    ChildProcess engine;
    ASSERT_TRUE(engine.Start(Engine() + " /TH_ID=" + token + " /TE_EXIT=4 /TE_DIALOGMS=" + std::to_string(kHoldMs) +
                             " /TE_RECORD=" + dir.File("r.txt")));
    ASSERT_TRUE(engine.Wait(kRunMs));
    // The window is there the moment the engine has ended: a stub looking
    // right then must find it.
    const HWND dialog = FindWindowA(cls.c_str(), nullptr);
    ASSERT_NE(dialog, nullptr);
    DWORD owner = 0;
    GetWindowThreadProcessId(dialog, &owner);
    // Opened while it still runs, for its creation time and its end.
    const kv::KernelHandle holder(OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, owner));
    ASSERT_TRUE(holder);
    uint32_t code = 0;
    EXPECT_TRUE(engine.ExitCode(code));
    EXPECT_EQ(code, 4u);
    EXPECT_FALSE(atom.Exists());

    // Held by a process of its own, which the record names.
    const EngineRun run = OnlyRun(dir.File("r.txt"));
    EXPECT_NE(std::to_string(owner), run.Get("Pid"));
    EXPECT_EQ(std::to_string(owner), run.Get("DialogHolder"));

    ASSERT_TRUE(WaitClassGone(cls, kRunMs));
    // The window cannot have gone sooner than the hold time after its
    // holder process was created.
    EXPECT_GE((NowTicks() - CreationTicks(holder.get())) / 10000 + kTickSlackMs, uint64_t(kHoldMs));
    // The helper ends with its window.
    EXPECT_EQ(WaitForSingleObject(holder.get(), kRunMs), WAIT_OBJECT_0);
}

TEST(TestEngine, DialogWindowClosedByMessageEndsEarly) {
    const std::string token = NewToken();
    const std::string cls = kDialogPrefix + token;
    EXPECT_EQ(RunToEnd(Engine() + " /TH_ID=" + token + " /TE_DIALOGMS=600000"), 0u);
    const HWND dialog = FindWindowA(cls.c_str(), nullptr);
    ASSERT_NE(dialog, nullptr);
    PostMessageA(dialog, WM_CLOSE, 0, 0);
    EXPECT_TRUE(WaitClassGone(cls, kRunMs));
}

TEST(TestEngine, RunsForTheGivenTime) {
    constexpr unsigned kRunTimeMs = 1500;
    ChildProcess engine;
    ASSERT_TRUE(engine.Start(Engine() + " /TE_RUNMS=" + std::to_string(kRunTimeMs) + " /TE_EXIT=6"));
    ASSERT_TRUE(engine.Wait(kRunMs));
    EXPECT_GE(LifetimeMs(engine.Handle()) + kTickSlackMs, uint64_t(kRunTimeMs));
    uint32_t code = 0;
    EXPECT_TRUE(engine.ExitCode(code));
    EXPECT_EQ(code, 6u);
}

TEST(TestEngine, DeletesTheAtomOnlyAfterTheDelay) {
    constexpr unsigned kDelayMs = 1500;
    TempDir dir;
    const std::string token = NewToken();
    TestAtom atom(token, 1);
    ChildProcess engine;
    ASSERT_TRUE(engine.Start(Engine() + " /TH_ID=" + token + " /TE_DELAYATOMMS=" + std::to_string(kDelayMs) +
                             " /TE_RECORD=" + dir.File("r.txt")));
    const uint64_t created = CreationTicks(engine.Handle());
    const Deadline deadline(kRunMs);
    while (atom.Exists() && !deadline.Passed()) Sleep(10);
    ASSERT_FALSE(atom.Exists());
    EXPECT_GE((NowTicks() - created) / 10000 + kTickSlackMs, uint64_t(kDelayMs));
    ASSERT_TRUE(engine.Wait(kRunMs));
    EXPECT_EQ(OnlyRun(dir.File("r.txt")).Get("Atom"), "deleted");
}

TEST(TestEngine, ClosingItsWindowEndsTheRunTime) {
    const std::string token = NewToken();
    ChildProcess engine;
    ASSERT_TRUE(engine.Start(Engine() + " /TH_ID=" + token + " /TE_SHOWWINDOW /TE_RUNMS=600000 /TE_EXIT=8"));
    const HWND window = FindTopWindow("KvTestEngine", kRunMs, "Test engine" + token);
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(engine.Running());
    PostMessageA(window, WM_CLOSE, 0, 0);
    ASSERT_TRUE(engine.Wait(kRunMs));
    uint32_t code = 0;
    EXPECT_TRUE(engine.ExitCode(code));
    EXPECT_EQ(code, 8u);
}

}  // namespace
