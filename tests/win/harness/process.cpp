#include "harness/process.h"

#include <utility>
#include <vector>

#include "harness/deadline.h"

namespace kv::test {
namespace {

constexpr DWORD kTerminateWaitMs = 10000;
constexpr DWORD kPollMs = 20;

}  // namespace

std::string QuoteArg(const std::string& arg) {
    if (!arg.empty() && arg.find_first_of(" \t\"") == std::string::npos) return arg;
    std::string out = "\"";
    size_t backslashes = 0;
    for (char c : arg) {
        if (c == '\\') {
            ++backslashes;
            continue;
        }
        if (c == '"') out.append(backslashes * 2 + 1, '\\');
        else out.append(backslashes, '\\');
        backslashes = 0;
        out += c;
    }
    out.append(backslashes * 2, '\\');
    out += '"';
    return out;
}

ChildProcess::~ChildProcess() {
    if (Running()) Terminate();
}

ChildProcess& ChildProcess::operator=(ChildProcess&& other) {
    if (this != &other) {
        if (Running()) Terminate();
        process_ = std::move(other.process_);
        pid_ = std::exchange(other.pid_, 0);
    }
    return *this;
}

bool ChildProcess::Start(const std::string& commandLine, const std::string& currentDir) {
    if (process_) return false;
    std::vector<char> cmd(commandLine.begin(), commandLine.end());
    cmd.push_back('\0');
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (!CreateProcessA(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        currentDir.empty() ? nullptr : currentDir.c_str(), &si, &pi)) {
        return false;
    }
    KernelHandle thread(pi.hThread);
    process_.reset(pi.hProcess);
    pid_ = pi.dwProcessId;
    return true;
}

bool ChildProcess::Wait(unsigned deadline_ms) {
    return process_ && WaitForSingleObject(process_.get(), deadline_ms) == WAIT_OBJECT_0;
}

bool ChildProcess::Running() const {
    return process_ && WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT;
}

bool ChildProcess::ExitCode(uint32_t& code) const {
    DWORD c = 0;
    if (Running() || !process_ || !GetExitCodeProcess(process_.get(), &c)) return false;
    code = c;
    return true;
}

bool ChildProcess::Terminate(uint32_t exitCode) {
    if (!process_) return false;
    TerminateProcess(process_.get(), exitCode);
    return WaitForSingleObject(process_.get(), kTerminateWaitMs) == WAIT_OBJECT_0;
}

bool RunProcess(const std::string& commandLine, const std::string& currentDir, unsigned timeout_ms,
                uint32_t& exitCode) {
    ChildProcess child;
    if (!child.Start(commandLine, currentDir)) return false;
    if (!child.Wait(timeout_ms)) return false;  // the owner ends it
    return child.ExitCode(exitCode);
}

HWND FindTopWindow(const std::string& className, unsigned deadline_ms, const std::string& title) {
    const Deadline deadline(deadline_ms);
    for (;;) {
        const HWND w = FindWindowA(className.c_str(), title.empty() ? nullptr : title.c_str());
        if (w != nullptr || deadline.Passed()) return w;
        Sleep(kPollMs);
    }
}

}  // namespace kv::test
