#include "util/registry_text.h"

#include "util/text_utils.h"

namespace kv {
namespace {

struct RootName {
    const char* longName;
    const char* shortName;
    uint32_t root;
};

constexpr RootName kRootNames[] = {
    {"HKEY_CLASSES_ROOT", "HKCR", RootClassesRoot},
    {"HKEY_CURRENT_USER", "HKCU", RootCurrentUser},
    {"HKEY_LOCAL_MACHINE", "HKLM", RootLocalMachine},
    {"HKEY_USERS", "HKU", RootUsers},
    {"HKEY_CURRENT_CONFIG", "HKCC", RootCurrentConfig},
    {"HKEY_DYN_DATA", "HKDD", RootDynData},
};

}  // namespace

uint32_t RegistryRootByName(const std::string& name) {
    for (const RootName& r : kRootNames)
        if (SameText(name, r.longName) || SameText(name, r.shortName)) return r.root;
    return RootCurrentUser;
}

RegistryKeyPath SplitRegistryKeyPath(const std::string& path) {
    RegistryKeyPath key;
    const std::string p = Trim(path);
    key.subKey = p;
    if (!StartsWith("HK", p, true)) return key;
    const size_t slash = p.find('\\');
    if (slash == std::string::npos) {
        key.root = RegistryRootByName(p);
        key.subKey.clear();
    } else {
        key.root = RegistryRootByName(p.substr(0, slash));
        key.subKey = p.substr(slash + 1);
    }
    return key;
}

std::string RegistryValueText(uint32_t type, const std::string& bytes) {
    if (type == RegTypeDword && bytes.size() == 4) {
        const uint32_t v = uint32_t(uint8_t(bytes[0])) | uint32_t(uint8_t(bytes[1])) << 8 |
                           uint32_t(uint8_t(bytes[2])) << 16 | uint32_t(uint8_t(bytes[3])) << 24;
        return std::to_string(v);
    }
    if (type == RegTypeMultiSz && bytes.size() > 2) {
        std::string s = bytes;
        while (!s.empty() && s.back() == '\0') s.pop_back();
        std::string out;
        for (char c : s) {
            if (c == '\0') out += "<0>";
            else out += c;
        }
        return out;
    }
    return bytes.substr(0, bytes.find('\0'));
}

std::string WindowsVersionKeyPath(bool isNT) {
    const std::string path = "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion";
    return isNT ? ReplaceText(path, "Windows", "Windows NT", 0, 0, false) : path;
}

}  // namespace kv
