#include "util/folder_path.h"

#include "util/locale_seps.h"

namespace kv {
namespace {

bool EndsWithSeparator(const std::string& s) {
    return !s.empty() && s.back() == '\\' &&
           (s.size() < 2 || !IsDbcsLeadByte(static_cast<unsigned char>(s[s.size() - 2])));
}

}  // namespace

std::string TrailingBackslashRule(const std::string& path, bool trailing) {
    std::string r = path;
    if (r.size() > 3 && EndsWithSeparator(r)) r.pop_back();
    if (trailing && !r.empty() && !EndsWithSeparator(r)) r += '\\';
    return r;
}

}  // namespace kv
