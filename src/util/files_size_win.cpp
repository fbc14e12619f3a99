// Seeking, sizes and reading a slice of a file.
#include <windows.h>

#include <exception>

#include "util/files.h"
#include "util/find_handle.h"
#include "util/win_handle.h"

namespace kv {
namespace {

bool IsFile(const std::string& path) {
    const DWORD attr = GetFileAttributesA(path.c_str());
    return attr != INVALID_FILE_ATTRIBUTES && (attr & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

int64_t Combine(DWORD high, DWORD low) { return int64_t((uint64_t(high) << 32) | low); }

}  // namespace

int64_t FileSeek64(void* handle, int origin, int64_t offset) {
    LONG high = LONG(uint64_t(offset) >> 32);
    const DWORD low = SetFilePointer(handle, LONG(uint32_t(uint64_t(offset))), &high, DWORD(origin));
    // The low half of a valid position can be all ones too; only the last
    // error tells the two apart.
    if (low == INVALID_SET_FILE_POINTER && GetLastError() != NO_ERROR) return -1;
    return Combine(DWORD(high), low);
}

int64_t FileSizeByName(const std::string& path) {
    WIN32_FIND_DATAA data{};
    const FindHandle find = FindFirst(path, data);
    if (!find) return 0;
    return Combine(data.nFileSizeHigh, data.nFileSizeLow);
}

int64_t FileSizeByHandle(void* handle) {
    DWORD high = 0;
    const DWORD low = GetFileSize(handle, &high);
    if (low == INVALID_FILE_SIZE && GetLastError() != NO_ERROR) return -1;
    return Combine(high, low);
}

std::string ReadFilePart(const std::string& path, int64_t count, int64_t offset) {
    std::string result;
    if (!IsFile(path)) return result;
    const FileHandle file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                      nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return result;
    const int64_t size = FileSizeByHandle(file.get());
    const int64_t rest = size - offset;
    const int64_t length = count == 0 ? rest : (rest < count ? rest : count);
    if (offset < 0 || offset >= size || length <= 0) return result;
    if (uint64_t(length) > result.max_size()) return result;
    if (FileSeek64(file.get(), SeekFromStart, offset) != offset) return result;
    try {
        result.resize(size_t(length));
    } catch (const std::exception&) {
        return std::string();
    }
    size_t done = 0;
    while (done < result.size()) {
        const size_t left = result.size() - done;
        const DWORD want = DWORD(left > 0x10000000u ? 0x10000000u : left);
        DWORD got = 0;
        if (!ReadFile(file.get(), &result[done], want, &got, nullptr) || got == 0) break;
        done += got;
    }
    if (done != result.size()) result.clear();
    return result;
}

}  // namespace kv
