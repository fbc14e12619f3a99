// System information under Wine: the version record and its correction,
// the probes, registry, names, version resources, folders, error texts,
// windows and the screen.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "harness/harness.h"
#include "sysprobe_util.h"
#include "util/exe_version.h"
#include "util/kdebug.h"
#include "util/reg_key.h"
#include "util/sysinfo.h"
#include "util/system_library.h"
#include "util/window_helpers.h"

namespace {

using namespace kv::test;

std::string FirstFields(const std::string& version, int count) {
    std::string out;
    size_t start = 0;
    for (int i = 0; i < count; ++i) {
        const size_t dot = version.find('.', start);
        out += (i ? "." : "") + version.substr(start, dot == std::string::npos ? std::string::npos : dot - start);
        if (dot == std::string::npos) break;
        start = dot + 1;
    }
    return out;
}

// Each row runs the probe, which carries the stub's manifest, as a fresh
// process told by Wine to be that Windows. Wine honours the manifest: to
// a program declaring support up to 8.1, Windows 10 reports itself as 6.3.
TEST(OsVersionUnderWine, DescribeOSPerReportedVersion) {
    struct Case {
        const char* wine;
        const char* reported;
        const char* version;  // nullptr: the system library's product version
        const char* name;
        uint32_t kind;
        bool xp, win8, server;
    } cases[] = {
        {"win81", "6.3", nullptr, "10.64", 0x400000, false, true, false},
        {"win10", "6.3", nullptr, "10.64", 0x400000, false, true, false},
        {"win8", "6.2", "6.2", "8.64", 0x10000, false, true, false},
        {"vista", "6.0", "6.0", "Vista.64", 512, false, false, false},
        {"winxp", "5.1", "5.1", "XP", 32, true, false, false},
        {"win2008", "6.0", "6.0", "2008.64", 8192, false, false, true},
        {"win2003", "5.2", "5.2", "XP.64", 256, false, false, true},
    };
    TempDir dir;
    ASSERT_TRUE(dir.Valid());
    for (const Case& c : cases) {
        const std::string exe = std::string("kv_probe_") + c.wine + ".exe";
        ASSERT_TRUE(CopyFileTo(SysProbePath(), dir.File(exe)));
        WineAppDefaults as(exe);
        ASSERT_TRUE(as.SetVersion(c.wine));
        auto r = RunProbe(dir.File(exe), dir.File(std::string(c.wine) + ".txt"));
        ASSERT_FALSE(r.empty()) << c.wine;
        EXPECT_EQ(r["reported"], c.reported) << c.wine;
        const std::string product = r["kernel32Product"];
        ASSERT_FALSE(product.empty()) << c.wine;
        const std::string version = c.version ? c.version : FirstFields(product, 2);
        if (!c.version) {
            // The under-reported record is replaced from the product version.
            EXPECT_EQ(r["record"], FirstFields(product, 3)) << c.wine;
            EXPECT_EQ(version, "10.0") << c.wine;
        }
        EXPECT_EQ(r["version"], version) << c.wine;
        EXPECT_EQ(r["name"], c.name) << c.wine;
        EXPECT_EQ(r["kind"], std::to_string(c.kind)) << c.wine;
        EXPECT_EQ(r["osKind"], r["kind"]) << c.wine;
        EXPECT_EQ(r["recordSize"], "148") << c.wine;
        EXPECT_EQ(r["isNT"], "1") << c.wine;
        EXPECT_EQ(r["isXP"], c.xp ? "1" : "0") << c.wine;
        EXPECT_EQ(r["isWin8OrLater"], c.win8 ? "1" : "0") << c.wine;
        EXPECT_EQ(r["isServer"], c.server ? "1" : "0") << c.wine;
        EXPECT_EQ(r["is64"], "1") << c.wine;  // a 32-bit process in a 64-bit prefix
    }
}

TEST(OsVersionUnderWine, Windows7NameFollowsTheServerProbe) {
    // Wine's Windows 7 reports a server product type in some set-ups; the
    // name must follow whatever the probe says.
    TempDir dir;
    ASSERT_TRUE(dir.Valid());
    ASSERT_TRUE(CopyFileTo(SysProbePath(), dir.File("kv_probe_win7.exe")));
    WineAppDefaults as("kv_probe_win7.exe");
    ASSERT_TRUE(as.SetVersion("win7"));
    auto r = RunProbe(dir.File("kv_probe_win7.exe"), dir.File("r.txt"));
    ASSERT_FALSE(r.empty());
    EXPECT_EQ(r["version"], "6.1");
    EXPECT_EQ(r["servicePack"], "Service Pack 1");
    EXPECT_EQ(r["build"], "7601");
    const bool server = r["isServer"] == "1";
    EXPECT_EQ(r["name"], server ? "2008R2.64" : "7.64");
    EXPECT_EQ(r["kind"], server ? std::to_string(0x4000) : "2048");
}

TEST(SystemProbes, InThisProcess) {
    EXPECT_TRUE(kv::IsNT());
    EXPECT_TRUE(kv::Is64BitWindows());
    EXPECT_EQ(kv::GetOSVersionInfo().dwOSVersionInfoSize, 148u);
    const kv::OsDescription d = kv::DescribeOS();
    EXPECT_EQ(kv::GetOSKind(), d.kind);
    EXPECT_NE(d.kind, 0u);
    EXPECT_FALSE(d.name.empty());
}

// ---- Registry -----------------------------------------------------------

class RegistryValues : public ::testing::Test {
protected:
    void SetUp() override {
        sub_ = "Software\\KavrixTest" + std::to_string(GetCurrentProcessId());
        ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, sub_.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key_,
                                  nullptr),
                  ERROR_SUCCESS);
    }
    void TearDown() override {
        if (key_) RegCloseKey(key_);
        RegDeleteKeyA(HKEY_CURRENT_USER, sub_.c_str());
    }
    void Set(const char* name, DWORD type, const std::string& bytes) {
        ASSERT_EQ(RegSetValueExA(key_, name, 0, type, reinterpret_cast<const BYTE*>(bytes.data()), DWORD(bytes.size())),
                  ERROR_SUCCESS);
    }

    std::string sub_;
    HKEY key_ = nullptr;
};

