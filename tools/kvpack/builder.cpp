#include <sys/stat.h>
#include <zlib.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <random>

#include "kvpack/dos_time.h"
#include "kvpack/kvpack.h"
#include "kvpack/lang_ini.h"
#include "kvpack/output_file.h"
#include "kvpack/token_scramble.h"
#include "package/checksum.h"
#include "package/file_source.h"
#include "package/packx.h"
#include "util/text_utils.h"

namespace kv::pack {
namespace {

namespace fs = std::filesystem;

// Largest content piece; zlib's lengths are 32-bit on Windows and a
// block's length is a signed 32-bit word.
constexpr uint64_t kLargestEntrySize = 1u << 30;

struct SourceFile {
    std::string path;
    std::string name;    // entry name
    std::string marker;  // "*" + fixed arguments for the engine, else empty
    uint64_t size = 0;
    uint32_t dosTime = 0;
    bool compress = true;
};

std::string Quote(const std::string& s) { return "\"" + s + "\""; }

bool CheckEntryName(const std::string& name, std::string& error) {
    if (name.empty()) {
        error = "empty entry name";
        return false;
    }
    if (name.size() > 255) {
        error = "entry name " + Quote(name.substr(0, 40)) + "... is too long for a file name";
        return false;
    }
    if (name == "." || name == "..") {
        error = "entry name " + Quote(name) + " names a folder";
        return false;
    }
    if (name.find_first_of("\\/:") != std::string::npos) {
        error = "entry name " + Quote(name) + " has a folder part; entries are extracted into one folder";
        return false;
    }
    for (const char c : name) {
        if (uint8_t(c) < 32 || std::string("|*<>\"?").find(c) != std::string::npos) {
            error = "entry name " + Quote(name) + " contains a character a file name or an entry header cannot carry";
            return false;
        }
    }
    return true;
}

// A field of a '|' list may not contain the separator (or a zero byte,
// where the list readers stop).
bool CheckField(const std::string& what, const std::string& value, std::string& error) {
    if (value.find('|') != std::string::npos) {
        error = what + " " + Quote(value) + " contains the field separator '|'";
        return false;
    }
    if (value.find('\0') != std::string::npos) {
        error = what + " contains a zero byte";
        return false;
    }
    return true;
}

bool ReadWholeFile(const std::string& path, std::string& bytes, std::string& error) {
    const std::unique_ptr<ByteSource> src = OpenFileSource(path);
    if (!src) {
        error = "cannot open " + path;
        return false;
    }
    if (src->Size() > kLargestEntrySize) {
        error = path + " is too large";
        return false;
    }
    bytes.assign(size_t(src->Size()), '\0');
    if (!bytes.empty() && src->ReadAt(0, &bytes[0], bytes.size()) != bytes.size()) {
        error = "cannot read " + path;
        return false;
    }
    return true;
}

std::string Block(int32_t length, const char* data, size_t n) {
    std::string b(4 + n, '\0');
    StoreU32(reinterpret_cast<unsigned char*>(&b[0]), uint32_t(length));
    if (n > 0) std::copy(data, data + n, b.begin() + 4);
    return b;
}

// One header block: positive length, raw bytes.
std::string HeaderBlock(const std::string& text) { return Block(int32_t(text.size()), text.data(), text.size()); }

// One file entry: header, a zero byte, content; a zlib stream with a
// positive length, or stored with the negated length.
bool EntryBlock(const std::string& header, const char* content, size_t n, bool compress, int level,
                std::string& block, std::string& error) {
    std::string payload;
    payload.reserve(header.size() + 1 + n);
    payload.append(header);
    payload.push_back('\0');
    payload.append(content, n);
    if (!compress) {
        block = Block(-int32_t(payload.size()), payload.data(), payload.size());
        return true;
    }
    uLongf packed = compressBound(uLong(payload.size()));
    std::string out(size_t(packed), '\0');
    if (compress2(reinterpret_cast<Bytef*>(&out[0]), &packed, reinterpret_cast<const Bytef*>(payload.data()),
                  uLong(payload.size()), level) != Z_OK) {
        error = "compression failed for " + header;
        return false;
    }
    block = Block(int32_t(packed), out.data(), size_t(packed));
    return true;
}

uint32_t Saturate(uint64_t v) { return v > 0xFFFFFFFFull ? 0xFFFFFFFFu : uint32_t(v); }

// [0] exact total, [1..8] rounded up per file to 512..65536-byte clusters.
std::array<uint32_t, 9> RequiredSpace(const std::vector<SourceFile>& files) {
    std::array<uint64_t, 9> total{};
    for (const SourceFile& f : files) {
        total[0] += f.size;
        for (size_t i = 1; i <= 8; ++i) {
            const uint64_t cluster = uint64_t(256) << i;
            total[i] += (f.size + cluster - 1) / cluster * cluster;
        }
    }
    std::array<uint32_t, 9> out{};
    for (size_t i = 0; i < 9; ++i) out[i] = Saturate(total[i]);
    return out;
}

bool FileMoment(const std::string& path, uint32_t& dosTime, std::string& error) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) {
        error = "cannot read the date of " + path;
        return false;
    }
    dosTime = DosDateTime(std::time_t(st.st_mtime));
    return true;
}

