#pragma once
// The small mark-up every message-box text may carry: "<B>" and "</B>"
// for bold, "<P>" for a line break, "<T>" for a tab (tags in any case),
// the two-character sequences \n and \t written with a doubled backslash,
// and the "<<b>" start of a heading. Pure text work: the box puts the
// converted text into its Rich Edit control and makes the ranges bold.
#include <string>
#include <vector>

namespace kv {

// A bold stretch of the converted text: 1-based positions, `start` the
// first bold character, `end` the position just after the last one (where
// the removed "</B>" stood). Positions are those of the moment the pair
// was found; a "<B>" removed later inside the range does not shrink it.
struct BoldRange {
    int start = 0;
    int end = 0;
};

struct ConvertedMarkup {
    std::string text;             // line breaks as CR LF
    std::vector<BoldRange> bold;  // in the order the pairs were found
};

// The text as shown and its bold ranges.
ConvertedMarkup ConvertMessageMarkup(const std::string& source);

}  // namespace kv