TEST_F(RegistryValues, EachTypeAsText) {
    using namespace std::string_literals;
    Set("sz", REG_SZ, "hello\0"s);
    Set("expand", REG_EXPAND_SZ, "%TEMP%\\x\0"s);
    Set("dword", REG_DWORD, "\x2a\x01\x00\x00"s);
    Set("multi", REG_MULTI_SZ, "a\0b\0\0"s);
    Set("binary", REG_BINARY, "AB\0CD"s);
    struct Case { const char* path; const char* value; std::string want; } cases[] = {
        {"", "sz", "hello"},
        {"", "expand", "%TEMP%\\x"},
        {"", "dword", "298"},
        {"", "multi", "a<0>b"},
        {"", "binary", "AB"},
        {"", "missing", "DEF"},
    };
    for (const Case& c : cases) {
        // The same key by its HKCU path and by the bare sub-key path.
        EXPECT_EQ(kv::ReadRegistryValue("HKCU\\" + sub_, c.value, "DEF", false), c.want) << c.value;
        EXPECT_EQ(kv::ReadRegistryValue(sub_, c.value, "DEF", false), c.want) << c.value;
        EXPECT_EQ(kv::ReadRegistryValue(" hkey_current_user\\" + sub_ + " ", c.value, "DEF", false), c.want)
            << c.value;
    }
    EXPECT_EQ(kv::ReadRegistryValue("HKLM\\" + sub_, "sz", "DEF", false), "DEF");  // another root
    EXPECT_EQ(kv::ReadRegistryValue(sub_ + "\\NoSuchKey", "sz", "DEF", false), "DEF");
}

