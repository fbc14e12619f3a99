#pragma once
// Loading system libraries by full path from the system folder, never by
// bare name: a setup usually starts from a downloads folder, and a bare
// name would pick up a planted DLL of that name lying beside it. For the
// same reason the stub imports only the system's known DLLs statically
// (tools/check-imports holds the list); every other library comes through
// here at run time.
#include <windows.h>

#include <string>

#include "util/win_handle.h"

namespace kv {

// Restricts the process's DLL search to the system folder (and takes the
// current folder out of it), so that libraries loaded later by the
// system's own code cannot come from beside the program either. Called
// first thing at start-up; true when the system-folder-only search is in
// force (systems without SetDefaultDllDirectories only lose the current
// folder).
bool RestrictDllSearch();

// "<system folder>\<name>".
std::string SystemLibraryPath(const char* name);
// Loads the library from the system folder; its own dependencies are
// looked up there too.
ModuleHandle LoadSystemLibrary(const char* name);

// Address of `function` in the system library `library`, which stays
// loaded; null when either is missing.
FARPROC LoadProcedure(const std::string& library, const std::string& function);

// The libraries the process keeps loaded from start-up to its end: the
// shell, the script layout and Rich Edit 1.0. Failures are ignored and no
// file-not-found box is shown. Called once, after the trace channel.
void LoadStartupLibraries();

}  // namespace kv
