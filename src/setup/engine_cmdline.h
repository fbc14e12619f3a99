#pragma once
// The engine's side of the hand-over, as texts: its command line, the
// token that ties one engine run to this stub, and the names derived from
// it. Pure text work.
#include <cstdint>
#include <string>

namespace kv {

// "_" + the thread id: one token per engine run.
std::string HandOverToken(uint32_t threadId);
// The global atom the engine deletes at its successful end.
std::string HandOverAtomName(const std::string& token);
// The class of the engine's dialogs the stub waits for after it ended.
std::string EngineDialogClass(const std::string& token);

// The engine command as the unpacker found it ("Engine.exe*" or
// "Setup.exe* /Q"), split: the program is the text before the first '*',
// trimmed, and the arguments are the caller's extra arguments followed by
// the text after the star (trimmed, one blank between). Without a star
// the whole command is the program and the arguments stay as given.
struct EngineProgram {
    std::string program;
    std::string arguments;
};
EngineProgram SplitEngineCommand(const std::string& engineCommand, const std::string& extraArguments);

// Deletes the switch from its first (case-sensitive) occurrence up to the
// next '/' or the end; the blank before it stays, and a value holding '/'
// is cut there. The text unchanged when the name does not occur.
std::string RemoveSwitch(const std::string& commandLine, const std::string& switchName);

// What the command line is made of.
struct EngineLaunchInput {
    std::string tempFolder;     // where the engine was extracted
    std::string engineCommand;  // from the unpacker
    std::string extraArguments;
    std::string token;
    std::string stubPath;       // the running stub, for /OriginExe=
    bool autoUpdateProgram = false;
};

// temp folder\program [arguments] /TH_ID=token, then /OriginExe="stub"
// unless the line already holds "/OriginExe=", then /AutoUpdateProg for an
// agent package; the stub's own /SpanCdLvl= and /SpanDiskFName1= removed.
std::string EngineCommandLine(const EngineLaunchInput& in);

}  // namespace kv
