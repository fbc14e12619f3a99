#pragma once
// The font of the message boxes, set once from the package's language
// texts (or before each agent tick from the installed settings) and read
// when a box opens. Process-wide.
#include <string>

namespace kv {

struct MsgBoxFontSettings {
    std::string name = "Tahoma";
    int charset = 1;  // DEFAULT_CHARSET
    int points = 8;
};

// Stores the settings for the next boxes; a point size of 0 keeps the
// stored size.
void SetMessageBoxFont(const std::string& name, int points, int charset);
MsgBoxFontSettings MessageBoxFont();

}  // namespace kv
