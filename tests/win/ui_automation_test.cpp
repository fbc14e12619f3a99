// The UI automation helper on windows of its own thread: what it reads
// must be what the controls hold, in the coordinates it promises.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <string>

#include "harness/harness.h"

namespace {

using namespace kv::test;

// A top-level window with a static text, two buttons and a progress bar,
// made once for the suite (closing a window costs seconds under Wine).
class Panel : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        // The progress bar class comes with the common controls library.
        comctl_ = LoadLibraryA("comctl32.dll");
        const HINSTANCE instance = GetModuleHandleA(nullptr);
        window_ = CreateWindowExA(0, "STATIC", "Panel", WS_OVERLAPPED | WS_CAPTION | WS_VISIBLE, 100, 120, 400, 300,
                                  nullptr, nullptr, instance, nullptr);
        label_ = CreateWindowExA(0, "STATIC", "Status line", WS_CHILD | WS_VISIBLE, 10, 10, 200, 16, window_, nullptr,
                                 instance, nullptr);
        // Created right one first: the list must come out left to right.
        right_ = CreateWindowExA(0, "Button", "&Cancel", WS_CHILD | WS_VISIBLE, 200, 200, 70, 23, window_, nullptr,
                                 instance, nullptr);
        left_ = CreateWindowExA(0, "Button", "&OK", WS_CHILD | WS_VISIBLE | BS_DEFPUSHBUTTON, 120, 200, 70, 23,
                                window_, nullptr, instance, nullptr);
        bar_ = CreateWindowExA(0, "msctls_progress32", "", WS_CHILD | WS_VISIBLE, 10, 40, 300, 16, window_, nullptr,
                               instance, nullptr);
    }
    static void TearDownTestSuite() {
        if (window_ != nullptr) DestroyWindow(window_);
        window_ = nullptr;
        if (comctl_ != nullptr) FreeLibrary(comctl_);
        comctl_ = nullptr;
    }
    void SetUp() override {
        ASSERT_NE(comctl_, nullptr);
        ASSERT_NE(window_, nullptr);
        ASSERT_NE(bar_, nullptr);
    }

    static HMODULE comctl_;
    static HWND window_;
    static HWND label_;
    static HWND left_;
    static HWND right_;
    static HWND bar_;
};

HMODULE Panel::comctl_ = nullptr;
HWND Panel::window_ = nullptr;
HWND Panel::label_ = nullptr;
HWND Panel::left_ = nullptr;
HWND Panel::right_ = nullptr;
HWND Panel::bar_ = nullptr;

TEST_F(Panel, FindsAndReadsTheWindow) {
    EXPECT_EQ(WaitForTopLevelWindow("static", 1000, GetCurrentProcessId()), window_);
    EXPECT_EQ(FindChildOfClass(window_, "msctls_progress32"), bar_);
    EXPECT_EQ(ControlText(label_), "Status line");
    EXPECT_EQ(ControlText(window_), "Panel");

    const WindowFacts f = ReadWindowFacts(window_);
    EXPECT_EQ(f.window.left, 100);
    EXPECT_EQ(f.window.top, 120);
    EXPECT_EQ(Width(f.window), 400);
    EXPECT_EQ(f.client.left, 0);
    EXPECT_TRUE(f.style & WS_CAPTION);
    EXPECT_TRUE(f.visible);
    EXPECT_TRUE(f.enabled);
    EXPECT_GT(f.clientOrigin.y, f.window.top);  // below the caption
}

TEST_F(Panel, ListsButtonsLeftToRightInBothCoordinates) {
    const WindowFacts f = ReadWindowFacts(window_);
    const std::vector<ButtonInfo> buttons = ListButtons(window_);
    ASSERT_EQ(buttons.size(), 2u);
    EXPECT_EQ(buttons[0].window, left_);
    EXPECT_EQ(buttons[0].caption, "&OK");
    EXPECT_TRUE(buttons[0].isDefault);
    EXPECT_EQ(buttons[1].caption, "&Cancel");
    EXPECT_FALSE(buttons[1].isDefault);
    EXPECT_EQ(buttons[0].client.left, 120);
    EXPECT_EQ(buttons[0].client.top, 200);
    EXPECT_EQ(Width(buttons[0].client), 70);
    EXPECT_EQ(Height(buttons[0].client), 23);
    EXPECT_EQ(buttons[1].screen.left, f.clientOrigin.x + 200);
    EXPECT_EQ(buttons[1].screen.top, f.clientOrigin.y + 200);
}

TEST_F(Panel, ReadsProgressRangeAndPosition) {
    SendMessageA(bar_, PBM_SETRANGE32, 5, 70000);
    SendMessageA(bar_, PBM_SETPOS, 1234, 0);
    ProgressState p;
    ASSERT_TRUE(ReadProgress(bar_, p));
    EXPECT_EQ(p.low, 5);
    EXPECT_EQ(p.high, 70000);
    EXPECT_EQ(p.position, 1234);
    SendMessageA(bar_, PBM_SETRANGE, 0, MAKELPARAM(0, 100));
    SendMessageA(bar_, PBM_SETPOS, 100, 0);
    ASSERT_TRUE(ReadProgress(bar_, p));
    EXPECT_EQ(p.high, 100);
    EXPECT_EQ(p.position, 100);
}

TEST(UiAutomation, WindowGoneOnceDestroyed) {
    const HWND w = CreateWindowExA(0, "STATIC", "Short-lived", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                   GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(w, nullptr);
    EXPECT_FALSE(WaitForWindowGone(w, 50));
    DestroyWindow(w);
    EXPECT_TRUE(WaitForWindowGone(w, 1000));
    EXPECT_EQ(ControlText(w), "");
}

}  // namespace
