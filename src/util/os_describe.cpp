#include "util/os_describe.h"

#include "util/ksub.h"
#include "util/text_utils.h"

namespace kv {
namespace {

// When a row applies besides its platform id and version text.
enum class When {
    Always,       // any version ("any" rows) or the named version
    Other,        // no earlier row of the same platform id matched
    Win64,        // the named version on a 64-bit Windows
    Server64,     // the named version, a 64-bit server
    Server32,     // the named version, a 32-bit server
};

struct Row {
    uint32_t platformId;
    const char* version;  // nullptr: any version
    When when;
    const char* name;
    uint32_t kind;
};

// Applied top to bottom; a later matching row overrides an earlier one.
constexpr Row kRows[] = {
    {PlatformWin32s, nullptr, When::Always, "32S", 0},
    {PlatformWindows, "4.0", When::Always, "95", 1},
    {PlatformWindows, "4.10", When::Always, "98", 2},
    {PlatformWindows, "4.90", When::Always, "ME", 4},
    {PlatformWindows, nullptr, When::Other, "9x", 1},
    {PlatformNT, "4.0", When::Always, "NT", 8},
    {PlatformNT, "5.0", When::Always, "2000", 16},
    {PlatformNT, "5.1", When::Always, "XP", 32},
    {PlatformNT, "5.2", When::Always, "2003", 64},
    {PlatformNT, "6.0", When::Always, "Vista", 128},
    {PlatformNT, "6.1", When::Always, "7", 1024},
    {PlatformNT, "6.2", When::Always, "8", 0x8000},
    {PlatformNT, "6.3", When::Always, "8.1", 0x40000},
    {PlatformNT, "10.0", When::Always, "10", 0x200000},
    {PlatformNT, nullptr, When::Other, "NTx", 8},
    {PlatformNT, "5.2", When::Win64, "XP.64", 256},
    {PlatformNT, "6.0", When::Win64, "Vista.64", 512},
    {PlatformNT, "6.1", When::Win64, "7.64", 2048},
    {PlatformNT, "6.2", When::Win64, "8.64", 0x10000},
    {PlatformNT, "6.3", When::Win64, "8.1.64", 0x80000},
    {PlatformNT, "10.0", When::Win64, "10.64", 0x400000},
    {PlatformNT, "6.0", When::Server64, "2008.64", 8192},
    {PlatformNT, "6.1", When::Server64, "2008R2.64", 0x4000},
    {PlatformNT, "6.2", When::Server64, "2012.64", 0x20000},
    {PlatformNT, "6.3", When::Server64, "2012R2.64", 0x100000},
    {PlatformNT, "6.0", When::Server32, "2008", 4096},
};

}  // namespace

bool MayUnderReport(const OsVersion& v) { return v.major > 5 && v.minor > 2; }

OsVersion CorrectedOsVersion(const OsVersion& reported, const std::string& kernelProductVersion) {
    OsVersion v = reported;
    if (!MayUnderReport(v)) return v;
    const std::string list = "." + kernelProductVersion + ".";
    v.major = uint32_t(SUB::GetInt64(list, 0, 0));
    v.minor = uint32_t(SUB::GetInt64(list, 1, 0));
    v.build = uint32_t(SUB::GetInt64(list, 2, 0));
    return v;
}

bool IsNTVersion(const OsVersion& v) { return v.platformId == PlatformNT; }

bool IsXPVersion(const OsVersion& v) { return IsNTVersion(v) && VersionText(v) == "5.1"; }

bool IsWin8OrLaterVersion(const OsVersion& v) {
    return IsNTVersion(v) && StrToFloatAnyLocale(VersionText(v), 0) >= 6.2;
}

std::string VersionText(const OsVersion& v) {
    return std::to_string(v.major) + "." + std::to_string(v.minor);
}

OsDescription DescribeOSFrom(const OsVersion& v, bool is64BitWindows, bool isServer) {
    OsDescription d;
    d.servicePack = Trim(v.servicePack);
    d.build = v.build & 0xFFFF;
    d.version = VersionText(v);
    // ME reports itself as 98 with build 3000.
    if (v.platformId == PlatformWindows && d.version == "4.10" && d.build == 3000) d.version = "4.90";

    bool matchedOnPlatform = false;
    for (const Row& row : kRows) {
        if (row.platformId != v.platformId) continue;
        bool match = false;
        switch (row.when) {
            case When::Other:
                match = !matchedOnPlatform;
                break;
            case When::Always:
                match = row.version == nullptr || d.version == row.version;
                break;
            case When::Win64:
                match = is64BitWindows && d.version == row.version;
                break;
            case When::Server64:
                match = isServer && is64BitWindows && d.version == row.version;
                break;
            case When::Server32:
                match = isServer && !is64BitWindows && d.version == row.version;
                break;
        }
        if (!match) continue;
        matchedOnPlatform = true;
        d.name = row.name;
        d.kind = row.kind;
    }
    return d;
}

}  // namespace kv
