#pragma once
// What the standard boxes hand to the message box: the heading of mode 0,
// the style bits added for right-to-left languages and by the mode, and
// the defaults of the shortcuts. Pure text work.
#include <cstdint>
#include <string>

namespace kv {

// Either a mode (0, 1, 2) or, above 2, the window handle that owns the box.
using BoxMode = uintptr_t;
// The caption repeated as a bold heading above the text.
constexpr BoxMode kBoxWithHeading = 0;
// The text as given.
constexpr BoxMode kBoxPlain = 1;
// The text as given; the Close command of the box is greyed.
constexpr BoxMode kBoxNoClose = 2;

// Whether the mode is in fact the owner window.
inline bool ModeIsOwner(BoxMode mode) { return mode > 2; }

// The style the box gets: right-to-left bits for the Hebrew (177) and
// Arabic (178) character sets, topmost | set-foreground | task-modal, and
// the greyed Close for mode 2.
uint32_t MsgBoxStyleFor(BoxMode mode, uint32_t style, int charset);

// The text with the mode-0 heading: the caption (upper-cased when it is
// one of the standard captions) in bold, an empty line, the text and a
// final line break.
std::string MsgBoxTextWithHeading(const std::string& caption, const std::string& text);

// The standard captions, fields 0 Error, 1 Attention, 2 Confirm.
extern const char* const kMsgBoxStandardCaptions;
constexpr int kCaptionError = 0;
constexpr int kCaptionAttention = 1;
constexpr int kCaptionConfirm = 2;

// `caption`, or the standard caption `field` when it is empty.
std::string CaptionOrDefault(const std::string& caption, int field);
// `captions`, or the seven default button captions when it is empty.
std::string ButtonCaptionsOrDefault(const std::string& captions);

}  // namespace kv
