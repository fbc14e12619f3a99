#include "util/disk_free_path.h"

#include "util/text_utils.h"

namespace kv {

std::string DriveRootOf(const std::string& path) {
    if (path.empty()) return std::string();
    return UpperCase(path.substr(0, 1)) + ":\\";
}

std::string DiskFreeQueryPath(const std::string& path, bool extendedQuery) {
    const std::string p = ReplaceChar(path, '/', '\\');
    if (p.empty()) return std::string();
    if (!extendedQuery || p.size() < 3) return DriveRootOf(p);
    const size_t cut = p.find('\\', 3);  // 0-based 3 = position 4
    return cut == std::string::npos ? p : p.substr(0, cut);
}

}  // namespace kv
