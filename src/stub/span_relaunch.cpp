#include "stub/span_relaunch.h"

#include "util/text_utils.h"

namespace kv {

std::string YCopyPath(const std::string& setupTempFolder, const std::string& stubPath) {
    return setupTempFolder + "\\Y_" + ExtractFileName(stubPath);
}

std::string WithoutSpanSwitches(std::string arguments) {
    for (const char* name : {"/SpanCdLvl=", "/SpanDiskFName1="}) {
        for (int at = PosText(name, arguments); at > 0; at = PosText(name, arguments)) {
            size_t end = size_t(at);  // 0-based index of the character after the '/'
            while (end < arguments.size() && arguments[end] != '/') ++end;
            arguments.erase(size_t(at) - 1, end - (size_t(at) - 1));
        }
    }
    return arguments;
}

std::string YCopyCommandLine(const std::string& yCopyPath, const std::string& argumentText,
                             const std::string& stubPath) {
    // The first of two equal switches wins when they are read: a level the
    // user gave would keep the copy relaunching itself.
    const std::string arguments = WithoutSpanSwitches(argumentText) + " /SpanCdLvl=2 /SpanDiskFName1=\"" + stubPath + ".001\"" +
                                  " /OriginExe=\"" + stubPath + "\"";
    return yCopyPath + " " + Trim(arguments);
}

}  // namespace kv
