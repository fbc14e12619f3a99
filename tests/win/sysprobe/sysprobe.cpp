// sysprobe OUT [command...]: writes "key=value" lines to OUT.
//   (no command)        the version record, DescribeOS, the probes, folders
//   restrict            RestrictDllSearch() first (result as "restricted=")
//   bare NAME           LoadLibraryA(NAME) by bare name ("bare.NAME=0|1")
//   system NAME         LoadSystemLibrary(NAME), kept loaded ("system.NAME=" the
//                       loaded module's file, empty when it failed)
//   proc LIB FUNC       LoadProcedure(LIB, FUNC) ("proc.LIB.FUNC=0|1")
//   startup             LoadStartupLibraries()
// Commands run in order after the system facts.
#include <windows.h>

#include <cstdio>
#include <string>

#include "util/exe_version.h"
#include "util/sysinfo.h"
#include "util/system_library.h"

namespace {

std::string g_out;

void Put(const std::string& key, const std::string& value) { g_out += key + "=" + value + "\r\n"; }
void Put(const std::string& key, bool value) { Put(key, std::string(value ? "1" : "0")); }
void Put(const std::string& key, uint32_t value) { Put(key, std::to_string(value)); }

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) return 2;
    for (int i = 2; i < argc; ++i) {
        const std::string cmd = argv[i];
        if (cmd == "restrict") {
            Put("restricted", kv::RestrictDllSearch());
        } else if (cmd == "bare" && i + 1 < argc) {
            const std::string name = argv[++i];
            Put("bare." + name, LoadLibraryA(name.c_str()) != nullptr);
        } else if (cmd == "system" && i + 1 < argc) {
            const std::string name = argv[++i];
            const HMODULE module = kv::LoadSystemLibrary(name.c_str()).release();
            char file[MAX_PATH] = "";
            if (module) GetModuleFileNameA(module, file, MAX_PATH);
            Put("system." + name, std::string(file));
        } else if (cmd == "proc" && i + 2 < argc) {
            const std::string lib = argv[++i], fn = argv[++i];
            Put("proc." + lib + "." + fn, kv::LoadProcedure(lib, fn) != nullptr);
        } else if (cmd == "startup") {
            kv::LoadStartupLibraries();
            Put("startup", true);
        } else {
            return 2;
        }
    }

    OSVERSIONINFOA raw{};
    raw.dwOSVersionInfoSize = sizeof raw;
    GetVersionExA(&raw);
    Put("reported", std::to_string(raw.dwMajorVersion) + "." + std::to_string(raw.dwMinorVersion));
    const OSVERSIONINFOA record = kv::GetOSVersionInfo();
    Put("record", std::to_string(record.dwMajorVersion) + "." + std::to_string(record.dwMinorVersion) + "." +
                      std::to_string(record.dwBuildNumber));
    Put("recordSize", uint32_t(record.dwOSVersionInfoSize));
    std::string version, name, sp;
    uint32_t kind = 0, build = 0;
    kv::DescribeOS(version, name, sp, kind, build);
    Put("version", version);
    Put("name", name);
    Put("servicePack", sp);
    Put("kind", kind);
    Put("build", build);
    Put("osKind", kv::GetOSKind());
    Put("isNT", kv::IsNT());
    Put("isXP", kv::IsXP());
    Put("isWin8OrLater", kv::IsWin8OrLater());
    Put("isServer", kv::IsServer());
    Put("is64", kv::Is64BitWindows());
    Put("kernel32Product", kv::GetProductVersion(kv::SystemFolder(true) + "kernel32.dll", 1, 4));
    Put("programFolder", kv::ProgramFolder(false));
    Put("programFolderSlash", kv::ProgramFolder(true));
    Put("programName", kv::ProgramPath(true));

    FILE* f = std::fopen(argv[1], "wb");
    if (!f) return 3;
    std::fwrite(g_out.data(), 1, g_out.size(), f);
    std::fclose(f);
    return 0;
}
