#pragma once
// The command line of kvpack, turned into a PackageSpec.
#include <string>
#include <vector>

#include "kvpack/kvpack.h"

namespace kv::pack {

enum class CliResult { Build, Help, Error };

// Parses the arguments (without the program name). Options take their
// value as the next argument or after '='; flags accept "=0".."=255".
CliResult ParseArguments(const std::vector<std::string>& args, PackageSpec& spec, std::string& error);

// The --help text: every option and the layouts of segmented and
// spanned packages.
std::string HelpText();

}  // namespace kv::pack
