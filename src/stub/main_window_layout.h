#pragma once
// Sizes and places of the stub main window and its children, in pixels.
// The right-to-left layout (Hebrew and Arabic packages) swaps the status
// line and the activity bar.
namespace kv {

constexpr int MainWindowWidth = 492;  // outer size
constexpr int MainWindowHeight = 110;
constexpr int MainIconX = 18;  // where the painting draws "MainIcon"
constexpr int MainIconY = 20;
// Height of the status line's starting font (Tahoma).
constexpr int StatusFontHeight = -11;

struct ChildPlace {
    int x, y, width, height;
};

struct MainWindowLayout {
    ChildPlace status;
    ChildPlace mainBar;
    ChildPlace activityBar;
};

// Character sets whose texts read right to left: Hebrew and Arabic.
constexpr bool ReadsRightToLeft(int charset) { return charset == 177 || charset == 178; }

constexpr MainWindowLayout MainWindowLayoutFor(bool rightToLeft) {
    return rightToLeft ? MainWindowLayout{{122, 20, 340, 18}, {70, 38, 392, 13}, {70, 20, 46, 13}}
                       : MainWindowLayout{{70, 20, 340, 18}, {70, 38, 392, 13}, {416, 20, 46, 13}};
}

}  // namespace kv
