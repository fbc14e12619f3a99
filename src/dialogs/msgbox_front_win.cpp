#include "dialogs/msgbox_win.h"

#include "util/message_pump.h"

namespace kv {

namespace {
constexpr uint32_t kErrorStyle = MB_ICONHAND | MB_OK;               // 16
constexpr uint32_t kWarningStyle = MB_ICONEXCLAMATION | MB_OK;      // 48
constexpr uint32_t kYesNoStyle = MB_ICONQUESTION | MB_YESNO;        // 36
constexpr uint32_t kOkCancelStyle = MB_ICONQUESTION | MB_OKCANCEL;  // 33
static_assert(kErrorStyle == 16 && kWarningStyle == 48 && kYesNoStyle == 36 && kOkCancelStyle == 33,
              "the shortcuts' styles");
}  // namespace

int ShowMessageBox(BoxMode mode, const std::string& text, const std::string& caption, uint32_t timeoutMs,
                   uint32_t style, int charset, const std::string& captions) {
    const uint32_t boxStyle = MsgBoxStyleFor(mode, style, charset);
    const std::string shown = mode == kBoxWithHeading ? MsgBoxTextWithHeading(caption, text) : text;
    const HWND owner = ModeIsOwner(mode) ? reinterpret_cast<HWND>(mode) : GetActiveWindow();
    const int result = RichMessageBox(owner, shown, caption, timeoutMs, boxStyle, ButtonCaptionsOrDefault(captions));
    // Lets the windows below repaint before the caller goes on.
    WaitMs(0, 100);
    return result;
}

void ShowError(BoxMode mode, const std::string& text, const std::string& caption, int charset,
               const std::string& captions) {
    ShowMessageBox(mode, text, CaptionOrDefault(caption, kCaptionError), 0, kErrorStyle, charset,
                   ButtonCaptionsOrDefault(captions));
}

void ShowWarning(BoxMode mode, const std::string& text, const std::string& caption, uint32_t timeoutMs,
                 int charset, const std::string& captions) {
    ShowMessageBox(mode, text, CaptionOrDefault(caption, kCaptionAttention), timeoutMs, kWarningStyle, charset,
                   ButtonCaptionsOrDefault(captions));
}

bool AskYesNo(BoxMode mode, const std::string& text, const std::string& caption, uint32_t timeoutMs, int charset,
              const std::string& captions) {
    return ShowMessageBox(mode, text, CaptionOrDefault(caption, kCaptionConfirm), timeoutMs, kYesNoStyle, charset,
                          ButtonCaptionsOrDefault(captions)) == kMsgBoxYes;
}

bool AskOkCancel(BoxMode mode, const std::string& text, const std::string& caption, int charset,
                 const std::string& captions) {
    return ShowMessageBox(mode, text, CaptionOrDefault(caption, kCaptionConfirm), 0, kOkCancelStyle, charset,
                          ButtonCaptionsOrDefault(captions)) == kMsgBoxOk;
}

}  // namespace kv
