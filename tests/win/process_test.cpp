// Process control with real child processes (tests/win/proc_child). The
// process source depends on the Windows version, so the whole suite runs
// again in copies of this program that Wine tells to be Windows 7, 10 and
// XP (ProcessControlVersions).
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "harness/harness.h"
#include "sysprobe_util.h"
#include "util/exec_pipe.h"
#include "util/process.h"
#include "util/process_viewer.h"
#include "util/sysinfo.h"
#include "util/window_helpers.h"

using namespace kv;
using namespace kv::test;

namespace {

constexpr unsigned kStartMs = 30000;  // a process start under emulation is slow
constexpr unsigned kEndMs = 30000;
constexpr const char* kVersionVariable = "KV_PROCESS_VERSION";

std::string ChildProgram() { return BuildDir() + "\\tests\\win\\proc_child\\kv_procchild.exe"; }

// A name no other process of the machine has.
std::string UniqueName(const std::string& tag) {
    static int n = 0;
    return "kvpc" + std::to_string(GetCurrentProcessId()) + "_" + std::to_string(++n) + tag;
}

// The task list of the system folder prints nothing under Wine; the
// prefix gets the stand-in (tools/win/tasklist) as ./run installs it, in
// case this prefix was made without it.
bool TaskListStandInInstalled() {
    static bool done = false;
    if (done) return true;
    const std::string installed = SystemFolder(true) + "tasklist.exe";
    const std::string built = ReadWholeFile(ToolPath("tasklist"));
    if (built.empty()) return false;
    if (ReadWholeFile(installed) != built) {
        std::printf("installing the task-list stand-in as %s\n", installed.c_str());
        if (!CopyFileTo(ToolPath("tasklist"), installed)) return false;
    }
    done = true;
    return true;
}

// A copy of the child program under a name of its own, in a folder of its
// own (the process searches go by executable path and name).
struct ChildCopy {
    TempDir dir;
    std::string name;
    std::string path;
    bool copied = false;

    explicit ChildCopy(const std::string& exeName = UniqueName(".exe"), const std::string& subFolder = "")
        : name(exeName) {
        std::string folder = dir.Path();
        if (!subFolder.empty()) {
            folder += "\\" + subFolder;
            CreateDirectoryA(folder.c_str(), nullptr);
        }
        path = folder + "\\" + name;
        copied = CopyFileTo(ChildProgram(), path);
    }
};

// A started child with its main window.
struct Windowed {
    ChildProcess process;
    std::string className = UniqueName("C");
    std::string title = UniqueName(" main");
    HWND main = nullptr;

