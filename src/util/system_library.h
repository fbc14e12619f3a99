#pragma once
// Loading system libraries by full path from the system folder, never by
// bare name: a setup usually starts from a downloads folder, and a bare
// name would pick up a planted DLL of that name lying beside it.
#include <windows.h>

#include <string>

#include "util/win_handle.h"

namespace kv {

// "<system folder>\<name>".
std::string SystemLibraryPath(const char* name);
// Loads the library from the system folder (its own dependencies are
// looked up there too).
ModuleHandle LoadSystemLibrary(const char* name);

}  // namespace kv
