// Geometry, buttons and front-end rules of the message box.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "dialogs/msgbox_buttons.h"
#include "dialogs/msgbox_font.h"
#include "dialogs/msgbox_layout.h"
#include "dialogs/msgbox_markup.h"
#include "dialogs/msgbox_request.h"

namespace kv {
namespace {

// A fixed-pitch stand-in for the device context: 7 pixels a character.
int SevenPerChar(const std::string& line) { return int(line.size()) * 7; }

TEST(MsgBoxLayout, LineHeightAddsOnePixelForPGothic) {
    EXPECT_EQ(MsgBoxLineHeight(13, 0, "Tahoma"), 13);
    EXPECT_EQ(MsgBoxLineHeight(13, 1, "Tahoma"), 14);
    EXPECT_EQ(MsgBoxLineHeight(13, 1, "  ms pgothic "), 15);
    EXPECT_EQ(MsgBoxLineHeight(13, 0, "MS Gothic"), 13);
}

struct ExtentCase {
    const char* name;
    std::string text;
    int width;
    int height;
};
void PrintTo(const ExtentCase& c, std::ostream* os) { *os << c.name; }

class ExtentTable : public ::testing::TestWithParam<ExtentCase> {};

TEST_P(ExtentTable, EstimatesWithLineHeight13) {
    const ExtentCase& c = GetParam();
    const BoxExtent e = EstimateTextExtent(c.text, 13, SevenPerChar);
    EXPECT_EQ(e.width, c.width);
    EXPECT_EQ(e.height, c.height);
}

const ExtentCase kExtents[] = {
    // The bold word, an empty line, the second word; the empty rest after
    // the final break is not a line.
    {"three_lines_final_break_not_counted", "Bold\r\n\r\nSecond\r\n", 6 * 7 + 10, 3 * 13},
    {"one_line", "abc", 31, 13},
    {"empty_text", "", 0, 0},
    {"only_a_break", "\r\n", 10, 13},
    {"bare_line_feeds_and_returns", "ab\ncd\rx", 24, 3 * 13},
    // 100 characters = 700 pixels: two wrapped lines, width capped at 600.
    {"long_line_wraps", std::string(100, 'x'), 600, 2 * 13},
};

INSTANTIATE_TEST_SUITE_P(Cases, ExtentTable, ::testing::ValuesIn(kExtents),
                         [](const ::testing::TestParamInfo<ExtentCase>& info) { return info.param.name; });

TEST(MsgBoxLayout, WrapBoundaryAtExactly600Pixels) {
    auto sixPerChar = [](const std::string& line) { return int(line.size()) * 6; };
    EXPECT_EQ(EstimateTextExtent(std::string(99, 'x'), 10, sixPerChar).height, 10);   // 594 px
    EXPECT_EQ(EstimateTextExtent(std::string(100, 'x'), 10, sixPerChar).height, 20);  // 600 px
}

// A control that needs `fitsAt` pixels to keep the height and otherwise
// asks for one line more at its own width.
struct FakeControl {
    int fitsAt;
    int height;
    std::vector<int> tried;
    BoxExtent operator()(int width) {
        tried.push_back(width);
        return width >= fitsAt ? BoxExtent{width, height} : BoxExtent{width, height + 13};
    }
};

TEST(MsgBoxLayout, WideningStopsAtFirstWidthThatKeepsTheHeight) {
    FakeControl c{125, 26, {}};
    EXPECT_EQ(WidenForBoldText(100, 26, std::ref(c)), 130);
    EXPECT_EQ(c.tried, (std::vector<int>{100, 110, 120, 130}));
}

TEST(MsgBoxLayout, WideningAcceptsTheFirstTry) {
    FakeControl c{0, 26, {}};
    EXPECT_EQ(WidenForBoldText(100, 26, std::ref(c)), 100);
    EXPECT_EQ(c.tried.size(), 1u);
}

TEST(MsgBoxLayout, WideningGivesUpAfter21TriesWithWidestAskedPlus10) {
    FakeControl c{100000, 26, {}};
    EXPECT_EQ(WidenForBoldText(100, 26, std::ref(c)), 100 + 200 + 10);
    ASSERT_EQ(c.tried.size(), 21u);
    EXPECT_EQ(c.tried.back(), 300);
    // A control that asks for less than it was given: the start width wins.
    int calls = 0;
    EXPECT_EQ(WidenForBoldText(100, 26, [&](int) { ++calls; return BoxExtent{50, 99}; }), 110);
    EXPECT_EQ(calls, 21);
}

struct OuterCase {
    int w, h, width, height;
};

TEST(MsgBoxLayout, OuterSizeMarginsAndMinimumWidth) {
    // Frame 4 x 4, caption 19.
    const OuterCase cases[] = {
        {100, 26, 360, 26 + 36 + 90 + 8 + 19},         // narrow: 100+54+128+8 = 290 -> 360
        {199, 38, 199 + 54 + 128 + 8, 38 + 36 + 90 + 8 + 19},  // margins 64 and 45 below the bounds
        {200, 39, 360, 39 + 36 + 64 + 8 + 19},         // 200+54+64+8 = 326 -> 360
        {300, 52, 300 + 54 + 64 + 8, 52 + 36 + 64 + 8 + 19},
    };
    for (const OuterCase& c : cases) {
        const BoxExtent e = MsgBoxOuterSize(c.w, c.h, 4, 4, 19);
        EXPECT_EQ(e.width, c.width) << c.w << "x" << c.h;
        EXPECT_EQ(e.height, c.height) << c.w << "x" << c.h;
    }
}

TEST(MsgBoxLayout, TextRectCentredRightOfTheStripe) {
    BoxRect r = MsgBoxTextRect(352, 140, 100, 26);
    EXPECT_EQ(r.left, (352 - 54 - 100) / 2 + 54);
    EXPECT_EQ(r.top, (140 - 36 - 26) / 2);
    EXPECT_EQ(r.width, 100);
    EXPECT_EQ(r.height, 140 - 39 - 39);
    r = MsgBoxTextRect(353, 141, 100, 26);  // odd remainders round down
    EXPECT_EQ(r.left, 153);
    EXPECT_EQ(r.top, 39);
    // A text wider than the room: toward zero, not down.
    r = MsgBoxTextRect(100, 40, 60, 10);
    EXPECT_EQ(r.left, (100 - 54 - 60) / 2 + 54);
    EXPECT_EQ(r.left, 47);
    EXPECT_EQ(r.top, -3);
}

TEST(MsgBoxLayout, ButtonsFromTheRightEdgeLeftwards) {
    for (int count = 1; count <= 3; ++count) {
        for (int i = 0; i < count; ++i) {
            const BoxRect r = MsgBoxButtonRect(352, 140, count, i);
            EXPECT_EQ(r.left, 352 - 80 - 70 * (count - 1 - i)) << count << "/" << i;
            EXPECT_EQ(r.top, 140 - 29);
            EXPECT_EQ(r.width, 70);
            EXPECT_EQ(r.height, 23);
        }
    }
}

struct SetCase {
    uint32_t style;
    std::vector<std::string> captions;
    std::vector<int> results;
};

TEST(MsgBoxButtons, SetsCaptionsAndResults) {
    const SetCase cases[] = {
        {0, {"&OK"}, {1}},
        {1, {"&OK", "&Cancel"}, {1, 2}},
        {2, {"&Abort", "&Retry", "&Ignore"}, {3, 4, 5}},
        {3, {"&Yes", "&No", "&Cancel"}, {6, 7, 2}},
        {4, {"&Yes", "&No"}, {6, 7}},
        {5, {"&Retry", "&Cancel"}, {4, 2}},
        {6, {}, {}},
        {15, {}, {}},
        {0x10052024, {"&Yes", "&No"}, {6, 7}},  // only the low four bits choose
    };
    for (const SetCase& c : cases) {
        const std::vector<MsgBoxButton> b = MsgBoxButtons(c.style, kMsgBoxDefaultCaptions);
        ASSERT_EQ(b.size(), c.captions.size()) << std::hex << c.style;
        for (size_t i = 0; i < b.size(); ++i) {
            EXPECT_EQ(b[i].caption, c.captions[i]);
            EXPECT_EQ(b[i].result, c.results[i]);
        }
    }
}

TEST(MsgBoxButtons, TranslatedCaptionsComeFromTheirFields) {
    const std::vector<MsgBoxButton> b = MsgBoxButtons(3, "#O&K#Ab&bruch#&Ja#&Nein#A#W#I#");
    ASSERT_EQ(b.size(), 3u);
    EXPECT_EQ(b[0].caption, "&Ja");
    EXPECT_EQ(b[1].caption, "&Nein");
    EXPECT_EQ(b[2].caption, "Ab&bruch");
}

TEST(MsgBoxButtons, DefaultIndexModuloCount) {
    EXPECT_EQ(MsgBoxDefaultIndex(0x000, 2), 0);
    EXPECT_EQ(MsgBoxDefaultIndex(0x100, 2), 1);
    EXPECT_EQ(MsgBoxDefaultIndex(0x200, 2), 0);
    EXPECT_EQ(MsgBoxDefaultIndex(0x200, 3), 2);
    EXPECT_EQ(MsgBoxDefaultIndex(0x300, 3), 0);
    EXPECT_EQ(MsgBoxDefaultIndex(0x100, 1), 0);
    EXPECT_EQ(MsgBoxDefaultIndex(0x100, 0), 0);
}

TEST(MsgBoxButtons, KeyLetters) {
    EXPECT_EQ(CaptionKeyLetter("&Yes"), 'Y');
    EXPECT_EQ(CaptionKeyLetter("Save &as"), 'A');
    EXPECT_EQ(CaptionKeyLetter("no"), 'N');
    EXPECT_EQ(CaptionKeyLetter("x&"), 0);
    EXPECT_EQ(CaptionKeyLetter(""), 0);

    const std::vector<MsgBoxButton> ync = MsgBoxButtons(3, kMsgBoxDefaultCaptions);
    EXPECT_EQ(ButtonForLetter(ync, 'Y'), 0);
    EXPECT_EQ(ButtonForLetter(ync, 'n'), 1);
    EXPECT_EQ(ButtonForLetter(ync, 'C'), 2);
    EXPECT_EQ(ButtonForLetter(ync, 'Q'), -1);
    const std::vector<MsgBoxButton> twice = {{"&Run", 1}, {"&Retry", 4}, {"Stop", 2}};
    EXPECT_EQ(ButtonForLetter(twice, 'R'), 1);  // the last match wins
    EXPECT_EQ(ButtonForLetter(twice, 's'), 2);  // no "&": the first character
}

TEST(MsgBoxButtons, AltCharactersMatchTheSecondCharacter) {
    const std::vector<MsgBoxButton> yn = MsgBoxButtons(4, kMsgBoxDefaultCaptions);
    EXPECT_EQ(ButtonForSysChar(yn, 'y'), 0);
    EXPECT_EQ(ButtonForSysChar(yn, 'N'), 1);
    EXPECT_EQ(ButtonForSysChar(yn, 'e'), -1);
    const std::vector<MsgBoxButton> twice = {{"&Yes", 6}, {"&Yo", 7}, {"Ne", 2}};
    EXPECT_EQ(ButtonForSysChar(twice, 'y'), 0);  // the first match wins
    EXPECT_EQ(ButtonForSysChar(twice, 'e'), 2);  // the second character, not the "&" letter
    EXPECT_EQ(ButtonForSysChar({{"Y", 6}}, 'Y'), -1);
}

TEST(MsgBoxRequest, StyleBits) {
    EXPECT_EQ(MsgBoxStyleFor(kBoxPlain, 0x24, 1), 0x52024u);
    EXPECT_EQ(MsgBoxStyleFor(kBoxPlain, 0x24, 177), 0x1D2024u);
    EXPECT_EQ(MsgBoxStyleFor(kBoxWithHeading, 0x24, 178), 0x1D2024u);
    EXPECT_EQ(MsgBoxStyleFor(kBoxPlain, 0x24, 176), 0x52024u);
    EXPECT_EQ(MsgBoxStyleFor(kBoxNoClose, 0x10, 1), 0x10052010u);
    EXPECT_EQ(MsgBoxStyleFor(BoxMode(0x10002), 0, 1), 0x52000u);  // a window handle is not mode 2
    EXPECT_EQ(MsgBoxStyleFor(kBoxPlain, 0x52000, 1), 0x52000u);   // added as flags
    EXPECT_FALSE(ModeIsOwner(kBoxNoClose));
    EXPECT_TRUE(ModeIsOwner(BoxMode(3)));
}

TEST(MsgBoxRequest, HeadingUpperCasesOnlyStandardCaptions) {
    EXPECT_EQ(MsgBoxTextWithHeading("Error", "Disk full."), "<<b>ERROR</b><P><P>Disk full.<P>");
    EXPECT_EQ(MsgBoxTextWithHeading("confirm", "Go?"), "<<b>CONFIRM</b><P><P>Go?<P>");
    EXPECT_EQ(MsgBoxTextWithHeading("Setup", "Go?"), "<<b>Setup</b><P><P>Go?<P>");
    EXPECT_EQ(MsgBoxTextWithHeading("Err", "x"), "<<b>Err</b><P><P>x<P>");

    // As the box shows it: the heading bold on the first line.
    const ConvertedMarkup shown = ConvertMessageMarkup(MsgBoxTextWithHeading("Attention", "Low space."));
    EXPECT_EQ(shown.text, "ATTENTION\r\n\r\nLow space.\r\n");
    ASSERT_EQ(shown.bold.size(), 1u);
    EXPECT_EQ(shown.bold[0].start, 1);
    EXPECT_EQ(shown.bold[0].end, 10);
}

TEST(MsgBoxRequest, ShortcutDefaults) {
    EXPECT_EQ(CaptionOrDefault("", kCaptionError), "Error");
    EXPECT_EQ(CaptionOrDefault("", kCaptionAttention), "Attention");
    EXPECT_EQ(CaptionOrDefault("", kCaptionConfirm), "Confirm");
    EXPECT_EQ(CaptionOrDefault("Mine", kCaptionError), "Mine");
    EXPECT_EQ(ButtonCaptionsOrDefault(""), kMsgBoxDefaultCaptions);
    EXPECT_EQ(ButtonCaptionsOrDefault("|Ja|"), "|Ja|");
}

TEST(MsgBoxFont, DefaultsAndZeroPointsKeepsSize) {
    const MsgBoxFontSettings initial = MessageBoxFont();
    EXPECT_EQ(initial.name, "Tahoma");
    EXPECT_EQ(initial.charset, 1);
    EXPECT_EQ(initial.points, 8);

    SetMessageBoxFont("Arial", 0, 177);
    EXPECT_EQ(MessageBoxFont().name, "Arial");
    EXPECT_EQ(MessageBoxFont().charset, 177);
    EXPECT_EQ(MessageBoxFont().points, 8);
    SetMessageBoxFont("MS PGothic", 10, 128);
    EXPECT_EQ(MessageBoxFont().points, 10);

    SetMessageBoxFont(initial.name, initial.points, initial.charset);
}

}  // namespace
}  // namespace kv
