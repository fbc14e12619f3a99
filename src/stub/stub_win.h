#pragma once
// The stub main window: caption, status line, two progress bars, the
// one-second timer and the stub's only message loop.

namespace kv {

// Registers the class, creates the hidden window, runs the loop until it
// ends, then tears down.
void RunMainWindow();

}  // namespace kv
