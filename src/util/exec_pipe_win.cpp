#include "util/exec_pipe.h"

#include <windows.h>

#include <vector>

#include "util/message_pump.h"
#include "util/sysinfo.h"
#include "util/win_handle.h"

namespace kv {
namespace {

constexpr DWORD kStillActive = 259;
constexpr DWORD kCancelledExitCode = 255;
constexpr DWORD kMaxRead = 30000;
// Termination is asynchronous; its exit code shows once it is done.
constexpr DWORD kTerminateWaitMs = 5000;

// Both ends of one anonymous pipe; the child gets one of them.
struct Pipe {
    KernelHandle read;
    KernelHandle write;

    bool Create() {
        // Inheritable, so that the child can be handed its end.
        SECURITY_ATTRIBUTES sa{};
        sa.nLength = sizeof sa;
        sa.bInheritHandle = TRUE;
        HANDLE r = nullptr, w = nullptr;
        if (!CreatePipe(&r, &w, &sa, 0)) return false;
        read.reset(r);
        write.reset(w);
        return true;
    }
};

// Reads what is waiting on the pipe into `text`; true when more was
// waiting than one read takes.
bool ReadWaiting(const Pipe& pipe, std::string& text, const CaptureEvent& onOutput, bool& cancel) {
    DWORD waiting = 0;
    if (!PeekNamedPipe(pipe.read.get(), nullptr, 0, nullptr, &waiting, nullptr) || waiting == 0) return false;
    std::vector<char> buffer(kMaxRead + 1, '\0');
    DWORD got = 0;
    if (!ReadFile(pipe.read.get(), buffer.data(), waiting < kMaxRead ? waiting : kMaxRead, &got, nullptr)) got = 0;
    buffer[got] = '\0';
    // Console programs write in the OEM code page; the rest of the system
    // reads ANSI.
    OemToCharBuffA(buffer.data(), buffer.data(), got);
    const std::string piece(buffer.data());  // up to the first zero byte
    text += piece;
    if (onOutput) onOutput(piece, cancel);
    return got < waiting;
}

}  // namespace

bool RunCaptured(const std::string& command, const std::string& parameters, int showState, uint32_t& exitCode,
                 std::string& output, std::string& errorOutput, uint32_t waitAfterMs, const CaptureEvent& onOutput) {
    output.clear();
    errorOutput.clear();
    const std::string commandLine = CapturedCommandLine(command, parameters);

    Pipe in, out, err;
    bool started = in.Create() && out.Create() && err.Create();
    PROCESS_INFORMATION pi{};
    if (started && commandLine.size() <= kMaxCommandLine) {
        STARTUPINFOA si{};
        si.cb = sizeof si;
        si.dwFlags = STARTF_USESTDHANDLES | STARTF_USESHOWWINDOW | STARTF_FORCEONFEEDBACK;
        si.wShowWindow = WORD(showState);
        si.hStdInput = in.read.get();
        si.hStdOutput = out.write.get();
        si.hStdError = err.write.get();
        std::vector<char> line(commandLine.begin(), commandLine.end());
        line.push_back('\0');
        started = CreateProcessA(nullptr, line.data(), nullptr, nullptr, TRUE, IDLE_PRIORITY_CLASS, nullptr,
                                 nullptr, &si, &pi) != 0;
    } else {
        started = false;
    }
    if (!started) {
        exitCode = kCaptureStartFailed;
        errorOutput = CaptureStartFailureText(commandLine, LastErrorText());
        bool ignored = false;
        if (onOutput) onOutput(errorOutput + "\r\n", ignored);
        return false;
    }
    const KernelHandle process(pi.hProcess);
    const KernelHandle thread(pi.hThread);

    DWORD interval = onOutput ? 1 : 100;
    DWORD code = kStillActive;
    bool cancel = false;
    bool more = false;
    do {
        WaitForSingleObject(process.get(), interval);
        const bool moreOut = ReadWaiting(out, output, onOutput, cancel);
        const bool moreErr = ReadWaiting(err, errorOutput, onOutput, cancel);
        more = moreOut || moreErr;
        if (cancel) {
            TerminateProcess(process.get(), kCancelledExitCode);
            WaitForSingleObject(process.get(), kTerminateWaitMs);
            cancel = false;
        }
        if (!GetExitCodeProcess(process.get(), &code)) code = 0;
        interval = NextPollInterval(interval, !output.empty());
    } while (code == kStillActive || more);

    WaitMs(0, waitAfterMs);
    ReadWaiting(out, output, onOutput, cancel);
    ReadWaiting(err, errorOutput, onOutput, cancel);
    exitCode = code;
    return code == 0;
}

}  // namespace kv
