// The message box under Wine: opened on a worker thread (it is modal in
// its own thread) and driven from the test thread like a user would.
#include <gtest/gtest.h>

#include <richedit.h>

#include <algorithm>
#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "dialogs/msgbox_layout.h"
#include "dialogs/msgbox_win.h"
#include "harness/harness.h"
#include "util/dc_handle.h"
#include "util/message_pump.h"
#include "util/window_helpers.h"

namespace {

using namespace kv::test;

constexpr unsigned kOpenMs = 20000;   // a box appears well within this
constexpr unsigned kCloseMs = 20000;  // and ends within this once asked
constexpr uint32_t kYesNo = MB_YESNO | MB_ICONQUESTION;

class MsgBox : public ::testing::Test {
protected:
    // Runs `show` on a worker thread and waits until its box is set up:
    // all `buttons` created and the default one focused.
    HWND Open(std::function<int()> show, size_t buttons) {
        worker_ = std::make_unique<WorkerThread>([this, show] { result_ = show(); });
        if (!worker_->Started()) return nullptr;
        const HWND box = WaitForTopLevelWindow("KMsgBox", kOpenMs, GetCurrentProcessId());
        if (box == nullptr) return nullptr;
        const bool ready = WaitUntil(kOpenMs, [&] {
            const std::vector<ButtonInfo> list = ListButtons(box);
            if (list.size() != buttons) return false;
            if (buttons == 0) return Width(ReadWindowFacts(box).window) >= kv::kMsgBoxMinWidth;
            const HWND focus = FocusOf(box);
            for (const ButtonInfo& b : list)
                if (b.window == focus) return true;
            return false;
        });
        return ready ? box : nullptr;
    }

    // The box's answer once its thread has returned; -1 when it did not.
    int Result() { return worker_ && worker_->Wait(kCloseMs) ? result_.load() : -1; }

    void TearDown() override {
        // A failed test may have left its box open: close it so that the
        // worker ends and the next test finds no stale box.
        EXPECT_TRUE(CloseTopLevelWindows("KMsgBox", GetCurrentProcessId(), kCloseMs));
        worker_.reset();
    }

