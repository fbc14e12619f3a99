// The agent copy: the first segment's program image and header blocks
// with a trailer that marks it as the auto-update agent.
#include <windows.h>

#include <new>

#include "package/unpack_parts_win.h"
#include "util/files.h"
#include "util/kdebug.h"
#include "util/text_utils.h"

namespace kv::unpack {
namespace {

// The file's write time as a packed local DOS date and time; 0 when it
// cannot be read.
int32_t FileDosDate(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    FILETIME local{};
    WORD date = 0, time = 0;
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data) ||
        !FileTimeToLocalFileTime(&data.ftLastWriteTime, &local) || !FileTimeToDosDateTime(&local, &date, &time))
        return 0;
    return int32_t(uint32_t(date) << 16 | time);
}

}  // namespace

void WriteAgentCopy(const ByteSource& src, const std::string& firstPath, uint64_t firstEntryOffset,
                    const std::string& destDir, const std::string& agentName) {
    const std::string name = ExtractFileName(agentName);
    if (!IsPlainFileName(name) || firstEntryOffset == 0 || firstEntryOffset > src.Size()) return;
    TPackTrailer trailer;
    ReadTrailer(src, trailer);
    std::string image;
    try {
        image.resize(size_t(firstEntryOffset));
    } catch (const std::bad_alloc&) {
        return;
    }
    if (src.ReadAt(0, &image[0], image.size()) != image.size()) return;
    const std::string target = destDir + "\\" + name;
    WriteFileText(target, AgentCopyBytes(std::move(image), trailer), FileDosDate(firstPath), false);
    TraceLine(IntToStr(int64_t(GetCurrentProcessId())) + " New AU-Agent: " + target);
}

}  // namespace kv::unpack
