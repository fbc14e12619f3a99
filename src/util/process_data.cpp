#include "util/process_data.h"

#include "util/ksub.h"
#include "util/text_utils.h"

namespace kv {
namespace {

void Add(std::string& list, const std::string& field) { list = SUB::Append(list, {field}, false); }

}  // namespace

void TProcessData::Reset(bool collectAll, const std::string& searchName, uint32_t searchPid) {
    *this = TProcessData();
    CollectAll = collectAll;
    SearchName = searchName;
    SearchPid = searchPid;
}

bool TProcessData::Visit(const TopWindowFacts& window) {
    uint32_t pid = 0;
    if (CollectAll || !SUB::Contains(ExeNames, window.exeName, true, true)) {
        pid = window.pid;
        Add(Pids, IntToStr(window.pid));
        Add(ExeNames, window.exeName);
        Add(ClassNames, window.className);
        Add(Handles, IntToStr(int64_t(window.handle)));
        Add(ThreadIds, IntToStr(window.threadId));
        Add(Titles, window.title);
        Add(Visible, window.visible ? "1" : "0");
    }
    if (CollectAll) return true;
    return !(window.exeName == SearchName || pid == SearchPid);
}

}  // namespace kv
