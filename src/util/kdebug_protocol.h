#pragma once
// What binds the trace viewer: its window class, the registered message and
// the text carried in a global atom. Header-only so that the viewer tool
// and the test harness share it without linking the stub's code.
#include <string>
#include <string_view>

namespace kv {

// Window class of the viewer, found by class alone.
constexpr const char* TraceViewerClass = ".KDebug.";
// Registered message sent to the viewer: wParam TraceWParam, lParam the
// atom whose name is the text.
constexpr const char* TraceMessageName = ".K_DebugMsg.";
// Longest text a global atom name can hold.
constexpr size_t TraceMaxAtomText = 255;
// Leading mark of an escaped atom text (see TraceChunkToAtomText).
constexpr char TraceAtomEscape = '\x01';

// The system reads an atom name of the form "#" + digits as an integer
// atom: "#0042" would come back as "#42", "#0" or "#70000" would not be
// added at all. A chunk that starts with "#" and a digit, or is "#" alone,
// therefore travels with TraceAtomEscape in front; so does a chunk that
// itself starts with TraceAtomEscape, which keeps the mark unambiguous.
// Every other chunk is sent unchanged.
inline bool TraceChunkNeedsEscape(std::string_view chunk) {
    if (chunk.empty()) return false;
    if (chunk[0] == TraceAtomEscape) return true;
    if (chunk[0] != '#') return false;
    return chunk.size() == 1 || (chunk[1] >= '0' && chunk[1] <= '9');
}

inline std::string TraceChunkToAtomText(std::string_view chunk) {
    std::string text;
    text.reserve(chunk.size() + 1);
    if (TraceChunkNeedsEscape(chunk)) text += TraceAtomEscape;
    text.append(chunk.data(), chunk.size());
    return text;
}

// The viewer's side: the trace text carried by an atom name.
inline std::string_view TraceAtomTextToChunk(std::string_view atomText) {
    if (!atomText.empty() && atomText[0] == TraceAtomEscape) atomText.remove_prefix(1);
    return atomText;
}

}  // namespace kv
