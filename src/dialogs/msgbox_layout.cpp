#include "dialogs/msgbox_layout.h"

#include <algorithm>

#include "util/text_utils.h"

namespace kv {

int MsgBoxLineHeight(int tmHeight, int tmExternalLeading, const std::string& fontName) {
    return tmHeight + tmExternalLeading + (SameTextTrimmed(fontName, "MS PGothic") ? 1 : 0);
}

BoxExtent EstimateTextExtent(const std::string& text, int lineHeight,
                             const std::function<int(const std::string& line)>& lineWidth) {
    BoxExtent e;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find_first_of("\r\n", start);
        if (end == std::string::npos) end = text.size();
        const int pixels = lineWidth(text.substr(start, end - start));
        e.width = std::max(e.width, pixels + 10);
        e.height += (pixels / kMsgBoxWrapWidth + 1) * lineHeight;
        if (end < text.size() && text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n') ++end;
        start = end + 1;
    }
    e.width = std::min(kMsgBoxWrapWidth, e.width);
    return e;
}

int WidenForBoldText(int width, int height, const std::function<BoxExtent(int width)>& tryWidth) {
    int widest = width;
    for (int i = 0; i <= 20; ++i) {
        const BoxExtent asked = tryWidth(width + 10 * i);
        if (asked.height <= height) return width + 10 * i;
        widest = std::max(widest, asked.width);
    }
    return widest + 10;
}

BoxExtent MsgBoxOuterSize(int textWidth, int textHeight, int frameX, int frameY, int captionHeight) {
    const int marginX = textWidth < 200 ? 64 : 32;
    const int marginY = textHeight < 39 ? 45 : 32;
    BoxExtent e;
    e.width = std::max(kMsgBoxMinWidth, textWidth + kMsgBoxStripeWidth + 2 * marginX + 2 * frameX);
    e.height = textHeight + 36 + 2 * marginY + 2 * frameY + captionHeight;
    return e;
}

BoxRect MsgBoxTextRect(int clientWidth, int clientHeight, int textWidth, int textHeight) {
    BoxRect r;
    // C++ division truncates toward zero, as the layout asks.
    r.left = (clientWidth - kMsgBoxStripeWidth - textWidth) / 2 + kMsgBoxStripeWidth;
    r.top = (clientHeight - 36 - textHeight) / 2;
    r.width = textWidth;
    r.height = clientHeight - r.top - 39;
    return r;
}

BoxRect MsgBoxButtonRect(int clientWidth, int clientHeight, int count, int index) {
    BoxRect r;
    r.left = clientWidth - 80 - kMsgBoxButtonWidth * (count - 1 - index);
    r.top = clientHeight - 29;
    r.width = kMsgBoxButtonWidth;
    r.height = kMsgBoxButtonHeight;
    return r;
}

}  // namespace kv
