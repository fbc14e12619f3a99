#pragma once
// The geometry of the message box: the first guess at the text size, the
// widening tries for bold text, the box size, and where the text and the
// buttons go. Pure arithmetic; the box supplies the measurements.
#include <functional>
#include <string>

namespace kv {

struct BoxExtent {
    int width = 0;
    int height = 0;
};

struct BoxRect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
};

// Lines are assumed to wrap at this many pixels.
constexpr int kMsgBoxWrapWidth = 600;
// The coloured stripe on the left of the client area.
constexpr int kMsgBoxStripeWidth = 54;
constexpr int kMsgBoxButtonWidth = 70;
constexpr int kMsgBoxButtonHeight = 23;
constexpr int kMsgBoxMinWidth = 360;

// Height of one text line; one pixel more for "MS PGothic", whose
// ascenders the metrics under-report.
int MsgBoxLineHeight(int tmHeight, int tmExternalLeading, const std::string& fontName);

// The estimated text size: the widest line (its pixel width + 10, at most
// kMsgBoxWrapWidth) and the height of all lines, a line counting once per
// started 600 pixels. Lines end at CR LF, CR or LF; the empty rest after
// the last line break is not a line. `lineWidth` gives a line's pixels.
BoxExtent EstimateTextExtent(const std::string& text, int lineHeight,
                             const std::function<int(const std::string& line)>& lineWidth);

// The control width for bold text, whose real width the estimate misses:
// tries width, width + 10, ... width + 200 (21 tries) and takes the first
// for which the control, sized so, asks for no more than `height`;
// otherwise the widest width it asked for + 10. `tryWidth` sizes the
// control and returns the size it then asks for.
int WidenForBoldText(int width, int height, const std::function<BoxExtent(int width)>& tryWidth);

// Outer size of the box around a text control of w x h, given the sizing
// frame and caption metrics of the system.
BoxExtent MsgBoxOuterSize(int textWidth, int textHeight, int frameX, int frameY, int captionHeight);

// The text control's rectangle in a client area of CW x CH.
BoxRect MsgBoxTextRect(int clientWidth, int clientHeight, int textWidth, int textHeight);

// The rectangle of button `index` (0 = leftmost) of `count` buttons: the
// last button's left edge 80 pixels from the right, the others 70 pixels
// apart leftwards, 29 pixels above the bottom.
BoxRect MsgBoxButtonRect(int clientWidth, int clientHeight, int count, int index);

}  // namespace kv
