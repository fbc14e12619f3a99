#include "util/process_match.h"

#include "util/ksub.h"
#include "util/text_utils.h"

namespace kv {
namespace {

bool SameShortForm(const std::string& a, const std::string& b) {
    return a != kNoShortForm && b != kNoShortForm && SameTextTrimmed(a, b);
}

std::string ReplaceAll(const std::string& text, const std::string& from, const std::string& to) {
    std::string r;
    size_t start = 0;
    for (size_t at; (at = text.find(from, start)) != std::string::npos; start = at + from.size())
        r.append(text, start, at - start).append(to);
    return r.append(text, start, std::string::npos);
}

uint32_t PidOfLine(const std::string& line, const std::string& fileName) {
    const std::string fields = Enclose(line, ',', false);
    if (SUB::IndexOf(fields, fileName, false, -1) != 0) return 0;
    const int64_t pid = SUB::GetInt64(fields, 1, 0);
    return pid > 0 && pid <= int64_t(UINT32_MAX) ? uint32_t(pid) : 0;
}

}  // namespace

bool ExeMatchesPath(const std::string& path, const std::string& pathShort, const std::string& exe,
                    const std::string& exeName, const std::string& exeShort, bool fullPathOnly) {
    const std::string& name = fullPathOnly ? std::string(kNoFileName) : exeName;
    return SameTextTrimmed(exe, path) || SameTextTrimmed(name, path) || SameShortForm(exeShort, pathShort);
}

uint32_t TasklistPidFromOutput(const std::string& output, const std::string& fileName, bool firstMatch) {
    std::string text = Trim(output);
    text = KeepChars(text, std::string(), "\"");
    const std::string lines = Enclose(ReplaceAll(text, "\r\n", "|"), '|', true);
    const int count = SUB::Count(lines);
    if (firstMatch) {
        for (int i = 0; i < count; ++i)
            if (const uint32_t pid = PidOfLine(SUB::Get(lines, i), fileName)) return pid;
    } else {
        // The first line is the heading.
        for (int i = count - 1; i >= 1; --i)
            if (const uint32_t pid = PidOfLine(SUB::Get(lines, i), fileName)) return pid;
    }
    return 0;
}

std::string ProcessStatusField(uint32_t pid, const std::string& exePath, bool fullPaths, bool withIds,
                               uint32_t osKind) {
    std::string name = fullPaths ? exePath : ExtractFileName(exePath);
    if (pid == 0) name = "System Idle Process";
    else if ((pid == 2 && osKind == 8) || (pid == 8 && osKind == 16)) name = "System Process";
    if (name.empty()) return name;
    return withIds ? name + "=" + IntToStr(pid) : name;
}

uint32_t ListPidFromList(const std::string& list, const std::string& fileName, bool keepDuplicates,
                         const std::function<std::string(const std::string&)>& shortForm) {
    const std::string fields = keepDuplicates ? list : SUB::Distinct(list);
    std::string names, ids;
    SUB::SplitPairs(fields, names, ids);
    const std::string fileShort = shortForm(fileName);
    const int count = SUB::Count(names);
    for (int i = 0; i < count; ++i) {
        const std::string name = SUB::Get(names, i);
        // Without a short form of the file name no other short form can
        // match, and each look-up asks the file system.
        if (SameTextTrimmed(name, fileName) ||
            (fileShort != kNoShortForm && SameShortForm(shortForm(name), fileShort))) {
            const int64_t id = SUB::GetInt64(ids, i, 0);
            return id > 0 && id <= int64_t(UINT32_MAX) ? uint32_t(id) : 0;
        }
    }
    return 0;
}

}  // namespace kv
