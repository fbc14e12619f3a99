// The span relaunch: a multi-disk setup runs from a copy in the temp
// folder, so that the drive it was started from is free for disk changes.
#include <windows.h>

#include <string>

#include "setup/engine_launch_win.h"
#include "setup/temp_folder.h"
#include "stub/cmdline.h"
#include "stub/self_copy.h"
#include "stub/span_relaunch.h"
#include "util/kdebug.h"

namespace kv {

void RunSpanRelaunch() {
    const std::string stub = ProgramPath();
    const std::string copy = YCopyPath(SetupTempFolder(), stub);
    // A failed copy is not reported: the start below then fails as well
    // and this process ends in any case.
    CopyFileA(stub.c_str(), copy.c_str(), FALSE);
    const std::string commandLine = YCopyCommandLine(copy, ArgumentText(), stub);
    TraceLine(std::to_string(GetCurrentProcessId()) + " ==== span relaunch >>" + commandLine + "<<");
    StartProcess(commandLine, SW_HIDE);
}

}  // namespace kv
