#pragma once
// The setup flow: temporary folder, space check, extraction, engine
// launch and hand-over.
#include <string>

namespace kv {

class TGFileInfo;

// Runs once per process, from the main window's first timer tick (a
// package that is not an agent package). Stops timer 1 before anything
// else, so it cannot be entered twice, and ends the message loop.
void RunSetupFlow();

// Extracts the package into the temp folder (or an alternative one on a
// roomier drive) and runs its engine. `agentName`: the agent copy to
// write beside the files, empty for none. `foreground` shows the main
// window, asks about space and shows the engine; `extraArguments` go onto
// the engine's command line. True only when the engine was started and
// had removed the hand-over atom by the time the stub looked. A setup that
// could not run (damaged package, an entry that does not inflate, an
// engine that could not be started) sets the exit code kExitSetupFailed;
// an engine that ran sets its own.
bool ExtractAndRunEngine(const std::string& tempFolder, const std::string& packagePath, const std::string& agentName,
                         bool foreground, const std::string& extraArguments);

// Asks the user before extracting when the package wants it or the
// folder's drive is short of room. True when nothing needed asking or the
// user said Yes.
bool ConfirmTempSpace(const std::string& tempFolder, const TGFileInfo& package);

}  // namespace kv
