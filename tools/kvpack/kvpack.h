#pragma once
// The package builder: appends a setup package to a copy of the stub,
// exactly in the shape the stub's reader and unpacker expect.
#include <cstdint>
#include <string>
#include <vector>

namespace kv::pack {

// Default largest content piece per file entry; larger files are split
// into several entries of the same name, which the unpacker appends.
constexpr uint64_t kDefaultMaxEntrySize = 4u * 1024 * 1024;

// The five fields of the update settings block. The defaults are what a
// package without auto-update settings carries.
struct UpdateFields {
    std::string url = "http:";
    std::string infoFile = ".info";
    std::string agentExeName = ".exe";
    std::string token;  // in clear; written scrambled
    std::string hidden = "0";
};

// The five fields of the download settings block (Internet setups).
struct DownloadFields {
    std::string url;
    std::string fileName;
    std::string always = "0";
    std::string token;  // in clear; written scrambled
    std::string size;   // decimal bytes, shown to the user
};

// One thing to add: a file, or a folder whose top-level files are added.
struct InputItem {
    std::string path;
    std::string name;  // entry name for a file; empty = the file's own name
};

enum class StoreMode {
    CompressAll,  // every entry a zlib stream (default)
    StoreAll,     // every entry stored as it is
    StoreNamed,   // stored when its name is in storeNames, else compressed
};

struct PackageSpec {
    std::string stubPath;
    std::string outputPath;

    // Language table as a field list of records; when empty, built from
    // languageIni, or the empty table "|" when that is empty too.
    std::string languageTable;
    std::string languageIni;

    UpdateFields update;
    bool withDownload = false;  // adds the third header block
    DownloadFields download;

    // The setup engine: the first entry, its name marked with '*' and
    // followed by engineArgs ("Setup.exe*/Q"). Optional.
    std::string enginePath;
    std::string engineName;  // empty = the engine file's own name
    std::string engineArgs;

    std::vector<InputItem> inputs;
    StoreMode storeMode = StoreMode::CompressAll;
    std::vector<std::string> storeNames;  // compared ignoring case
    uint64_t maxEntrySize = kDefaultMaxEntrySize;
    int compressionLevel = 9;

    bool askBeforeExtract = false;
    bool spanned = false;
    bool showActivityBar = false;
    bool agentLog = false;
    uint8_t internetSetup = 0;
    uint8_t askBeforeDownload = 0;
    uint8_t installAgent = 0;
    uint8_t isAutoUpdateProgram = 0;

    // Largest size of one package file; 0 = everything in one file.
    uint64_t segmentSize = 0;
    // Record each stub-carrying file's final length in its DOS header
    // (words 248/252) so that it stays readable after Authenticode signing.
    bool signPrep = false;

    // Seed for the token scrambling; without one the output differs run by run.
    bool haveTokenSeed = false;
    uint32_t tokenSeed = 0;
};

// Builds the package. Every file is first written under a temporary name;
// on any failure none is renamed and `error` says why. Only a failing
// rename at the very end can leave a set partly replaced (later parts are
// renamed first, the file the user starts last). `written` (optional) receives the paths
// written, in the order the stub reads them.
bool BuildPackage(const PackageSpec& spec, std::string& error, std::vector<std::string>* written = nullptr);

// Path of segment `segmentNumber` (from 1) of a package: for a plain or
// segmented package segment 1 is the output itself and segment j is
// output + ".00j"; for a spanned set (whose output is the launcher)
// segment j is output + ".00j" from 1 on.
std::string SegmentPath(const std::string& outputPath, bool spanned, int segmentNumber);

}  // namespace kv::pack
