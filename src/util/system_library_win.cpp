#include "util/system_library.h"

#include <cstdint>

namespace kv {
namespace {

// From the update that brought SetDefaultDllDirectories (built into
// Windows 8 and later); absent from old headers.
constexpr DWORD kSearchSystem32 = 0x00000800;  // LOAD_LIBRARY_SEARCH_SYSTEM32

bool g_searchRestricted = false;

FARPROC Kernel32Proc(const char* name) {
    const HMODULE kernel = GetModuleHandleA("kernel32.dll");
    return kernel ? GetProcAddress(kernel, name) : nullptr;
}

}  // namespace

bool RestrictDllSearch() {
    // The current folder of a setup started by double-click is the folder
    // it was downloaded to.
    using SetDllDirectoryFn = BOOL(WINAPI*)(LPCSTR);
    if (auto setDir = reinterpret_cast<SetDllDirectoryFn>(reinterpret_cast<void*>(Kernel32Proc("SetDllDirectoryA"))))
        setDir("");
    using SetDefaultFn = BOOL(WINAPI*)(DWORD);
    auto setDefault = reinterpret_cast<SetDefaultFn>(reinterpret_cast<void*>(Kernel32Proc("SetDefaultDllDirectories")));
    g_searchRestricted = setDefault && setDefault(kSearchSystem32);
    return g_searchRestricted;
}

std::string SystemLibraryPath(const char* name) {
    char dir[MAX_PATH];
    const UINT n = GetSystemDirectoryA(dir, MAX_PATH);
    std::string path = (n > 0 && n < MAX_PATH) ? std::string(dir, n) : std::string("C:\\Windows\\System32");
    if (path.back() != '\\') path += '\\';
    return path + name;
}

ModuleHandle LoadSystemLibrary(const char* name) {
    // The library's own imports come from the system folder: with the
    // restricted search by asking for it, otherwise through the search
    // order that starts in the library's folder.
    const DWORD flags = g_searchRestricted ? kSearchSystem32 : LOAD_WITH_ALTERED_SEARCH_PATH;
    return ModuleHandle(LoadLibraryExA(SystemLibraryPath(name).c_str(), nullptr, flags));
}

FARPROC LoadProcedure(const std::string& library, const std::string& function) {
    ModuleHandle module = LoadSystemLibrary(library.c_str());
    // Below 33 is a failure code on every system that ever returned one.
    if (reinterpret_cast<uintptr_t>(module.get()) < 33) return nullptr;
    return GetProcAddress(module.release(), function.c_str());
}

void LoadStartupLibraries() {
    static const char* const kLibraries[] = {"shell32.dll", "USP10.dll", "MSLS31.dll", "RICHED32.DLL"};
    const UINT oldMode = SetErrorMode(SEM_NOOPENFILEERRORBOX);
    for (const char* name : kLibraries) LoadSystemLibrary(name).release();
    SetErrorMode(oldMode);
}

}  // namespace kv
