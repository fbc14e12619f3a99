#include "util/system_library.h"

namespace kv {

std::string SystemLibraryPath(const char* name) {
    char dir[MAX_PATH];
    const UINT n = GetSystemDirectoryA(dir, MAX_PATH);
    std::string path = (n > 0 && n < MAX_PATH) ? std::string(dir, n) : std::string("C:\\Windows\\System32");
    if (path.back() != '\\') path += '\\';
    return path + name;
}

ModuleHandle LoadSystemLibrary(const char* name) {
    // LOAD_WITH_ALTERED_SEARCH_PATH makes the library's own imports come
    // from its folder, the system folder.
    return ModuleHandle(LoadLibraryExA(SystemLibraryPath(name).c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH));
}

}  // namespace kv