TEST_F(RegistryValues, RootAloneOpensTheRootItself) {
    const std::string name = "KavrixRootValue" + std::to_string(GetCurrentProcessId());
    ASSERT_EQ(RegSetValueExA(HKEY_CURRENT_USER, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>("root"), 5),
              ERROR_SUCCESS);
    EXPECT_EQ(kv::ReadRegistryValue("HKCU", name, "DEF", false), "root");
    EXPECT_EQ(kv::ReadRegistryValue("HKEY_CURRENT_USER", name, "DEF", false), "root");
    RegDeleteValueA(HKEY_CURRENT_USER, name.c_str());
    // A root opened this way is not closed: it still works afterwards.
    EXPECT_EQ(kv::ReadRegistryValue("HKCU\\" + sub_, "nothing", "DEF", false), "DEF");
    HKEY probe = nullptr;
    EXPECT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, sub_.c_str(), 0, KEY_READ, &probe), ERROR_SUCCESS);
    if (probe) RegCloseKey(probe);
}

// A 32-bit process reads the 32-bit view of HKLM\Software unless it asks
// for the 64-bit one.
TEST(RegistryViews, SixtyFourBitViewFlag) {
    const std::string sub = "Software\\KavrixViewTest" + std::to_string(GetCurrentProcessId());
    auto write = [&](REGSAM view, const char* text) {
        HKEY k = nullptr;
        ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, sub.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS | view, nullptr, &k,
                                  nullptr),
                  ERROR_SUCCESS);
        RegSetValueExA(k, "v", 0, REG_SZ, reinterpret_cast<const BYTE*>(text), DWORD(strlen(text) + 1));
        RegCloseKey(k);
    };
    write(KEY_WOW64_64KEY, "sixty-four");
    write(KEY_WOW64_32KEY, "thirty-two");
    EXPECT_EQ(kv::ReadRegistryValue("HKLM\\" + sub, "v", "DEF", true), "sixty-four");
    EXPECT_EQ(kv::ReadRegistryValue("HKLM\\" + sub, "v", "DEF", false), "thirty-two");
    using DeleteEx = LONG(WINAPI*)(HKEY, LPCSTR, REGSAM, DWORD);
    auto del = reinterpret_cast<DeleteEx>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("advapi32.dll"), "RegDeleteKeyExA")));
    ASSERT_NE(del, nullptr);
    del(HKEY_LOCAL_MACHINE, sub.c_str(), KEY_WOW64_64KEY, 0);
    del(HKEY_LOCAL_MACHINE, sub.c_str(), KEY_WOW64_32KEY, 0);
}

// Sets a value of the Windows NT version key in the 64-bit view for the
// test and puts the old state back afterwards.
class VersionKeyValue {
public:
    VersionKeyValue(const char* name) : name_(name) {
        RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion", 0,
                      KEY_QUERY_VALUE | KEY_SET_VALUE | KEY_WOW64_64KEY, &key_);
        std::vector<char> buf(4096);
        DWORD size = DWORD(buf.size()), type = 0;
        had_ = key_ && RegQueryValueExA(key_, name, nullptr, &type, reinterpret_cast<BYTE*>(buf.data()), &size) ==
                           ERROR_SUCCESS;
        if (had_) old_.assign(buf.data(), size);
    }
    ~VersionKeyValue() {
        if (!key_) return;
        if (had_)
            RegSetValueExA(key_, name_, 0, REG_SZ, reinterpret_cast<const BYTE*>(old_.data()), DWORD(old_.size()));
        else
            RegDeleteValueA(key_, name_);
        RegCloseKey(key_);
    }
    bool Ok() const { return key_ != nullptr; }
    void Set(const std::string& text) {
        RegSetValueExA(key_, name_, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()), DWORD(text.size() + 1));
    }
    void Remove() { RegDeleteValueA(key_, name_); }

private:
    const char* name_;
    HKEY key_ = nullptr;
    bool had_ = false;
    std::string old_;
};

