// Program entry of the stub.
#include <windows.h>

#include <string>

#include "stub/cmdline.h"
#include "stub/stub.h"
#include "util/kdebug.h"
#include "util/system_library.h"

namespace {

std::string ModulePath() {
    std::string path(MAX_PATH, '\0');
    for (;;) {
        const DWORD n = GetModuleFileNameA(nullptr, &path[0], DWORD(path.size()));
        if (n < path.size()) {
            path.resize(n);
            return path;
        }
        path.resize(path.size() * 2);
    }
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    // Before anything can load a library: nothing may come from the
    // folder the setup was started from.
    kv::RestrictDllSearch();
    // Module start-up: the trace channel comes first so that every later
    // line reaches the viewer.
    kv::TraceStartup();
    kv::LoadStartupLibraries();
    kv::SetCommandLineSource(GetCommandLineA(), ModulePath());
    const unsigned code = kv::RunStubEntry();
    ExitProcess(code);
}
