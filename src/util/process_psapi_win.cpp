#include "util/process_psapi.h"

#include "util/system_library.h"
#include "util/text_utils.h"

namespace kv {
namespace {

template <class Fn>
Fn Proc(const ModuleHandle& module, const char* name) {
    return module ? reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module.get(), name))) : nullptr;
}

std::string ModuleText(DWORD (WINAPI* fn)(HANDLE, HMODULE, LPSTR, DWORD), HANDLE process, HMODULE module) {
    char buffer[257];
    const DWORD n = fn(process, module, buffer, 256);
    return std::string(buffer, n > 256 ? 256 : n);
}

}  // namespace

PsapiLibrary::PsapiLibrary() : module_(LoadSystemLibrary("PSAPI.dll")) {
    enumProcesses_ = Proc<EnumProcessesFn>(module_, "EnumProcesses");
    enumModules_ = Proc<EnumModulesFn>(module_, "EnumProcessModules");
    fileName_ = Proc<ModuleTextFn>(module_, "GetModuleFileNameExA");
    baseName_ = Proc<ModuleTextFn>(module_, "GetModuleBaseNameA");
    const HMODULE kernel = GetModuleHandleA("kernel32.dll");
    imageName_ = kernel ? reinterpret_cast<ImageNameFn>(
                              reinterpret_cast<void*>(GetProcAddress(kernel, "QueryFullProcessImageNameA")))
                        : nullptr;
}

std::vector<uint32_t> PsapiLibrary::ProcessIds(uint32_t bytes, bool growBuffer) const {
    if (!enumProcesses_) return {};
    std::vector<DWORD> ids;
    DWORD reported = 0;
    for (;;) {
        ids.assign(bytes / sizeof(DWORD), 0);
        if (!enumProcesses_(ids.data(), DWORD(ids.size() * sizeof(DWORD)), &reported)) return {};
        // A full buffer may have cut the list short.
        if (!growBuffer || reported != ids.size() * sizeof(DWORD)) break;
        bytes += 1024;
    }
    ids.resize(reported / sizeof(DWORD));
    return std::vector<uint32_t>(ids.begin(), ids.end());
}

bool PsapiLibrary::ExeNames(uint32_t pid, std::string& fullPath, std::string& baseName) const {
    fullPath.clear();
    baseName.clear();
    if (!loaded()) return false;
    const KernelHandle process(OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, pid));
    if (!process) return false;
    HMODULE first = nullptr;
    DWORD needed = 0;
    if (enumModules_(process.get(), &first, sizeof first, &needed) && needed > 0) {
        fullPath = ModuleText(fileName_, process.get(), first);
        baseName = ModuleText(baseName_, process.get(), first);
        return true;
    }
    // A 32-bit process cannot walk the modules of a 64-bit one (nor can
    // any process under an emulator that keeps the memory of others out
    // of reach), which would leave a 64-bit product unfindable; the
    // system still tells the image's path.
    if (!imageName_) return false;
    char buffer[257];
    DWORD length = 256;
    if (!imageName_(process.get(), 0, buffer, &length)) return false;
    fullPath.assign(buffer, length > 256 ? 256 : length);
    baseName = ExtractFileName(fullPath);
    return true;
}

}  // namespace kv
