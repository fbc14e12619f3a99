#pragma once
// The package appended to the stub: its fixed-size trailer, the header
// blocks, and the object (`TGFileInfo`) through which the rest of the
// system reads every flag and setting of a package file.
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

#include "package/byte_source.h"

namespace kv {

// The trailer record as stored on disk.
constexpr size_t kTrailerRecordSize = 74;
// Value of `TPackTrailer::Magic` in a package written by the builder.
constexpr uint32_t kPackMagic = 0x4A3B2C1D;
// DOS-header words holding the signed package end (high and low half).
constexpr uint64_t kSignedEndHighOffset = 248;
constexpr uint64_t kSignedEndLowOffset = 252;
// Where the PE signature must stand for a file to count as our PE stub.
constexpr uint64_t kPeSignatureOffset = 256;

// Bits of `TPackTrailer::Flags`.
constexpr uint8_t kFlagAskBeforeExtract = 0x01;
constexpr uint8_t kFlagHasNextSegment = 0x02;
constexpr uint8_t kFlagIsSpanned = 0x04;
constexpr uint8_t kFlagShowActivityBar = 0x08;
constexpr uint8_t kFlagAgentLogEnabled = 0x10;

// Byte offsets of the fields inside the 74-byte record.
namespace trailer_offset {
constexpr size_t Byte0 = 0;
constexpr size_t HeaderCount = 1;
constexpr size_t Reserved = 2;
constexpr size_t PackageStart = 4;
constexpr size_t FilesCount = 8;
constexpr size_t Magic = 12;
constexpr size_t Checksum = 16;
constexpr size_t Opaque = 20;
constexpr size_t RequiredSpace = 28;
constexpr size_t Byte64 = 64;
constexpr size_t Flags = 65;
constexpr size_t InternetSetup = 66;
constexpr size_t AskBeforeDownload = 67;
constexpr size_t InstallAgent = 68;
constexpr size_t IsAutoUpdateProgram = 69;
constexpr size_t TrailerSize = 70;
}  // namespace trailer_offset
static_assert(trailer_offset::RequiredSpace + 9 * 4 == trailer_offset::Byte64, "RequiredSpace is nine words");
static_assert(trailer_offset::TrailerSize + 4 == kTrailerRecordSize, "the trailer size is the record's last word");

// The trailer record in memory. Never cast to or from disk bytes: use
// Encode/Decode, which read and write every field little-endian.
struct TPackTrailer {
    uint8_t Byte0 = 0;        // the builder writes 1; not interpreted
    uint8_t HeaderCount = 0;  // 2, or 3 with download settings
    uint16_t Reserved = 0;
    uint32_t PackageStart = 0;  // first header block; after reading, first file entry
    uint32_t FilesCount = 0;    // file entries in this package file
    uint32_t Magic = 0;
    uint32_t Checksum = 0;
    std::array<uint8_t, 8> Opaque{};  // carried unchanged into agent copies
    std::array<uint32_t, 9> RequiredSpace{};  // [0] exact, [1..8] per 512..65536-byte clusters
    uint8_t Byte64 = 0;
    uint8_t Flags = 0;
    uint8_t InternetSetup = 0;
    uint8_t AskBeforeDownload = 0;
    uint8_t InstallAgent = 0;
    uint8_t IsAutoUpdateProgram = 0;
    uint32_t TrailerSize = 0;  // bytes taken when read (at most 74)

    // The 74 bytes on disk.
    std::array<uint8_t, kTrailerRecordSize> Encode() const;
    // The record from 74 bytes on disk.
    static TPackTrailer Decode(const uint8_t* bytes);
};

// Flag tests of a trailer record (bits 0 to 4 of Flags).
bool AskBeforeExtract(const TPackTrailer& t);
bool HasNextSegment(const TPackTrailer& t);
bool IsSpanned(const TPackTrailer& t);
bool ShowActivityBar(const TPackTrailer& t);
bool AgentLogEnabled(const TPackTrailer& t);

// True when the file starts with "MZ" and carries "PE" at offset 256 (the
// fixed place our post-link step puts it, not the one e_lfanew names).
bool IsPeFile(const ByteSource& src);
bool IsPeFile(const std::string& path);

// The package end a signing step recorded in the DOS header: word 248 as
// the high half, word 252 as the low half; 0 when unsigned or too short.
uint64_t SignedPackageEnd(const ByteSource& src);
// The same, taken from a whole file image held in memory.
uint64_t SignedPackageEnd(const std::string& image);

// Locates and reads the trailer. On success `t` holds the record with
// TrailerSize = bytes taken and HeaderCount 0 read as 2. A file that
// cannot carry a trailer (shorter than 4 bytes, a stored size below 4 or
// beyond the package end, a signed end beyond the file) gives false and
// an all-zero record; nothing is read outside the file or the record.
bool ReadTrailer(const ByteSource& src, TPackTrailer& t);
bool ReadTrailer(const std::string& path, TPackTrailer& t);

// Cluster size of the volume holding the path; 0 when the query fails.
int ClusterSize(const std::string& path);

// Everything a package file says about itself, read once at construction.
// Holds no open file afterwards and never changes.
//
// A file that does not describe a usable package (missing, unreadable, a
// refused trailer, or a header block that runs past the trailer) gives
// the same object as a missing file: an all-zero trailer and empty texts,
// so every flag reads false and every setting empty. A trailer that is
// readable but lacks the magic keeps its fields as read (texts empty).
class TGFileInfo {
public:
    explicit TGFileInfo(const std::string& path);
    explicit TGFileInfo(const ByteSource& src);

    TPackTrailer Trailer;
    std::string LanguageTable;
    std::string UpdateSettings;
    std::string DownloadSettings;

    // RequiredSpace entry for the cluster size of the path's volume.
    double SpaceRequired(const std::string& path) const;
    // The same for a given cluster size: entry 0 below 512 bytes, else the
    // entry of the largest threshold 512..65536 not above it.
    double SpaceRequiredForCluster(int clusterSize) const;

    bool AskBeforeExtract() const;
    bool IsSpanned() const;
    bool ShowActivityBar() const;
    bool AgentLogEnabled() const;
    bool IsInternetSetup() const;
    bool AskBeforeDownload() const;
    bool InstallsAgent() const;
    bool IsAutoUpdateProgram() const;

    std::string UpdateUrl() const;
    // File-name part of the information file (after the last '\' or ':').
    std::string InfoFileName() const;
    // That name without any extension, followed by ".original".
    std::string OriginalFileName() const;
    std::string AgentExeName() const;
    bool IsHidden() const;
    std::string UpdateToken(bool descramble) const;

    std::string DownloadUrl() const;
    std::string DownloadFileName() const;
    bool AlwaysDownload() const;
    std::string DownloadToken(bool descramble) const;
    std::string DownloadSize() const;

    // The record of LanguageTable for a language name (see
    // kv::FindLanguageRecord): "*" when there is none.
    std::string FindLanguageRecord(const std::string& name) const;
    // The text of `key` in the language record this process chose (the
    // first call of any object chooses it from its own table): `def` when
    // there is no record or the key is absent, empty when the key is
    // present without a value.
    std::string LangText(const std::string& key, const std::string& def) const;
    // "Charset" as a number; 0 when absent or not a number.
    int LangCharset() const;
    // "FontSize" as a number; 8 when absent or not a number.
    int LangFontSize() const;
    // "FontName"; "Tahoma" when absent.
    std::string LangFontName() const;

private:
    void Read(const ByteSource& src);
    void Clear();
};

}  // namespace kv
