#include <sys/statvfs.h>

#include <climits>

#include "package/packx.h"

namespace kv {

// The volume's fundamental block size plays the role of the cluster.
int ClusterSize(const std::string& path) {
    struct statvfs st {};
    if (::statvfs(path.c_str(), &st) != 0) return 0;
    const unsigned long size = st.f_frsize != 0 ? st.f_frsize : st.f_bsize;
    return size > static_cast<unsigned long>(INT_MAX) ? 0 : int(size);
}

}  // namespace kv
