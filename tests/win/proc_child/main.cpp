// A child process for the process-control tests: windows to find, close
// and quit, output to capture, an exit code to report. Every run ends by
// itself after --life ms (exit code 99), so no test can leave it behind.
//
//   --class NAME --title TEXT   the main window (shown, titled)
//   --hidden-first              first a hidden, untitled window
//   --dialogs N                 N titled windows owned by the main window
//   --ignore-close              WM_CLOSE changes nothing
//   --close-after MS            the main window goes after MS (exit 7)
//   --no-window                 no window at all
//   --out TEXT, --err TEXT      written to standard output / error output
//                               in the order given; \xNN stands for a byte
//   --big N                     N bytes "abc..." to standard output
//   --exit N                    no window: end at once with this code
//   --life MS                   the longest run (default 60000)
// WM_CLOSE with wParam 15 and lParam 255 ends with 42, any other with 43;
// WM_QUIT ends with its wParam.
#include <windows.h>

#include <cstdlib>
#include <string>

namespace {

constexpr UINT_PTR kLifeTimer = 1;
constexpr UINT_PTR kCloseTimer = 2;

bool g_ignoreClose = false;
HWND g_main = nullptr;
int g_closeCode = 0;

std::string Unescape(const char* s) {
    std::string r;
    for (; *s; ++s) {
        if (s[0] == '\\' && s[1] == 'x' && s[2] && s[3]) {
            const char hex[3] = {s[2], s[3], 0};
            r += char(std::strtoul(hex, nullptr, 16));
            s += 3;
        } else {
            r += *s;
        }
    }
    return r;
}

void Write(DWORD which, const std::string& bytes) {
    DWORD written = 0;
    const HANDLE h = GetStdHandle(which);
    if (h != nullptr && h != INVALID_HANDLE_VALUE) WriteFile(h, bytes.data(), DWORD(bytes.size()), &written, nullptr);
}

// "abc...zabc..." of that length.
void WriteBig(unsigned long n) {
    std::string bytes(n, ' ');
    for (unsigned long i = 0; i < n; ++i) bytes[i] = char('a' + i % 26);
    Write(STD_OUTPUT_HANDLE, bytes);
}

LRESULT CALLBACK WindowProc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_CLOSE:
        if (w != g_main || g_ignoreClose) return 0;
        g_closeCode = (wp == 15 && lp == 255) ? 42 : 43;
        DestroyWindow(w);
        return 0;
    case WM_TIMER:
        if (wp == kLifeTimer) PostQuitMessage(99);
        if (wp == kCloseTimer && w == g_main) {
            g_closeCode = 7;
            DestroyWindow(w);
        }
        return 0;
    case WM_DESTROY:
        if (w == g_main) PostQuitMessage(g_closeCode);
        return 0;
    }
    return DefWindowProcA(w, msg, wp, lp);
}

}  // namespace

int main(int argc, char** argv) {
    std::string className = "KvProcChild", title = "kv proc child";
    bool hiddenFirst = false, noWindow = false, exitNow = false;
    int dialogs = 0, exitCode = 0;
    unsigned long life = 60000, closeAfter = 0;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        const char* v = i + 1 < argc ? argv[i + 1] : "";
        if (a == "--class") className = v, ++i;
        else if (a == "--title") title = v, ++i;
        else if (a == "--hidden-first") hiddenFirst = true;
        else if (a == "--dialogs") dialogs = std::atoi(v), ++i;
        else if (a == "--ignore-close") g_ignoreClose = true;
        else if (a == "--close-after") closeAfter = std::strtoul(v, nullptr, 10), ++i;
        else if (a == "--no-window") noWindow = true;
        else if (a == "--out") Write(STD_OUTPUT_HANDLE, Unescape(v)), ++i;
        else if (a == "--err") Write(STD_ERROR_HANDLE, Unescape(v)), ++i;
        else if (a == "--big") WriteBig(std::strtoul(v, nullptr, 10)), ++i;
        else if (a == "--exit") exitCode = std::atoi(v), exitNow = true, ++i;
        else if (a == "--life") life = std::strtoul(v, nullptr, 10), ++i;
        else return 2;
    }
    if (exitNow) return exitCode;
    if (noWindow) {
        Sleep(life);
        return 99;
    }

    WNDCLASSA wc{};
    wc.lpfnWndProc = WindowProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = className.c_str();
    if (!RegisterClassA(&wc)) return 3;
    if (hiddenFirst) CreateWindowA(className.c_str(), "", WS_OVERLAPPED, 0, 0, 50, 50, nullptr, nullptr, wc.hInstance, nullptr);
    g_main = CreateWindowA(className.c_str(), title.c_str(), WS_OVERLAPPEDWINDOW, 10, 10, 200, 100, nullptr, nullptr,
                           wc.hInstance, nullptr);
    if (g_main == nullptr) return 4;
    ShowWindow(g_main, SW_SHOWNOACTIVATE);
    for (int i = 0; i < dialogs; ++i) {
        const std::string t = "dialog " + std::to_string(i + 1);
        const HWND d = CreateWindowA(className.c_str(), t.c_str(), WS_POPUP | WS_CAPTION, 20 + 10 * i, 20, 100, 60,
                                     g_main, nullptr, wc.hInstance, nullptr);
        ShowWindow(d, SW_SHOWNOACTIVATE);
    }
    SetTimer(g_main, kLifeTimer, life, nullptr);
    if (closeAfter > 0) SetTimer(g_main, kCloseTimer, closeAfter, nullptr);
    MSG m;
    while (GetMessageA(&m, nullptr, 0, 0) > 0) {
        TranslateMessage(&m);
        DispatchMessageA(&m);
    }
    return int(m.wParam);
}
