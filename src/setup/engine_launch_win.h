#pragma once
// Starting the setup engine and waiting for it: the engine start of
// ExtractAndRunEngine and its process helpers.
#include <windows.h>

#include <string>

#include "util/win_handle.h"

namespace kv {

// Creates the process from the command line alone (no application name,
// no inherited handles, this process's environment and folder), shown
// with `showState`. An empty handle when it could not be started.
KernelHandle StartProcess(const std::string& commandLine, int showState);

// Pumps messages in rounds of 500 ms (at least one) until the process has
// ended or its exit code can no longer be read.
void WaitForProcessEnd(HANDLE process);

// Starts the extracted engine with the hand-over switches, waits until it
// and its dialogs are gone, takes over its exit code (kExitSetupFailed
// when it could not be started) and removes the hand-over atom. True when
// the engine had removed the atom itself: it reached its successful end.
// Then the product's shortcuts are removed as the update information asks.
bool RunEngine(const std::string& tempFolder, const std::string& engineCommand, const std::string& extraArguments,
               bool foreground);

}  // namespace kv
