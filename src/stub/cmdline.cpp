#include "stub/cmdline.h"

#include "util/ksub.h"
#include "util/text_utils.h"

namespace kv {
namespace {

std::string g_rawCommandLine;
std::string g_programPath;

std::string RemoveAll(std::string text, char c) {
    std::string out;
    out.reserve(text.size());
    for (char ch : text)
        if (ch != c) out += ch;
    return out;
}

}  // namespace

void SetCommandLineSource(const std::string& rawCommandLine, const std::string& programPath) {
    g_rawCommandLine = rawCommandLine;
    g_programPath = programPath;
}

const std::string& RawCommandLine() { return g_rawCommandLine; }
const std::string& ProgramPath() { return g_programPath; }

std::string ArgumentTextOf(const std::string& raw, const std::string& programPath) {
    const std::string name = ExtractFileName(programPath);
    std::string rest = raw;
    const int quoted = name.empty() ? 0 : PosText(name + "\"", raw);
    const int bare = name.empty() ? 0 : PosText(name, raw);
    if (quoted > 0 || bare > 0) {
        const size_t cut = quoted > 0 ? size_t(quoted - 1) + name.size() + 1
                                      : size_t(bare - 1) + name.size();
        rest = raw.substr(cut);
        // A stray quote or similar single character after the name is
        // not an argument.
        if (Trim(rest).size() == 1) rest.clear();
    } else {
        const int at = programPath.empty() ? 0 : PosText(programPath, raw);
        if (at > 0) rest = raw.substr(0, size_t(at - 1)) + raw.substr(size_t(at - 1) + programPath.size());
    }
    return Trim(rest);
}

std::string ArgumentText() { return ArgumentTextOf(g_rawCommandLine, g_programPath); }

std::string SwitchList(char switchChar, char separator) {
    std::string text = RemoveAll(" " + ArgumentText(), '"');
    std::string out(1, separator);
    out.reserve(text.size() + 2);
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == ' ' && i + 1 < text.size() && text[i + 1] == switchChar) {
            out += separator;
            ++i;
        } else {
            out += text[i];
        }
    }
    out += separator;
    return out;
}

std::string GetSwitch(const std::string& name, const std::string& def) {
    std::string key = Trim(name);
    if (key.empty()) return def;
    const char switchChar = key[0] == '-' ? '-' : '/';
    key = RemoveAll(key, switchChar);
    return Trim(SUB::GetValue(SwitchList(switchChar, SwitchSeparator), key, def, std::string()));
}

int64_t GetSwitchInt64(const std::string& name, int64_t def) {
    return StrToInt64Def(GetSwitch(name, std::string()), def);
}

bool HasSwitch(const std::string& text) {
    return PosText(Trim(text) + " ", ArgumentText() + " ") > 0;
}

}  // namespace kv
