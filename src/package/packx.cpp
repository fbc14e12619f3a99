#include "package/packx.h"

#include <memory>

#include "package/file_source.h"
#include "package/slangid.h"
#include "package/tokens.h"
#include "util/ksub.h"
#include "util/text_utils.h"

namespace kv {
namespace {

uint16_t LoadU16(const uint8_t* p) { return uint16_t(p[0] | p[1] << 8); }
void StoreU16(uint8_t* p, uint16_t v) { p[0] = uint8_t(v); p[1] = uint8_t(v >> 8); }

bool BytesAt(const ByteSource& src, uint64_t offset, const char (&two)[3]) {
    char b[2];
    return src.ReadAt(offset, b, 2) == 2 && b[0] == two[0] && b[1] == two[1];
}

// Name part after the last '\' or ':'.
std::string FileNamePart(const std::string& path) {
    const size_t cut = path.find_last_of("\\:");
    return cut == std::string::npos ? path : path.substr(cut + 1);
}

// A language setting read as a 32-bit number, `def` when it is not one.
int LangNumber(const std::string& text, int def) {
    int64_t value = 0;
    if (!TryStrToInt64(text, value) || value < INT32_MIN || value > INT32_MAX) return def;
    return int(value);
}

}  // namespace

std::array<uint8_t, kTrailerRecordSize> TPackTrailer::Encode() const {
    namespace o = trailer_offset;
    std::array<uint8_t, kTrailerRecordSize> b{};
    b[o::Byte0] = Byte0;
    b[o::HeaderCount] = HeaderCount;
    StoreU16(&b[o::Reserved], Reserved);
    StoreU32(&b[o::PackageStart], PackageStart);
    StoreU32(&b[o::FilesCount], FilesCount);
    StoreU32(&b[o::Magic], Magic);
    StoreU32(&b[o::Checksum], Checksum);
    for (size_t i = 0; i < Opaque.size(); ++i) b[o::Opaque + i] = Opaque[i];
    for (size_t i = 0; i < RequiredSpace.size(); ++i) StoreU32(&b[o::RequiredSpace + 4 * i], RequiredSpace[i]);
    b[o::Byte64] = Byte64;
    b[o::Flags] = Flags;
    b[o::InternetSetup] = InternetSetup;
    b[o::AskBeforeDownload] = AskBeforeDownload;
    b[o::InstallAgent] = InstallAgent;
    b[o::IsAutoUpdateProgram] = IsAutoUpdateProgram;
    StoreU32(&b[o::TrailerSize], TrailerSize);
    return b;
}

TPackTrailer TPackTrailer::Decode(const uint8_t* b) {
    namespace o = trailer_offset;
    TPackTrailer t;
    t.Byte0 = b[o::Byte0];
    t.HeaderCount = b[o::HeaderCount];
    t.Reserved = LoadU16(b + o::Reserved);
    t.PackageStart = LoadU32(b + o::PackageStart);
    t.FilesCount = LoadU32(b + o::FilesCount);
    t.Magic = LoadU32(b + o::Magic);
    t.Checksum = LoadU32(b + o::Checksum);
    for (size_t i = 0; i < t.Opaque.size(); ++i) t.Opaque[i] = b[o::Opaque + i];
    for (size_t i = 0; i < t.RequiredSpace.size(); ++i) t.RequiredSpace[i] = LoadU32(b + o::RequiredSpace + 4 * i);
    t.Byte64 = b[o::Byte64];
    t.Flags = b[o::Flags];
    t.InternetSetup = b[o::InternetSetup];
    t.AskBeforeDownload = b[o::AskBeforeDownload];
    t.InstallAgent = b[o::InstallAgent];
    t.IsAutoUpdateProgram = b[o::IsAutoUpdateProgram];
    t.TrailerSize = LoadU32(b + o::TrailerSize);
    return t;
}

bool AskBeforeExtract(const TPackTrailer& t) { return (t.Flags & kFlagAskBeforeExtract) != 0; }
bool HasNextSegment(const TPackTrailer& t) { return (t.Flags & kFlagHasNextSegment) != 0; }
bool IsSpanned(const TPackTrailer& t) { return (t.Flags & kFlagIsSpanned) != 0; }
bool ShowActivityBar(const TPackTrailer& t) { return (t.Flags & kFlagShowActivityBar) != 0; }
bool AgentLogEnabled(const TPackTrailer& t) { return (t.Flags & kFlagAgentLogEnabled) != 0; }

bool IsPeFile(const ByteSource& src) { return BytesAt(src, 0, "MZ") && BytesAt(src, kPeSignatureOffset, "PE"); }

bool IsPeFile(const std::string& path) {
    const std::unique_ptr<ByteSource> src = OpenFileSource(path);
    return src && IsPeFile(*src);
}

uint64_t SignedPackageEnd(const ByteSource& src) {
    uint32_t high = 0, low = 0;
    if (!ReadU32At(src, kSignedEndHighOffset, high)) high = 0;
    if (!ReadU32At(src, kSignedEndLowOffset, low)) low = 0;
    return uint64_t(high) << 32 | low;
}

uint64_t SignedPackageEnd(const std::string& image) {
    const MemorySource src(image.substr(0, size_t(kSignedEndLowOffset + 4)));
    return SignedPackageEnd(src);
}

namespace {

// Where the package ends and the trailer size stored in its last word;
// false when the file cannot carry a trailer. A recorded signed end
// beyond the file, or one too short to hold the size word, is no
// signature of ours: refuse rather than guess.
bool LocateTrailer(const ByteSource& src, uint64_t& end, uint32_t& stored) {
    const uint64_t size = src.Size();
    if (size < 4 || !ReadU32At(src, size - 4, stored)) return false;
    end = size;
    const uint64_t signedEnd = IsPeFile(src) ? SignedPackageEnd(src) : 0;
    if (signedEnd > 0) {
        if (signedEnd > size || signedEnd < 4 || !ReadU32At(src, signedEnd - 4, stored)) return false;
        end = signedEnd;
    }
    return stored >= 4 && stored <= end;
}

}  // namespace

bool ReadTrailer(const ByteSource& src, TPackTrailer& t) {
    t = TPackTrailer();
    uint64_t end = 0;
    uint32_t stored = 0;
    if (!LocateTrailer(src, end, stored)) return false;
    const uint32_t taken = stored < kTrailerRecordSize ? stored : uint32_t(kTrailerRecordSize);
    uint8_t record[kTrailerRecordSize] = {};
    if (src.ReadAt(end - stored, record, taken - 4) != taken - 4) return false;
    t = TPackTrailer::Decode(record);
    t.TrailerSize = taken;
    if (t.HeaderCount == 0) t.HeaderCount = 2;
    return true;
}

bool ReadTrailer(const std::string& path, TPackTrailer& t) {
    t = TPackTrailer();
    const std::unique_ptr<ByteSource> src = OpenFileSource(path);
    return src && ReadTrailer(*src, t);
}

TGFileInfo::TGFileInfo(const std::string& path) {
    if (!FileExists(path)) return;
    const std::unique_ptr<ByteSource> src = OpenFileSource(path);
    if (src) Read(*src);
}

TGFileInfo::TGFileInfo(const ByteSource& src) { Read(src); }

void TGFileInfo::Clear() {
    Trailer = TPackTrailer();
    LanguageTable.clear();
    UpdateSettings.clear();
    DownloadSettings.clear();
}

// Header blocks must lie between PackageStart and the trailer's first
// byte; a block that would run into or past the trailer makes the whole
// file "no package" (see the class comment), so a damaged or hostile
// length is never used to allocate or read.
void TGFileInfo::Read(const ByteSource& src) {
    Clear();
    if (!ReadTrailer(src, Trailer)) return;
    if (Trailer.Magic != kPackMagic) return;

    uint64_t end = 0;
    uint32_t stored = 0;
    if (!LocateTrailer(src, end, stored)) { Clear(); return; }
    const uint64_t limit = end - stored;  // the trailer's first byte

    std::string* const texts[3] = {&LanguageTable, &UpdateSettings, &DownloadSettings};
    const int count = Trailer.HeaderCount > 2 ? 3 : 2;
    uint64_t pos = Trailer.PackageStart;
    for (int i = 0; i < count; ++i) {
        uint32_t length = 0;
        if (pos > limit || limit - pos < 4 || !ReadU32At(src, pos, length) || length > limit - pos - 4) {
            Clear();
            return;
        }
        std::string text(length, '\0');
        if (length > 0 && src.ReadAt(pos + 4, &text[0], length) != length) {
            Clear();
            return;
        }
        *texts[i] = std::move(text);
        pos += 4 + uint64_t(length);
    }
    if (pos > 0xFFFFFFFFull) { Clear(); return; }
    Trailer.PackageStart = uint32_t(pos);
}

double TGFileInfo::SpaceRequired(const std::string& path) const {
    return SpaceRequiredForCluster(ClusterSize(path));
}

double TGFileInfo::SpaceRequiredForCluster(int clusterSize) const {
    size_t entry = 0;
    int threshold = 512;
    for (size_t i = 1; i <= 8; ++i, threshold *= 2)
        if (threshold <= clusterSize) entry = i;
    return double(Trailer.RequiredSpace[entry]);
}

bool TGFileInfo::AskBeforeExtract() const { return kv::AskBeforeExtract(Trailer); }
bool TGFileInfo::IsSpanned() const { return kv::IsSpanned(Trailer); }
bool TGFileInfo::ShowActivityBar() const { return kv::ShowActivityBar(Trailer); }
bool TGFileInfo::AgentLogEnabled() const { return kv::AgentLogEnabled(Trailer); }
bool TGFileInfo::IsInternetSetup() const { return Trailer.InternetSetup != 0; }
bool TGFileInfo::AskBeforeDownload() const { return Trailer.AskBeforeDownload != 0; }
bool TGFileInfo::InstallsAgent() const { return Trailer.InstallAgent != 0; }
bool TGFileInfo::IsAutoUpdateProgram() const { return Trailer.IsAutoUpdateProgram != 0; }

std::string TGFileInfo::UpdateUrl() const { return SUB::Get(UpdateSettings, 0); }

std::string TGFileInfo::InfoFileName() const { return FileNamePart(SUB::Get(UpdateSettings, 1)); }

std::string TGFileInfo::OriginalFileName() const {
    std::string name = InfoFileName();
    // Cutting at the last dot until none is left is cutting at the first.
    const size_t dot = name.find('.');
    if (dot != std::string::npos) name.erase(dot);
    return name + ".original";
}

std::string TGFileInfo::AgentExeName() const { return SUB::Get(UpdateSettings, 2); }
bool TGFileInfo::IsHidden() const { return SUB::Get(UpdateSettings, 4) == "1"; }

std::string TGFileInfo::UpdateToken(bool descramble) const {
    const std::string token = SUB::Get(UpdateSettings, 3);
    return descramble ? DescrambleToken(token) : token;
}

std::string TGFileInfo::DownloadUrl() const { return SUB::Get(DownloadSettings, 0); }
std::string TGFileInfo::DownloadFileName() const { return SUB::Get(DownloadSettings, 1); }
bool TGFileInfo::AlwaysDownload() const { return SUB::Get(DownloadSettings, 2) == "1"; }

std::string TGFileInfo::DownloadToken(bool descramble) const {
    const std::string token = SUB::Get(DownloadSettings, 3);
    return descramble ? DescrambleToken(token) : token;
}

std::string TGFileInfo::DownloadSize() const { return SUB::Get(DownloadSettings, 4); }

std::string TGFileInfo::FindLanguageRecord(const std::string& name) const {
    return kv::FindLanguageRecord(LanguageTable, name);
}

std::string TGFileInfo::LangText(const std::string& key, const std::string& def) const {
    const std::string record = ChosenLanguageRecord(LanguageTable);
    if (record.size() <= 1) return def;
    return SUB::GetValue(record, key, def, std::string());
}

int TGFileInfo::LangCharset() const { return LangNumber(LangText("Charset", "0"), 0); }
int TGFileInfo::LangFontSize() const { return LangNumber(LangText("FontSize", "8"), 8); }
std::string TGFileInfo::LangFontName() const { return LangText("FontName", "Tahoma"); }

}  // namespace kv
