#include "stub/span_relaunch.h"

#include "util/text_utils.h"

namespace kv {

std::string YCopyPath(const std::string& setupTempFolder, const std::string& stubPath) {
    return setupTempFolder + "\\Y_" + ExtractFileName(stubPath);
}

std::string YCopyCommandLine(const std::string& yCopyPath, const std::string& argumentText,
                             const std::string& stubPath) {
    const std::string arguments = argumentText + " /SpanCdLvl=2 /SpanDiskFName1=\"" + stubPath + ".001\"" +
                                  " /OriginExe=\"" + stubPath + "\"";
    return yCopyPath + " " + Trim(arguments);
}

}  // namespace kv
