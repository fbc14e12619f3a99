#include "util/exec_pipe_rules.h"

#include "util/text_utils.h"

namespace kv {

std::string CapturedCommandLine(const std::string& command, const std::string& parameters) {
    const bool quote = command.find(' ') != std::string::npos && command.find('"') == std::string::npos;
    std::string line = quote ? Quote(command) : command;
    if (!parameters.empty()) line += " " + parameters;
    return line;
}

std::string CaptureStartFailureText(const std::string& commandLine, const std::string& errorText) {
    if (commandLine.size() > kMaxCommandLine) return "Command line is too long";
    return commandLine.substr(0, 256) + " --- " + errorText;
}

uint32_t NextPollInterval(uint32_t intervalMs, bool haveOutput) {
    return haveOutput && intervalMs > 10 ? intervalMs - 10 : intervalMs;
}

}  // namespace kv
