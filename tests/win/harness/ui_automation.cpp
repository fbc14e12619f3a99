#include "harness/ui_automation.h"

#include <commctrl.h>

#include <algorithm>

#include "harness/deadline.h"

namespace kv::test {
namespace {

constexpr DWORD kPollMs = 10;
// A window whose thread stops answering must fail the test, not hang it.
constexpr UINT kSendTimeoutMs = 10000;

// SendWithin's answer, or 0 when the window did not answer in time.
LRESULT Send(HWND window, UINT message, WPARAM wParam, LPARAM lParam, bool* answered = nullptr) {
    LRESULT result = 0;
    const bool ok = SendWithin(window, message, wParam, lParam, result);
    if (answered != nullptr) *answered = ok;
    return ok ? result : 0;
}

struct TopLevelQuery {
    const std::string* className;
    DWORD processId;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectTopLevel(HWND window, LPARAM param) {
    auto* query = reinterpret_cast<TopLevelQuery*>(param);
    if (lstrcmpiA(ClassNameOf(window).c_str(), query->className->c_str()) != 0) return TRUE;
    if (query->processId != 0) {
        DWORD pid = 0;
        GetWindowThreadProcessId(window, &pid);
        if (pid != query->processId) return TRUE;
    }
    query->found.push_back(window);
    return TRUE;
}

struct ChildQuery {
    const std::string* className;
    HWND found;
};

BOOL CALLBACK FindChild(HWND window, LPARAM param) {
    auto* query = reinterpret_cast<ChildQuery*>(param);
    if (lstrcmpiA(ClassNameOf(window).c_str(), query->className->c_str()) != 0) return TRUE;
    query->found = window;
    return FALSE;
}

// Key-message flags: repeat count 1 and the key's scan code; for the up
// message also the previous-state and transition bits.
LPARAM KeyDownBits(UINT virtualKey) { return 1 | LPARAM(MapVirtualKeyA(virtualKey, MAPVK_VK_TO_VSC)) << 16; }
LPARAM KeyUpBits(UINT virtualKey) { return KeyDownBits(virtualKey) | LPARAM(0xC0000000u); }

HWND KeyTarget(HWND window) {
    const HWND focus = FocusOf(window);
    return focus != nullptr ? focus : window;
}

}  // namespace

bool SendWithin(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    DWORD_PTR answer = 0;
    const bool ok =
        SendMessageTimeoutA(window, message, wParam, lParam, SMTO_ABORTIFHUNG, kSendTimeoutMs, &answer) != 0;
    result = ok ? LRESULT(answer) : 0;
    return ok;
}

std::string ClassNameOf(HWND window) {
    char name[256] = {};
    const int n = GetClassNameA(window, name, sizeof(name));
    return n > 0 ? std::string(name, size_t(n)) : std::string();
}

std::vector<HWND> TopLevelWindows(const std::string& className, DWORD processId) {
    TopLevelQuery query{&className, processId, {}};
    EnumWindows(CollectTopLevel, reinterpret_cast<LPARAM>(&query));
    return query.found;
}

HWND WaitForTopLevelWindow(const std::string& className, unsigned deadline_ms, DWORD processId) {
    HWND found = nullptr;
    WaitUntil(deadline_ms, [&] {
        const std::vector<HWND> windows = TopLevelWindows(className, processId);
        found = windows.empty() ? nullptr : windows.front();
        return found != nullptr;
    });
    return found;
}

bool WaitForWindowGone(HWND window, unsigned deadline_ms) {
    return WaitUntil(deadline_ms, [&] { return !IsWindow(window); });
}

bool WaitUntil(unsigned deadline_ms, const std::function<bool()>& condition) {
    const Deadline deadline(deadline_ms);
    for (;;) {
        if (condition()) return true;
        if (deadline.Passed()) return false;
        Sleep(kPollMs);
    }
}

HWND FindChildOfClass(HWND parent, const std::string& className) {
    ChildQuery query{&className, nullptr};
    EnumChildWindows(parent, FindChild, reinterpret_cast<LPARAM>(&query));
    return query.found;
}

bool CloseTopLevelWindows(const std::string& className, DWORD processId, unsigned deadline_ms) {
    for (HWND window : TopLevelWindows(className, processId)) PostMessageA(window, WM_CLOSE, 0, 0);
    return WaitUntil(deadline_ms, [&] { return TopLevelWindows(className, processId).empty(); });
}

std::string ControlText(HWND control) {
    // WM_GETTEXT is marshalled between processes; the length first, as the
    // text of a Rich Edit control may be long.
    const LRESULT length = Send(control, WM_GETTEXTLENGTH, 0, 0);
    if (length <= 0) return std::string();
    std::string text(size_t(length) + 1, '\0');
    const LRESULT n = Send(control, WM_GETTEXT, WPARAM(text.size()), reinterpret_cast<LPARAM>(&text[0]));
    text.resize(size_t(std::max<LRESULT>(0, std::min<LRESULT>(n, length))));
    return text;
}

WindowFacts ReadWindowFacts(HWND window) {
    WindowFacts f;
    GetWindowRect(window, &f.window);
    GetClientRect(window, &f.client);
    ClientToScreen(window, &f.clientOrigin);
    f.style = GetWindowLongA(window, GWL_STYLE);
    f.exStyle = GetWindowLongA(window, GWL_EXSTYLE);
    f.owner = GetWindow(window, GW_OWNER);
    f.enabled = IsWindowEnabled(window) != 0;
    f.visible = IsWindowVisible(window) != 0;
    return f;
}

int Width(const RECT& r) { return r.right - r.left; }
int Height(const RECT& r) { return r.bottom - r.top; }

std::vector<ButtonInfo> ListButtons(HWND window) {
    std::vector<ButtonInfo> buttons;
    for (HWND child = GetWindow(window, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
        if (lstrcmpiA(ClassNameOf(child).c_str(), "Button") != 0) continue;
        ButtonInfo b;
        b.window = child;
        b.caption = ControlText(child);
        GetWindowRect(child, &b.screen);
        b.client = b.screen;
        MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&b.client), 2);
        b.style = GetWindowLongA(child, GWL_STYLE);
        b.isDefault = (b.style & BS_TYPEMASK) == BS_DEFPUSHBUTTON;
        buttons.push_back(b);
    }
    std::sort(buttons.begin(), buttons.end(), [](const ButtonInfo& a, const ButtonInfo& b) {
        return a.client.left != b.client.left ? a.client.left < b.client.left : a.client.top < b.client.top;
    });
    return buttons;
}

HWND FocusOf(HWND window) {
    GUITHREADINFO info{};
    info.cbSize = sizeof(info);
    const DWORD thread = GetWindowThreadProcessId(window, nullptr);
    return thread != 0 && GetGUIThreadInfo(thread, &info) ? info.hwndFocus : nullptr;
}

bool ReadProgress(HWND bar, ProgressState& state) {
    // With a null range pointer the control answers one end at a time,
    // which also works for a bar of another process.
    bool answered[3] = {};
    state.low = int(Send(bar, PBM_GETRANGE, TRUE, 0, &answered[0]));
    state.high = int(Send(bar, PBM_GETRANGE, FALSE, 0, &answered[1]));
    state.position = int(Send(bar, PBM_GETPOS, 0, 0, &answered[2]));
    return answered[0] && answered[1] && answered[2];
}

bool RichEditCharFormat(HWND edit, int start, int end, CHARFORMATA& format) {
    CHARRANGE saved{};
    bool answered = false;
    Send(edit, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&saved), &answered);
    if (!answered) return false;
    CHARRANGE range{start, end};
    Send(edit, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
    format = CHARFORMATA{};
    format.cbSize = sizeof(format);
    Send(edit, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
    Send(edit, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&saved));
    return format.dwMask != 0;
}

bool ClickButton(HWND control) {
    RECT r{};
    if (!GetClientRect(control, &r)) return false;
    const LPARAM centre = MAKELPARAM((r.right - r.left) / 2, (r.bottom - r.top) / 2);
    return PostMessageA(control, WM_LBUTTONDOWN, MK_LBUTTON, centre) != 0 &&
           PostMessageA(control, WM_LBUTTONUP, 0, centre) != 0;
}

bool PressKey(HWND window, UINT virtualKey) {
    const HWND target = KeyTarget(window);
    return PostMessageA(target, WM_KEYDOWN, virtualKey, KeyDownBits(virtualKey)) != 0 &&
           PostMessageA(target, WM_KEYUP, virtualKey, KeyUpBits(virtualKey)) != 0;
}

bool PressAltChar(HWND window, char character) {
    // Bit 29: the Alt key was down.
    const UINT key = UINT(VkKeyScanA(character) & 0xFF);
    return PostMessageA(KeyTarget(window), WM_SYSCHAR, WPARAM(static_cast<unsigned char>(character)),
                        KeyDownBits(key) | (LPARAM(1) << 29)) != 0;
}

}  // namespace kv::test
