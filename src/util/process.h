#pragma once
// Finding another program's process by the path of its executable,
// telling whether it runs, posting to its main window, terminating it and
// waiting for it to end (unit Process). The process source depends on the
// system: the tool-help snapshot on Windows 95/98/Me, the process-status
// functions on NT, the system's task list on Windows 8 and later, and the
// list of processes that own top-level windows.
//
// A path matches a process when it is the same (trimmed, ignoring case)
// as the process's executable path or, unless `fullPathOnly`, its file
// name, or when both have the same short (8.3) form. `firstMatch` picks
// the first of several matching processes in the source's order, else the
// last. Nothing here reports to the user; a search that finds nothing
// gives 0, null or false.
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace kv {

// ---- Process sources --------------------------------------------------------

// From a tool-help snapshot (the executable texts it reports).
uint32_t ToolhelpPid(const std::string& path, bool fullPathOnly, bool firstMatch);
// From the process-status functions (each process's first module).
uint32_t PsapiPid(const std::string& path, bool fullPathOnly, bool firstMatch);
// From the CSV output of the system folder's "tasklist.exe"; only the
// path's file name counts.
uint32_t TasklistPid(const std::string& path, bool firstMatch);
// The ids of all running processes from the process-status functions;
// empty when they are unavailable.
std::vector<uint32_t> EnumProcessIds();
// From ProcessList: the first process named like the path's file name
// (like the whole path where the list holds whole paths: `fullPaths` on
// Windows XP). Without `keepDuplicates` repeated entries are dropped first.
uint32_t ListPid(const std::string& path, bool fullPaths, bool keepDuplicates);

// The system's short (8.3) form of an existing path, or kNoShortForm.
std::string ShortFormOf(const std::string& path);

// ---- Windows, messages, termination -----------------------------------------

// The main window of the process: among its top-level windows the one
// that owns most of the others, then a titled one, then a visible one;
// null when the process or a window is not found.
HWND FindProcessMainWindow(const std::string& path, bool fullPathOnly, bool firstMatch);
// Posts the message to the process's main window; false when none.
bool PostProcessMessage(const std::string& path, bool fullPathOnly, UINT message, WPARAM wParam, LPARAM lParam);
// Posts WM_CLOSE (15, 255); with `waitMs` above 0 then waits up to that
// long for the process to go. The result is that of the post.
bool PostCloseToProcess(const std::string& path, bool fullPathOnly, uint32_t waitMs);
// Posts WM_QUIT (15, 255) to the main window's thread queue.
bool PostQuitToProcess(const std::string& path, bool fullPathOnly);
// Terminates the process with exit code 0; false when none was found or
// the termination failed.
bool TerminateProcessByPath(const std::string& path, bool fullPathOnly);

// ---- Running and waiting ----------------------------------------------------

// Whether a process of that executable runs (enclosing double quotes
// stripped). On NT other than XP this sees only processes that own a
// top-level window.
bool IsProcessRunning(const std::string& path);
// Pumps messages in steps of 100 ms until the process is gone or
// `timeoutMs` (0 = 1000) has passed.
void WaitProcessGone(const std::string& path, uint32_t timeoutMs);
// Pumps messages in steps of 100 ms for as long as a top-level window of
// the class (and, when not empty, the title) exists. No time limit.
void WaitWindowGone(const std::string& className, const std::string& title);

}  // namespace kv
