#include <windows.h>

#include "stub/runlog.h"
#include "util/win_handle.h"

namespace kv {

bool AppendLogFile(const std::string& path, const std::string& bytes) {
    FileHandle file(CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;
    if (SetFilePointer(file.get(), 0, nullptr, FILE_END) == INVALID_SET_FILE_POINTER &&
        GetLastError() != NO_ERROR)
        return false;
    DWORD written = 0;
    return WriteFile(file.get(), bytes.data(), DWORD(bytes.size()), &written, nullptr) &&
           written == bytes.size();
}

LogClock LocalClockNow() {
    SYSTEMTIME st;
    GetLocalTime(&st);
    return {st.wDay, st.wMonth, st.wYear, st.wHour, st.wMinute, st.wSecond};
}

uint32_t CurrentThreadId() { return GetCurrentThreadId(); }

}  // namespace kv