    std::unique_ptr<WorkerThread> worker_;
    std::atomic<int> result_{-1};
};

HWND TextControl(HWND box) { return FindChildOfClass(box, "RICHEDIT"); }

bool IsBold(HWND edit, int start, int end) {
    CHARFORMATA f{};
    return RichEditCharFormat(edit, start, end, f) && (f.dwMask & CFM_BOLD) && (f.dwEffects & CFE_BOLD);
}

bool IsPlain(HWND edit, int start, int end) {
    CHARFORMATA f{};
    return RichEditCharFormat(edit, start, end, f) && (f.dwMask & CFM_BOLD) && !(f.dwEffects & CFE_BOLD);
}

TEST_F(MsgBox, BoldParagraphsAndTabShownConvertedAndLaidOut) {
    const HWND box = Open([] {
        return kv::RichMessageBox(nullptr, "<B>Bold</B> word<P><P>Second<T><B>line</B><P>", "Question", 0, kYesNo,
                                  kv::kMsgBoxDefaultCaptions);
    }, 2);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(ControlText(box), "Question");

    const HWND text = TextControl(box);
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(ControlText(text), "Bold word\r\n\r\nSecond\tline\r\n");
    EXPECT_TRUE(IsBold(text, 0, 4));
    EXPECT_TRUE(IsPlain(text, 4, 9));
    // A range after line breaks and a tab lands on its own characters.
    EXPECT_TRUE(IsPlain(text, 13, 20));
    EXPECT_TRUE(IsBold(text, 20, 24));
    const WindowFacts textFacts = ReadWindowFacts(text);
    EXPECT_TRUE(textFacts.style & ES_READONLY);
    EXPECT_TRUE(textFacts.style & ES_MULTILINE);
    EXPECT_FALSE(textFacts.style & ES_RIGHT);
    EXPECT_FALSE(textFacts.exStyle & WS_EX_RTLREADING);

    const WindowFacts f = ReadWindowFacts(box);
    EXPECT_GE(Width(f.window), 360);
    EXPECT_EQ(f.exStyle & (WS_EX_DLGMODALFRAME | WS_EX_TOPMOST), WS_EX_DLGMODALFRAME | WS_EX_TOPMOST);
    EXPECT_EQ(f.style & (WS_CAPTION | WS_SYSMENU | WS_VISIBLE), WS_CAPTION | WS_SYSMENU | WS_VISIBLE);
    EXPECT_EQ(f.owner, nullptr);

    // The box is sized around the text control and centred in the work area.
    const int w = Width(textFacts.window);
    const int margin = w < 200 ? 64 : 32;
    EXPECT_EQ(Width(f.window), std::max(360, w + 54 + 2 * margin + 2 * GetSystemMetrics(SM_CXFRAME)));
    const kv::WindowOrigin centre = kv::CenterInWorkArea(Width(f.window), Height(f.window));
    EXPECT_EQ(f.window.left, centre.left);
    EXPECT_EQ(f.window.top, centre.top);

    // The text right of the stripe, centred in the room above the buttons.
    const int cw = f.client.right;
    const int ch = f.client.bottom;
    POINT textOrigin{textFacts.window.left, textFacts.window.top};
    ScreenToClient(box, &textOrigin);
    EXPECT_EQ(textOrigin.x, (cw - 54 - w) / 2 + 54);
    EXPECT_EQ(textOrigin.y + Height(textFacts.window), ch - 39);

    const std::vector<ButtonInfo> buttons = ListButtons(box);
    ASSERT_EQ(buttons.size(), 2u);
    EXPECT_EQ(buttons[0].caption, "&Yes");
    EXPECT_EQ(buttons[1].caption, "&No");
    for (size_t i = 0; i < buttons.size(); ++i) {
        EXPECT_EQ(buttons[i].client.left, cw - 80 - 70 * int(1 - i)) << i;
        EXPECT_EQ(buttons[i].client.top, ch - 29) << i;
        EXPECT_EQ(Width(buttons[i].client), 70) << i;
        EXPECT_EQ(Height(buttons[i].client), 23) << i;
    }
    EXPECT_TRUE(buttons[0].isDefault);
    EXPECT_FALSE(buttons[1].isDefault);
    EXPECT_EQ(FocusOf(box), buttons[0].window);

    ASSERT_TRUE(PressKey(box, 'Y'));
    EXPECT_EQ(Result(), kv::kMsgBoxYes);
}

TEST_F(MsgBox, PaintsStripeLinesAndButtonArea) {
    const HWND box = Open([] { return kv::RichMessageBox(nullptr, "Paint", "Paint", 0, MB_OK, kv::kMsgBoxDefaultCaptions); }, 1);
    ASSERT_NE(box, nullptr);
    const WindowFacts f = ReadWindowFacts(box);
    const int h = f.client.bottom;
    struct Probe {
        int x, y;
        COLORREF colour;
    };
    const Probe probes[] = {
        {30, h - 60, RGB(0, 78, 152)},                     // stripe (below the icon)
        {53, 2, RGB(0, 78, 152)},                          // its right edge
        {54, 2, GetSysColor(COLOR_WINDOW)},                // the text area
        {5, h - 37, GetSysColor(COLOR_3DDKSHADOW)},        // dark line
        {200, h - 36, RGB(255, 255, 255)},                 // white line
        {5, h - 5, GetSysColor(COLOR_BTNFACE)},            // button area
    };
    const kv::ScreenDC dc(box);
    ASSERT_TRUE(dc);
    for (const Probe& p : probes) {
        COLORREF seen = CLR_INVALID;
        EXPECT_TRUE(WaitUntil(kOpenMs, [&] { return (seen = GetPixel(dc.get(), p.x, p.y)) == p.colour; }))
            << p.x << "," << p.y << " is " << std::hex << seen << " not " << p.colour;
    }
    PressKey(box, VK_ESCAPE);
    EXPECT_EQ(Result(), kv::kMsgBoxNone);
}

// A user action on an open box.
enum class Act { Key, AltChar, Click };
struct Step {
    Act act;
    UINT value;  // virtual key, character, or button index for a click
};
struct AnswerCase {
    const char* name;
    uint32_t style;
    std::vector<Step> steps;
    int result;
};
void PrintTo(const AnswerCase& c, std::ostream* os) { *os << c.name; }

class MsgBoxAnswers : public MsgBox, public ::testing::WithParamInterface<AnswerCase> {};

TEST_P(MsgBoxAnswers, UserActionGivesResult) {
    const AnswerCase& c = GetParam();
    const size_t count = kv::MsgBoxButtons(c.style, kv::kMsgBoxDefaultCaptions).size();
    const uint32_t style = c.style;
    const HWND box = Open([style] {
        return kv::RichMessageBox(nullptr, "Answer <b>me</b>.", "Answers", 0, style, kv::kMsgBoxDefaultCaptions);
    }, count);
    ASSERT_NE(box, nullptr);
    const std::vector<ButtonInfo> buttons = ListButtons(box);
    for (const Step& s : c.steps) {
        switch (s.act) {
        case Act::Key: ASSERT_TRUE(PressKey(box, s.value)); break;
        case Act::AltChar: ASSERT_TRUE(PressAltChar(box, char(s.value))); break;
        case Act::Click: ASSERT_LT(s.value, buttons.size()); ASSERT_TRUE(ClickButton(buttons[s.value].window)); break;
        }
    }
    EXPECT_EQ(Result(), c.result);
}

const AnswerCase kAnswers[] = {
    {"Y_is_yes", kYesNo, {{Act::Key, 'Y'}}, kv::kMsgBoxYes},
    {"N_is_no", kYesNo, {{Act::Key, 'N'}}, kv::kMsgBoxNo},
    {"escape_is_zero", kYesNo, {{Act::Key, VK_ESCAPE}}, kv::kMsgBoxNone},
    {"unknown_letter_then_escape", kYesNo, {{Act::Key, 'Q'}, {Act::Key, VK_ESCAPE}}, kv::kMsgBoxNone},
    {"enter_chooses_default", kYesNo, {{Act::Key, VK_RETURN}}, kv::kMsgBoxYes},
    {"second_default", kYesNo | MB_DEFBUTTON2, {{Act::Key, VK_RETURN}}, kv::kMsgBoxNo},
    {"default_index_wraps", MB_OK | MB_DEFBUTTON2, {{Act::Key, VK_RETURN}}, kv::kMsgBoxOk},
    {"tab_moves_to_next", kYesNo, {{Act::Key, VK_TAB}, {Act::Key, VK_RETURN}}, kv::kMsgBoxNo},
    {"right_wraps_around", kYesNo, {{Act::Key, VK_RIGHT}, {Act::Key, VK_RIGHT}, {Act::Key, VK_RETURN}}, kv::kMsgBoxYes},
    {"left_wraps_to_last", MB_YESNOCANCEL, {{Act::Key, VK_LEFT}, {Act::Key, VK_RETURN}}, kv::kMsgBoxCancel},
    {"up_from_last", MB_YESNOCANCEL | MB_DEFBUTTON3, {{Act::Key, VK_UP}, {Act::Key, VK_RETURN}}, kv::kMsgBoxNo},
    {"letter_of_third", MB_YESNOCANCEL, {{Act::Key, 'C'}}, kv::kMsgBoxCancel},
    {"abort_retry_ignore_letter", MB_ABORTRETRYIGNORE, {{Act::Key, 'I'}}, kv::kMsgBoxIgnore},
    {"retry_cancel_letter", MB_RETRYCANCEL, {{Act::Key, 'R'}}, kv::kMsgBoxRetry},
    {"alt_n", kYesNo, {{Act::AltChar, 'n'}}, kv::kMsgBoxNo},
    {"alt_y_upper", kYesNo, {{Act::AltChar, 'Y'}}, kv::kMsgBoxYes},
    {"click_no", kYesNo, {{Act::Click, 1}}, kv::kMsgBoxNo},
    {"click_cancel", MB_OKCANCEL, {{Act::Click, 1}}, kv::kMsgBoxCancel},
    {"click_ok", MB_OKCANCEL, {{Act::Click, 0}}, kv::kMsgBoxOk},
};

INSTANTIATE_TEST_SUITE_P(Cases, MsgBoxAnswers, ::testing::ValuesIn(kAnswers),
                         [](const ::testing::TestParamInfo<AnswerCase>& p) { return p.param.name; });

TEST_F(MsgBox, TimeOutAnswersWithTheFirstButton) {
    // The default is the second button: the time-out still gives the first.
    const HWND box = Open([] {
        return kv::RichMessageBox(nullptr, "Closes itself.", "Time-out", 500, kYesNo | MB_DEFBUTTON2,
                                  kv::kMsgBoxDefaultCaptions);
    }, 2);
    ASSERT_NE(box, nullptr);
    EXPECT_TRUE(WaitForWindowGone(box, kCloseMs));
    EXPECT_EQ(Result(), kv::kMsgBoxYes);
}

TEST_F(MsgBox, ModeTwoGreysCloseAndEscapeStillCloses) {
    const HWND box = Open([] { return kv::ShowMessageBox(kv::kBoxNoClose, "No close.", "Mode 2", 0, MB_OK, 1, ""); }, 1);
    ASSERT_NE(box, nullptr);
    const UINT state = GetMenuState(GetSystemMenu(box, FALSE), SC_CLOSE, MF_BYCOMMAND);
    ASSERT_NE(state, UINT(-1));
    EXPECT_TRUE(state & MF_GRAYED);
    PressKey(box, VK_ESCAPE);
    EXPECT_EQ(Result(), kv::kMsgBoxNone);
}

TEST_F(MsgBox, ModeOneKeepsCloseAndTextAsGiven) {
    const HWND box = Open([] { return kv::ShowMessageBox(kv::kBoxPlain, "As <b>given</b>.", "Error", 0, MB_OK, 1, ""); }, 1);
    ASSERT_NE(box, nullptr);
    const UINT state = GetMenuState(GetSystemMenu(box, FALSE), SC_CLOSE, MF_BYCOMMAND);
    ASSERT_NE(state, UINT(-1));
    EXPECT_FALSE(state & MF_GRAYED);
    EXPECT_EQ(ControlText(TextControl(box)), "As given.");
    // The caption's close box closes without a button.
    PostMessageA(box, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_EQ(Result(), kv::kMsgBoxNone);
}

TEST_F(MsgBox, ModeZeroHeadingIsBoldAndUpperCased) {
    const HWND box = Open([] { return kv::ShowMessageBox(kv::kBoxWithHeading, "Disk full.", "Error", 0, MB_ICONHAND, 1, ""); }, 1);
    ASSERT_NE(box, nullptr);
    const HWND text = TextControl(box);
    EXPECT_EQ(ControlText(text), "ERROR\r\n\r\nDisk full.\r\n");
    EXPECT_TRUE(IsBold(text, 0, 5));
    EXPECT_TRUE(IsPlain(text, 9, 19));
    const std::vector<ButtonInfo> buttons = ListButtons(box);
    ASSERT_EQ(buttons.size(), 1u);
    EXPECT_EQ(buttons[0].caption, "&OK");
    EXPECT_EQ(buttons[0].client.left, ReadWindowFacts(box).client.right - 80);
    PressKey(box, VK_RETURN);
    EXPECT_EQ(Result(), kv::kMsgBoxOk);
}

struct CharsetCase {
    int charset;
    bool rtl;
};

TEST_F(MsgBox, RightToLeftForHebrewAndArabic) {
    const CharsetCase cases[] = {{177, true}, {178, true}, {1, false}, {176, false}};
    for (const CharsetCase& c : cases) {
        const int charset = c.charset;
        const HWND box = Open([charset] { return kv::ShowMessageBox(kv::kBoxPlain, "RTL", "RTL", 0, MB_OK, charset, ""); }, 1);
        ASSERT_NE(box, nullptr) << c.charset;
        const WindowFacts text = ReadWindowFacts(TextControl(box));
        EXPECT_EQ((text.style & ES_RIGHT) != 0, c.rtl) << c.charset;
        EXPECT_EQ((text.exStyle & WS_EX_RTLREADING) != 0, c.rtl) << c.charset;
        PressKey(box, VK_ESCAPE);
        EXPECT_EQ(Result(), kv::kMsgBoxNone) << c.charset;
    }
}

TEST_F(MsgBox, TranslatedCaptionsAndTheirLetters) {
    const HWND box = Open([] {
        return kv::ShowMessageBox(kv::kBoxPlain, "Weiter?", "Frage", 0, kYesNo, 1, "|O&K|Abbruch|&Ja|&Nein|A|W|I|");
    }, 2);
    ASSERT_NE(box, nullptr);
    const std::vector<ButtonInfo> buttons = ListButtons(box);
    ASSERT_EQ(buttons.size(), 2u);
    EXPECT_EQ(buttons[0].caption, "&Ja");
    EXPECT_EQ(buttons[1].caption, "&Nein");
    PressKey(box, 'J');
    EXPECT_EQ(Result(), kv::kMsgBoxYes);
}

TEST_F(MsgBox, OwnerIsTheGivenWindow) {
    std::atomic<HWND> ownerWindow{nullptr};
    const HWND box = Open([&ownerWindow] {
        const HWND owner = CreateWindowExA(0, "STATIC", "owner", WS_OVERLAPPED, 0, 0, 50, 50, nullptr, nullptr,
                                           GetModuleHandleA(nullptr), nullptr);
        ownerWindow = owner;
        const int r = kv::ShowMessageBox(kv::OwnedBy(owner), "Owned.", "Owner", 0, MB_OK, 1, "");
        DestroyWindow(owner);
        return r;
    }, 1);
    ASSERT_NE(box, nullptr);
    ASSERT_NE(ownerWindow.load(), nullptr);
    EXPECT_EQ(ReadWindowFacts(box).owner, ownerWindow.load());
    PressKey(box, VK_RETURN);
    EXPECT_EQ(Result(), kv::kMsgBoxOk);
}

TEST_F(MsgBox, ActiveWindowOwnsTheBoxAndIsDisabledMeanwhile) {
    std::atomic<HWND> activeWindow{nullptr};
    std::atomic<bool> enabledAfter{false};
    const HWND box = Open([&] {
        const HWND active = CreateWindowExA(0, "STATIC", "active", WS_OVERLAPPED | WS_VISIBLE, 0, 0, 50, 50, nullptr,
                                            nullptr, GetModuleHandleA(nullptr), nullptr);
        SetActiveWindow(active);
        activeWindow = GetActiveWindow() == active ? active : nullptr;
        const int r = kv::ShowMessageBox(kv::kBoxPlain, "Disables the active window.", "Active", 0, MB_OK, 1, "");
        enabledAfter = IsWindowEnabled(active) != 0;
        DestroyWindow(active);
        return r;
    }, 1);
    ASSERT_NE(box, nullptr);
    const HWND active = activeWindow.load();
    ASSERT_NE(active, nullptr) << "the worker could not activate its window";
    EXPECT_EQ(ReadWindowFacts(box).owner, active);
    EXPECT_FALSE(IsWindowEnabled(active));
    PressKey(box, VK_RETURN);
    EXPECT_EQ(Result(), kv::kMsgBoxOk);
    EXPECT_TRUE(enabledAfter.load());
}

TEST_F(MsgBox, LongTextWrapsAtSixHundredPixels) {
    const std::string line(400, 'x');
    const HWND box = Open([line] { return kv::RichMessageBox(nullptr, line, "Long", 0, MB_OK, kv::kMsgBoxDefaultCaptions); }, 1);
    ASSERT_NE(box, nullptr);
    const WindowFacts text = ReadWindowFacts(TextControl(box));
    EXPECT_EQ(Width(text.window), 610);
    EXPECT_EQ(Width(ReadWindowFacts(box).window), 610 + 54 + 64 + 2 * GetSystemMetrics(SM_CXFRAME));
    PressKey(box, VK_ESCAPE);
    EXPECT_EQ(Result(), kv::kMsgBoxNone);
}

TEST_F(MsgBox, BoldLineWidenedToStayOnOneLine) {
    // Bold is wider than the plain text the estimate measures.
    const HWND box = Open([] {
        return kv::RichMessageBox(nullptr, "<B>" + std::string(30, 'W') + "</B>", "Wide", 0, MB_OK, kv::kMsgBoxDefaultCaptions);
    }, 1);
    ASSERT_NE(box, nullptr);
    const HWND text = TextControl(box);
    EXPECT_TRUE(IsBold(text, 0, 30));
    LRESULT lines = 0;
    ASSERT_TRUE(SendWithin(text, EM_GETLINECOUNT, 0, 0, lines));
    EXPECT_EQ(lines, 1);
    PressKey(box, VK_ESCAPE);
    EXPECT_EQ(Result(), kv::kMsgBoxNone);
}

TEST_F(MsgBox, AnswersQueryCancelAutoPlayWhileSwitchedOn) {
    const HWND box = Open([] { return kv::RichMessageBox(nullptr, "Disk 2", "Disk", 0, MB_OK, kv::kMsgBoxDefaultCaptions); }, 1);
    ASSERT_NE(box, nullptr);
    const UINT query = RegisterWindowMessageA("QueryCancelAutoPlay");
    LRESULT answer = -1;
    kv::SetAutoPlayCancel(true);
    ASSERT_TRUE(SendWithin(box, query, 0, 0, answer));
    EXPECT_EQ(answer, 1);
    kv::SetAutoPlayCancel(false);
    ASSERT_TRUE(SendWithin(box, query, 0, 0, answer));
    EXPECT_EQ(answer, 0);
    PressKey(box, VK_RETURN);
    EXPECT_EQ(Result(), kv::kMsgBoxOk);
}

TEST_F(MsgBox, NoButtonsForAnUnknownSet) {
    const HWND box = Open([] { return kv::RichMessageBox(nullptr, "None", "None", 0, 6, kv::kMsgBoxDefaultCaptions); }, 0);
    ASSERT_NE(box, nullptr);
    EXPECT_TRUE(ListButtons(box).empty());
    PressKey(box, VK_ESCAPE);
    EXPECT_EQ(Result(), kv::kMsgBoxNone);
}

}  // namespace
