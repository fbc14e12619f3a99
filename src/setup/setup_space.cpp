#include "setup/setup_space.h"

#include <cstdio>

#include "util/folder_path.h"
#include "util/text_utils.h"

namespace kv {

std::string FormatMB(double bytes) {
    double mb = bytes > 0 ? bytes / 1048576.0 : 0.0;
    const int decimals = mb > 10 ? 1 : (mb < 1 ? 3 : 2);
    char text[64];
    // The stub never sets a locale, so the C locale's "." is the point.
    const int n = std::snprintf(text, sizeof text, "%.*f", decimals, mb);
    return n > 0 && size_t(n) < sizeof text ? std::string(text, size_t(n)) : std::string();
}

TempSpaceTexts DefaultTempSpaceTexts() {
    TempSpaceTexts t;
    t.askBeforeExtract = "Kavrix will extract files to your Temp Drive (<DRIVE>)<P>";
    t.shortOfSpace = "Limited Free Space on your Temp Drive! (<DRIVE>)<P>";
    t.spaceRequired = "<P>Estimated space required on your Temp drive is: <T>  <SPACE_REQ> MB<P>";
    t.spaceAvailable = "Free space available on your Temp drive is: <T>  <SPACE_AVAIL> MB<P>";
    t.continueQuestion = "<P>Continue with Setup?<P>";
    return t;
}

std::string TempDriveOf(const std::string& folder) {
    if (folder.empty()) return std::string();
    return UpperCase(folder.substr(0, 1)) + ":";
}

std::string TempSpaceQuestion(const TempSpaceTexts& texts, bool askBeforeExtract, const std::string& drive,
                              double required, double available) {
    std::string message;
    if (askBeforeExtract) message = texts.askBeforeExtract;
    if (required >= available) message = texts.shortOfSpace;
    if (message.empty()) return message;
    message += texts.spaceRequired + texts.spaceAvailable + texts.continueQuestion;
    message = ReplaceText(message, "<DRIVE>", drive, 0, 0, false);
    message = ReplaceText(message, "<SPACE_REQ>", FormatMB(required), 0, 0, false);
    return ReplaceText(message, "<SPACE_AVAIL>", FormatMB(available), 0, 0, false);
}

std::string SetupTempFolderName(const std::string& tempFolder, uint32_t dosDateTime) {
    return TrailingBackslashRule(tempFolder, true) + "SETUP_" + IntToStr(dosDateTime & 0xFFFFu);
}

}  // namespace kv
