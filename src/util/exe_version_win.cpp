#include "util/exe_version.h"

#include <windows.h>

#include <cstdio>
#include <stdexcept>
#include <vector>

#include "util/system_library.h"
#include "util/text_utils.h"

namespace kv {
namespace {

using SizeFn = DWORD(WINAPI*)(LPCSTR, LPDWORD);
using InfoFn = BOOL(WINAPI*)(LPCSTR, DWORD, DWORD, LPVOID);
using QueryFn = BOOL(WINAPI*)(LPCVOID, LPCSTR, LPVOID*, PUINT);

std::string ReadFixedVersion(const std::string& file) {
    ModuleHandle version = LoadSystemLibrary("version.dll");
    if (!version) throw std::runtime_error("version.dll not loaded");
    auto sizeFn = reinterpret_cast<SizeFn>(reinterpret_cast<void*>(GetProcAddress(version.get(), "GetFileVersionInfoSizeA")));
    auto infoFn = reinterpret_cast<InfoFn>(reinterpret_cast<void*>(GetProcAddress(version.get(), "GetFileVersionInfoA")));
    auto queryFn = reinterpret_cast<QueryFn>(reinterpret_cast<void*>(GetProcAddress(version.get(), "VerQueryValueA")));
    if (!sizeFn || !infoFn || !queryFn) throw std::runtime_error("version functions missing");

    DWORD handle = 0;
    const DWORD size = sizeFn(file.c_str(), &handle);
    if (size == 0) throw std::runtime_error("no version resource");
    std::vector<char> buffer(size < 16384 ? 16384 : size);
    if (!infoFn(file.c_str(), 0, DWORD(buffer.size()), buffer.data()))
        throw std::runtime_error("version resource not readable");
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT len = 0;
    if (!queryFn(buffer.data(), "\\", reinterpret_cast<void**>(&fixed), &len) || !fixed ||
        len < sizeof(VS_FIXEDFILEINFO))
        throw std::runtime_error("no fixed file information");
    char text[64];
    std::snprintf(text, sizeof text, "%d.%d.%d.%d", int(HIWORD(fixed->dwFileVersionMS)),
                  int(LOWORD(fixed->dwFileVersionMS)), int(HIWORD(fixed->dwFileVersionLS)),
                  int(LOWORD(fixed->dwFileVersionLS)));
    return text;
}

std::string OwnPath() {
    char path[MAX_PATH];
    const DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
    return std::string(path, n < MAX_PATH ? n : 0);
}

}  // namespace

std::string GetExeVersion(const std::string& path, int width, int count) {
    try {
        std::string text = ReadFixedVersion(path.empty() ? OwnPath() : path);
        // Shortened or padded forms come with the version helpers.
        (void)width;
        (void)count;
        return text;
    } catch (const std::exception& e) {
        TraceException(e, "Utils.GetExeVersion()", std::string());
        return std::string();
    }
}

}  // namespace kv
