#pragma once
// The command-line reader. A switch is a switch character ('/' or '-'),
// a name, optionally '=' and a value that runs up to the next space
// followed by the switch character. Double quotes are ignored.
#include <cstdint>
#include <string>

namespace kv {

// Sets the raw command line (program path included, as the system gives
// it) and the running program's full path. The entry calls it once at
// start-up; tests call it to read a given command line.
void SetCommandLineSource(const std::string& rawCommandLine, const std::string& programPath);
const std::string& RawCommandLine();
const std::string& ProgramPath();

// The command line without the program's own path or name, trimmed.
std::string ArgumentText();
// Same rule over explicit inputs.
std::string ArgumentTextOf(const std::string& rawCommandLine, const std::string& programPath);

// The switch list: a field list with `separator`, made from the argument
// text by splitting before every space followed by `switchChar`.
std::string SwitchList(char switchChar, char separator);

// Trimmed value of a switch (name with or without its switch character
// and trailing '='); "" when present without value; `def` when absent.
// A switch written without '=' is never found here: use HasSwitch.
std::string GetSwitch(const std::string& name, const std::string& def = std::string());
// The value as a 64-bit integer; `def` when absent or not a number.
int64_t GetSwitchInt64(const std::string& name, int64_t def);
// Whether the trimmed text followed by a space occurs in the argument
// text followed by a space, case ignored.
bool HasSwitch(const std::string& text);

// The separator of the switch list used by GetSwitch.
constexpr char SwitchSeparator = '\x01';

}  // namespace kv
