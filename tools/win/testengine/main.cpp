// testengine: a stand-in for the setup engine that a package carries. It
// speaks the stub's hand-over protocol (the "/TH_ID=" token, the global
// atom it deletes on success, the dialog class whose windows the stub
// waits for, the exit code) and does only what its switches ask, so that
// tests can script every side of an engine run. The switches reach it on
// the stub's command line or as the package's fixed arguments after the
// star; the first occurrence of a switch wins. kUsage below lists them.
#include <windows.h>

#include <string>
#include <vector>

#include "record.h"
#include "switches.h"
#include "util/win_handle.h"

namespace {

using namespace kv::testengine;

const char kUsage[] =
    "testengine: stand-in setup engine for tests (switches: /name=value)\n"
    "  /TH_ID=token         hand-over token (given by the stub); the atom is\n"
    "                       AutoUpdateAtomTokenByKavrix + token, the dialog\n"
    "                       class .SDialog_Class_Name. + token\n"
    "  /TE_RECORD=path      append a record of this run to the file\n"
    "  /TE_KEEPATOM         leave the hand-over atom (a failed setup)\n"
    "  /TE_DELAYATOMMS=n    wait n ms before the atom step\n"
    "  /TE_EXIT=n           exit code (default 0; -1 gives 4294967295)\n"
    "  /TE_RUNMS=n          keep running n ms after the atom step\n"
    "  /TE_SHOWWINDOW       show a window (class KvTestEngine, title\n"
    "                       \"Test engine\" + token) while running; closing\n"
    "                       it ends the run time early\n"
    "  /TE_DIALOGMS=n       leave a window of the dialog class for n ms\n"
    "                       after exiting, held by a helper process\n"
    "  /TE_DIALOG_HOLDER=t  (internal) be that helper for token t\n"
    "  /TE_HELP, --help     this text on standard output\n";

constexpr char kAtomPrefix[] = "AutoUpdateAtomTokenByKavrix";
constexpr char kDialogClassPrefix[] = ".SDialog_Class_Name.";
constexpr char kEngineWindowClass[] = "KvTestEngine";
constexpr char kDialogTitle[] = "Test engine dialog";
// How long the engine waits for its helper's window before giving up; a
// process start under emulation can take seconds.
constexpr DWORD kHolderReadyMs = 30000;
constexpr DWORD kHolderPollMs = 10;
constexpr UINT_PTR kHoldTimer = 1;

// A window destroyed with its owner.
class WindowOwner {
public:
    WindowOwner() = default;
    explicit WindowOwner(HWND w) : w_(w) {}
    WindowOwner(const WindowOwner&) = delete;
    WindowOwner& operator=(const WindowOwner&) = delete;
    ~WindowOwner() {
        if (w_ != nullptr && IsWindow(w_)) DestroyWindow(w_);
    }
    HWND get() const { return w_; }

private:
    HWND w_ = nullptr;
};

std::string ModulePath() {
    char buf[MAX_PATH + 1];
    const DWORD n = GetModuleFileNameA(nullptr, buf, sizeof buf);
    return n == 0 || n >= sizeof buf ? std::string() : std::string(buf, n);
}

std::string FolderOf(const std::string& path) {
    const size_t slash = path.find_last_of("\\/");
    return slash == std::string::npos ? std::string(".") : path.substr(0, slash);
}

std::string CurrentDir() {
    char buf[MAX_PATH + 1];
    const DWORD n = GetCurrentDirectoryA(sizeof buf, buf);
    return n == 0 || n >= sizeof buf ? std::string() : std::string(buf, n);
}

// The show state the starter asked for, or "none".
std::string StartShow() {
    STARTUPINFOA si{};
    si.cb = sizeof si;
    GetStartupInfoA(&si);
    return (si.dwFlags & STARTF_USESHOWWINDOW) ? std::to_string(si.wShowWindow) : std::string("none");
}

// Serves window messages for `ms`, or until *stop turns true.
void PumpFor(DWORD ms, const bool* stop = nullptr) {
    const ULONGLONG end = GetTickCount64() + ms;
    for (;;) {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        if (stop != nullptr && *stop) return;
        const ULONGLONG now = GetTickCount64();
        if (now >= end) return;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, DWORD(end - now), QS_ALLINPUT);
    }
}

void WriteStdOut(const std::string& text) {
    const HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
    DWORD written = 0;
    if (out != nullptr && out != INVALID_HANDLE_VALUE) WriteFile(out, text.data(), DWORD(text.size()), &written, nullptr);
}

// --- the dialog holder ---------------------------------------------------

LRESULT CALLBACK HolderProc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_TIMER:
        if (wp == kHoldTimer) DestroyWindow(w);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcA(w, msg, wp, lp);
    }
}

// Holds one window of the dialog class for `ms` (a WM_CLOSE ends it
// sooner), then exits. The engine has already exited meanwhile.
int RunDialogHolder(const std::string& token, DWORD ms) {
    const std::string cls = kDialogClassPrefix + token;
    WNDCLASSA wc{};
    wc.lpfnWndProc = HolderProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = cls.c_str();
    if (!RegisterClassA(&wc)) return 2;
    const HWND w = CreateWindowExA(0, cls.c_str(), kDialogTitle, WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU, 40, 40,
                                   320, 120, nullptr, nullptr, wc.hInstance, nullptr);
    if (w == nullptr) return 2;
    ShowWindow(w, SW_SHOWNOACTIVATE);
    if (!SetTimer(w, kHoldTimer, ms == 0 ? 1 : ms, nullptr)) {
        DestroyWindow(w);
        return 2;
    }
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return 0;
}

