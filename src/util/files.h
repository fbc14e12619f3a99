#pragma once
// File and disk helpers (unit Files). Paths are 8-bit texts in the system
// code page; handles are the system's file handles (HANDLE, passed as
// void* so that this header needs no system headers). Nothing here raises:
// failures show in the result.
#include <cstdint>
#include <string>

namespace kv {

// Origins for FileSeek64.
constexpr int SeekFromStart = 0;
constexpr int SeekFromCurrent = 1;
constexpr int SeekFromEnd = 2;

// Moves the file pointer; the new position, or -1 when the move failed.
int64_t FileSeek64(void* handle, int origin, int64_t offset);
// The size of the first directory entry matching `path` (wildcards
// allowed, every kind of entry included); 0 when nothing matches.
int64_t FileSizeByName(const std::string& path);
// The size of an open file; -1 when it cannot be read.
int64_t FileSizeByHandle(void* handle);
// `count` bytes (0 = up to the end) from `offset`, as far as the file
// reaches; empty when the file is missing, the offset is outside the file
// or the read comes back short.
std::string ReadFilePart(const std::string& path, int64_t count, int64_t offset);

// Writes `data` to the file, created or emptied first, or appended to the
// existing file with `append`; texts above 1 MiB go in chunks of at most
// 1 MiB. A non-zero `fileDate` (packed date in the high and time in the
// low 16 bits, local time) becomes the file's date once everything is
// written. True when every byte was written (an empty text counts as
// written in full; a file that cannot be opened does not).
bool WriteFileText(const std::string& path, const std::string& data, int32_t fileDate, bool append);
// Appends `text` to the file (created when missing), in one write; the
// date as for WriteFileText. True when every byte was written.
bool AppendTextFile(const std::string& path, const std::string& text, int32_t fileDate);

// Bytes free for the caller on the disk that holds `path` (an empty path:
// the disk of the current directory); -1 when it cannot be determined.
double DiskFree(const std::string& path);
// The same query with the presence of the extended query given instead of
// probed (DiskFree probes once and keeps the answer).
double DiskFreeQuery(const std::string& path, bool extendedQuery);

// Deletes the files matching `pattern` (read-only, hidden and system files
// too; folders are left alone), first setting their attributes to normal
// with `clearAttributes`. True when at least one file matched, whether or
// not it could be deleted.
bool DeleteFiles(const std::string& pattern, bool clearAttributes);
// Deletes the folder with everything in it. True when the folder existed
// and is gone now.
bool DeleteTree(const std::string& folder, bool clearAttributes);

// Removes the running program's file after the process has ended, through
// a batch file that retries until the file is free; with removeFolder the
// program's folder goes too. With shortNames the script uses 8.3 paths
// without quotes. Reports nothing.
void DeleteSelf(bool removeFolder, bool shortNames);

// Asks the CD-ROM drive holding `path` to eject its medium; false for
// paths on other drive types (no device is opened then).
bool EjectCD(const std::string& path);

}  // namespace kv
