#pragma once
// What kind of Windows this is, who uses it, where the program and the
// system folders are. Answers that cannot change while the process runs
// are cached on first use. Nothing here raises; missing information gives
// empty texts, 0, false or the caller's default.
#include <windows.h>

#include <cstdint>
#include <string>

#include "util/os_describe.h"

namespace kv {

// ---- Version and kind ---------------------------------------------------

// The version record (148 bytes), corrected once for the under-reporting
// of 6.3 from the system library's product version; cached.
OSVERSIONINFOA GetOSVersionInfo();
// The same as the portable record.
OsVersion GetOsVersion();
bool IsNT();
// NT 5.1 (cached).
bool IsXP();
// NT 6.2 or later.
bool IsWin8OrLater();
// A server edition (SM_SERVERR2, or the extended record's product type).
bool IsServer();
// A 32-bit process on a 64-bit Windows: every probe (GetNativeSystemInfo,
// IsWow64Process, the WOW64 redirection pair, GetSystemWow64DirectoryA,
// RegDeleteKeyExA) found by name and answering yes (cached).
bool Is64BitWindows();
// The identification of the running system (version, name, service pack,
// kind flag, build).
void DescribeOS(std::string& version, std::string& name, std::string& servicePack, uint32_t& kind,
                uint32_t& build);
OsDescription DescribeOS();
// The kind flag of DescribeOS.
uint32_t GetOSKind();

// ---- Registry and names -------------------------------------------------

// A value as text (see RegistryValueText), or `def` when the key or the
// value cannot be read. `view64` reads the 64-bit view of the registry.
std::string ReadRegistryValue(const std::string& keyPath, const std::string& valueName,
                              const std::string& def, bool view64);
// Trimmed; the owner defaults to the user name.
std::string RegisteredOwner();
std::string RegisteredOrganization();
// Trimmed; empty on failure.
std::string UserName();
std::string ComputerName();
// The domain of the current user's account; empty when the lookup fails.
std::string UserDomain();

// ---- Folders --------------------------------------------------------------
// All through TrailingBackslashRule: with `trailing` the path ends in '\';
// without, it does not, unless it is a drive root such as "C:\".

// The program's full path; with `nameOnly` its file name without the last
// extension.
std::string ProgramPath(bool nameOnly);
std::string ProgramFolder(bool trailing);
std::string WindowsFolder(bool trailing);
std::string SystemFolder(bool trailing);
std::string TempFolder(bool trailing);

// ---- Errors and time ------------------------------------------------------

// The system's message for this thread's last error code, without its
// line end (empty when the system has none); a fixed text for codes with
// the highest bit set. Leaves the last error unchanged.
std::string LastErrorText();
// Milliseconds of the high-resolution counter.
int64_t MillisecondsNow();

}  // namespace kv