TEST(RegisteredNames, OwnerAndOrganizationTrimmed) {
    VersionKeyValue owner("RegisteredOwner");
    VersionKeyValue org("RegisteredOrganization");
    ASSERT_TRUE(owner.Ok() && org.Ok());
    owner.Set("  Ada Tester \t");
    org.Set(" Test Works ");
    EXPECT_EQ(kv::RegisteredOwner(), "Ada Tester");
    EXPECT_EQ(kv::RegisteredOrganization(), "Test Works");
    owner.Remove();
    org.Remove();
    EXPECT_EQ(kv::RegisteredOwner(), kv::UserName());
    EXPECT_EQ(kv::RegisteredOrganization(), "");
}

TEST(AccountNames, UserComputerAndDomain) {
    char env[256];
    const DWORD n = GetEnvironmentVariableA("USERNAME", env, sizeof env);
    ASSERT_GT(n, 0u);
    EXPECT_TRUE(lstrcmpiA(kv::UserName().c_str(), env) == 0) << kv::UserName() << " vs " << env;
    const DWORD m = GetEnvironmentVariableA("COMPUTERNAME", env, sizeof env);
    ASSERT_GT(m, 0u);
    EXPECT_TRUE(lstrcmpiA(kv::ComputerName().c_str(), env) == 0) << kv::ComputerName() << " vs " << env;
    EXPECT_FALSE(kv::UserDomain().empty());
}

// ---- Version resources ----------------------------------------------------

TEST(VersionResources, StubFileAndProductVersion) {
    EXPECT_EQ(kv::GetExeVersion(StubPath()), "1.0.0.1");
    EXPECT_EQ(kv::GetExeVersion(StubPath(), 3, 4), "001.000.000.001");
    EXPECT_EQ(kv::GetExeVersion(StubPath(), 1, 2), "1.0");
    EXPECT_EQ(kv::GetProductVersion(StubPath()), "1.0.0.1");
    EXPECT_EQ(kv::GetProductVersion(StubPath(), 2, 3), "01.00.00");
}

TEST(VersionResources, TraceLines) {
    ASSERT_EQ(FindWindowA(".KDebug.", nullptr), nullptr);
    kv::TraceStartup();
    TraceReceiver viewer;
    ASSERT_TRUE(viewer.Ready());

    // This test program has no version resource.
    EXPECT_EQ(kv::GetExeVersion(std::string()), "");
    std::vector<std::string> lines = viewer.Lines();
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].rfind(" --- Utils.GetExeVersion() --- ", 0), 0u) << lines[0];

    viewer.Clear();
    EXPECT_EQ(kv::GetProductVersion(StubPath()), "1.0.0.1");
    EXPECT_EQ(viewer.Lines(), std::vector<std::string>{"[QueryValue]  [" + StubPath() + "]  [ProductVersion]  [1.0.0.1]"});

    viewer.Clear();
    const std::string none = BuildDir() + "\\no-such-file.exe";
    EXPECT_EQ(kv::GetProductVersion(none), "");
    EXPECT_EQ(viewer.Lines(), std::vector<std::string>{"[QueryValue]  [" + none + "]  [ProductVersion]  []"});
}

// ---- Folders --------------------------------------------------------------

TEST(Folders, TrailingBackslashRule) {
    char module[MAX_PATH];
    const DWORD n = GetModuleFileNameA(nullptr, module, MAX_PATH);
    const std::string path(module, n);
    const std::string folder = path.substr(0, path.rfind('\\'));
    EXPECT_EQ(kv::ProgramPath(false), path);
    EXPECT_EQ(kv::ProgramPath(true), "kv_win_tests");
    EXPECT_EQ(kv::ProgramFolder(false), folder);
    EXPECT_EQ(kv::ProgramFolder(true), folder + "\\");
    struct Case { std::string (*fn)(bool); } fns[] = {{kv::WindowsFolder}, {kv::SystemFolder}, {kv::TempFolder}};
    for (const Case& c : fns) {
        const std::string without = c.fn(false), with = c.fn(true);
        ASSERT_GT(without.size(), 3u);
        EXPECT_NE(without.back(), '\\') << without;
        EXPECT_EQ(with, without + "\\");
        EXPECT_NE(GetFileAttributesA(without.c_str()), INVALID_FILE_ATTRIBUTES) << without;
    }
    EXPECT_TRUE(lstrcmpiA(kv::WindowsFolder(false).c_str(), "C:\\windows") == 0) << kv::WindowsFolder(false);
    EXPECT_TRUE(lstrcmpiA(kv::SystemFolder(true).c_str(), "C:\\windows\\system32\\") == 0) << kv::SystemFolder(true);
}

