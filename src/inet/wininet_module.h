#pragma once
// The system's Internet library, loaded at the first download and kept
// until the stub main window goes.
namespace kv {

// Releases the library and forgets it; nothing is loaded until the first
// download, so until then this does nothing. No transfer runs afterwards.
void UnloadWinINet();

}  // namespace kv
