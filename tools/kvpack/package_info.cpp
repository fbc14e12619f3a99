#include "kvpack/package_info.h"

#include "package/file_source.h"
#include "package/packx.h"
#include "util/ksub.h"

namespace kv::pack {
namespace {

void Line(std::string& out, const char* name, const std::string& value) {
    out += name;
    out += ": ";
    out += value;
    out += '\n';
}

std::string Flag(bool b) { return b ? "yes" : "no"; }

}  // namespace

std::string DescribePackage(const std::string& path) {
    const TGFileInfo info(path);
    const TPackTrailer& t = info.Trailer;
    std::string out;
    if (t.Magic != kPackMagic) {
        Line(out, "package", "none found in " + path);
        return out;
    }
    Line(out, "file", path);
    Line(out, "header blocks", std::to_string(t.HeaderCount));
    Line(out, "first entry at", std::to_string(t.PackageStart));
    Line(out, "file entries", std::to_string(t.FilesCount));
    Line(out, "checksum", std::to_string(t.Checksum));
    Line(out, "product size", std::to_string(t.RequiredSpace[0]) + " bytes (" +
                                  std::to_string(t.RequiredSpace[4]) + " on 4 KiB clusters)");
    Line(out, "ask before extract", Flag(info.AskBeforeExtract()));
    Line(out, "next segment", Flag(HasNextSegment(t)));
    Line(out, "spanned", Flag(info.IsSpanned()));
    Line(out, "activity bar", Flag(info.ShowActivityBar()));
    Line(out, "agent log", Flag(info.AgentLogEnabled()));
    Line(out, "internet setup", Flag(info.IsInternetSetup()));
    Line(out, "ask before download", Flag(info.AskBeforeDownload()));
    Line(out, "installs agent", Flag(info.InstallsAgent()));
    Line(out, "auto-update program", Flag(info.IsAutoUpdateProgram()));
    const auto source = OpenFileSource(path);
    const bool pe = source && IsPeFile(*source);
    Line(out, "signed package end", std::to_string(pe ? SignedPackageEnd(*source) : 0));
    Line(out, "languages", std::to_string(SUB::Count(info.LanguageTable)));
    Line(out, "update url", info.UpdateUrl());
    Line(out, "info file", info.InfoFileName());
    Line(out, "agent exe", info.AgentExeName());
    Line(out, "hidden", Flag(info.IsHidden()));
    if (t.HeaderCount > 2) {
        Line(out, "download url", info.DownloadUrl());
        Line(out, "download file", info.DownloadFileName());
        Line(out, "always download", Flag(info.AlwaysDownload()));
        Line(out, "download size", info.DownloadSize());
    }
    return out;
}

}  // namespace kv::pack