bool AddSource(const std::string& path, const std::string& name, const std::string& marker,
               std::vector<SourceFile>& files, std::string& error) {
    if (!CheckEntryName(name, error)) return false;
    const std::unique_ptr<ByteSource> src = OpenFileSource(path);
    if (!src) {
        error = "cannot open " + path;
        return false;
    }
    SourceFile f;
    f.path = path;
    f.name = name;
    f.marker = marker;
    f.size = src->Size();
    if (!FileMoment(path, f.dosTime, error)) return false;
    files.push_back(std::move(f));
    return true;
}

// A folder gives its top-level files in name order. Entry names carry no
// folder part, so a subfolder could only be flattened (and its names
// could clash): it is refused instead.
bool AddFolder(const std::string& folder, std::vector<SourceFile>& files, std::string& error) {
    std::error_code ec;
    fs::directory_iterator it(fs::path(folder), ec);
    if (ec) {
        error = "cannot read folder " + folder + ": " + ec.message();
        return false;
    }
    std::vector<fs::path> found;
    for (; it != fs::directory_iterator(); it.increment(ec)) {
        const fs::directory_entry& e = *it;
        std::error_code sec;
        if (e.is_directory(sec)) {
            error = "folder " + folder + " contains the subfolder " + e.path().filename().string() +
                    "; entries carry no folder part, add its files by themselves";
            return false;
        }
        if (!e.is_regular_file(sec)) {
            error = e.path().string() + " is not a regular file";
            return false;
        }
        found.push_back(e.path());
    }
    if (ec) {  // a failed step ends the iteration
        error = "cannot read folder " + folder + ": " + ec.message();
        return false;
    }
    std::sort(found.begin(), found.end());
    for (const fs::path& p : found)
        if (!AddSource(p.string(), p.filename().string(), "", files, error)) return false;
    return true;
}

std::string FileNameOf(const std::string& path) { return fs::path(path).filename().string(); }

bool CollectFiles(const PackageSpec& spec, std::vector<SourceFile>& files, std::string& error) {
    if (!spec.enginePath.empty()) {
        if (!FileExists(spec.enginePath)) {
            error = "engine file not found: " + spec.enginePath;
            return false;
        }
        if (!CheckField("engine arguments", spec.engineArgs, error)) return false;
        const std::string name = spec.engineName.empty() ? FileNameOf(spec.enginePath) : spec.engineName;
        if (!AddSource(spec.enginePath, name, "*" + spec.engineArgs, files, error)) return false;
    } else if (!spec.engineArgs.empty()) {
        error = "engine arguments given without an engine file";
        return false;
    }
    for (const InputItem& in : spec.inputs) {
        std::error_code ec;
        const fs::file_status st = fs::status(fs::path(in.path), ec);
        if (ec || !fs::exists(st)) {
            error = "file not found: " + in.path;
            return false;
        }
        if (fs::is_directory(st)) {
            if (!in.name.empty()) {
                error = "folder " + in.path + " cannot take an entry name";
                return false;
            }
            if (!AddFolder(in.path, files, error)) return false;
        } else if (fs::is_regular_file(st)) {
            if (!AddSource(in.path, in.name.empty() ? FileNameOf(in.path) : in.name, "", files, error)) return false;
        } else {
            error = in.path + " is not a file or folder";
            return false;
        }
    }
    // Entries of one name are appended into one file by the unpacker, so
    // two inputs of the same name would silently merge.
    for (size_t i = 0; i < files.size(); ++i) {
        for (size_t j = i + 1; j < files.size(); ++j) {
            if (SameText(files[i].name, files[j].name)) {
                error = "two entries named " + Quote(files[j].name) + ": " + files[i].path + " and " + files[j].path;
                return false;
            }
        }
    }
    for (const std::string& n : spec.storeNames) {
        const bool used = std::any_of(files.begin(), files.end(), [&n](const SourceFile& f) { return SameText(f.name, n); });
        if (!used) {
            error = "stored entry " + Quote(n) + " names no file of the package";
            return false;
        }
    }
    for (SourceFile& f : files) {
        if (spec.storeMode == StoreMode::StoreAll)
            f.compress = false;
        else if (spec.storeMode == StoreMode::StoreNamed)
            f.compress = !std::any_of(spec.storeNames.begin(), spec.storeNames.end(),
                                      [&f](const std::string& n) { return SameText(f.name, n); });
    }
    return true;
}

