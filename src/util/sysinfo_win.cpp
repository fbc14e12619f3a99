// Version record, system kind and the user's and computer's names.
#include "util/sysinfo.h"

#include <cstring>
#include <vector>

#include "util/exe_version.h"
#include "util/text_utils.h"

namespace kv {
namespace {

enum class TriState { Unknown, No, Yes };

OsVersion FromRecord(const OSVERSIONINFOA& r) {
    OsVersion v;
    v.major = r.dwMajorVersion;
    v.minor = r.dwMinorVersion;
    v.build = r.dwBuildNumber;
    v.platformId = r.dwPlatformId;
    v.servicePack.assign(r.szCSDVersion, strnlen(r.szCSDVersion, sizeof r.szCSDVersion));
    return v;
}

const OSVERSIONINFOA& CachedRecord() {
    static OSVERSIONINFOA record;
    static bool filled = false;
    if (!filled) {
        filled = true;
        std::memset(&record, 0, sizeof record);
        record.dwOSVersionInfoSize = sizeof record;
        GetVersionExA(&record);
        OsVersion v = FromRecord(record);
        if (MayUnderReport(v)) {
            v = CorrectedOsVersion(v, GetProductVersion(SystemFolder(true) + "kernel32.dll", 1, 4));
            record.dwMajorVersion = v.major;
            record.dwMinorVersion = v.minor;
            record.dwBuildNumber = v.build;
        }
    }
    return record;
}

std::string Trimmed(const char* buffer, DWORD length) { return Trim(std::string(buffer, length)); }

}  // namespace

static_assert(sizeof(OSVERSIONINFOA) == 148, "the version record is 148 bytes");
static_assert(sizeof(OSVERSIONINFOEXA) == 156, "the extended version record is 156 bytes");

OSVERSIONINFOA GetOSVersionInfo() { return CachedRecord(); }

OsVersion GetOsVersion() { return FromRecord(CachedRecord()); }

bool IsNT() { return IsNTVersion(GetOsVersion()); }

bool IsXP() {
    static TriState cache = TriState::Unknown;
    if (cache == TriState::Unknown) cache = IsXPVersion(GetOsVersion()) ? TriState::Yes : TriState::No;
    return cache == TriState::Yes;
}

bool IsWin8OrLater() { return IsWin8OrLaterVersion(GetOsVersion()); }

bool IsServer() {
    if (GetSystemMetrics(SM_SERVERR2) != 0) return true;
    OSVERSIONINFOEXA ex;
    std::memset(&ex, 0, sizeof ex);
    ex.dwOSVersionInfoSize = sizeof ex;
    if (!GetVersionExA(reinterpret_cast<OSVERSIONINFOA*>(&ex))) return false;
    return ex.wProductType == VER_NT_DOMAIN_CONTROLLER || ex.wProductType == VER_NT_SERVER;
}

OsDescription DescribeOS() {
    const OsVersion v = GetOsVersion();
    // The probes only matter on NT; they are cheap and cached anyway.
    return DescribeOSFrom(v, Is64BitWindows(), IsServer());
}

void DescribeOS(std::string& version, std::string& name, std::string& servicePack, uint32_t& kind,
                uint32_t& build) {
    const OsDescription d = DescribeOS();
    version = d.version;
    name = d.name;
    servicePack = d.servicePack;
    kind = d.kind;
    build = d.build;
}

uint32_t GetOSKind() { return DescribeOS().kind; }

std::string UserName() {
    char buffer[256];
    DWORD size = sizeof buffer;
    if (!GetUserNameA(buffer, &size) || size == 0) return std::string();
    // The size counts the terminating zero.
    return Trimmed(buffer, size - 1);
}

std::string ComputerName() {
    char buffer[256];
    DWORD size = sizeof buffer;
    if (!GetComputerNameA(buffer, &size)) return std::string();
    return Trimmed(buffer, size);
}

std::string UserDomain() {
    const std::string user = UserName();
    if (user.empty()) return std::string();
    DWORD sidSize = 0, domainSize = 0;
    SID_NAME_USE use;
    LookupAccountNameA(nullptr, user.c_str(), nullptr, &sidSize, nullptr, &domainSize, &use);
    if (sidSize == 0 || domainSize == 0) return std::string();
    std::vector<char> sid(sidSize), domain(domainSize);
    if (!LookupAccountNameA(nullptr, user.c_str(), sid.data(), &sidSize, domain.data(), &domainSize, &use))
        return std::string();
    return std::string(domain.data(), strnlen(domain.data(), domain.size()));
}

}  // namespace kv
