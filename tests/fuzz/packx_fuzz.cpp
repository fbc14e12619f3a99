// Feeds arbitrary bytes to the package reader as a whole file: the
// trailer, the header blocks, every accessor, the checksum and the
// unpacker's block walk and entry decoding must stay inside the bytes and
// never allocate from an unchecked length.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "package/byte_source.h"
#include "package/checksum.h"
#include "package/packx.h"
#include "package/tokens.h"
#include "package/unpack.h"
#include "package/unpack_core.h"

namespace {

void Check(bool ok) {
    if (!ok) std::abort();
}

// Inflated entries are capped so that a small input cannot make the
// fuzzer run out of memory through zlib's expansion ratio.
constexpr size_t kInflateLimit = 4u << 20;

class EntryChecker final : public kv::BlockVisitor {
public:
    void OnFileEntry(kv::FileEntry& e) override {
        Check(!e.header.empty());
        Check(e.name.find('*') == std::string::npos);
        Check(!e.marksEngine || !e.engineCommand.empty());
        Check(e.header.size() + 1 + e.content.size() <= kInflateLimit);
        (void)kv::IsPlainFileName(e.name);
    }
};

// Walks the blocks from `start` as the unpacker does; a damaged stream
// may throw the decompression error and nothing else.
void Walk(const kv::ByteSource& src, uint64_t start, uint32_t headerCount) {
    EntryChecker checker;
    kv::SegmentWalk walk;
    walk.position = start;
    try {
        (void)kv::WalkSegmentBlocks(src, src.Size(), headerCount, walk, checker, kInflateLimit);
    } catch (const kv::DecompressionError&) {
    }
    Check(walk.position <= src.Size() || walk.blockNumber == 0);
    Check(walk.firstEntryOffset <= walk.position);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace kv;
    const MemorySource src(std::string(reinterpret_cast<const char*>(data), size));

    TPackTrailer t;
    const bool found = ReadTrailer(src, t);
    Check(found || t.Encode() == TPackTrailer().Encode());
    Check(t.TrailerSize <= kTrailerRecordSize);
    Check(TPackTrailer::Decode(t.Encode().data()).Encode() == t.Encode());
    (void)IsPeFile(src);
    Check(SignedPackageEnd(src) == SignedPackageEnd(src.Bytes()));

    const TGFileInfo info(src);
    Check(info.LanguageTable.size() + info.UpdateSettings.size() + info.DownloadSettings.size() <= size);
    Check(info.Trailer.PackageStart <= size || info.Trailer.Magic != kPackMagic);
    for (int c : {0, 512, 3000, 4096, 65536, 1 << 30}) (void)info.SpaceRequiredForCluster(c);
    (void)info.AskBeforeExtract();
    (void)info.IsSpanned();
    (void)info.ShowActivityBar();
    (void)info.AgentLogEnabled();
    (void)info.IsInternetSetup();
    (void)info.AskBeforeDownload();
    (void)info.InstallsAgent();
    (void)info.IsAutoUpdateProgram();
    (void)info.UpdateUrl();
    (void)info.InfoFileName();
    (void)info.OriginalFileName();
    (void)info.AgentExeName();
    (void)info.IsHidden();
    (void)info.UpdateToken(true);
    (void)info.DownloadUrl();
    (void)info.DownloadFileName();
    (void)info.AlwaysDownload();
    (void)info.DownloadToken(true);
    (void)info.DownloadSize();
    (void)DescrambleToken(src.Bytes().substr(0, 512));

    (void)PackageChecksum(src, t.TrailerSize);
    uint32_t tail = 0;
    if (size >= 4) tail = LoadU32(data);
    (void)PackageChecksum(src, tail);

    // The unpacker over the same bytes: from the trailer's start, and from
    // the first byte with every block taken as an entry.
    if (found && t.Magic == kPackMagic) Walk(src, t.PackageStart, t.HeaderCount);
    Walk(src, 0, 0);
    FileEntry entry;
    if (DecodeFileEntry(src.Bytes(), entry)) Check(entry.header.size() + 1 + entry.content.size() == size);
    const std::string agent = AgentCopyBytes(src.Bytes().substr(0, 4096), t);
    TPackTrailer back;
    // Only the low half of the signed end is cleared, as in the shipped
    // copies (whose high half is 0 below 4 GiB).
    if (SignedPackageEnd(agent) == 0) Check(ReadTrailer(MemorySource(agent), back) && back.IsAutoUpdateProgram == 1);
    return 0;
}
