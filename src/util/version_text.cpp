#include "util/version_text.h"

#include <cstdio>

#include "util/ksub.h"
#include "util/text_utils.h"

namespace kv {

std::string NormalizeVersion(const std::string& text, int width, int count) {
    const std::string digits = KeepChars(ReplaceChar(text, ',', '.'), "0123456789.", std::string());
    const std::string list = "." + digits + ".";
    std::string out;
    for (int i = 0; i < count; ++i) out += ZeroPad(IntToStr(SUB::GetInt64(list, i, 0)), width) + ".";
    return StripChar(out, '.', true, false);
}

std::string FixedVersionText(uint32_t mostSignificant, uint32_t leastSignificant) {
    char text[48];
    std::snprintf(text, sizeof text, "%d.%d.%d.%d", int(mostSignificant >> 16), int(mostSignificant & 0xFFFF),
                  int(leastSignificant >> 16), int(leastSignificant & 0xFFFF));
    return text;
}

}  // namespace kv
