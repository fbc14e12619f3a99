// Win32 half of the trace channel: the lock, the registered message and the
// dispatcher that hands each chunk to the viewer window and/or the debug
// file.
#include <windows.h>

#include "util/kdebug.h"
#include "util/kdebug_protocol.h"
#include "util/win_handle.h"

namespace kv {
namespace {

// Constructed on first use and never destroyed: trace lines may be written
// until the very end of the process, after static destructors have run.
struct TraceState {
    CRITICAL_SECTION lock;
    UINT message;
    TraceState() : lock(), message(0) {
        InitializeCriticalSection(&lock);
        message = RegisterWindowMessageA(TraceMessageName);
    }
};

TraceState& State() {
    static TraceState state;
    return state;
}

// A global atom, deleted when the owner goes.
class GlobalAtom {
public:
    explicit GlobalAtom(const char* text) : atom_(GlobalAddAtomA(text)) {}
    GlobalAtom(const GlobalAtom&) = delete;
    GlobalAtom& operator=(const GlobalAtom&) = delete;
    ~GlobalAtom() { close(); }
    ATOM get() const { return atom_; }
    explicit operator bool() const { return atom_ != 0; }
    bool close() {
        const bool ok = atom_ == 0 || GlobalDeleteAtom(atom_) == 0;
        atom_ = 0;
        return ok;
    }

private:
    ATOM atom_;
};

// One synchronous message per atom; the viewer reads the atom's name while
// it handles the message, so the atom must outlive the send.
void SendToViewer(std::string_view chunk) {
    const HWND viewer = FindWindowA(TraceViewerClass, nullptr);
    if (viewer == nullptr) return;
    // An atom name ends at a character of code 0; what follows is dropped.
    chunk = chunk.substr(0, chunk.find('\0'));
    // The chunk sender never hands over more than the buffer, which fits an
    // atom even with the escape mark; split anything longer all the same.
    constexpr size_t kPiece = TraceMaxAtomText - 1;
    while (!chunk.empty()) {
        const std::string_view piece = chunk.substr(0, kPiece);
        chunk.remove_prefix(piece.size());
        const std::string text = TraceChunkToAtomText(piece);
        GlobalAtom atom(text.c_str());
        if (!atom) continue;
        SendMessageA(viewer, State().message, WPARAM(TraceWParam), LPARAM(atom.get()));
    }
}

}  // namespace

void TraceStartup() { State(); }

void TraceLockEnter() { EnterCriticalSection(&State().lock); }
void TraceLockLeave() { LeaveCriticalSection(&State().lock); }

void TraceSendChunk(std::string_view chunk) {
    if constexpr (TraceDestination == 1 || TraceDestination == 2) {
        AppendDebugFile(DebugFileName(), NormalizeLineEnds(chunk));
    }
    if constexpr (TraceDestination == 0 || TraceDestination == 2) {
        SendToViewer(chunk);
    }
}

bool AppendDebugFile(const std::string& path, const std::string& text) {
    // Opens an existing file (others may keep reading or writing it) or
    // creates it.
    FileHandle file(CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;
    if (SetFilePointer(file.get(), 0, nullptr, FILE_END) == INVALID_SET_FILE_POINTER &&
        GetLastError() != NO_ERROR) {
        return false;
    }
    if (text.empty()) return true;
    DWORD written = 0;
    if (!WriteFile(file.get(), text.data(), DWORD(text.size()), &written, nullptr)) return false;
    return written == text.size();
}

}  // namespace kv
