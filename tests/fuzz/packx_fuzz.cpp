// Feeds arbitrary bytes to the package reader as a whole file: the
// trailer, the header blocks, every accessor and the checksum must stay
// inside the bytes and never allocate from an unchecked length.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "package/byte_source.h"
#include "package/checksum.h"
#include "package/packx.h"
#include "package/tokens.h"

namespace {

void Check(bool ok) {
    if (!ok) std::abort();
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
    return 0;
}
