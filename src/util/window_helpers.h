#pragma once
// Small facts about windows and the screen, and handing a file to the
// shell.
#include <windows.h>

#include <string>

namespace kv {

// Empty for a null handle.
std::string WindowClassName(HWND window);
std::string WindowTitle(HWND window);
// The last window in the owner chain (the window itself when unowned).
HWND TopOwnerWindow(HWND window);

struct WindowOrigin {
    int left = 0;
    int top = 0;
};
// Left and top that centre a window of this size in the desktop work area.
WindowOrigin CenterInWorkArea(int width, int height);
// A size in points as screen pixels (vertical pixels per inch, read once).
int PointsToPixels(int points);
// True when the shell accepted to open the file (no verb, no folder).
bool ShellOpen(const std::string& file, const std::string& parameters, int showMode);

}  // namespace kv
