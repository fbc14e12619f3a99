#pragma once
// Replaces one imported function in this executable's import table for
// the owner's lifetime, so that a test can watch the system calls the
// code under test makes (the code under test is linked into this
// executable, so its calls go through these slots).
#include <windows.h>

#include <cstring>
#include <vector>

namespace kv::test {

class ImportHook {
public:
    ImportHook(const char* dll, const char* function, void* replacement) {
        auto* base = reinterpret_cast<BYTE*>(GetModuleHandleA(nullptr));
        const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
        const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
        const IMAGE_DATA_DIRECTORY& dir = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
        if (dir.VirtualAddress == 0) return;
        for (auto* d = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + dir.VirtualAddress); d->Name != 0; ++d) {
            if (_stricmp(reinterpret_cast<const char*>(base + d->Name), dll) != 0) continue;
            auto* names = reinterpret_cast<IMAGE_THUNK_DATA*>(base + (d->OriginalFirstThunk ? d->OriginalFirstThunk
                                                                                             : d->FirstThunk));
            auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + d->FirstThunk);
            for (; names->u1.AddressOfData != 0; ++names, ++slots) {
                if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) continue;
                const auto* byName = reinterpret_cast<const IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
                if (std::strcmp(reinterpret_cast<const char*>(byName->Name), function) != 0) continue;
                void** slot = reinterpret_cast<void**>(&slots->u1.Function);
                original_ = *slot;
                if (Write(slot, replacement)) slots_.push_back(slot);
            }
        }
    }
    ~ImportHook() {
        for (void** slot : slots_) Write(slot, original_);
    }
    ImportHook(const ImportHook&) = delete;
    ImportHook& operator=(const ImportHook&) = delete;

    bool Installed() const { return !slots_.empty(); }
    // The function the slots held before.
    void* Original() const { return original_; }

private:
    static bool Write(void** slot, void* value) {
        DWORD old = 0;
        if (!VirtualProtect(slot, sizeof(void*), PAGE_READWRITE, &old)) return false;
        *slot = value;
        VirtualProtect(slot, sizeof(void*), old, &old);
        return true;
    }

    std::vector<void**> slots_;
    void* original_ = nullptr;
};

}  // namespace kv::test
