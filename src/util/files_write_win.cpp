// Writing and appending whole texts.
#include <windows.h>

#include "util/file_chunks.h"
#include "util/files.h"
#include "util/win_handle.h"

namespace kv {
namespace {

// Existing file opened for writing, others may keep it open; else created.
FileHandle OpenForAppend(const std::string& path) {
    FileHandle file(CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        file.reset(CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                               CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    }
    if (file) SetFilePointer(file.get(), 0, nullptr, FILE_END);
    return file;
}

FileHandle CreateEmpty(const std::string& path) {
    return FileHandle(CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                  CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
}

size_t WriteSome(HANDLE file, const char* p, size_t n) {
    DWORD written = 0;
    if (!WriteFile(file, p, DWORD(n), &written, nullptr)) return 0;
    return written;
}

// The packed date is local time, as the file-date call of the system
// hands it out; the file system keeps UTC.
void SetFileDate(HANDLE file, int32_t fileDate) {
    FILETIME local{};
    FILETIME utc{};
    const uint32_t packed = uint32_t(fileDate);
    if (DosDateTimeToFileTime(WORD(packed >> 16), WORD(packed & 0xFFFF), &local) &&
        LocalFileTimeToFileTime(&local, &utc)) {
        SetFileTime(file, nullptr, nullptr, &utc);
    }
}

bool Finish(FileHandle& file, size_t written, size_t wanted, int32_t fileDate) {
    const bool all = written == wanted;
    if (all && fileDate != 0) SetFileDate(file.get(), fileDate);
    file.close();
    return all;
}

}  // namespace

bool WriteFileText(const std::string& path, const std::string& data, int32_t fileDate, bool append) {
    FileHandle file = append ? OpenForAppend(path) : CreateEmpty(path);
    if (!file) return false;
    const HANDLE h = file.get();
    const size_t written = WriteWholeText(data, [h](const char* p, size_t n) { return WriteSome(h, p, n); });
    return Finish(file, written, data.size(), fileDate);
}

bool AppendTextFile(const std::string& path, const std::string& text, int32_t fileDate) {
    FileHandle file = OpenForAppend(path);
    if (!file) return false;
    const size_t written = text.empty() ? 0 : WriteSome(file.get(), text.data(), text.size());
    return Finish(file, written, text.size(), fileDate);
}

}  // namespace kv
