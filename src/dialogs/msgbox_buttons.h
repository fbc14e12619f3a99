#pragma once
// Which buttons a message box has, what they answer, and which button a
// typed letter chooses. Pure text work over the style flags and the
// caption field list.
#include <cstdint>
#include <string>
#include <vector>

namespace kv {

// The system's result codes; a box closed without a button answers 0.
enum MsgBoxResult : int {
    kMsgBoxNone = 0,
    kMsgBoxOk = 1,
    kMsgBoxCancel = 2,
    kMsgBoxAbort = 3,
    kMsgBoxRetry = 4,
    kMsgBoxIgnore = 5,
    kMsgBoxYes = 6,
    kMsgBoxNo = 7,
};

// The seven captions, fields 0 OK, 1 Cancel, 2 Yes, 3 No, 4 Abort,
// 5 Retry, 6 Ignore.
extern const char* const kMsgBoxDefaultCaptions;

// Style flags the box looks at (the values of the system's message box
// styles, plus one of our own).
constexpr uint32_t kMsgBoxRightAligned = 0x80000;   // MB_RIGHT
constexpr uint32_t kMsgBoxRtlReading = 0x100000;    // MB_RTLREADING
constexpr uint32_t kMsgBoxNoCloseFlag = 0x10000000;  // grey the Close command

struct MsgBoxButton {
    std::string caption;
    int result = 0;
};

// The buttons of the set in `style & 0xF`, left to right, captions taken
// from the field list `captions`; empty for a set that has none.
std::vector<MsgBoxButton> MsgBoxButtons(uint32_t style, const std::string& captions);

// The index of the default button, (style >> 8) & 0xF modulo `count`;
// 0 when there are no buttons.
int MsgBoxDefaultIndex(uint32_t style, int count);

// The letter a key chooses a caption by: the one right after the first
// "&", or the first character when there is no "&"; upper-cased. 0 when
// there is none.
char CaptionKeyLetter(const std::string& caption);

// The button a letter key (A to Z) chooses; when several match, the last
// one. -1 when none does.
int ButtonForLetter(const std::vector<MsgBoxButton>& buttons, char letter);

// The button an Alt+character chooses: the first whose caption's second
// character is `typed` or its upper-case form (the letter after a leading
// "&"). -1 when none does.
int ButtonForSysChar(const std::vector<MsgBoxButton>& buttons, char typed);

}  // namespace kv
