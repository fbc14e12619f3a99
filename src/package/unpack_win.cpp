// The unpacker's main sequence: segment by segment, checksum, blocks,
// the disk question for the next segment, the agent copy.
#include "package/unpack.h"

#include <windows.h>

#include <memory>

#include "dialogs/msgbox_win.h"
#include "package/checksum.h"
#include "package/file_source.h"
#include "package/packx.h"
#include "package/unpack_core.h"
#include "package/unpack_parts_win.h"
#include "util/files.h"
#include "util/kdebug.h"
#include "util/message_pump.h"
#include "util/text_utils.h"

namespace kv {
namespace {

constexpr int64_t kSettleMs = 500;

bool ChecksumMatches(const std::string& path, const TPackTrailer& t) {
    const uint32_t sum = PackageChecksum(path, t.TrailerSize);
    return sum == t.Checksum || sum == kChecksumNotComputed || t.Checksum == kChecksumNotComputed;
}

uint64_t PackageEnd(const ByteSource& src) {
    const uint64_t signedEnd = IsPeFile(src) ? SignedPackageEnd(src) : 0;
    return signedEnd > 0 ? signedEnd : src.Size();
}

// Asks for segment `number` until its file is there or the user cancels;
// true for OK.
bool AskForSegment(const std::string& path, int number, const std::string& diskPrompt,
                   const std::string& promptCaption, const std::string& promptButtons, int charset) {
    EjectCD(path);
    bool ok = true;
    do {
        ok = AskOkCancel(kBoxWithHeading, DiskPromptText(diskPrompt, number), promptCaption, charset, promptButtons);
        WaitMs(0, kSettleMs);
    } while (!FileExists(path) && ok);
    return ok;
}

}  // namespace

void UnpackPackage(const std::string& packagePath, const std::string& destDir, const std::string& agentName,
                   bool& crcOk, TProgBarShowProc progress, const std::string& diskPrompt,
                   const std::string& promptCaption, const std::string& promptButtons, int charset,
                   bool forcePrompt, std::string& engineCommand) {
    const DWORD started = GetTickCount();
    const std::string base = SegmentBaseName(packagePath);
    std::string path = packagePath;
    int number = 1;
    SegmentWalk walk;
    bool answerOk = true;
    crcOk = false;
    engineCommand.clear();
    TPackTrailer trailer;
    unpack::Progress(progress, ProgressSetUp, 0);

    for (;;) {
        if (FileExists(path)) {
            trailer = TPackTrailer();
            ReadTrailer(path, trailer);
            if (number == 1) TraceLine("FileInfo.FilesCount=" + IntToStr(trailer.FilesCount));
            crcOk = ChecksumMatches(path, trailer);
            if (!crcOk) break;
            const std::unique_ptr<ByteSource> src = OpenFileSource(path);
            // Present but unreadable (locked since the checksum): as damaged.
            if (!src) {
                crcOk = false;
                break;
            }
            const uint64_t end = PackageEnd(*src);
            TraceLine("FileLen=" + IntToStr(int64_t(end)));
            if (trailer.Magic == kPackMagic) {
                walk.position = trailer.PackageStart;
                if (number == 1) unpack::Progress(progress, ProgressSetUp, int32_t(trailer.FilesCount));
                unpack::CreateDestination(destDir);
                unpack::EntryWriter writer(destDir, progress, engineCommand);
                // A block past the segment's end means the package is
                // damaged: nothing more is read from this or any segment.
                if (WalkSegmentBlocks(*src, end, trailer.HeaderCount, walk, writer) == WalkResult::Damaged) {
                    crcOk = false;
                    break;
                }
                if (number == 1 && !ExtractFileName(agentName).empty() && IsAgentCarrier(path))
                    unpack::WriteAgentCopy(*src, path, walk.firstEntryOffset, destDir, agentName);
            }
        }
        if (!HasNextSegment(trailer)) break;
        SetAutoPlayCancel(true);
        ++number;
        path = SegmentFileName(base, number);
        if (forcePrompt || !FileExists(path))
            answerOk = AskForSegment(path, number, diskPrompt, promptCaption, promptButtons, charset);
        unpack::Progress(progress, ProgressStep, 0);
        if (!answerOk) break;
    }

    if (!answerOk) engineCommand.clear();
    TraceLine("UnCompressTime: " + IntToStr(int64_t(GetTickCount() - started)) + " MS");
    TraceLine("");
    WaitMs(0, kSettleMs);
}

}  // namespace kv
