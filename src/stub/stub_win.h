#pragma once
// The stub main window: caption, icon, status line, two progress bars,
// the one-second timer and the stub's only message loop. One window per
// process; its handles stay readable for the whole run (null until it is
// created and after it is gone). Main thread only.
#include <windows.h>

#include <cstdint>
#include <string>

namespace kv {

class TGFileInfo;

// Timer 1 of the main window: its first tick starts the setup flow, every
// tick drives an agent.
constexpr UINT_PTR MainTimerId = 1;
constexpr UINT MainTimerPeriodMs = 1000;
constexpr const char* DefaultMainCaption = "Kavrix Installation Suite";

// Registers the class, creates the hidden window, runs the loop until it
// ends, then tears down. Called once per process.
void RunMainWindow();

// The first step of RunMainWindow: "/SleepX=n" with n >= 0 sets the
// agent's timer count to -n (the agent's first cycle waits n more ticks);
// a negative or missing value leaves the count alone.
void ApplySleepSwitch();

// What the window takes from the package: the caption (language text
// "s0") and the character set that decides the right-to-left layout.
struct MainWindowLook {
    std::string caption = DefaultMainCaption;
    int charset = 0;
};
MainWindowLook MainWindowLookOf(const TGFileInfo& package);

// Registers the window class of that name (kept registered for the
// process) and creates the hidden window with its children, timer 1 and
// the status font. Null when it cannot be created. RunMainWindow does
// this and then runs the loop; tests call it to look at the window.
HWND CreateMainWindow(const std::string& className, const MainWindowLook& look);

// Runs the loop: until the quit message, or until a dispatched message
// has ended it (the window was destroyed).
void RunMainLoop();

HWND MainWindowHandle();
HWND StatusLineHandle();
HWND MainProgressBarHandle();
HWND ActivityBarHandle();

// The progress callback of the two bars (a TProgBarShowProc). Kind 0
// sets the main bar's range to 0..low 16 bits of `rangeHigh`, its
// position and step, and resets the activity bar to 0..5 at 0; kind 1
// steps the main bar and moves the activity bar on through 1..5, 0 (the
// count lives for the process, kind 0 does not reset it). The range low
// and the text are not used; other kinds do nothing.
void MainProgress(int32_t kind, int32_t rangeLow, int32_t rangeHigh, int32_t position, int32_t step,
                  const std::string& text);

// Restyles and refills the status line: right-aligned right-to-left
// reading for the character sets 177 and 178, a new font of that face and
// character set with the point size's pixel height, then the text.
void SetMainStatus(const std::string& text, const std::string& fontName, int charset, int pointSize);

// The setup flow shows the window for a foreground operation and hides it
// once the engine runs; the activity bar shows when the package asks.
void ShowMainWindow();
void HideMainWindow();
void ShowActivityBar();

}  // namespace kv
