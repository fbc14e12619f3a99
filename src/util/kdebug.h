#pragma once
// The trace channel: the stub's standard text output. Text collects in a
// 128-character buffer; a full buffer or a finished line is handed to the
// chunk sender, which forwards it to the trace viewer window (".KDebug.")
// and/or the debug file. Nothing here ever reports an error.
#include <cstdint>
#include <string>
#include <string_view>

namespace kv {

// Which destinations a chunk goes to: 0 viewer, 1 file, 2 both, else none.
constexpr int TraceDestination = 0;
// First message parameter sent to the viewer.
constexpr uintptr_t TraceWParam = 1;
constexpr size_t TraceBufferSize = 128;

// Installs the channel (lock, registered message); called once at start-up
// before any trace line is written. Idempotent.
void TraceStartup();

// Writes text to the channel without ending the line (Write).
void TraceWrite(std::string_view text);
// Writes text and a carriage return plus line feed, then flushes (Writeln).
void TraceLine(std::string_view text);
// Hands whatever is buffered to the chunk sender.
void TraceFlush();

// The fixed debug file path, "C:\ProgramData\_kdebug.txt".
std::string DebugFileName();
// Appends text to a file (created when missing); true when every byte was
// written.
bool AppendDebugFile(const std::string& path, const std::string& text);

// Line-end normalisation used for the debug file: every CR LF, lone CR
// and lone LF becomes one CR LF. A character of code 0 becomes CR LF too
// (the conversion goes through code 0).
std::string NormalizeLineEnds(std::string_view text);

// Platform half: receives one chunk (at most the buffer size) under the
// lock. Implemented in kdebug_win.cpp (viewer and file) and, for native
// tests, in kdebug_posix.cpp (a replaceable sink).
void TraceSendChunk(std::string_view chunk);

// Platform half: the process-wide lock around the buffer and the chunk
// sender. Recursive, so a trace line written while a chunk is being
// dispatched (a sent message handled meanwhile) does not deadlock.
void TraceLockEnter();
void TraceLockLeave();

}  // namespace kv
