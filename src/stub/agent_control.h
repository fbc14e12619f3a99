#pragma once
// Control of a running X_ agent through private window messages.

namespace kv {

// Plain agent: forwards the command-line requests to the X_ copy.
void HandleParamOK(bool xExeIsRunning);

}  // namespace kv
