// A stand-in for the system's task list tool, for test prefixes whose own
// tool prints nothing: it lists the running processes in the tool's
// shapes (table, list, CSV), with its switches /FO, /NH and /FI.
#include <windows.h>
#include <winternl.h>

#include <string>
#include <vector>

#include "tasklist_format.h"

namespace {

using kv::tasklist::Task;

constexpr ULONG kSystemProcessInformation = 5;
constexpr LONG kInfoLengthMismatch = LONG(0xC0000004);

// One walk over the system's process records: name, id, session and
// working set of every process, also of those this process may not open.
bool ListTasks(std::vector<Task>& tasks) {
    using QueryFn = LONG(WINAPI*)(ULONG, PVOID, ULONG, PULONG);
    const HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    const auto query = reinterpret_cast<QueryFn>(
        reinterpret_cast<void*>(ntdll ? GetProcAddress(ntdll, "NtQuerySystemInformation") : nullptr));
    if (query == nullptr) return false;
    std::vector<unsigned char> buffer(256 * 1024);
    LONG status = 0;
    for (int tries = 0; tries < 8; ++tries) {
        ULONG needed = 0;
        status = query(kSystemProcessInformation, buffer.data(), ULONG(buffer.size()), &needed);
        if (status != kInfoLengthMismatch) break;
        buffer.resize(needed > buffer.size() ? needed + 64 * 1024 : buffer.size() * 2);
    }
    if (status < 0) return false;
    for (size_t offset = 0;;) {
        const auto* p = reinterpret_cast<const SYSTEM_PROCESS_INFORMATION*>(buffer.data() + offset);
        Task t;
        t.pid = uint32_t(reinterpret_cast<uintptr_t>(p->UniqueProcessId));
        t.session = p->SessionId;
        t.workingSet = p->VirtualMemoryCounters.WorkingSetSize;
        if (p->ImageName.Buffer != nullptr && p->ImageName.Length > 0) {
            const int wlen = int(p->ImageName.Length / sizeof(wchar_t));
            // The tool writes in the console's (OEM) code page.
            const int n = WideCharToMultiByte(CP_OEMCP, 0, p->ImageName.Buffer, wlen, nullptr, 0, nullptr, nullptr);
            t.image.resize(size_t(n > 0 ? n : 0));
            if (n > 0) WideCharToMultiByte(CP_OEMCP, 0, p->ImageName.Buffer, wlen, &t.image[0], n, nullptr, nullptr);
        }
        tasks.push_back(t);
        if (p->NextEntryOffset == 0) break;
        offset += p->NextEntryOffset;
        if (offset >= buffer.size()) break;
    }
    return true;
}

void Write(DWORD which, const std::string& text) {
    DWORD written = 0;
    WriteFile(GetStdHandle(which), text.data(), DWORD(text.size()), &written, nullptr);
}

const char kUsage[] =
    "\r\nTASKLIST [/FO format] [/NH] [/FI filter]\r\n\r\n"
    "Description:\r\n    This tool displays a list of currently running processes.\r\n\r\n"
    "Parameter List:\r\n"
    "   /FO    format          Specifies the output format.\r\n"
    "                          Valid values: \"TABLE\", \"LIST\", \"CSV\".\r\n"
    "   /NH                    Specifies that the \"Column Header\" should\r\n"
    "                          not be displayed in the output.\r\n"
    "                          Valid only for \"TABLE\" and \"CSV\" formats.\r\n"
    "   /FI    filter          Displays a set of tasks that match a\r\n"
    "                          given criteria specified by the filter.\r\n"
    "                          IMAGENAME, SESSIONNAME: eq, ne\r\n"
    "                          PID, SESSION, MEMUSAGE (in KB): eq, ne, gt, lt, ge, le\r\n"
    "   /?                     Displays this help message.\r\n";

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    kv::tasklist::Options options;
    std::string error;
    if (!kv::tasklist::ParseOptions(args, options, error)) {
        Write(STD_ERROR_HANDLE, error + "\r\nType \"TASKLIST /?\" for usage.\r\n");
        return 1;
    }
    if (options.help) {
        Write(STD_OUTPUT_HANDLE, kUsage);
        return 0;
    }
    std::vector<Task> tasks;
    if (!ListTasks(tasks)) {
        Write(STD_ERROR_HANDLE, "ERROR: The process list cannot be read.\r\n");
        return 1;
    }
    Write(STD_OUTPUT_HANDLE, kv::tasklist::Render(tasks, options));
    return 0;
}
