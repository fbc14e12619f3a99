#pragma once
// The setup flow: temporary folder, space check, extraction, engine
// launch and hand-over.

namespace kv {

// Runs once per process, from the main window's first timer tick (a
// package that is not an agent package). Stops timer 1 before anything
// else, so it cannot be entered twice, and ends the message loop.
void RunSetupFlow();

}  // namespace kv
