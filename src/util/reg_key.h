#pragma once
// Owner of an open registry key; closed on destruction. The predefined
// root keys are never closed.
#include <windows.h>

#include <cstdint>
#include <utility>

namespace kv {

class RegKey {
public:
    RegKey() = default;
    RegKey(const RegKey&) = delete;
    RegKey& operator=(const RegKey&) = delete;
    RegKey(RegKey&& o) noexcept : key_(o.release()) {}
    RegKey& operator=(RegKey&& o) noexcept {
        if (this != &o) { close(); key_ = o.release(); }
        return *this;
    }
    ~RegKey() { close(); }

    // Opens `subKey` of `parent` (an empty sub-key opens a new handle to
    // the parent itself); returns the system's code, ERROR_SUCCESS on
    // success.
    LONG open(HKEY parent, const char* subKey, REGSAM access) {
        close();
        return RegOpenKeyExA(parent, subKey, 0, access, &key_);
    }
    HKEY get() const { return key_; }
    explicit operator bool() const { return key_ != nullptr; }
    bool close() {
        const HKEY key = std::exchange(key_, nullptr);
        if (key == nullptr || IsPredefined(key)) return true;
        return RegCloseKey(key) == ERROR_SUCCESS;
    }
    HKEY release() { return std::exchange(key_, nullptr); }

private:
    // Opening an empty sub-key of a root hands back the root itself.
    static bool IsPredefined(HKEY key) {
        const auto v = static_cast<uint32_t>(reinterpret_cast<uintptr_t>(key));
        return v >= 0x80000000u && v <= 0x800000FFu;
    }

    HKEY key_ = nullptr;
};

}  // namespace kv
