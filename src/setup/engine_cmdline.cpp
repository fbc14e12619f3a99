#include "setup/engine_cmdline.h"

#include "util/folder_path.h"
#include "util/text_utils.h"

namespace kv {

std::string HandOverToken(uint32_t threadId) { return "_" + IntToStr(threadId); }

std::string HandOverAtomName(const std::string& token) { return "AutoUpdateAtomTokenByKavrix" + token; }

std::string EngineDialogClass(const std::string& token) { return ".SDialog_Class_Name." + token; }

EngineProgram SplitEngineCommand(const std::string& engineCommand, const std::string& extraArguments) {
    const size_t star = engineCommand.find('*');
    if (star == std::string::npos) return {engineCommand, extraArguments};
    const std::string fixed = Trim(engineCommand.substr(star + 1));
    return {Trim(engineCommand.substr(0, star)), Trim(extraArguments + " " + fixed)};
}

std::string RemoveSwitch(const std::string& commandLine, const std::string& switchName) {
    if (switchName.empty()) return commandLine;
    const size_t at = commandLine.find(switchName);
    if (at == std::string::npos) return commandLine;
    size_t end = at + 1;
    while (end < commandLine.size() && commandLine[end] != '/') ++end;
    return commandLine.substr(0, at) + commandLine.substr(end);
}

std::string EngineCommandLine(const EngineLaunchInput& in) {
    const EngineProgram engine = SplitEngineCommand(in.engineCommand, in.extraArguments);
    std::string line = TrailingBackslashRule(in.tempFolder, true) + engine.program;
    if (!engine.arguments.empty()) line += " " + engine.arguments;
    line += " /TH_ID=" + in.token;
    if (line.find("/OriginExe=") == std::string::npos) line += " /OriginExe=\"" + in.stubPath + "\"";
    if (in.autoUpdateProgram) line += " /AutoUpdateProg";
    // These two belong to the stub's relaunch and never reach the engine.
    line = RemoveSwitch(line, "/SpanCdLvl=");
    return RemoveSwitch(line, "/SpanDiskFName1=");
}

}  // namespace kv
