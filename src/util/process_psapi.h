#pragma once
// The process-status functions of PSAPI.dll, loaded from the system folder
// at run time (never imported: the library is not one of the system's
// known DLLs, so an imported one would be looked for beside the setup).
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "util/win_handle.h"

namespace kv {

class PsapiLibrary {
public:
    // Loads the library; loaded() tells whether all functions were found.
    PsapiLibrary();
    bool loaded() const { return enumProcesses_ && enumModules_ && fileName_ && baseName_; }

    // The ids of the running processes, asking with `bytes` bytes at first
    // and 1024 more as long as the answer fills the buffer; with
    // `growBuffer` false one fixed-size answer.
    std::vector<uint32_t> ProcessIds(uint32_t bytes, bool growBuffer) const;
    // The full path and the base name of the first module (the executable)
    // of a process, each at most 256 characters; false when the process
    // cannot be opened or read. When its modules cannot be read, the
    // system's name of its image stands in (see the source).
    bool ExeNames(uint32_t pid, std::string& fullPath, std::string& baseName) const;

private:
    using EnumProcessesFn = BOOL(WINAPI*)(DWORD*, DWORD, DWORD*);
    using EnumModulesFn = BOOL(WINAPI*)(HANDLE, HMODULE*, DWORD, DWORD*);
    using ModuleTextFn = DWORD(WINAPI*)(HANDLE, HMODULE, LPSTR, DWORD);

    ModuleHandle module_;
    EnumProcessesFn enumProcesses_ = nullptr;
    EnumModulesFn enumModules_ = nullptr;
    ModuleTextFn fileName_ = nullptr;
    ModuleTextFn baseName_ = nullptr;
    using ImageNameFn = BOOL(WINAPI*)(HANDLE, DWORD, LPSTR, PDWORD);
    ImageNameFn imageName_ = nullptr;  // kernel32, Vista and later
};

}  // namespace kv
