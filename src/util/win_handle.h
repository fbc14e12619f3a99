#pragma once
// Owners of Win32 handles: one owner per kind, move-only. A file handle's
// "none" is INVALID_HANDLE_VALUE, most other handles' is null.
#include <windows.h>

#include <utility>

namespace kv {

template <HANDLE (*None)()>
class BasicHandle {
public:
    BasicHandle() = default;
    explicit BasicHandle(HANDLE h) : h_(h) {}
    BasicHandle(const BasicHandle&) = delete;
    BasicHandle& operator=(const BasicHandle&) = delete;
    BasicHandle(BasicHandle&& o) noexcept : h_(o.release()) {}
    BasicHandle& operator=(BasicHandle&& o) noexcept {
        if (this != &o) { close(); h_ = o.release(); }
        return *this;
    }
    ~BasicHandle() { close(); }

    HANDLE get() const { return h_; }
    bool valid() const { return h_ != None() && h_ != nullptr; }
    explicit operator bool() const { return valid(); }
    // Closes the handle; keeps the last error of CloseHandle on failure.
    bool close() {
        if (!valid()) { h_ = None(); return true; }
        const bool ok = CloseHandle(h_) != 0;
        h_ = None();
        return ok;
    }
    HANDLE release() { return std::exchange(h_, None()); }
    void reset(HANDLE h) { close(); h_ = h; }

private:
    HANDLE h_ = None();
};

inline HANDLE InvalidHandleValue() { return INVALID_HANDLE_VALUE; }
inline HANDLE NullHandleValue() { return nullptr; }

// Files, pipes' ends opened with CreateFile: none is INVALID_HANDLE_VALUE.
using FileHandle = BasicHandle<InvalidHandleValue>;
// Processes, threads, events, mutexes: none is null.
using KernelHandle = BasicHandle<NullHandleValue>;

// A module loaded with LoadLibrary, freed on destruction.
class ModuleHandle {
public:
    ModuleHandle() = default;
    explicit ModuleHandle(HMODULE m) : m_(m) {}
    ModuleHandle(const ModuleHandle&) = delete;
    ModuleHandle& operator=(const ModuleHandle&) = delete;
    ModuleHandle(ModuleHandle&& o) noexcept : m_(std::exchange(o.m_, nullptr)) {}
    ModuleHandle& operator=(ModuleHandle&& o) noexcept {
        if (this != &o) { close(); m_ = std::exchange(o.m_, nullptr); }
        return *this;
    }
    ~ModuleHandle() { close(); }
    HMODULE get() const { return m_; }
    explicit operator bool() const { return m_ != nullptr; }
    bool close() {
        const bool ok = m_ == nullptr || FreeLibrary(m_) != 0;
        m_ = nullptr;
        return ok;
    }
    // Hands the module on without freeing it (a library kept loaded).
    HMODULE release() { return std::exchange(m_, nullptr); }

private:
    HMODULE m_ = nullptr;
};

}  // namespace kv
