#include "dialogs/msgbox_request.h"

#include "dialogs/msgbox_buttons.h"
#include "util/ksub.h"
#include "util/text_utils.h"

namespace kv {

const char* const kMsgBoxStandardCaptions = "|Error|Attention|Confirm|";

namespace {
constexpr int kHebrewCharset = 177;
constexpr int kArabicCharset = 178;
// MB_TOPMOST | MB_SETFOREGROUND | MB_TASKMODAL.
constexpr uint32_t kFrontEndBits = 0x52000;
}  // namespace

uint32_t MsgBoxStyleFor(BoxMode mode, uint32_t style, int charset) {
    if (charset == kHebrewCharset || charset == kArabicCharset) style |= kMsgBoxRightAligned | kMsgBoxRtlReading;
    style |= kFrontEndBits;
    if (mode == kBoxNoClose) style |= kMsgBoxNoCloseFlag;
    return style;
}

std::string MsgBoxTextWithHeading(const std::string& caption, const std::string& text) {
    const std::string heading =
        SUB::Contains(kMsgBoxStandardCaptions, caption, true, false) ? UpperCase(caption) : caption;
    return "<<b>" + heading + "</b><P><P>" + text + "<P>";
}

std::string CaptionOrDefault(const std::string& caption, int field) {
    return caption.empty() ? SUB::Get(kMsgBoxStandardCaptions, field) : caption;
}

std::string ButtonCaptionsOrDefault(const std::string& captions) {
    return captions.empty() ? std::string(kMsgBoxDefaultCaptions) : captions;
}

}  // namespace kv
