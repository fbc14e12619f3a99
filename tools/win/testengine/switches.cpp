#include "switches.h"

#include <cctype>
#include <cstdlib>

namespace kv::testengine {
namespace {

bool IsBlank(char c) { return static_cast<unsigned char>(c) <= ' '; }

std::string Trim(const std::string& s) {
    size_t b = 0;
    size_t e = s.size();
    while (b < e && IsBlank(s[b])) ++b;
    while (e > b && IsBlank(s[e - 1])) --e;
    return s.substr(b, e - b);
}

char Upper(char c) { return static_cast<char>(std::toupper(static_cast<unsigned char>(c))); }

bool StartsWithNoCase(const std::string& text, const std::string& prefix) {
    if (prefix.size() > text.size()) return false;
    for (size_t i = 0; i < prefix.size(); ++i) {
        if (Upper(text[i]) != Upper(prefix[i])) return false;
    }
    return true;
}

// The switch name of an item: between '/' and '=' (or the end), trimmed.
std::string NameOf(const std::string& item) {
    if (item.empty() || item[0] != '/') return std::string();
    const size_t eq = item.find('=');
    return Trim(item.substr(1, eq == std::string::npos ? std::string::npos : eq - 1));
}

bool SameName(const std::string& a, const std::string& b) {
    return a.size() == b.size() && StartsWithNoCase(a, b);
}

}  // namespace

std::string ArgumentsOf(const std::string& commandLine, const std::string& exePath) {
    const std::string line = Trim(commandLine);
    if (!line.empty() && line[0] == '"') {
        const size_t close = line.find('"', 1);
        return close == std::string::npos ? std::string() : Trim(line.substr(close + 1));
    }
    if (!exePath.empty() && StartsWithNoCase(line, exePath)) return Trim(line.substr(exePath.size()));
    const size_t sw = line.find(" /");
    return sw == std::string::npos ? std::string() : Trim(line.substr(sw + 1));
}

std::vector<std::string> SplitSwitches(const std::string& arguments) {
    std::vector<std::string> items;
    std::string current;
    for (size_t i = 0; i < arguments.size(); ++i) {
        if (arguments[i] == ' ' && i + 1 < arguments.size() && arguments[i + 1] == '/') {
            if (!Trim(current).empty()) items.push_back(Trim(current));
            current.clear();
            continue;
        }
        current += arguments[i];
    }
    if (!Trim(current).empty()) items.push_back(Trim(current));
    return items;
}

Switches::Switches(const std::string& arguments) : items_(SplitSwitches(arguments)) {
    std::string bare;
    for (char c : arguments) {
        if (c != '"') bare += c;
    }
    unquoted_ = SplitSwitches(bare);
}

bool Switches::Has(const std::string& name) const {
    for (const std::string& item : unquoted_) {
        if (SameName(NameOf(item), name)) return true;
    }
    return false;
}

std::string Switches::Value(const std::string& name, const std::string& def) const {
    for (const std::string& item : unquoted_) {
        const size_t eq = item.find('=');
        if (eq != std::string::npos && SameName(NameOf(item), name)) return Trim(item.substr(eq + 1));
    }
    return def;
}

uint32_t Switches::Number(const std::string& name, uint32_t def) const {
    const std::string text = Value(name);
    if (text.empty()) return def;
    const bool negative = text[0] == '-';
    const std::string digits = negative ? text.substr(1) : text;
    if (digits.empty() || digits.size() > 10) return def;
    uint64_t n = 0;
    for (char c : digits) {
        if (c < '0' || c > '9') return def;
        n = n * 10 + uint64_t(c - '0');
    }
    if (n > 0xFFFFFFFFull) return def;
    return negative ? uint32_t(0u - uint32_t(n)) : uint32_t(n);
}

}  // namespace kv::testengine