bool LanguageTableOf(const PackageSpec& spec, std::string& table, std::string& error) {
    if (!spec.languageTable.empty()) {
        const std::string& t = spec.languageTable;
        if (t.find('\0') != std::string::npos || (t.size() > 1 && t.back() != t.front())) {
            error = "language table " + Quote(t) + " is not a field list (it must end with its first character)";
            return false;
        }
        table = t;
        return true;
    }
    if (!spec.languageIni.empty()) {
        std::string ini;
        if (!FileExists(spec.languageIni)) {
            error = "language INI not found: " + spec.languageIni;
            return false;
        }
        return ReadWholeFile(spec.languageIni, ini, error) && LanguageTableFromIni(ini, table, error);
    }
    table = "|";
    return true;
}

bool HeaderTexts(const PackageSpec& spec, std::mt19937& rng, std::string& headers, std::string& error) {
    std::string table;
    if (!LanguageTableOf(spec, table, error)) return false;
    const UpdateFields& u = spec.update;
    if (!CheckField("update address", u.url, error) || !CheckField("information file", u.infoFile, error) ||
        !CheckField("agent name", u.agentExeName, error) || !CheckField("hidden flag", u.hidden, error))
        return false;
    const std::string update =
        "|" + u.url + "|" + u.infoFile + "|" + u.agentExeName + "|" + ScrambleToken(u.token, rng) + "|" + u.hidden + "|";
    headers = HeaderBlock(table) + HeaderBlock(update);
    if (spec.withDownload) {
        const DownloadFields& d = spec.download;
        if (!CheckField("download address", d.url, error) || !CheckField("download file name", d.fileName, error) ||
            !CheckField("always-download flag", d.always, error) || !CheckField("download size", d.size, error))
            return false;
        const std::string download =
            "|" + d.url + "|" + d.fileName + "|" + d.always + "|" + ScrambleToken(d.token, rng) + "|" + d.size + "|";
        headers += HeaderBlock(download);
    }
    return true;
}

// Writes the package files one after another; each file is complete
// (trailer, checksum, signed-end words) before the next one starts.
class PackageWriter {
public:
    PackageWriter(const PackageSpec& spec, const std::string& stub, const std::string& headers, const TPackTrailer& base)
        : spec_(spec), stub_(stub), headers_(headers), base_(base) {}

    bool Begin(std::string& error) {
        if (spec_.spanned) {
            // The launcher the user starts: stub and headers only.
            TempOutput* launcher = Start(spec_.outputPath, true, error);
            if (launcher == nullptr || !Finish(false, error)) return false;
        }
        number_ = 1;
        return Start(SegmentPath(spec_.outputPath, spec_.spanned, 1), true, error) != nullptr;
    }

