#pragma once
// What the setup end-to-end tests share: packages around the real stub
// with the test engine as their engine, the engine's record, the stub's
// temp folder, and answering the stub's message boxes like a user.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "harness/engine_record.h"
#include "harness/harness.h"
#include "kvpack/kvpack.h"
#include "util/sysinfo.h"

namespace kv::test::setup {

constexpr unsigned kRunMs = 90000;     // a whole setup under emulation
constexpr unsigned kBoxMs = 60000;     // the stub reaches a question within this
constexpr unsigned kGoneMs = 60000;    // the self-delete batch has done its work
constexpr const char* kBoxClass = "KMsgBox";

// A file's last write time as the packed local DOS date and time the
// builder stores and the engine records; 0 when it cannot be read.
inline uint32_t DosStampOf(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    FILETIME local{};
    WORD date = 0, time = 0;
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data) ||
        !FileTimeToLocalFileTime(&data.ftLastWriteTime, &local) || !FileTimeToDosDateTime(&local, &date, &time))
        return 0;
    return uint32_t(date) << 16 | time;
}

// The stub's main temporary folder: named after the time half of its
// file's DOS stamp.
inline std::string SetupFolderOf(const std::string& stubPath) {
    return kv::TempFolder(true) + "SETUP_" + std::to_string(DosStampOf(stubPath) & 0xFFFFu);
}

inline bool FolderExists(const std::string& path) {
    const DWORD attr = GetFileAttributesA(path.c_str());
    return attr != INVALID_FILE_ATTRIBUTES && (attr & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

inline std::string Quoted(const std::string& s) { return "\"" + s + "\""; }

// The text of a box (its Rich Edit control).
inline std::string BoxText(HWND box) { return ControlText(FindChildOfClass(box, "RICHEDIT")); }

// The box of the process once its buttons are there; null at the deadline.
inline HWND WaitForBox(DWORD pid, unsigned deadlineMs) {
    const HWND box = WaitForTopLevelWindow(kBoxClass, deadlineMs, pid);
    if (box == nullptr) return nullptr;
    return WaitUntil(deadlineMs, [&] { return !ListButtons(box).empty(); }) ? box : nullptr;
}

// Clicks the button whose caption is `caption` ("&OK", "&No" ...).
inline bool Answer(HWND box, const std::string& caption) {
    for (const ButtonInfo& b : ListButtons(box))
        if (b.caption == caption) return ClickButton(b.window) && WaitForWindowGone(box, kBoxMs);
    ADD_FAILURE() << "no button " << caption << " in the box";
    return false;
}

// Every box a process left open is closed, so that it can end.
inline void CloseBoxes(DWORD pid) {
    if (pid != 0) CloseTopLevelWindows(kBoxClass, pid, kBoxMs);
}

// A folder of the test with a sample product and the package built from
// it: the real stub, the test engine as "Engine.exe*" + `engineArgs`.
class SetupPackage {
public:
    SetupPackage() {
        EXPECT_TRUE(dir_.Valid());
        EXPECT_TRUE(WriteWholeFile(dir_.File("readme.txt"), "sample product file\r\n"));
        EXPECT_TRUE(WriteWholeFile(dir_.File("data.bin"), Noise(20000, 7)));
        spec.stubPath = StubPath();
        spec.outputPath = dir_.File("setup.exe");
        spec.enginePath = ToolPath("testengine");
        spec.engineName = "Engine.exe";
        spec.inputs.push_back({dir_.File("readme.txt"), ""});
        spec.inputs.push_back({dir_.File("data.bin"), ""});
    }

    // Bytes that do not compress.
    static std::string Noise(size_t size, uint32_t seed) {
        std::string s(size, '\0');
        for (char& c : s) {
            seed = seed * 1103515245u + 12345u;
            c = char(seed >> 16);
        }
        return s;
    }

    bool Build() {
        std::string error;
        written.clear();
        const bool ok = pack::BuildPackage(spec, error, &written);
        EXPECT_TRUE(ok) << error;
        return ok;
    }

    const TempDir& Dir() const { return dir_; }
    std::string Record() const { return dir_.File("record.txt"); }
    // The switch that makes the engine record its run beside the package.
    std::string RecordSwitch() const { return "/TE_RECORD=" + Record(); }

    pack::PackageSpec spec;
    std::vector<std::string> written;

private:
    TempDir dir_;
};

// A started stub; its boxes are closed and it is ended if a test leaves
// it running.
class StubRun {
public:
    ~StubRun() {
        CloseBoxes(process_.Pid());
        process_.Wait(kBoxMs);
    }
    bool Start(const std::string& exe, const std::string& args, const std::string& dir) {
        return process_.Start(QuoteArg(exe) + (args.empty() ? "" : " " + args), dir);
    }
    // The exit code once it has ended by the deadline; 0xDEADBEEF otherwise.
    uint32_t ExitCode(unsigned deadlineMs = kRunMs) {
        uint32_t code = 0xDEADBEEF;
        if (!process_.Wait(deadlineMs) || !process_.ExitCode(code)) return 0xDEADBEEF;
        return code;
    }
    ChildProcess& Process() { return process_; }
    DWORD Pid() const { return process_.Pid(); }

private:
    ChildProcess process_;
};

// An environment variable changed for the processes the test starts.
class EnvOverride {
public:
    EnvOverride(const std::string& name, const std::string& value) : name_(name) {
        char buf[32768];
        const DWORD n = GetEnvironmentVariableA(name.c_str(), buf, sizeof buf);
        had_ = n > 0 && n < sizeof buf;
        if (had_) old_.assign(buf, n);
        SetEnvironmentVariableA(name.c_str(), value.c_str());
    }
    ~EnvOverride() { SetEnvironmentVariableA(name_.c_str(), had_ ? old_.c_str() : nullptr); }
    EnvOverride(const EnvOverride&) = delete;
    EnvOverride& operator=(const EnvOverride&) = delete;

private:
    std::string name_, old_;
    bool had_ = false;
};

}  // namespace kv::test::setup
