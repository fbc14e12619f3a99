#include <windows.h>

#include "package/packx.h"

namespace kv {

// The first three characters are taken as the root ("C:\"), so a UNC
// path or a relative one gives a failed query and 0.
int ClusterSize(const std::string& path) {
    const std::string root = path.substr(0, 3);
    DWORD sectorsPerCluster = 0, bytesPerSector = 0, freeClusters = 0, totalClusters = 0;
    if (!::GetDiskFreeSpaceA(root.c_str(), &sectorsPerCluster, &bytesPerSector, &freeClusters, &totalClusters))
        return 0;
    const unsigned long long size = (unsigned long long)sectorsPerCluster * bytesPerSector;
    return size > 0x7FFFFFFFull ? 0 : int(size);
}

}  // namespace kv