TEST(Folders, DriveRootKeepsItsBackslash) {
    const std::string exe = "C:\\kv_probe_root_" + std::to_string(GetCurrentProcessId()) + ".exe";
    ASSERT_TRUE(CopyFileTo(SysProbePath(), exe));
    TempDir dir;
    auto r = RunProbe(exe, dir.File("r.txt"));
    DeleteFileA(exe.c_str());
    ASSERT_FALSE(r.empty());
    EXPECT_EQ(r["programFolder"], "C:\\");
    EXPECT_EQ(r["programFolderSlash"], "C:\\");
}

// ---- Errors and time ------------------------------------------------------

TEST(LastErrorText, SystemTextFixedTextAndLastErrorKept) {
    SetLastError(ERROR_FILE_NOT_FOUND);
    const std::string text = kv::LastErrorText();
    EXPECT_EQ(GetLastError(), DWORD(ERROR_FILE_NOT_FOUND));
    char expected[512];
    DWORD n = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, ERROR_FILE_NOT_FOUND,
                             0, expected, sizeof expected, nullptr);
    while (n > 0 && (expected[n - 1] == '\r' || expected[n - 1] == '\n' || expected[n - 1] == ' ')) --n;
    ASSERT_GT(n, 0u);
    EXPECT_EQ(text, std::string(expected, n));
    EXPECT_EQ(text.find_first_of("\r\n"), std::string::npos);

    for (DWORD code : {DWORD(0x80070002), DWORD(0x80000000), DWORD(0xFFFFFFFF)}) {
        SetLastError(code);
        EXPECT_EQ(kv::LastErrorText(), "Error Reading \"SysUtils.SysErrorMessage(GetLastError)\"") << code;
        EXPECT_EQ(GetLastError(), code);
    }
}

TEST(MillisecondsNow, AdvancesWithTime) {
    const int64_t before = kv::MillisecondsNow();
    Sleep(30);
    const int64_t after = kv::MillisecondsNow();
    EXPECT_GT(after, before);
}

// ---- Windows and the screen -----------------------------------------------

class TestWindows : public ::testing::Test {
protected:
    void SetUp() override {
        WNDCLASSA wc{};
        wc.lpfnWndProc = DefWindowProcA;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = kClass;
        RegisterClassA(&wc);
    }
    void TearDown() override {
        for (auto it = windows_.rbegin(); it != windows_.rend(); ++it) DestroyWindow(*it);
        UnregisterClassA(kClass, GetModuleHandleA(nullptr));
    }
    HWND Make(const char* title, HWND owner) {
        const HWND w = CreateWindowExA(0, kClass, title, WS_POPUP, 0, 0, 10, 10, owner, nullptr,
                                       GetModuleHandleA(nullptr), nullptr);
        windows_.push_back(w);
        return w;
    }

    static constexpr const char* kClass = "KvSysinfoTestWindow";
    std::vector<HWND> windows_;
};

