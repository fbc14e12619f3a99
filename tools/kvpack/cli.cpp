#include "kvpack/cli.h"

#include <cstdlib>
#include <functional>
#include <map>

namespace kv::pack {
namespace {

// Decimal bytes with an optional K or M (x1024) suffix.
bool ParseSize(const std::string& text, uint64_t& value) {
    if (text.empty()) return false;
    uint64_t unit = 1;
    std::string digits = text;
    const char last = digits.back();
    if (last == 'k' || last == 'K') unit = 1024;
    if (last == 'm' || last == 'M') unit = 1024 * 1024;
    if (unit != 1) digits.pop_back();
    if (digits.empty() || digits.find_first_not_of("0123456789") != std::string::npos || digits.size() > 15) return false;
    value = std::strtoull(digits.c_str(), nullptr, 10) * unit;
    return true;
}

bool ParseNumber(const std::string& text, uint64_t max, uint64_t& value) {
    if (text.empty() || text.find_first_not_of("0123456789") != std::string::npos || text.size() > 10) return false;
    value = std::strtoull(text.c_str(), nullptr, 10);
    return value <= max;
}

}  // namespace

std::string HelpText() {
    return R"(kvpack - append a setup package to a copy of the stub

Usage: kvpack --stub STUB.exe --out SETUP.exe [options] [FILE|FOLDER ...]
       kvpack --info SETUP.exe   (print what the stub will read from a package)

Input
  --stub PATH              the stub executable to copy (required)
  --out PATH               the package to write (required); written under a
                           temporary name and renamed when complete
  --engine PATH            the setup engine: the first entry, marked with '*'
  --engine-name NAME       entry name of the engine (default: its file name)
  --engine-args TEXT       fixed engine arguments after the star, e.g. /Q
                           gives the entry "Setup.exe*/Q"
  --add PATH               a file, or a folder whose top-level files are added
                           (a folder with subfolders is refused: entry names
                           carry no folder part); bare arguments do the same
  --add-as PATH NAME       a file under another entry name
  --store-all              store every entry uncompressed
  --store NAME             store the entry NAME uncompressed (repeatable)
  --max-entry BYTES        split larger files into several entries of the
                           same name (default 4M; K and M suffixes allowed)
  --level N                zlib compression level 0..9 (default 9)

Header blocks
  --lang-table TEXT        the language table as a field list of records
  --lang-ini PATH          the language table from an INI file: one section
                           per language ([English]), its keys the texts
                           (s0=..., BtnText=..., FontName=...)
                           (default: the empty table "|")
  --update-url TEXT        update address            (default "http:")
  --info-file TEXT         update information file   (default ".info")
  --agent-exe TEXT         agent executable name     (default ".exe")
  --update-token TEXT      update token in clear; written scrambled
  --hidden 0|1             run the setup without user interface (default 0)
  --download-url TEXT      address of the package to download
  --download-file TEXT     file name of the package to download
  --always-download 0|1    always download, even beside an existing file
  --download-token TEXT    download token in clear; written scrambled
  --download-size BYTES    size of the package to download, as shown
                           (any --download-* option adds the third block)
  --token-seed N           seed for the token scrambling (reproducible output)

Trailer
  --ask-before-extract     ask before extracting even when space suffices
  --activity-bar           show the activity bar while extracting
  --agent-log              the agent writes its run log
  --spanned                a spanned (multi-disk) set, see below
  --internet-setup[=N]     the product files are downloaded first
  --ask-before-download[=N] ask before an Internet setup downloads
  --install-agent[=N]      the setup installs the auto-update agent
  --auto-update-program[=N] this executable is the auto-update agent
  --segment-size BYTES     largest size of one package file (default: one file)
  --sign-prep              record each stub-carrying file's length in its DOS
                           header (words 248/252) so that it stays readable
                           after an Authenticode signature is appended

Layouts
  one file:   OUT = stub + header blocks + entries + trailer
  segments:   OUT = stub + headers + first entries + trailer (next-segment
              flag), then OUT.002, OUT.003 ...: entries + trailer each
  spanned:    OUT = stub + headers + trailer (spanned flag, no entries): the
              launcher, which copies itself to the temp folder and reads
              OUT.001 = stub + headers + first entries + trailer, then
              OUT.002 ... as above; --segment-size limits each OUT.nnn
              (OUT itself is small and comes on the first disk too)
  A file larger than the room left in a segment continues in the next one
  as further entries of the same name.

Exit status: 0 written, 1 build error (nothing written), 2 usage error.
)";
}

