#include "dialogs/msgbox_buttons.h"

#include "util/ksub.h"

namespace kv {

const char* const kMsgBoxDefaultCaptions = "|&OK|&Cancel|&Yes|&No|&Abort|&Retry|&Ignore|";

namespace {

struct SetEntry {
    int field;
    int result;
};

// Per button set: up to three (caption field, result) pairs, left to right.
constexpr int kSetCount = 6;
constexpr SetEntry kSets[kSetCount][3] = {
    {{0, kMsgBoxOk}, {-1, 0}, {-1, 0}},
    {{0, kMsgBoxOk}, {1, kMsgBoxCancel}, {-1, 0}},
    {{4, kMsgBoxAbort}, {5, kMsgBoxRetry}, {6, kMsgBoxIgnore}},
    {{2, kMsgBoxYes}, {3, kMsgBoxNo}, {1, kMsgBoxCancel}},
    {{2, kMsgBoxYes}, {3, kMsgBoxNo}, {-1, 0}},
    {{5, kMsgBoxRetry}, {1, kMsgBoxCancel}, {-1, 0}},
};

char Upper(char c) { return (c >= 'a' && c <= 'z') ? char(c - 'a' + 'A') : c; }

}  // namespace

std::vector<MsgBoxButton> MsgBoxButtons(uint32_t style, const std::string& captions) {
    std::vector<MsgBoxButton> buttons;
    const uint32_t set = style & 0xF;
    if (set >= uint32_t(kSetCount)) return buttons;
    for (const SetEntry& e : kSets[set]) {
        if (e.field < 0) break;
        buttons.push_back(MsgBoxButton{SUB::Get(captions, e.field), e.result});
    }
    return buttons;
}

int MsgBoxDefaultIndex(uint32_t style, int count) {
    return count > 0 ? int((style >> 8) & 0xF) % count : 0;
}

char CaptionKeyLetter(const std::string& caption) {
    const size_t amp = caption.find('&');
    if (amp == std::string::npos) return caption.empty() ? 0 : Upper(caption[0]);
    return amp + 1 < caption.size() ? Upper(caption[amp + 1]) : 0;
}

int ButtonForLetter(const std::vector<MsgBoxButton>& buttons, char letter) {
    int chosen = -1;
    for (size_t i = 0; i < buttons.size(); ++i)
        if (letter != 0 && CaptionKeyLetter(buttons[i].caption) == Upper(letter)) chosen = int(i);
    return chosen;
}

int ButtonForSysChar(const std::vector<MsgBoxButton>& buttons, char typed) {
    for (size_t i = 0; i < buttons.size(); ++i) {
        const std::string& c = buttons[i].caption;
        if (c.size() >= 2 && (c[1] == typed || c[1] == Upper(typed))) return int(i);
    }
    return -1;
}

}  // namespace kv
