#include "dialogs/msgbox_font.h"

namespace kv {
namespace {
MsgBoxFontSettings g_font;
}  // namespace

void SetMessageBoxFont(const std::string& name, int points, int charset) {
    g_font.name = name;
    g_font.charset = charset;
    if (points != 0) g_font.points = points;
}

MsgBoxFontSettings MessageBoxFont() { return g_font; }

}  // namespace kv
