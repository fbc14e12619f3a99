#include "dialogs/msgbox_markup.h"

#include "util/text_utils.h"

namespace kv {

ConvertedMarkup ConvertMessageMarkup(const std::string& source) {
    ConvertedMarkup out;
    // Texts from settings files cannot hold control characters, so they
    // write a line break or a tab as a doubled backslash and a letter.
    std::string text = ReplaceText(source, "\\\\n", "\r\n", 0, 0, false);
    text = ReplaceText(text, "\\\\t", "\t", 0, 0, false);
    text = ReplaceTextIgnoreCase(text, "<P>", "\r\n", 0, 0, false);
    text = ReplaceTextIgnoreCase(text, "<T>", "\t", 0, 0, false);
    // A heading is written "<<b>...": without this the first "<" of a
    // caption that starts with "<b>" could not be told from the tag.
    if (text.compare(0, 4, "<<b>") == 0) text.erase(0, 1);

    for (int open = PosText("<B>", text); open > 0; open = PosText("<B>", text)) {
        text.erase(size_t(open - 1), 3);
        const int close = PosText("</B>", text);
        if (close >= open) {
            text.erase(size_t(close - 1), 4);
            out.bold.push_back(BoldRange{open, close});
        }
    }
    out.text = ReplaceTextIgnoreCase(text, "</B>", "", 0, 0, false);
    return out;
}

}  // namespace kv
