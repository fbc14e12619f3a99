#pragma once
// The unpacker: extracts every file entry of a setup package (one file or
// a set of segment files) into a folder, finds the entry that marks the
// setup engine, and writes the agent copy of the stub when asked. Main
// thread only; pumps window messages while it works.
#include <stdexcept>
#include <string>

#include "stub/progress.h"

namespace kv {

// A compressed entry that does not inflate (damaged data, or no memory
// for the result). The one error that leaves the unpacker; the setup flow
// reports it to the user.
class DecompressionError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Extracts `packagePath` (and its further segments) into `destDir`.
// `crcOk` comes back true when every segment reached passed its checksum
// and no block ran past its segment's end; false also when the first file
// is missing. `engineCommand` is the header text that marked the engine
// (for example "Engine.exe*"), empty when none did or a disk prompt was
// cancelled. `agentName`: file name of the agent copy, empty for none.
void UnpackPackage(const std::string& packagePath, const std::string& destDir, const std::string& agentName,
                   bool& crcOk, TProgBarShowProc progress, const std::string& diskPrompt,
                   const std::string& promptCaption, const std::string& promptButtons, int charset,
                   bool forcePrompt, std::string& engineCommand);

}  // namespace kv
