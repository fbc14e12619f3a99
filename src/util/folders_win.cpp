// The program's path and the system's folders.
#include <windows.h>

#include "util/folder_path.h"
#include "util/sysinfo.h"
#include "util/text_utils.h"

namespace kv {
namespace {

constexpr DWORD kPathBuffer = 261;

std::string FromBuffer(const char* buffer, DWORD length) {
    return (length > 0 && length < kPathBuffer) ? std::string(buffer, length) : std::string();
}

std::string ModulePath() {
    char buffer[kPathBuffer];
    return FromBuffer(buffer, GetModuleFileNameA(nullptr, buffer, kPathBuffer));
}

}  // namespace

std::string ProgramPath(bool nameOnly) {
    const std::string path = ModulePath();
    return TrailingBackslashRule(nameOnly ? FileNameWithoutExt(path, false) : path, false);
}

std::string ProgramFolder(bool trailing) { return TrailingBackslashRule(ExtractFilePath(ModulePath()), trailing); }

std::string WindowsFolder(bool trailing) {
    char buffer[kPathBuffer];
    return TrailingBackslashRule(FromBuffer(buffer, GetWindowsDirectoryA(buffer, kPathBuffer)), trailing);
}

std::string SystemFolder(bool trailing) {
    char buffer[kPathBuffer];
    return TrailingBackslashRule(FromBuffer(buffer, GetSystemDirectoryA(buffer, kPathBuffer)), trailing);
}

std::string TempFolder(bool trailing) {
    char buffer[kPathBuffer];
    return TrailingBackslashRule(FromBuffer(buffer, GetTempPathA(kPathBuffer, buffer)), trailing);
}

}  // namespace kv