    // The main window is found through the task list on Windows 8 and
    // later.
    bool Start(const std::string& path, const std::string& extra = "") {
        if (!TaskListStandInInstalled()) return false;
        const std::string cmd = QuoteArg(path) + " --class " + className + " --title " + QuoteArg(title) + " " + extra;
        if (!process.Start(cmd)) return false;
        main = FindTopWindow(className, kStartMs, title);
        return main != nullptr;
    }
    bool EndedWith(uint32_t expected) {
        uint32_t code = 12345;
        return process.Wait(kEndMs) && process.ExitCode(code) && code == expected;
    }
};

std::string Version() {
    const char* v = std::getenv(kVersionVariable);
    return v ? v : "";
}

// ---- Process sources --------------------------------------------------------

TEST(ProcessControl, RunsUnderTheVersionItWasToldToBe) {
    const std::string v = Version();
    if (v.empty()) GTEST_SKIP() << "runs in the copies started by ProcessControlVersions";
    EXPECT_EQ(IsWin8OrLater(), v == "win10") << v;
    EXPECT_EQ(IsXP(), v == "winxp") << v;
    EXPECT_TRUE(IsNT());
}

TEST(ProcessControl, SourcesFindAProcessByPathAndName) {
    ChildCopy copy;
    ASSERT_TRUE(copy.copied);
    Windowed child;
    ASSERT_TRUE(child.Start(copy.path));
    const uint32_t pid = child.process.Pid();

    EXPECT_EQ(PsapiPid(copy.path, true, true), pid);
    EXPECT_EQ(PsapiPid(copy.path, false, false), pid);
    EXPECT_EQ(PsapiPid("\"" + copy.path + "\"", true, true), 0u);  // no unquoting here
    EXPECT_EQ(PsapiPid(copy.name, false, true), pid);                // by its base name
    EXPECT_EQ(PsapiPid(copy.name, true, true), 0u);                  // but not under the full-path flag
    EXPECT_EQ(PsapiPid("", false, true), 0u);

    // The snapshot reports file names only on NT: a bare name matches.
    EXPECT_EQ(ToolhelpPid(copy.name, false, true), pid);
    EXPECT_EQ(ToolhelpPid(copy.path, true, true), 0u);

    EXPECT_EQ(TasklistPid(copy.path, true), pid);
    EXPECT_EQ(TasklistPid(copy.name, false), pid);
    EXPECT_EQ(TasklistPid("C:\\nowhere\\" + UniqueName(".exe"), true), 0u);

    const std::vector<uint32_t> ids = EnumProcessIds();
    EXPECT_NE(std::find(ids.begin(), ids.end(), pid), ids.end());
    EXPECT_GT(ids.size(), 1u);

    EXPECT_EQ(ListPid(copy.path, false, false), pid);
    EXPECT_EQ(ListPid(copy.path, false, true), pid);
    EXPECT_TRUE(IsProcessRunning(copy.path));
    EXPECT_TRUE(IsProcessRunning("\"" + copy.path + "\""));
    EXPECT_NE(WindowProcessList(true, false).find(copy.name + "=" + std::to_string(pid)), std::string::npos);
    EXPECT_NE(ProcessList(false, true).find(copy.name + "=" + std::to_string(pid)), std::string::npos);
    EXPECT_NE(WindowProcessList(false, true).find(copy.name + "=" + std::to_string(uintptr_t(child.main))),
              std::string::npos);
    EXPECT_EQ(ProcessExeName(child.main), copy.name);
}

TEST(ProcessControl, TheFullPathFlagTellsSameNamedProcessesApart) {
    const std::string name = UniqueName(".exe");
    ChildCopy a(name, "Prog"), b(name, "Other");
    ASSERT_TRUE(a.copied && b.copied);
    Windowed first, second;
    ASSERT_TRUE(first.Start(a.path));
    ASSERT_TRUE(second.Start(b.path));

    EXPECT_EQ(PsapiPid(a.path, true, true), first.process.Pid());
    EXPECT_EQ(PsapiPid(b.path, true, false), second.process.Pid());
    // By name both match: the first and the last in the order of the list.
    const uint32_t firstByName = PsapiPid(name, false, true), lastByName = PsapiPid(name, false, false);
    EXPECT_NE(firstByName, lastByName);
    EXPECT_TRUE(firstByName == first.process.Pid() || firstByName == second.process.Pid());
    EXPECT_TRUE(lastByName == first.process.Pid() || lastByName == second.process.Pid());
    const uint32_t firstInTasks = TasklistPid(name, true), lastInTasks = TasklistPid(name, false);
    EXPECT_NE(firstInTasks, lastInTasks);
    EXPECT_TRUE(firstInTasks == first.process.Pid() || firstInTasks == second.process.Pid());

    if (!IsWin8OrLater()) {
        // The main window comes from the process-status source, which
        // honours the flag; the task list knows file names only.
        EXPECT_EQ(FindProcessMainWindow(a.path, true, false), first.main);
        EXPECT_EQ(FindProcessMainWindow(b.path, true, false), second.main);
    }
    if (IsXP()) {
        // Only XP lists processes by their whole paths.
        const std::string list = ProcessList(true, true);
        EXPECT_NE(list.find(b.path + "=" + std::to_string(second.process.Pid())), std::string::npos) << list;
        EXPECT_TRUE(TerminateProcessByPath(b.path, true));
        EXPECT_TRUE(second.EndedWith(0));
        EXPECT_TRUE(first.process.Running());
    }
}

TEST(ProcessControl, AProcessWithoutWindowsIsSeenOnlyOnXP) {
    ChildCopy copy;
    ASSERT_TRUE(copy.copied);
    ChildProcess child;
    ASSERT_TRUE(child.Start(QuoteArg(copy.path) + " --no-window --life 60000"));
    // Known to the process-status functions as soon as they list it.
    const Deadline d(kStartMs);
    while (PsapiPid(copy.path, true, true) == 0 && !d.Passed()) Sleep(50);
    ASSERT_EQ(PsapiPid(copy.path, true, true), child.Pid());
    EXPECT_EQ(IsProcessRunning(copy.path), IsXP());
    EXPECT_EQ(TerminateProcessByPath(copy.path, false), IsXP());
    EXPECT_EQ(FindProcessMainWindow(copy.path, true, false), nullptr);
    EXPECT_FALSE(PostCloseToProcess(copy.path, true, 0));
}

// ---- Main window, messages, termination ---------------------------------------

TEST(ProcessControl, MainWindowIsTheTitledOwnerOfTheDialogs) {
    ChildCopy copy;
    ASSERT_TRUE(copy.copied);
    Windowed child;
    ASSERT_TRUE(child.Start(copy.path, "--hidden-first --dialogs 2"));
    // All four windows exist once the last dialog does.
    ASSERT_NE(FindTopWindow(child.className, kStartMs, "dialog 2"), nullptr);
    EXPECT_EQ(FindProcessMainWindow(copy.path, true, true), child.main);
    EXPECT_EQ(FindProcessMainWindow(copy.path, false, false), child.main);
    EXPECT_EQ(WindowTitle(FindProcessMainWindow(copy.path, true, false)), child.title);
    EXPECT_EQ(FindProcessMainWindow("C:\\nowhere\\" + UniqueName(".exe"), false, false), nullptr);
}

TEST(ProcessControl, PostCloseWithoutWaitReturnsAtOnceAndCloses) {
    ChildCopy copy;
    ASSERT_TRUE(copy.copied);
    Windowed child;
    ASSERT_TRUE(child.Start(copy.path));
    EXPECT_TRUE(PostCloseToProcess(copy.path, true, 0));
    EXPECT_TRUE(child.EndedWith(42));  // WM_CLOSE with 15 and 255
    EXPECT_FALSE(PostCloseToProcess(copy.path, true, 0));
}

TEST(ProcessControl, PostCloseWaitsUntilTheProcessHasGone) {
    ChildCopy copy;
    ASSERT_TRUE(copy.copied);
    Windowed child;
    ASSERT_TRUE(child.Start(copy.path));
    const ULONGLONG start = GetTickCount64();
    EXPECT_TRUE(PostCloseToProcess(copy.path, true, kEndMs));
    const ULONGLONG took = GetTickCount64() - start;
    EXPECT_FALSE(IsProcessRunning(copy.path));
    EXPECT_TRUE(child.EndedWith(42));
    std::printf("PostCloseToProcess(wait %u) of a closing process: %llu ms\n", kEndMs, took);
}

TEST(ProcessControl, PostCloseGivesUpAfterItsWait) {
    ChildCopy copy;
    ASSERT_TRUE(copy.copied);
    Windowed child;
    ASSERT_TRUE(child.Start(copy.path, "--ignore-close"));
    const ULONGLONG start = GetTickCount64();
    EXPECT_TRUE(PostCloseToProcess(copy.path, true, 3000));
    const ULONGLONG took = GetTickCount64() - start;
    EXPECT_TRUE(child.process.Running());
    EXPECT_TRUE(IsProcessRunning(copy.path));
    std::printf("PostCloseToProcess(wait 3000) of a process that stays: %llu ms\n", took);
    // WaitProcessGone on its own gives up the same way; 0 means 1000 ms.
    WaitProcessGone(copy.path, 0);
    EXPECT_TRUE(child.process.Running());
}

TEST(ProcessControl, PostQuitEndsTheMessageLoop) {
    ChildCopy copy;
    ASSERT_TRUE(copy.copied);
    Windowed child;
    ASSERT_TRUE(child.Start(copy.path, "--ignore-close"));
    EXPECT_TRUE(PostQuitToProcess(copy.path, false));
    EXPECT_TRUE(child.EndedWith(15));  // WM_QUIT's wParam
}

TEST(ProcessControl, PostProcessMessageCarriesItsParameters) {
    ChildCopy copy;
    ASSERT_TRUE(copy.copied);
    Windowed child;
    ASSERT_TRUE(child.Start(copy.path));
    EXPECT_TRUE(PostProcessMessage(copy.path, true, WM_CLOSE, 1, 2));
    EXPECT_TRUE(child.EndedWith(43));  // a close with other parameters
}

TEST(ProcessControl, TerminateByPath) {
    ChildCopy copy;
    ASSERT_TRUE(copy.copied);
    Windowed child;
    ASSERT_TRUE(child.Start(copy.path, "--ignore-close"));
    EXPECT_TRUE(TerminateProcessByPath(copy.path, true));
    EXPECT_TRUE(child.EndedWith(0));
    EXPECT_FALSE(TerminateProcessByPath(copy.path, true));
    EXPECT_FALSE(TerminateProcessByPath("", false));
}

// ---- Waiting --------------------------------------------------------------------

TEST(ProcessControl, WaitProcessGoneReturnsOnceTheProcessEnds) {
    ChildCopy copy;
    ASSERT_TRUE(copy.copied);
    Windowed child;
    ASSERT_TRUE(child.Start(copy.path, "--close-after 1500"));
    WaitProcessGone("\"" + copy.path + "\"", kEndMs);
    EXPECT_FALSE(IsProcessRunning(copy.path));
    EXPECT_TRUE(child.EndedWith(7));
}

TEST(ProcessControl, WaitWindowGoneWaitsForTheWindow) {
    ChildCopy copy;
    ASSERT_TRUE(copy.copied);
    Windowed child;
    ASSERT_TRUE(child.Start(copy.path, "--close-after 1500"));
    // WaitWindowGone has no limit of its own: a watchdog ends the child
    // (exit code 77) if its window stays too long.
    std::atomic<bool> done{false};
    std::thread watchdog([&] {
        const Deadline d(kEndMs);
        while (!done && !d.Passed()) Sleep(50);
        if (!done) TerminateProcess(child.process.Handle(), 77);
    });
    WaitWindowGone(child.className, child.title);
    done = true;
    watchdog.join();
    EXPECT_EQ(FindWindowA(child.className.c_str(), child.title.c_str()), nullptr);
    EXPECT_TRUE(child.EndedWith(7));
}

// ---- Captured output --------------------------------------------------------

TEST(RunCaptured, OutputsAndExitCode) {
    std::string out, err;
    uint32_t code = 0;
    const std::string child = QuoteArg(ChildProgram());
    EXPECT_FALSE(RunCaptured(child, "--out \"hello\" --err oops --exit 3", SW_HIDE, code, out, err, 0));
    EXPECT_EQ(code, 3u);
    EXPECT_EQ(out, "hello");
    EXPECT_EQ(err, "oops");

    EXPECT_TRUE(RunCaptured(ChildProgram(), "--out done --exit 0", SW_HIDE, code, out, err, 10));
    EXPECT_EQ(code, 0u);
    EXPECT_EQ(out, "done");
    EXPECT_EQ(err, "");

    // A piece of output ends at its first zero byte.
    EXPECT_TRUE(RunCaptured(ChildProgram(), "--out ab\\x00cd --exit 0", SW_HIDE, code, out, err, 0));
    EXPECT_EQ(out, "ab");
}

TEST(RunCaptured, ConvertsFromTheOemCodePage) {
    std::string out, err;
    uint32_t code = 0;
    ASSERT_TRUE(RunCaptured(ChildProgram(), "--out x\\x84\\x94\\x81 --exit 0", SW_HIDE, code, out, err, 0));
    if (GetOEMCP() == 437 && GetACP() == 1252) {
        EXPECT_EQ(out, "x\xE4\xF6\xFC");  // the umlauts of code page 437 in code page 1252
    } else {
        // Whatever the pages, the three bytes were converted, not copied.
        char expected[] = "x\x84\x94\x81";
        OemToCharBuffA(expected, expected, 4);
        EXPECT_EQ(out, expected) << "OEM " << GetOEMCP() << ", ANSI " << GetACP();
    }
}

TEST(RunCaptured, LongOutputArrivesWhole) {
    std::string out, err;
    uint32_t code = 0;
    std::string pieces;
    int calls = 0;
    const CaptureEvent event = [&](const std::string& text, bool&) {
        pieces += text;
        ++calls;
    };
    ASSERT_TRUE(RunCaptured(ChildProgram(), "--big 250000 --out end --exit 0", SW_HIDE, code, out, err, 0, event));
    ASSERT_EQ(out.size(), 250003u);
    EXPECT_EQ(out.substr(0, 3), "abc");
    EXPECT_EQ(out.substr(26 * 1000, 2), "ab");
    EXPECT_EQ(out.substr(250000), "end");
    EXPECT_EQ(pieces, out);
    EXPECT_GE(calls, 9);  // at most 30000 bytes per read
}

TEST(RunCaptured, TheEventCancels) {
    std::string out, err;
    uint32_t code = 0;
    int calls = 0;
    const CaptureEvent cancelAtOnce = [&](const std::string&, bool& cancel) {
        ++calls;
        cancel = true;
    };
    const ULONGLONG start = GetTickCount64();
    EXPECT_FALSE(RunCaptured(ChildProgram(), "--out tick --no-window --life 60000", SW_HIDE, code, out, err, 0,
                             cancelAtOnce));
    EXPECT_EQ(code, 255u);
    EXPECT_EQ(out, "tick");
    EXPECT_EQ(calls, 1);
    std::printf("cancelled after %llu ms\n", GetTickCount64() - start);
}

TEST(RunCaptured, MissingProgramGivesExitCode21) {
    std::string out = "stale", err;
    uint32_t code = 0;
    std::string told;
    const CaptureEvent event = [&](const std::string& text, bool&) { told += text; };
    const std::string missing = "C:\\no such folder\\missing.exe";
    EXPECT_FALSE(RunCaptured(missing, "/a", SW_HIDE, code, out, err, 0, event));
    EXPECT_EQ(code, 21u);
    EXPECT_EQ(out, "");
    const std::string line = "\"" + missing + "\" /a";
    EXPECT_EQ(err.rfind(line + " --- ", 0), 0u) << err;
    EXPECT_GT(err.size(), line.size() + 5);  // the system's reason follows
    EXPECT_EQ(told, err + "\r\n");

    EXPECT_FALSE(RunCaptured("x.exe", std::string(40000, 'a'), SW_HIDE, code, out, err, 0));
    EXPECT_EQ(code, 21u);
    EXPECT_EQ(err, "Command line is too long");
}

TEST(RunCaptured, AProgramInAFolderWithBlanks) {
    ChildCopy copy(UniqueName(".exe"), "with blanks");
    ASSERT_TRUE(copy.copied);
    std::string out, err;
    uint32_t code = 0;
    EXPECT_TRUE(RunCaptured(copy.path, "--out fine --exit 0", SW_HIDE, code, out, err, 0));
    EXPECT_EQ(out, "fine");
}

TEST(RunCaptured, TheSystemTaskListIsTheStandInAndPrintsCsv) {
    ASSERT_TRUE(TaskListStandInInstalled());
    std::string out, err;
    uint32_t code = 0;
    ASSERT_TRUE(RunCaptured(SystemFolder(true) + "tasklist.exe", "/FO csv", SW_HIDE, code, out, err, 1)) << err;
    EXPECT_EQ(out.rfind("\"Image Name\",\"PID\",\"Session Name\",\"Session#\",\"Mem Usage\"\r\n", 0), 0u) << out;
    const std::string self = "\"" + ProgramPath(false).substr(ProgramPath(false).find_last_of('\\') + 1) + "\",\"" +
                             std::to_string(GetCurrentProcessId()) + "\",";
    EXPECT_NE(out.find(self), std::string::npos) << out;
}

// ---- The suite under other Windows versions -------------------------------------

// Runs this suite in a copy of this program that Wine tells to be another
// Windows (its AppDefaults key is removed afterwards).
TEST(ProcessControlVersions, Windows7Windows10AndXP) {
    if (!Version().empty()) GTEST_SKIP() << "already in a copy";
    char self[MAX_PATH];
    ASSERT_GT(GetModuleFileNameA(nullptr, self, MAX_PATH), 0u);
    for (const char* version : {"win7", "win10", "winxp"}) {
        TempDir dir;
        ASSERT_TRUE(dir.Valid());
        const std::string exe = std::string("kv_process_") + version + ".exe";
        ASSERT_TRUE(CopyFileTo(self, dir.File(exe)));
        WineAppDefaults as(exe);
        ASSERT_TRUE(as.SetVersion(version));
        SetEnvironmentVariableA(kVersionVariable, version);
        uint32_t code = 99;
        const ULONGLONG start = GetTickCount64();
        const bool ran = RunProcess(QuoteArg(dir.File(exe)) + " --gtest_filter=ProcessControl.*",
                                    std::string(), 600000, code);
        SetEnvironmentVariableA(kVersionVariable, nullptr);
        EXPECT_TRUE(ran) << version;
        EXPECT_EQ(code, 0u) << version;
        std::printf("process-control suite as %s: %llu ms\n", version, GetTickCount64() - start);
    }
}

}  // namespace
