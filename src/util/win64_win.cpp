// Whether this 32-bit process runs on a 64-bit Windows. Every function is
// looked up by name: some are missing on older systems, and a missing one
// or one that fails counts as "no".
#include <windows.h>

#include "util/sysinfo.h"

namespace kv {
namespace {

enum class TriState { Unknown, No, Yes };

TriState FromBool(bool b) { return b ? TriState::Yes : TriState::No; }

FARPROC ProcOf(const char* library, const char* name) {
    const HMODULE module = GetModuleHandleA(library);
    return module ? GetProcAddress(module, name) : nullptr;
}

template <class Fn>
Fn KernelProc(const char* name) {
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(ProcOf("kernel32.dll", name)));
}

TriState g_hasNativeSystemInfo = TriState::Unknown;
TriState g_hasIsWow64Process = TriState::Unknown;
TriState g_hasRedirectionPair = TriState::Unknown;
TriState g_is64BitWindows = TriState::Unknown;

bool NativeSystemInfoWorks() {
    if (g_hasNativeSystemInfo == TriState::Unknown) {
        using Fn = void(WINAPI*)(LPSYSTEM_INFO);
        bool ok = false;
        try {
            if (auto fn = KernelProc<Fn>("GetNativeSystemInfo")) {
                SYSTEM_INFO info{};
                fn(&info);
                ok = true;
            }
        } catch (...) {
            ok = false;
        }
        g_hasNativeSystemInfo = FromBool(ok);
    }
    return g_hasNativeSystemInfo == TriState::Yes;
}

bool IsWow64() {
    using Fn = BOOL(WINAPI*)(HANDLE, PBOOL);
    bool wow64 = false;
    try {
        auto fn = KernelProc<Fn>("IsWow64Process");
        g_hasIsWow64Process = FromBool(fn != nullptr);
        BOOL answer = FALSE;
        wow64 = fn && fn(GetCurrentProcess(), &answer) && answer;
    } catch (...) {
        wow64 = false;
    }
    return wow64;
}

bool HasRedirectionPair() {
    if (g_hasRedirectionPair == TriState::Unknown)
        g_hasRedirectionPair = FromBool(ProcOf("kernel32.dll", "Wow64DisableWow64FsRedirection") &&
                                        ProcOf("kernel32.dll", "Wow64RevertWow64FsRedirection"));
    return g_hasRedirectionPair == TriState::Yes;
}

}  // namespace

bool Is64BitWindows() {
    if (g_is64BitWindows == TriState::Unknown) {
        g_is64BitWindows = FromBool(NativeSystemInfoWorks() && IsWow64() && HasRedirectionPair() &&
                                    ProcOf("kernel32.dll", "GetSystemWow64DirectoryA") &&
                                    ProcOf("advapi32.dll", "RegDeleteKeyExA"));
    }
    return g_is64BitWindows == TriState::Yes;
}

}  // namespace kv
