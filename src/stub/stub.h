#pragma once
// The entry sequence and the choice of role.

namespace kv {

// Runs the entry sequence on the command line set with
// SetCommandLineSource; returns the process exit code.
unsigned RunStubEntry();

// Decides the role of this start and runs it.
void DoRunStubWin();

}  // namespace kv
