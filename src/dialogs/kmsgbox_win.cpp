#include <richedit.h>

#include <algorithm>

#include "dialogs/kmsgbox_state_win.h"
#include "dialogs/msgbox_markup.h"
#include "dialogs/msgbox_win.h"
#include "util/dc_handle.h"
#include "util/message_pump.h"
#include "util/system_library.h"
#include "util/window_helpers.h"

namespace kv {
namespace {

const char kRichEditLibrary[] = "RICHED32.DLL";
const char kRichEditClass[] = "RICHEDIT";  // Rich Edit 1.0

// The process's own reference, taken by the first box and kept until the
// program ends; each box holds one more while it is open.
ModuleHandle g_richEditLibrary;

void HoldRichEditLibrary() {
    if (g_richEditLibrary) return;
    ModuleHandle library = LoadSystemLibrary(kRichEditLibrary);
    // Old systems returned error codes up to 32 in place of a handle.
    if (reinterpret_cast<uintptr_t>(library.get()) > 32) g_richEditLibrary = std::move(library);
}

FontHandle CreateBoxFont() {
    const MsgBoxFontSettings settings = MessageBoxFont();
    return FontHandle(CreateFontA(-PointsToPixels(settings.points), 0, 0, 0, 0, FALSE, FALSE, FALSE,
                                  BYTE(settings.charset), OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                                  DEFAULT_QUALITY, FF_SWISS, settings.name.c_str()));
}

bool RegisterBoxClass(HINSTANCE instance) {
    WNDCLASSA wc{};
    wc.style = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS;
    wc.lpfnWndProc = MsgBoxWindowProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = kMsgBoxClassName;
    // A box opened while another is open finds the class registered.
    return RegisterClassA(&wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

HICON IconFor(uint32_t style, HINSTANCE instance) {
    switch (style & 0xF0) {
    case 0x10: return LoadIcon(nullptr, IDI_HAND);
    case 0x20: return LoadIcon(nullptr, IDI_QUESTION);
    case 0x30: return LoadIcon(nullptr, IDI_EXCLAMATION);
    case 0x40: return LoadIcon(nullptr, IDI_ASTERISK);
    default: return LoadIconA(instance, "MainIcon");
    }
}

BoxExtent WindowExtent(HWND window) {
    RECT r{};
    GetWindowRect(window, &r);
    return BoxExtent{r.right - r.left, r.bottom - r.top};
}

void SizeWindow(HWND window, int width, int height) {
    SetWindowPos(window, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// The read-only text; a plain edit control when Rich Edit is missing, so
// that the message is still shown (without bold).
HWND CreateTextControl(MsgBoxState& state, uint32_t style, const ConvertedMarkup& markup, HINSTANCE instance) {
    const DWORD exStyle = (style & kMsgBoxRtlReading) ? WS_EX_RTLREADING : 0;
    const DWORD ctlStyle = WS_CHILD | WS_VISIBLE | ES_MULTILINE | ES_READONLY | ES_WANTRETURN |
                           ((style & kMsgBoxRightAligned) ? ES_RIGHT : 0);
    HWND text = CreateWindowExA(exStyle, kRichEditClass, "", ctlStyle, 86, 30, 100, 13, state.box, nullptr,
                                instance, nullptr);
    const bool rich = text != nullptr;
    if (!rich)
        text = CreateWindowExA(exStyle, "EDIT", "", ctlStyle, 86, 30, 100, 13, state.box, nullptr, instance, nullptr);
    state.text = text;
    if (text == nullptr) return nullptr;

    if (rich) {
        SendMessageA(text, EM_SETEVENTMASK, 0, ENM_REQUESTRESIZE);
        SendMessageA(text, EM_SETBKGNDCOLOR, 0, LPARAM(GetSysColor(COLOR_WINDOW)));
    }
    SendMessageA(text, WM_SETFONT, WPARAM(state.font.get()), FALSE);
    SetWindowTextA(text, markup.text.c_str());
    if (rich) {
        for (const BoldRange& range : markup.bold) {
            CHARRANGE selection{range.start - 1, range.end - 1};
            SendMessageA(text, EM_EXSETSEL, 0, LPARAM(&selection));
            CHARFORMATA format{};
            format.cbSize = sizeof(format);
            format.dwMask = CFM_BOLD | CFM_ITALIC | CFM_UNDERLINE | CFM_STRIKEOUT;
            format.dwEffects = CFE_BOLD;
            SendMessageA(text, EM_SETCHARFORMAT, SCF_SELECTION, LPARAM(&format));
        }
        CHARRANGE start{0, 0};
        SendMessageA(text, EM_EXSETSEL, 0, LPARAM(&start));
    }
    return text;
}

// Sizes the text control to its text: the estimate first, then, for bold
// text and only with Rich Edit, the widening tries.
void SizeTextControl(MsgBoxState& state, const ConvertedMarkup& markup, bool rich) {
    const ScreenDC dc(state.text);
    if (!dc) return;
    const SelectedObject selected(dc.get(), state.font.get());
    TEXTMETRICA metrics{};
    GetTextMetricsA(dc.get(), &metrics);
    const int lineHeight = MsgBoxLineHeight(metrics.tmHeight, metrics.tmExternalLeading, MessageBoxFont().name);
    const BoxExtent estimate = EstimateTextExtent(markup.text, lineHeight, [&](const std::string& line) {
        SIZE size{};
        GetTextExtentPoint32A(dc.get(), line.c_str(), int(line.size()), &size);
        return int(size.cx);
    });
    SizeWindow(state.text, estimate.width + 10, estimate.height);
    if (markup.bold.empty() || !rich) return;

    const int width = WidenForBoldText(estimate.width, estimate.height, [&](int tryWidth) {
        SizeWindow(state.text, tryWidth, estimate.height);
        SendMessageA(state.text, EM_REQUESTRESIZE, 0, 0);
        return state.requested;
    });
    SizeWindow(state.text, width, estimate.height);
}

void PlaceBox(MsgBoxState& state, const std::string& text) {
    const BoxExtent textSize = WindowExtent(state.text);
    const BoxExtent outer = MsgBoxOuterSize(textSize.width, textSize.height, GetSystemMetrics(SM_CXFRAME),
                                            GetSystemMetrics(SM_CYFRAME), GetSystemMetrics(SM_CYCAPTION));
    WindowOrigin origin = CenterInWorkArea(outer.width, outer.height);
    // Keeps the box a developer answers most from covering the window
    // whose entry it asks about.
    if (DeveloperMode() && text.find("Do you want to store the new Entry in") != std::string::npos) {
        origin.left += 150;
        origin.top += 150;
    }
    MoveWindow(state.box, origin.left, origin.top, outer.width, outer.height, TRUE);
    ShowWindow(state.box, SW_SHOW);

    RECT client{};
    GetClientRect(state.box, &client);
    const BoxRect place = MsgBoxTextRect(client.right, client.bottom, textSize.width, textSize.height);
    MoveWindow(state.text, place.left, place.top, place.width, place.height, TRUE);
    ShowWindow(state.text, SW_SHOW);
}

void CreateButtons(MsgBoxState& state, uint32_t style, HINSTANCE instance) {
    RECT client{};
    GetClientRect(state.box, &client);
    const int count = int(std::min<size_t>(state.buttons.size(), 3));
    const int defaultIndex = MsgBoxDefaultIndex(style, count);
    for (int i = 0; i < count; ++i) {
        const BoxRect r = MsgBoxButtonRect(client.right, client.bottom, count, i);
        const HWND button = CreateWindowExA(0, "Button", state.buttons[size_t(i)].caption.c_str(),
                                            WS_CHILD | WS_VISIBLE, r.left, r.top, r.width, r.height, state.box,
                                            nullptr, instance, nullptr);
        if (button == nullptr) break;
        SendMessageA(button, WM_SETFONT, WPARAM(state.font.get()), FALSE);
        SetWindowLongPtrA(button, GWLP_USERDATA, state.buttons[size_t(i)].result);
        state.slots[i] = button;
    }
    for (int i = 0; i < count && state.slots[i] != nullptr; ++i)
        SendMessageA(state.slots[i], BM_SETSTYLE, i == defaultIndex ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON, TRUE);
    if (state.slots[defaultIndex] != nullptr) {
        SetActiveWindow(state.box);
        SetFocus(state.slots[defaultIndex]);
    }
}

// Runs until the box is destroyed. A quit message ends the box (as a
// close) and is posted again for the loop it was meant for.
void ModalLoop(MsgBoxState& state) {
    bool quit = false;
    WPARAM quitCode = 0;
    MSG message;
    while (!state.done) {
        const BOOL got = GetMessageA(&message, nullptr, 0, 0);
        if (got == -1) break;
        if (got == 0) {
            quit = true;
            quitCode = message.wParam;
            SendMessageA(state.box, WM_CLOSE, 0, 0);
            continue;
        }
        if (FilterMsgBoxKey(state, message)) continue;
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    if (quit) PostQuitMessage(int(quitCode));
}

}  // namespace

int RichMessageBox(HWND owner, const std::string& text, const std::string& title, uint32_t timeoutMs,
                   uint32_t style, const std::string& captions) {
    HoldRichEditLibrary();
    MsgBoxState state;
    state.previousActive = GetActiveWindow();
    if (state.previousActive != nullptr) EnableWindow(state.previousActive, FALSE);
    state.result = kMsgBoxNone;
    state.timeoutMs = timeoutMs;
    state.buttons = MsgBoxButtons(style, captions);

    const HINSTANCE instance = GetModuleHandleA(nullptr);
    state.font = CreateBoxFont();
    const ModuleHandle boxLibrary = LoadSystemLibrary(kRichEditLibrary);
    if (!RegisterBoxClass(instance) ||
        CreateWindowExA(WS_EX_DLGMODALFRAME | WS_EX_TOPMOST, kMsgBoxClassName, title.c_str(),
                        WS_VISIBLE | WS_CAPTION | WS_SYSMENU, -100, -100, 10, 10, owner, nullptr, instance,
                        &state) == nullptr) {
        RestorePreviousWindow(state);
        return kMsgBoxNone;
    }
    if (style & kMsgBoxNoCloseFlag) {
        EnableMenuItem(GetSystemMenu(state.box, FALSE), SC_CLOSE, MF_BYCOMMAND | MF_GRAYED);
        style &= ~kMsgBoxNoCloseFlag;
    }

    const ConvertedMarkup markup = ConvertMessageMarkup(text);
    if (HWND control = CreateTextControl(state, style, markup, instance)) {
        char className[16] = {};
        GetClassNameA(control, className, sizeof(className));
        SizeTextControl(state, markup, lstrcmpiA(className, kRichEditClass) == 0);
    }
    PlaceBox(state, markup.text);
    state.icon = IconFor(style, instance);
    CreateButtons(state, style, instance);

    ModalLoop(state);
    if (IsWindow(state.box)) DestroyWindow(state.box);
    RestorePreviousWindow(state);
    // Only now is the window gone, so that the class can go too (it fails
    // quietly while an outer box is still open).
    UnregisterClassA(kMsgBoxClassName, instance);
    return state.result;
}

}  // namespace kv
