// The one formatter of the system's error texts.
#include <windows.h>

#include "util/sysinfo.h"

namespace kv {

std::string LastErrorText() {
    const DWORD code = GetLastError();
    static const char kUnreadable[] = "Error Reading \"SysUtils.SysErrorMessage(GetLastError)\"";
    // Codes with the highest bit set are HRESULT-style values, not system
    // error codes.
    if (code & 0x80000000u) return kUnreadable;
    try {
        char buffer[1024];
        DWORD n = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0,
                                 buffer, sizeof buffer, nullptr);
        while (n > 0 && static_cast<unsigned char>(buffer[n - 1]) <= ' ') --n;
        SetLastError(code);
        return std::string(buffer, n);
    } catch (...) {
        SetLastError(code);
        return kUnreadable;
    }
}

}  // namespace kv
