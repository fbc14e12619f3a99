// Free disk space, through the extended query where the system has it.
#include <windows.h>

#include "util/disk_free_path.h"
#include "util/files.h"
#include "util/system_library.h"

namespace kv {
namespace {

using GetDiskFreeSpaceExFn = BOOL(WINAPI*)(LPCSTR, PULARGE_INTEGER, PULARGE_INTEGER, PULARGE_INTEGER);

enum class Presence { Unknown, Absent, Present };

Presence g_extended = Presence::Unknown;
GetDiskFreeSpaceExFn g_getDiskFreeSpaceEx = nullptr;

// The first Windows 95 release lacks the extended query, which is also the
// only one that reports more than 2 GB correctly.
bool ExtendedQueryPresent() {
    if (g_extended == Presence::Unknown) {
        const ModuleHandle kernel = LoadSystemLibrary("kernel32.dll");
        // Every process has kernel32 loaded from its start, so the address
        // stays valid after this extra reference is released.
        const FARPROC proc = kernel ? GetProcAddress(kernel.get(), "GetDiskFreeSpaceExA") : nullptr;
        g_getDiskFreeSpaceEx = reinterpret_cast<GetDiskFreeSpaceExFn>(reinterpret_cast<void (*)()>(proc));
        g_extended = g_getDiskFreeSpaceEx ? Presence::Present : Presence::Absent;
    }
    return g_extended == Presence::Present;
}

const char* OrNull(const std::string& path) { return path.empty() ? nullptr : path.c_str(); }

bool ExtendedFree(const std::string& path, double& bytes) {
    ULARGE_INTEGER avail{}, total{}, totalFree{};
    if (!g_getDiskFreeSpaceEx || !g_getDiskFreeSpaceEx(OrNull(path), &avail, &total, &totalFree)) return false;
    bytes = double(avail.QuadPart);
    return true;
}

}  // namespace

double DiskFreeQuery(const std::string& path, bool extendedQuery) {
    if (extendedQuery && ExtendedQueryPresent()) {
        double bytes = 0;
        const std::string query = DiskFreeQueryPath(path, true);
        if (ExtendedFree(query, bytes)) return bytes;
        if (ExtendedFree(DriveRootOf(path), bytes)) return bytes;
        return -1;
    }
    DWORD sectorsPerCluster = 0, bytesPerSector = 0, freeClusters = 0, clusters = 0;
    if (!GetDiskFreeSpaceA(OrNull(DiskFreeQueryPath(path, false)), &sectorsPerCluster, &bytesPerSector,
                           &freeClusters, &clusters)) {
        return -1;
    }
    const uint32_t clusterBytes = uint32_t(sectorsPerCluster * bytesPerSector);
    return double(clusterBytes) * double(freeClusters);
}

double DiskFree(const std::string& path) { return DiskFreeQuery(path, ExtendedQueryPresent()); }

}  // namespace kv
