#pragma once
// Running the system-information probe (tests/win/sysprobe) as a fresh
// process and reading its "key=value" report; header-only, shared by the
// system-information and DLL-planting tests.
#include <windows.h>

#include <map>
#include <string>

#include "harness/harness.h"

namespace kv::test {

constexpr unsigned kProbeRunMs = 60000;  // a process start under emulation is slow

inline std::string SysProbePath() { return BuildDir() + "\\tests\\win\\sysprobe\\kv_sysprobe.exe"; }
inline std::string PlantDllPath() { return BuildDir() + "\\tests\\win\\plant\\plant.dll"; }

// Runs `program` (a copy of the probe) with its report file and the
// commands; the report, or an empty map when the run failed.
inline std::map<std::string, std::string> RunProbe(const std::string& program, const std::string& reportFile,
                                                   const std::string& commands = std::string()) {
    std::map<std::string, std::string> report;
    DeleteFileA(reportFile.c_str());
    uint32_t code = 99;
    const std::string cmd = QuoteArg(program) + " " + QuoteArg(reportFile) + (commands.empty() ? "" : " " + commands);
    if (!RunProcess(cmd, std::string(), kProbeRunMs, code) || code != 0) return report;
    const std::string text = ReadWholeFile(reportFile);
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find("\r\n", start);
        if (end == std::string::npos) end = text.size();
        const std::string line = text.substr(start, end - start);
        const size_t eq = line.find('=');
        if (eq != std::string::npos) report[line.substr(0, eq)] = line.substr(eq + 1);
        start = end + 2;
    }
    return report;
}

// Wine settings for programs of one file name only (the AppDefaults key of
// that name under HKCU\Software\Wine), read by each new process of that
// name; removed when the owner goes. A test copies the program under a name of its own.
class WineAppDefaults {
public:
    explicit WineAppDefaults(const std::string& exeName) : key_("Software\\Wine\\AppDefaults\\" + exeName) {}
    ~WineAppDefaults() {
        RegDeleteKeyA(HKEY_CURRENT_USER, (key_ + "\\DllOverrides").c_str());
        RegDeleteKeyA(HKEY_CURRENT_USER, key_.c_str());
    }
    WineAppDefaults(const WineAppDefaults&) = delete;
    WineAppDefaults& operator=(const WineAppDefaults&) = delete;

    // The Windows version Wine reports ("win81", "winxp" ...).
    bool SetVersion(const std::string& version) { return Set(key_, "Version", version); }
    // A load order for one library ("native,builtin" looks beside the
    // program first, as Windows does for libraries that are not known DLLs).
    bool SetDllOverride(const std::string& library, const std::string& order) {
        return Set(key_ + "\\DllOverrides", library, order);
    }

private:
    static bool Set(const std::string& key, const std::string& name, const std::string& value) {
        HKEY k = nullptr;
        if (RegCreateKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &k, nullptr) !=
            ERROR_SUCCESS)
            return false;
        const bool ok = RegSetValueExA(k, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                                       DWORD(value.size() + 1)) == ERROR_SUCCESS;
        RegCloseKey(k);
        return ok;
    }

    std::string key_;
};

}  // namespace kv::test