    bool AddFile(const SourceFile& f, std::string& error) {
        const std::unique_ptr<ByteSource> src = OpenFileSource(f.path);
        if (!src) {
            error = "cannot open " + f.path;
            return false;
        }
        if (src->Size() != f.size) {
            error = f.path + " changed while the package was built";
            return false;
        }
        const std::string date = std::to_string(f.dosTime);
        // The entry header is a field list: |name|date| (the engine's name
        // field carries the star and its fixed arguments).
        const std::string firstHeader = "|" + f.name + f.marker + "|" + date + "|";
        const std::string laterHeader = "|" + f.name + "|" + date + "|";
        uint64_t offset = 0;
        bool first = true;
        std::string content, block;
        do {
            const size_t want = size_t(std::min<uint64_t>(spec_.maxEntrySize, f.size - offset));
            content.assign(want, '\0');
            if (want > 0 && src->ReadAt(offset, &content[0], want) != want) {
                error = "cannot read " + f.path;
                return false;
            }
            const std::string& header = first ? firstHeader : laterHeader;
            size_t len = want;
            for (;;) {
                if (!EntryBlock(header, content.data(), len, f.compress, spec_.compressionLevel, block, error))
                    return false;
                const uint64_t room = Room();
                if (block.size() <= room) {
                    if (!Place(block, error)) return false;
                    break;
                }
                // Fill the rest of this segment with a shorter piece when
                // there is room worth using; the file goes on in the next.
                if (len > 1 && room > header.size() + 32) {
                    uint64_t shorter = uint64_t(double(len) * double(room) / double(block.size()) * 0.98);
                    if (shorter >= len) shorter = len - 1;
                    if (shorter >= 1) {
                        len = size_t(shorter);
                        continue;
                    }
                }
                if (entries_ > 0 || number_ == 1) {
                    if (!Finish(true, error)) return false;
                    ++number_;
                    if (Start(SegmentPath(spec_.outputPath, spec_.spanned, number_), false, error) == nullptr)
                        return false;
                    len = want;
                    continue;
                }
                error = "segment size " + std::to_string(spec_.segmentSize) + " is too small for a piece of " + f.path;
                return false;
            }
            offset += len;
            first = false;
        } while (offset < f.size);
        return true;
    }

    bool End(std::string& error) { return Finish(false, error); }

    // Later files first, the one the user starts last: a set never looks
    // complete before all of it is in place.
    bool Commit(std::string& error, std::vector<std::string>* written) {
        for (auto it = done_.rbegin(); it != done_.rend(); ++it)
            if (!(*it)->Commit(error)) return false;
        if (written != nullptr)
            for (const auto& out : done_) written->push_back(out->FinalPath());
        return true;
    }

private:
    TempOutput* Start(const std::string& path, bool withStub, std::string& error) {
        auto out = std::make_unique<TempOutput>(path);
        if (!out->Open(error)) return nullptr;
        if (withStub && (!out->Write(stub_, error) || !out->Write(headers_, error))) return nullptr;
        carriesStub_ = withStub;
        entries_ = 0;
        current_ = std::move(out);
        if (withStub && spec_.segmentSize > 0 && current_->Size() + kTrailerRecordSize > spec_.segmentSize &&
            !(spec_.spanned && number_ == 0)) {
            error = "segment size " + std::to_string(spec_.segmentSize) + " is smaller than the stub, headers and trailer (" +
                    std::to_string(current_->Size() + kTrailerRecordSize) + " bytes)";
            return nullptr;
        }
        return current_.get();
    }

    // A later segment starts with the length of its first entry; should
    // those bytes read "MZ" the file would pass for a PE image, so such a
    // segment gets an empty block (skipped by the unpacker) in front.
    bool GuardPending() const { return !carriesStub_ && entries_ == 0; }

    uint64_t Room() const {
        if (spec_.segmentSize == 0) return UINT64_MAX;
        const uint64_t used = current_->Size() + kTrailerRecordSize + (GuardPending() ? 4 : 0);
        return used >= spec_.segmentSize ? 0 : spec_.segmentSize - used;
    }

    bool Place(const std::string& block, std::string& error) {
        if (GuardPending() && block.size() >= 2 && block[0] == 'M' && block[1] == 'Z') {
            const char zero[4] = {0, 0, 0, 0};
            if (!current_->Write(zero, 4, error)) return false;
        }
        if (!current_->Write(block, error)) return false;
        ++entries_;
        return true;
    }

    bool Finish(bool hasNext, std::string& error) {
        TPackTrailer t = base_;
        t.PackageStart = carriesStub_ ? uint32_t(stub_.size()) : 0;
        t.FilesCount = entries_;
        if (hasNext) t.Flags |= kFlagHasNextSegment;
        t.Checksum = 0;
        const uint64_t trailerAt = current_->Size();
        const auto bytes = t.Encode();
        if (!current_->Write(bytes.data(), bytes.size(), error)) return false;
        if (carriesStub_ && spec_.signPrep) {
            const uint64_t end = current_->Size();
            unsigned char words[8];
            StoreU32(words, uint32_t(end >> 32));
            StoreU32(words + 4, uint32_t(end));
            if (!current_->PatchAt(kSignedEndHighOffset, words, 8, error)) return false;
        }
        if (!current_->Flush(error)) return false;
        // The sum never covers the trailer, so patching it in afterwards
        // leaves the value the reader computes unchanged.
        unsigned char sum[4];
        StoreU32(sum, PackageChecksum(current_->TempPath(), uint32_t(kTrailerRecordSize)));
        if (!current_->PatchAt(trailerAt + trailer_offset::Checksum, sum, 4, error) || !current_->Close(error))
            return false;
        done_.push_back(std::move(current_));
        return true;
    }

