// kvtrace: the trace viewer. Owns the ".KDebug." window the stub looks for,
// takes each ".K_DebugMsg." message (wParam 1, lParam a global atom whose
// name is the text) and appends the text to a file or to standard output.
#include <windows.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

#include "util/kdebug.h"
#include "util/kdebug_protocol.h"
#include "util/win_handle.h"

namespace {

constexpr UINT_PTR kQuitTimer = 1;

const char kUsage[] =
    "usage: kvtrace [--out FILE] [--seconds N] [--ready FILE]\n"
    "Shows the trace lines of running stubs.\n"
    "  --out FILE     append the text to FILE instead of standard output\n"
    "  --seconds N    quit after N seconds (default: run until closed)\n"
    "  --ready FILE   create FILE once the viewer window exists\n"
    "  --help         this text\n";

struct Options {
    std::string out;
    std::string ready;
    unsigned seconds = 0;
};

enum class Parse { Run, Help, Error };

Parse ParseOptions(int argc, char** argv, Options& o) {
    for (int i = 1; i < argc; ++i) {
        const std::string_view a = argv[i];
        const bool hasValue = i + 1 < argc;
        if (a == "--help" || a == "-h" || a == "/?") return Parse::Help;
        if (a == "--out" && hasValue) {
            o.out = argv[++i];
        } else if (a == "--ready" && hasValue) {
            o.ready = argv[++i];
        } else if (a == "--seconds" && hasValue) {
            char* end = nullptr;
            const unsigned long n = std::strtoul(argv[++i], &end, 10);
            if (*end != '\0' || n == 0 || n > 86400u * 365u) return Parse::Error;
            o.seconds = unsigned(n);
        } else {
            return Parse::Error;
        }
    }
    return Parse::Run;
}

// Window that receives the trace messages and writes their text.
class Viewer {
public:
    Viewer() = default;
    Viewer(const Viewer&) = delete;
    Viewer& operator=(const Viewer&) = delete;
    ~Viewer() {
        if (window_ != nullptr) DestroyWindow(window_);
    }

    bool OpenOutput(const std::string& path) {
        if (path.empty()) {
            out_ = GetStdHandle(STD_OUTPUT_HANDLE);
            return true;
        }
        file_.reset(CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file_) return false;
        SetFilePointer(file_.get(), 0, nullptr, FILE_END);
        out_ = file_.get();
        return true;
    }

    bool CreateViewerWindow(HINSTANCE instance) {
        message_ = RegisterWindowMessageA(kv::TraceMessageName);
        WNDCLASSA wc{};
        wc.lpfnWndProc = &Viewer::WindowProc;
        wc.hInstance = instance;
        wc.lpszClassName = kv::TraceViewerClass;
        if (RegisterClassA(&wc) == 0 || message_ == 0) return false;
        // Never shown: the stub finds it by class, hidden or not.
        window_ = CreateWindowExA(0, kv::TraceViewerClass, "kvtrace", WS_OVERLAPPED, 0, 0, 0, 0, nullptr,
                                  nullptr, instance, this);
        return window_ != nullptr;
    }

    HWND Window() const { return window_; }

private:
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
        if (msg == WM_NCCREATE) {
            auto* cs = reinterpret_cast<CREATESTRUCTA*>(lp);
            SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(cs->lpCreateParams));
        }
        auto* self = reinterpret_cast<Viewer*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
        if (self != nullptr) {
            if (msg == self->message_ && self->message_ != 0) return self->OnTrace(wp, lp);
            if (msg == WM_TIMER && wp == kQuitTimer) return self->OnQuitTimer(hwnd);
            if (msg == WM_DESTROY) return self->OnDestroy();
        }
        return DefWindowProcA(hwnd, msg, wp, lp);
    }

    // The atom lives only while the sender waits for this message, so the
    // text is read and written before returning.
    LRESULT OnTrace(WPARAM wp, LPARAM lp) {
        if (wp != kv::TraceWParam) return 0;
        char name[kv::TraceMaxAtomText + 1];
        const UINT n = GlobalGetAtomNameA(ATOM(lp), name, sizeof name);
        if (n == 0) return 0;
        Write(kv::TraceAtomTextToChunk(std::string_view(name, n)));
        return 1;
    }

    LRESULT OnQuitTimer(HWND hwnd) {
        KillTimer(hwnd, kQuitTimer);
        DestroyWindow(hwnd);
        return 0;
    }

    LRESULT OnDestroy() {
        window_ = nullptr;
        PostQuitMessage(0);
        return 0;
    }

    // WriteFile keeps nothing in the process, so each text is out as soon
    // as this returns; a reader of the file or the pipe sees it at once.
    void Write(std::string_view text) {
        if (out_ == nullptr || out_ == INVALID_HANDLE_VALUE || text.empty()) return;
        DWORD written = 0;
        WriteFile(out_, text.data(), DWORD(text.size()), &written, nullptr);
    }

    HWND window_ = nullptr;
    UINT message_ = 0;
    kv::FileHandle file_;
    HANDLE out_ = nullptr;
};

std::atomic<HWND> g_window{nullptr};

// Ctrl+C and console close end the viewer through its window, so that the
// message loop ends normally.
BOOL WINAPI OnConsoleEvent(DWORD) {
    const HWND w = g_window.load();
    if (w != nullptr) PostMessageA(w, WM_CLOSE, 0, 0);
    return TRUE;
}

bool WriteReadyFile(const std::string& path, HWND window) {
    kv::FileHandle f(CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                                 FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!f) return false;
    char text[64];
    const int n = std::snprintf(text, sizeof text, "%lu %p\r\n", GetCurrentProcessId(), static_cast<void*>(window));
    DWORD written = 0;
    return n > 0 && WriteFile(f.get(), text, DWORD(n), &written, nullptr) && written == DWORD(n);
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    switch (ParseOptions(argc, argv, options)) {
    case Parse::Help:
        std::fputs(kUsage, stdout);
        return 0;
    case Parse::Error:
        std::fputs(kUsage, stderr);
        return 2;
    case Parse::Run:
        break;
    }

    if (FindWindowA(kv::TraceViewerClass, nullptr) != nullptr) {
        std::fputs("kvtrace: another viewer window exists; a stub sends to only one of them\n", stderr);
    }
    Viewer viewer;
    if (!viewer.OpenOutput(options.out)) {
        std::fprintf(stderr, "kvtrace: cannot open %s (error %lu)\n", options.out.c_str(), GetLastError());
        return 1;
    }
    if (!viewer.CreateViewerWindow(GetModuleHandleA(nullptr))) {
        std::fprintf(stderr, "kvtrace: cannot create the viewer window (error %lu)\n", GetLastError());
        return 1;
    }
    g_window = viewer.Window();
    SetConsoleCtrlHandler(&OnConsoleEvent, TRUE);
    if (options.seconds != 0) SetTimer(viewer.Window(), kQuitTimer, options.seconds * 1000u, nullptr);
    if (!options.ready.empty() && !WriteReadyFile(options.ready, viewer.Window())) {
        std::fprintf(stderr, "kvtrace: cannot create %s (error %lu)\n", options.ready.c_str(), GetLastError());
        return 1;
    }

    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    g_window = nullptr;
    return 0;
}
