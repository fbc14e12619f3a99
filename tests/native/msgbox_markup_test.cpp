#include "dialogs/msgbox_markup.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace kv {
namespace {

struct MarkupCase {
    const char* name;
    std::string source;
    std::string text;
    std::vector<BoldRange> bold;
};

// Written so that a failing row prints which case it is.
void PrintTo(const MarkupCase& c, std::ostream* os) { *os << c.name; }

class MarkupTable : public ::testing::TestWithParam<MarkupCase> {};

TEST_P(MarkupTable, ConvertsTextAndBoldRanges) {
    const MarkupCase& c = GetParam();
    const ConvertedMarkup out = ConvertMessageMarkup(c.source);
    EXPECT_EQ(out.text, c.text);
    ASSERT_EQ(out.bold.size(), c.bold.size());
    for (size_t i = 0; i < c.bold.size(); ++i) {
        EXPECT_EQ(out.bold[i].start, c.bold[i].start) << "range " << i;
        EXPECT_EQ(out.bold[i].end, c.bold[i].end) << "range " << i;
    }
}

// Backslashes written as in the texts of settings files: "\\\\n" in C++ is
// the three characters \ \ n.
const MarkupCase kCases[] = {
    {"plain", "Just text.", "Just text.", {}},
    {"doubled_backslash_n_and_t", "a\\\\nb\\\\tc", "a\r\nb\tc", {}},
    {"single_backslash_stays", "a\\nb\\tc", "a\\nb\\tc", {}},
    {"backslash_letters_exact_case", "a\\\\Nb\\\\Tc", "a\\\\Nb\\\\Tc", {}},
    {"three_backslashes_keep_the_first", "x\\\\\\ny", "x\\\r\ny", {}},
    {"paragraph_and_tab_any_case", "a<P>b<p>c<T>d<t>e", "a\r\nb\r\nc\td\te", {}},
    {"bold_paragraphs_word_paragraph", "<B>Bold</B><P><P>Second<P>", "Bold\r\n\r\nSecond\r\n", {{1, 5}}},
    {"lower_case_bold", "<b>Bold</b><p><p>Second<p>", "Bold\r\n\r\nSecond\r\n", {{1, 5}}},
    {"mixed_case_pair", "x<b>y</B>z", "xyz", {{2, 3}}},
    {"heading_form", "<<b>ERROR</b><P><P>Disk full.<P>", "ERROR\r\n\r\nDisk full.\r\n", {{1, 6}}},
    // Only the exact lower-case start is the heading form; otherwise the
    // first "<" is text.
    {"heading_form_is_exact", "<<B>x</B>", "<x", {{2, 3}}},
    {"double_angle_inside_is_text", "x<<b>y</b>", "x<y", {{3, 4}}},
    {"two_ranges", "<B>a</B> and <b>b</b>", "a and b", {{1, 2}, {7, 8}}},
    {"unclosed_bold_disappears", "a<B>b", "ab", {}},
    {"close_without_open_disappears", "a</B>b</b>c", "abc", {}},
    // The first close tag lies before the open tag: the pair does not form.
    {"close_before_open", "</B>x<B>y</B>", "xy", {}},
    // The outer range was recorded before the inner open tag was removed.
    {"nested", "<B>a<B>b</B>c</B>d", "abcd", {{1, 6}, {2, 4}}},
    {"empty_pair", "<B></B>x", "x", {{1, 1}}},
    {"other_tags_are_text", "a < b <Q>c</Q> <BR>", "a < b <Q>c</Q> <BR>", {}},
    {"range_counts_cr_lf_as_two", "a<P><B>b</B>", "a\r\nb", {{4, 5}}},
    {"empty", "", "", {}},
};

INSTANTIATE_TEST_SUITE_P(Cases, MarkupTable, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<MarkupCase>& info) { return info.param.name; });

}  // namespace
}  // namespace kv