TEST_F(TestWindows, ClassTitleAndOwnerChain) {
    const HWND a = Make("first", nullptr);
    const HWND b = Make("", a);
    const HWND c = Make(std::string(300, 't').c_str(), b);
    ASSERT_TRUE(a && b && c);
    EXPECT_EQ(kv::WindowClassName(c), kClass);
    EXPECT_EQ(kv::WindowTitle(a), "first");
    EXPECT_EQ(kv::WindowTitle(b), "");
    EXPECT_EQ(kv::WindowTitle(c), std::string(300, 't'));
    EXPECT_EQ(kv::WindowClassName(nullptr), "");
    EXPECT_EQ(kv::WindowTitle(nullptr), "");
    EXPECT_EQ(kv::TopOwnerWindow(c), a);
    EXPECT_EQ(kv::TopOwnerWindow(b), a);
    EXPECT_EQ(kv::TopOwnerWindow(a), a);
}

TEST(Screen, CenterInWorkAreaRoundsTowardsZero) {
    RECT area{};
    ASSERT_TRUE(SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0));
    const int w = area.right - area.left, h = area.bottom - area.top;
    struct Case { int width, height; } cases[] = {{200, 100}, {201, 101}, {w, h}, {w + 1, h + 3}, {w + 40, h + 41}};
    for (const Case& c : cases) {
        const kv::WindowOrigin o = kv::CenterInWorkArea(c.width, c.height);
        // Plain C++ division truncates towards zero, as required: a window
        // one pixel too wide starts at the left edge, not one pixel before.
        EXPECT_EQ(o.left, area.left + (w - c.width) / 2) << c.width;
        EXPECT_EQ(o.top, area.top + (h - c.height) / 2) << c.height;
    }
    EXPECT_EQ(kv::CenterInWorkArea(w + 1, h + 1).left, area.left);
    EXPECT_EQ(kv::CenterInWorkArea(w + 3, h).left, area.left - 1);
}

TEST(Screen, PointsToPixels) {
    const HDC dc = GetDC(nullptr);
    const int ppi = GetDeviceCaps(dc, LOGPIXELSY);
    ReleaseDC(nullptr, dc);
    ASSERT_GT(ppi, 0);
    for (int points : {0, 1, 9, 10, 12, -8, 72, 1000}) EXPECT_EQ(kv::PointsToPixels(points), MulDiv(points, ppi, 72));
    if (ppi == 96) {
        EXPECT_EQ(kv::PointsToPixels(12), 16);
        EXPECT_EQ(kv::PointsToPixels(10), 13);
    }
}

TEST(Shell, ShellOpenStartsAProgram) {
    TempDir dir;
    ASSERT_TRUE(dir.Valid());
    const std::string report = dir.File("opened.txt");
    EXPECT_TRUE(kv::ShellOpen(SysProbePath(), QuoteArg(report), SW_HIDE));
    EXPECT_TRUE(WaitForFile(report, kProbeRunMs));
    EXPECT_FALSE(kv::ShellOpen(dir.File("no-such-file.exe"), "", SW_HIDE));
}

// ---- Libraries ------------------------------------------------------------

TEST(Libraries, LoadProcedureAndStartupLoads) {
    EXPECT_EQ(reinterpret_cast<void*>(kv::LoadProcedure("kernel32.dll", "GetVersion")),
              reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "GetVersion")));
    EXPECT_NE(kv::LoadProcedure("shfolder.dll", "SHGetFolderPathA"), nullptr);
    EXPECT_NE(GetModuleHandleA("shfolder.dll"), nullptr);  // stays loaded
    EXPECT_EQ(kv::LoadProcedure("kernel32.dll", "NoSuchFunctionAnywhere"), nullptr);
    EXPECT_EQ(kv::LoadProcedure("kv-no-such-library.dll", "Anything"), nullptr);

    kv::LoadStartupLibraries();
    for (const char* name : {"shell32.dll", "usp10.dll", "riched32.dll"}) {
        const HMODULE m = GetModuleHandleA(name);
        ASSERT_NE(m, nullptr) << name;
        char file[MAX_PATH];
        const DWORD n = GetModuleFileNameA(m, file, MAX_PATH);
        EXPECT_TRUE(lstrcmpiA(std::string(file, n).c_str(), kv::SystemLibraryPath(name).c_str()) == 0) << file;
    }
}

}  // namespace
