#pragma once
// Identification of the running system from its version record: the
// name, kind flag and version text that settings and logs compare
// against. Pure: the Win32 half feeds it the live record and probes.
#include <cstdint>
#include <string>

namespace kv {

// Platform ids of the version record.
constexpr uint32_t PlatformWin32s = 0;
constexpr uint32_t PlatformWindows = 1;  // the 9x family
constexpr uint32_t PlatformNT = 2;

// The fields of the system's version record that matter here.
struct OsVersion {
    uint32_t major = 0;
    uint32_t minor = 0;
    uint32_t build = 0;
    uint32_t platformId = 0;
    std::string servicePack;  // the 128-character field up to its first zero
};

// Whether the record may under-report the version: Windows answers 6.3 to
// a program whose manifest stops at 8.1, as ours does.
bool MayUnderReport(const OsVersion& v);
// The record with major, minor and build taken from the system library's
// product version ("10.0.19041.1") when it may under-report; otherwise as
// given. Missing fields of the product version count as 0.
OsVersion CorrectedOsVersion(const OsVersion& reported, const std::string& kernelProductVersion);

// Platform id is NT.
bool IsNTVersion(const OsVersion& v);
// NT 5.1.
bool IsXPVersion(const OsVersion& v);
// NT and major.minor, read as a number, at least 6.2.
bool IsWin8OrLaterVersion(const OsVersion& v);
// "major.minor" in decimal.
std::string VersionText(const OsVersion& v);

// What DescribeOS reports.
struct OsDescription {
    std::string version;      // "6.1"; "4.90" for ME
    std::string name;         // "7.64", "XP", "ME" ...; empty when unknown
    std::string servicePack;  // trimmed
    uint32_t kind = 0;        // one bit per recognised system, 0 for Win32s
    uint32_t build = 0;       // low 16 bits of the build number
};

// The identification table over a given record and the two probes.
OsDescription DescribeOSFrom(const OsVersion& v, bool is64BitWindows, bool isServer);

}  // namespace kv
