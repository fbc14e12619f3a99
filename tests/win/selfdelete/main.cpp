// Test helper: calls DeleteSelf and exits, so that the test can watch the
// batch file remove this program's file (and folder) after the process
// has ended. Arguments: remove-folder flag, short-names flag (each 0 or
// 1), then milliseconds to stay alive after the call.
#include <windows.h>

#include <cstdlib>

#include "util/files.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR cmdLine, int) {
    char* p = cmdLine;
    const long removeFolder = std::strtol(p, &p, 10);
    const long shortNames = std::strtol(p, &p, 10);
    const long lingerMs = std::strtol(p, &p, 10);
    kv::DeleteSelf(removeFolder != 0, shortNames != 0);
    if (lingerMs > 0) Sleep(DWORD(lingerMs));
    return 0;
}