// The first top-level window of the class that belongs to the process.
HWND WindowOfProcess(const std::string& cls, DWORD pid) {
    HWND w = nullptr;
    while ((w = FindWindowExA(nullptr, w, cls.c_str(), nullptr)) != nullptr) {
        DWORD owner = 0;
        GetWindowThreadProcessId(w, &owner);
        if (owner == pid) return w;
    }
    return nullptr;
}

// Starts the helper and returns its process id once its window exists
// (the stub must find the window as soon as the engine has ended), or 0.
DWORD StartDialogHolder(const std::string& exePath, const std::string& token, DWORD ms) {
    std::string cmd = "\"" + exePath + "\" /TE_DIALOG_HOLDER=" + token + " /TE_DIALOGMS=" + std::to_string(ms);
    std::vector<char> buf(cmd.begin(), cmd.end());
    buf.push_back('\0');
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (!CreateProcessA(nullptr, buf.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) return 0;
    const kv::KernelHandle process(pi.hProcess);
    const kv::KernelHandle thread(pi.hThread);
    const std::string cls = kDialogClassPrefix + token;
    const ULONGLONG end = GetTickCount64() + kHolderReadyMs;
    while (GetTickCount64() < end) {
        if (WindowOfProcess(cls, pi.dwProcessId) != nullptr) return pi.dwProcessId;
        if (WaitForSingleObject(process.get(), kHolderPollMs) == WAIT_OBJECT_0) return 0;
    }
    return 0;
}

// --- the engine ------------------------------------------------------------

bool g_engineWindowGone = false;

LRESULT CALLBACK EngineProc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_DESTROY) {
        g_engineWindowGone = true;
        return 0;
    }
    return DefWindowProcA(w, msg, wp, lp);
}

HWND CreateEngineWindow(const std::string& token) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = EngineProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = kEngineWindowClass;
    if (!RegisterClassA(&wc)) return nullptr;
    const std::string title = "Test engine" + token;
    const HWND w = CreateWindowExA(0, kEngineWindowClass, title.c_str(), WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                                   CW_USEDEFAULT, 400, 200, nullptr, nullptr, wc.hInstance, nullptr);
    // SW_SHOWDEFAULT takes the show state the starter gave.
    if (w != nullptr) ShowWindow(w, SW_SHOWDEFAULT);
    return w;
}

bool AtomExists(const std::string& name) { return GlobalFindAtomA(name.c_str()) != 0; }

// The engine's side of the hand-over: one delete for the one add the stub
// made, as a real engine does at its successful end.
std::string AtomStep(const std::string& name, bool keep) {
    const ATOM atom = GlobalFindAtomA(name.c_str());
    if (atom == 0) return "missing";
    if (keep) return "kept";
    GlobalDeleteAtom(atom);
    return "deleted";
}

int RunEngine(const Switches& sw, const std::string& exePath, const std::string& commandLine) {
    const std::vector<FolderEntry> beside = ListFolder(FolderOf(exePath));
    const bool haveToken = sw.Has("TH_ID");
    const std::string token = sw.Value("TH_ID");
    const std::string atomName = kAtomPrefix + token;
    const std::string record = sw.Value("TE_RECORD");

    WindowOwner window(sw.Has("TE_SHOWWINDOW") ? CreateEngineWindow(token) : nullptr);

    std::string text = "[Run]\r\n";
    text += Line("Pid", std::to_string(GetCurrentProcessId()));
    text += Line("ExePath", exePath);
    text += Line("CommandLine", commandLine);
    text += Line("CurrentDir", CurrentDir());
    text += Line("StartShow", StartShow());
    text += Line("Token", token);
    text += Line("OriginExe", sw.Value("OriginExe"));
    text += Line("AutoUpdateProg", sw.Has("AutoUpdateProg") ? "1" : "0");
    for (const std::string& item : sw.Items()) text += Line("Arg", item);
    text += Line("AtomAtStart", !haveToken ? "notoken" : AtomExists(atomName) ? "found" : "missing");

    PumpFor(sw.Number("TE_DELAYATOMMS", 0));
    if (haveToken) {
        text += Line("Atom", AtomStep(atomName, sw.Has("TE_KEEPATOM")));
        text += Line("AtomAfter", AtomExists(atomName) ? "found" : "missing");
    } else {
        text += Line("Atom", "notoken");
        text += Line("AtomAfter", "notoken");
    }
    text += FolderLines(beside);
    if (!record.empty()) AppendToFile(record, text);

    PumpFor(sw.Number("TE_RUNMS", 0), window.get() != nullptr ? &g_engineWindowGone : nullptr);

    std::string holder = "none";
    if (sw.Has("TE_DIALOGMS")) {
        const DWORD pid = StartDialogHolder(exePath, token, sw.Number("TE_DIALOGMS", 0));
        holder = pid != 0 ? std::to_string(pid) : std::string("failed");
    }
    const uint32_t exitCode = sw.Number("TE_EXIT", 0);
    if (!record.empty()) {
        AppendToFile(record, Line("DialogHolder", holder) + Line("ExitCode", std::to_string(exitCode)) + "[End]\r\n");
    }
    return int(exitCode);
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    const std::string commandLine = GetCommandLineA();
    const std::string exePath = ModulePath();
    const std::string arguments = ArgumentsOf(commandLine, exePath);
    const Switches sw(arguments);
    if (sw.Has("TE_HELP") || arguments == "--help" || arguments == "/?") {
        WriteStdOut(kUsage);
        return 0;
    }
    if (sw.Has("TE_DIALOG_HOLDER")) return RunDialogHolder(sw.Value("TE_DIALOG_HOLDER"), sw.Number("TE_DIALOGMS", 0));
    return RunEngine(sw, exePath, commandLine);
}
