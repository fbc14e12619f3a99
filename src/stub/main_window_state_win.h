#pragma once
// The main window's unit-level state, shared by its source files
// (creation, window procedure, progress, status line).
#include <windows.h>

#include "util/gdi_handle.h"

namespace kv {

struct MainWindowState {
    HWND window = nullptr;
    HWND statusLine = nullptr;
    HWND mainBar = nullptr;
    HWND activityBar = nullptr;
    // Set by DestroyMainWindow: the loop stops after the dispatch that set it.
    bool loopEnded = false;
    // The status line's font; replaced by SetMainStatus, freed with the window.
    FontHandle statusFont;
};

MainWindowState& MainState();

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// The close request: the first one only asks a running transfer to stop.
LRESULT CloseMainWindow(HWND window, WPARAM wParam, LPARAM lParam);
// The window goes: stop transfers, remove the temporary folder, end the loop.
void DestroyMainWindow();

}  // namespace kv
