// Reading one registry value as text, and the registered owner and
// organisation.
#include <windows.h>

#include <cstdint>
#include <vector>

#include "util/reg_key.h"
#include "util/registry_text.h"
#include "util/sysinfo.h"
#include "util/text_utils.h"

namespace kv {
namespace {

constexpr DWORD kValueBufferSize = 10241;

HKEY RootHandle(uint32_t root) {
    // The predefined handles are the 32-bit values sign-extended.
    return reinterpret_cast<HKEY>(static_cast<intptr_t>(static_cast<int32_t>(root)));
}

}  // namespace

std::string ReadRegistryValue(const std::string& keyPath, const std::string& valueName,
                              const std::string& def, bool view64) {
    const RegistryKeyPath path = SplitRegistryKeyPath(keyPath);
    RegKey key;
    const REGSAM access = KEY_READ | (view64 ? KEY_WOW64_64KEY : 0);
    if (key.open(RootHandle(path.root), path.subKey.c_str(), access) != ERROR_SUCCESS) return def;
    std::vector<char> buffer(kValueBufferSize);
    DWORD type = 0;
    DWORD size = kValueBufferSize;
    if (RegQueryValueExA(key.get(), valueName.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()),
                         &size) != ERROR_SUCCESS)
        return def;
    return RegistryValueText(type, std::string(buffer.data(), size));
}

std::string RegisteredOwner() {
    return Trim(ReadRegistryValue(WindowsVersionKeyPath(IsNT()), "RegisteredOwner", UserName(), Is64BitWindows()));
}

std::string RegisteredOrganization() {
    return Trim(ReadRegistryValue(WindowsVersionKeyPath(IsNT()), "RegisteredOrganization", std::string(),
                                  Is64BitWindows()));
}

}  // namespace kv