    const PackageSpec& spec_;
    const std::string& stub_;
    const std::string& headers_;
    const TPackTrailer base_;
    std::vector<std::unique_ptr<TempOutput>> done_;
    std::unique_ptr<TempOutput> current_;
    int number_ = 0;  // 0 while the spanned launcher is written
    bool carriesStub_ = false;
    uint32_t entries_ = 0;
};

bool CheckSpec(const PackageSpec& spec, std::string& error) {
    if (spec.outputPath.empty()) {
        error = "no output path";
        return false;
    }
    if (spec.maxEntrySize == 0 || spec.maxEntrySize > kLargestEntrySize) {
        error = "max entry size must be between 1 and " + std::to_string(kLargestEntrySize);
        return false;
    }
    if (spec.compressionLevel < 0 || spec.compressionLevel > 9) {
        error = "compression level must be 0..9";
        return false;
    }
    if (spec.stubPath.empty() || !FileExists(spec.stubPath)) {
        error = "stub not found: " + (spec.stubPath.empty() ? std::string("(none given)") : spec.stubPath);
        return false;
    }
    return true;
}

bool LoadStub(const PackageSpec& spec, std::string& stub, std::string& error) {
    if (!ReadWholeFile(spec.stubPath, stub, error)) return false;
    if (stub.empty()) {
        error = "stub " + spec.stubPath + " is empty";
        return false;
    }
    const MemorySource src(stub);
    TPackTrailer existing;
    if (ReadTrailer(src, existing) && existing.Magic == kPackMagic) {
        error = "stub " + spec.stubPath + " already carries a package";
        return false;
    }
    if (IsPeFile(src)) {
        // Stale words here would move the reader's idea of the package end.
        std::fill(stub.begin() + kSignedEndHighOffset, stub.begin() + kSignedEndLowOffset + 4, '\0');
    } else if (spec.signPrep) {
        error = "sign preparation needs a stub with its PE signature at offset 256: " + spec.stubPath;
        return false;
    }
    return true;
}

}  // namespace

std::string SegmentPath(const std::string& outputPath, bool spanned, int segmentNumber) {
    if (segmentNumber <= 1 && !spanned) return outputPath;
    char suffix[16];
    std::snprintf(suffix, sizeof suffix, ".%03d", segmentNumber < 1 ? 1 : segmentNumber);
    return outputPath + suffix;
}

bool BuildPackage(const PackageSpec& spec, std::string& error, std::vector<std::string>* written) {
    error.clear();
    if (!CheckSpec(spec, error)) return false;
    std::string stub;
    if (!LoadStub(spec, stub, error)) return false;

    std::mt19937 rng(spec.haveTokenSeed
                         ? spec.tokenSeed
                         : uint32_t(std::random_device()() ^
                                    uint32_t(std::chrono::steady_clock::now().time_since_epoch().count())));
    std::string headers;
    if (!HeaderTexts(spec, rng, headers, error)) return false;
    std::vector<SourceFile> files;
    if (!CollectFiles(spec, files, error)) return false;

    TPackTrailer base;
    base.Byte0 = 1;
    base.HeaderCount = spec.withDownload ? 3 : 2;
    base.Magic = kPackMagic;
    base.RequiredSpace = RequiredSpace(files);
    base.Flags = uint8_t((spec.askBeforeExtract ? kFlagAskBeforeExtract : 0) | (spec.spanned ? kFlagIsSpanned : 0) |
                         (spec.showActivityBar ? kFlagShowActivityBar : 0) | (spec.agentLog ? kFlagAgentLogEnabled : 0));
    base.InternetSetup = spec.internetSetup;
    base.AskBeforeDownload = spec.askBeforeDownload;
    base.InstallAgent = spec.installAgent;
    base.IsAutoUpdateProgram = spec.isAutoUpdateProgram;
    base.TrailerSize = uint32_t(kTrailerRecordSize);

    PackageWriter writer(spec, stub, headers, base);
    if (!writer.Begin(error)) return false;
    for (const SourceFile& f : files)
        if (!writer.AddFile(f, error)) return false;
    return writer.End(error) && writer.Commit(error, written);
}

}  // namespace kv::pack
