// Writing file entries into the destination folder.
#include <windows.h>

#include <atomic>

#include "dialogs/msgbox_win.h"
#include "package/file_source.h"
#include "package/unpack_parts_win.h"
#include "util/files.h"
#include "util/message_pump.h"
#include "util/sysinfo.h"
#include "util/text_utils.h"

namespace kv::unpack {
namespace {

// Once shown, the failure message stays silent for the rest of the
// process: a full disk would otherwise ask once per remaining entry.
std::atomic<int> g_failedWrites{0};

void ReportFailedWrite(const std::string& target, size_t dataSize, bool plainName) {
    if (g_failedWrites.fetch_add(1) != 0) return;
    const int64_t fileSize = plainName ? FileSizeByName(target) : 0;
    const std::string text = target + "<P><P>Unable to save Extracted File!<P><P>" + LastErrorText() + "<P>" +
                             "  Data Size: <T>" + IntToStr(int64_t(dataSize)) + " Bytes<P>" +
                             "  File Size:  <T>" + IntToStr(fileSize) + " Bytes<P>" +
                             "  Bytes Free: <T>" + IntToStr(int64_t(DiskFree(target))) + " Bytes";
    ShowError(kBoxWithHeading, text);
}

}  // namespace

void Progress(TProgBarShowProc progress, int32_t kind, int32_t high) {
    if (progress != nullptr) progress(kind, 0, high, 0, 1, std::string());
}

void EntryWriter::Pump() { ProcessMessages(0); }

void EntryWriter::OnFileEntry(FileEntry& entry) {
    if (entry.marksEngine) engineCommand_ = entry.engineCommand;
    const std::string target = destDir_ + "\\" + entry.name;
    if (!FileExists(target)) Progress(progress_, ProgressStep, 0);
    // A name with a folder part, a drive or a device would land outside
    // the folder: it fails like a write that could not be done.
    const bool plainName = IsPlainFileName(entry.name) && !destDir_.empty();
    if (!plainName) SetLastError(ERROR_INVALID_NAME);
    if (plainName && WriteFileText(target, entry.content, entry.date, true)) return;
    ReportFailedWrite(target, entry.content.size(), plainName);
}

int FailedWrites() { return g_failedWrites.load(); }

}  // namespace kv::unpack