CliResult ParseArguments(const std::vector<std::string>& args, PackageSpec& spec, std::string& error) {
    using Setter = std::function<bool(const std::string&)>;
    const auto text = [](std::string& field) { return Setter([&field](const std::string& v) { field = v; return true; }); };
    const auto flag01 = [](std::string& field) {
        return Setter([&field](const std::string& v) { field = v; return v == "0" || v == "1"; });
    };
    const auto download = [&spec](std::string& field) {
        return Setter([&spec, &field](const std::string& v) { field = v; spec.withDownload = true; return true; });
    };
    const std::map<std::string, Setter> valued = {
        {"--stub", text(spec.stubPath)},
        {"--out", text(spec.outputPath)},
        {"--engine", text(spec.enginePath)},
        {"--engine-name", text(spec.engineName)},
        {"--engine-args", text(spec.engineArgs)},
        {"--add", [&spec](const std::string& v) { spec.inputs.push_back({v, ""}); return true; }},
        {"--store",
         [&spec](const std::string& v) {
             spec.storeNames.push_back(v);
             if (spec.storeMode == StoreMode::CompressAll) spec.storeMode = StoreMode::StoreNamed;
             return true;
         }},
        {"--max-entry", [&spec](const std::string& v) { return ParseSize(v, spec.maxEntrySize); }},
        {"--level",
         [&spec](const std::string& v) {
             uint64_t n = 0;
             if (!ParseNumber(v, 9, n)) return false;
             spec.compressionLevel = int(n);
             return true;
         }},
        {"--lang-table", text(spec.languageTable)},
        {"--lang-ini", text(spec.languageIni)},
        {"--update-url", text(spec.update.url)},
        {"--info-file", text(spec.update.infoFile)},
        {"--agent-exe", text(spec.update.agentExeName)},
        {"--update-token", text(spec.update.token)},
        {"--hidden", flag01(spec.update.hidden)},
        {"--download-url", download(spec.download.url)},
        {"--download-file", download(spec.download.fileName)},
        {"--always-download",
         [&spec](const std::string& v) { spec.download.always = v; spec.withDownload = true; return v == "0" || v == "1"; }},
        {"--download-token", download(spec.download.token)},
        {"--download-size", download(spec.download.size)},
        {"--token-seed",
         [&spec](const std::string& v) {
             uint64_t n = 0;
             if (!ParseNumber(v, 0xFFFFFFFFu, n)) return false;
             spec.tokenSeed = uint32_t(n);
             spec.haveTokenSeed = true;
             return true;
         }},
        {"--segment-size", [&spec](const std::string& v) { return ParseSize(v, spec.segmentSize); }},
    };
    const std::map<std::string, std::function<bool(uint64_t)>> flags = {
        {"--ask-before-extract", [&spec](uint64_t n) { spec.askBeforeExtract = n != 0; return n <= 1; }},
        {"--activity-bar", [&spec](uint64_t n) { spec.showActivityBar = n != 0; return n <= 1; }},
        {"--agent-log", [&spec](uint64_t n) { spec.agentLog = n != 0; return n <= 1; }},
        {"--spanned", [&spec](uint64_t n) { spec.spanned = n != 0; return n <= 1; }},
        {"--sign-prep", [&spec](uint64_t n) { spec.signPrep = n != 0; return n <= 1; }},
        {"--store-all",
         [&spec](uint64_t n) {
             if (n != 0) spec.storeMode = StoreMode::StoreAll;
             return n <= 1;
         }},
        {"--internet-setup", [&spec](uint64_t n) { spec.internetSetup = uint8_t(n); return true; }},
        {"--ask-before-download", [&spec](uint64_t n) { spec.askBeforeDownload = uint8_t(n); return true; }},
        {"--install-agent", [&spec](uint64_t n) { spec.installAgent = uint8_t(n); return true; }},
        {"--auto-update-program", [&spec](uint64_t n) { spec.isAutoUpdateProgram = uint8_t(n); return true; }},
    };

    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--help" || arg == "-h" || arg == "/?") return CliResult::Help;
        if (arg.compare(0, 2, "--") != 0) {
            spec.inputs.push_back({arg, ""});
            continue;
        }
        const size_t eq = arg.find('=');
        const std::string name = arg.substr(0, eq);
        const bool inlineValue = eq != std::string::npos;
        const std::string value = inlineValue ? arg.substr(eq + 1) : std::string();

        if (name == "--add-as") {
            if (inlineValue || i + 2 >= args.size()) {
                error = "--add-as needs two arguments: PATH NAME";
                return CliResult::Error;
            }
            spec.inputs.push_back({args[i + 1], args[i + 2]});
            i += 2;
            continue;
        }
        if (const auto f = flags.find(name); f != flags.end()) {
            uint64_t n = 1;
            if (inlineValue && !ParseNumber(value, 255, n)) {
                error = "bad value for " + name + ": " + value;
                return CliResult::Error;
            }
            if (!f->second(n)) {
                error = "bad value for " + name + ": " + value;
                return CliResult::Error;
            }
            continue;
        }
        const auto v = valued.find(name);
        if (v == valued.end()) {
            error = "unknown option " + name + " (see --help)";
            return CliResult::Error;
        }
        std::string given = value;
        if (!inlineValue) {
            if (i + 1 >= args.size()) {
                error = name + " needs a value";
                return CliResult::Error;
            }
            given = args[++i];
        }
        if (!v->second(given)) {
            error = "bad value for " + name + ": " + given;
            return CliResult::Error;
        }
    }
    if (spec.stubPath.empty() || spec.outputPath.empty()) {
        error = "--stub and --out are required (see --help)";
        return CliResult::Error;
    }
    if (!spec.languageTable.empty() && !spec.languageIni.empty()) {
        error = "give either --lang-table or --lang-ini, not both";
        return CliResult::Error;
    }
    return CliResult::Build;
}

}  // namespace kv::pack
