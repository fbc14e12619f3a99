#include <windows.h>

#include <exception>

#include "util/ini.h"
#include "util/kdebug.h"
#include "util/sysinfo.h"
#include "util/text_utils.h"

namespace kv {

std::string ReadIniString(const std::string& file, const std::string& section, const std::string& key,
                          const std::string& def) {
    std::string result = def;
    if (section.empty() || key.empty()) return result;
    try {
        std::string buf(IniValueBufferSize, '\0');
        const DWORD n = GetPrivateProfileStringA(section.c_str(), key.c_str(), def.c_str(), &buf[0],
                                                 IniValueBufferSize, file.c_str());
        if (n > 0) result.assign(buf, 0, n);
    } catch (const std::exception&) {
        TraceLine("EXCEPTION --- Utils.ReadIniString()  " + LastErrorText());
    }
    return result;
}

int64_t ReadIniInt64(const std::string& file, const std::string& section, const std::string& key, int64_t def) {
    return StrToInt64Def(ReadIniString(file, section, key, IntToStr(def)), def);
}

bool WriteIniString(const std::string& file, const std::string& section, const std::string& key,
                    const std::string& value) {
    if (file.empty() || section.empty() || key.empty()) return false;
    return WritePrivateProfileStringA(section.c_str(), key.c_str(), value.c_str(), file.c_str()) != 0;
}

bool WriteIniInt64(const std::string& file, const std::string& section, const std::string& key, int64_t value) {
    return WriteIniString(file, section, key, IntToStr(value));
}

}  // namespace kv
