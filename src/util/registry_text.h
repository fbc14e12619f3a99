#pragma once
// The text side of registry reads: naming a key by one path text
// ("HKLM\Software\X", or "Software\X" under the current user) and turning
// a value's bytes into the text callers compare.
#include <cstdint>
#include <string>

namespace kv {

// The predefined root keys, as their 32-bit values.
constexpr uint32_t RootClassesRoot = 0x80000000u;
constexpr uint32_t RootCurrentUser = 0x80000001u;
constexpr uint32_t RootLocalMachine = 0x80000002u;
constexpr uint32_t RootUsers = 0x80000003u;
constexpr uint32_t RootCurrentConfig = 0x80000005u;
constexpr uint32_t RootDynData = 0x80000006u;

// Value types that get their own text form.
constexpr uint32_t RegTypeDword = 4;
constexpr uint32_t RegTypeMultiSz = 7;

struct RegistryKeyPath {
    uint32_t root = RootCurrentUser;
    std::string subKey;
};

// Root by name ("HKLM", "HKEY_LOCAL_MACHINE" ..., case ignored); the
// current user's root for any other name.
uint32_t RegistryRootByName(const std::string& name);
// The trimmed path split at its first '\' when it starts with "HK" (a
// path of a root name alone names that root, with no sub-key); any other
// path is a sub-key of the current user's root.
RegistryKeyPath SplitRegistryKeyPath(const std::string& path);
// A 4-byte DWORD as unsigned decimal; a multi-string with its trailing
// zeros dropped and every other zero shown as "<0>"; anything else up to
// its first zero byte.
std::string RegistryValueText(uint32_t type, const std::string& bytes);

// The key holding the registered owner and organisation; "Windows NT"
// instead of "Windows" on NT.
std::string WindowsVersionKeyPath(bool isNT);

}  // namespace kv
