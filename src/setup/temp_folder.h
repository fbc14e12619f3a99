#pragma once
// The setup's main temporary folder ("SETUP_" + a number under the system
// temporary folder), made by the setup flow when it first needs it and
// removed by the flow at its end or when the main window goes.
#include <string>

namespace kv {

// The folder as it was made, without touching the disk; empty while no
// folder has been made in this process.
const std::string& KeptSetupTempFolder();
// Records the folder once it exists (the setup flow; tests).
void SetKeptSetupTempFolder(const std::string& folder);

}  // namespace kv
