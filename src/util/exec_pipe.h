#pragma once
// Running a command with its standard streams redirected into pipes and
// its output captured (unit ExecPipe).
#include <cstdint>
#include <functional>
#include <string>

#include "util/exec_pipe_rules.h"

namespace kv {

// Receives each piece of output as it is read (already in the ANSI code
// page); setting `cancel` ends the command with exit code 255.
using CaptureEvent = std::function<void(const std::string& text, bool& cancel)>;

// Starts `command` (quoted when it has a blank) with `parameters` at idle
// priority, its standard input, output and error output on three pipes,
// and collects both outputs, converted from the OEM to the ANSI code page,
// until it has ended and the pipes are drained; then pumps messages for
// `waitAfterMs` and reads once more. Pumping happens only there: the
// caller's windows wait while the command runs. A start that fails gives
// exit code kCaptureStartFailed (21) and the reason in `errorOutput`. True
// when the exit code is 0.
bool RunCaptured(const std::string& command, const std::string& parameters, int showState, uint32_t& exitCode,
                 std::string& output, std::string& errorOutput, uint32_t waitAfterMs,
                 const CaptureEvent& onOutput = CaptureEvent());

}  // namespace kv
