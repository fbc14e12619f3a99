#pragma once
// The self-copies: the X_ copy of the plain agent and the Y_ copy of a
// multi-disk setup.

namespace kv {

// Plain agent: writes the X_ copy beside itself and starts it.
void CreateAndRun_X_Exe();
// Multi-disk setup: copies itself into the temp folder as Y_ and starts
// the copy on the first disk file.
void RunSpanRelaunch();

}  // namespace kv
