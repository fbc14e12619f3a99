#include "util/exe_version.h"

#include <windows.h>

#include <cstdio>
#include <cstring>
#include <stdexcept>
#include <vector>

#include "util/system_library.h"
#include "util/text_utils.h"
#include "util/version_text.h"

namespace kv {
namespace {

using SizeFn = DWORD(WINAPI*)(LPCSTR, LPDWORD);
using InfoFn = BOOL(WINAPI*)(LPCSTR, DWORD, DWORD, LPVOID);
using QueryFn = BOOL(WINAPI*)(LPCVOID, LPCSTR, LPVOID*, PUINT);

// version.dll is not one of the system's known DLLs: it is loaded from the
// system folder for each read instead of being imported.
class VersionResource {
public:
    // Reads the whole resource of `file` when it has one; throws when the
    // version functions are missing or the resource cannot be read.
    explicit VersionResource(const std::string& file) : library_(LoadSystemLibrary("version.dll")) {
        if (!library_) throw std::runtime_error("version.dll not loaded");
        auto sizeFn = reinterpret_cast<SizeFn>(Proc("GetFileVersionInfoSizeA"));
        auto infoFn = reinterpret_cast<InfoFn>(Proc("GetFileVersionInfoA"));
        query_ = reinterpret_cast<QueryFn>(Proc("VerQueryValueA"));
        if (!sizeFn || !infoFn || !query_) throw std::runtime_error("version functions missing");
        DWORD handle = 0;
        const DWORD size = sizeFn(file.c_str(), &handle);
        if (size == 0) return;
        data_.resize(size < 16384 ? 16384 : size);
        if (!infoFn(file.c_str(), 0, DWORD(data_.size()), data_.data()))
            throw std::runtime_error("version resource not readable in " + file);
    }

    bool Present() const { return !data_.empty(); }

    // The block at `subBlock` and its length; false when absent.
    bool Query(const std::string& subBlock, void*& value, UINT& length) const {
        value = nullptr;
        length = 0;
        return Present() && query_(data_.data(), subBlock.c_str(), &value, &length) && value != nullptr;
    }

private:
    void* Proc(const char* name) const {
        return reinterpret_cast<void*>(GetProcAddress(library_.get(), name));
    }

    ModuleHandle library_;
    QueryFn query_ = nullptr;
    std::vector<char> data_;
};

std::string OwnPath() {
    char path[MAX_PATH];
    const DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
    return std::string(path, n < MAX_PATH ? n : 0);
}

std::string Shaped(const std::string& text, int width, int count) {
    return (width > 1 || count < 4) ? NormalizeVersion(text, width, count) : text;
}

}  // namespace

std::string GetExeVersion(const std::string& path, int width, int count) {
    try {
        const std::string file = path.empty() ? OwnPath() : path;
        const VersionResource resource(file);
        if (!resource.Present()) throw std::runtime_error("no version resource in " + file);
        void* value = nullptr;
        UINT length = 0;
        if (!resource.Query("\\", value, length) || length < sizeof(VS_FIXEDFILEINFO))
            throw std::runtime_error("no fixed file information");
        const auto* fixed = static_cast<const VS_FIXEDFILEINFO*>(value);
        return Shaped(FixedVersionText(fixed->dwFileVersionMS, fixed->dwFileVersionLS), width, count);
    } catch (const std::exception& e) {
        TraceException(e, "Utils.GetExeVersion()", std::string());
        return std::string();
    }
}

std::string GetProductVersion(const std::string& path, int width, int count) {
    const std::string file = path.empty() ? OwnPath() : path;
    try {
        std::string result;
        {
            const VersionResource resource(file);
            void* value = nullptr;
            UINT length = 0;
            if (resource.Query("\\VarFileInfo\\Translation", value, length) && length >= 4) {
                const auto* words = static_cast<const WORD*>(value);
                char block[64];
                std::snprintf(block, sizeof block, "\\StringFileInfo\\%.4X%.4X\\%s", unsigned(words[0]),
                              unsigned(words[1]), "ProductVersion");
                if (resource.Query(block, value, length) && length > 0) {
                    const char* text = static_cast<const char*>(value);
                    result = ReplaceChar(std::string(text, strnlen(text, length)), ',', '.');
                    result = Shaped(result, width, count);
                }
            }
        }
        TraceFields("QueryValue", file, "ProductVersion", result);
        return result;
    } catch (const std::exception& e) {
        TraceException(e, "Utils.GetProductVersion()", std::string());
        return std::string();
    }
}

}  // namespace kv
