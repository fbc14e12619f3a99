#pragma once
// The portable half of the unpacker: block framing over a byte source,
// inflating, file-entry decoding, segment names, the agent copy's bytes
// and the rule for entry names that may be written. No system calls, so
// the stub's decoder is tested and fuzzed on the host.
#include <cstddef>
#include <cstdint>
#include <string>

#include "package/byte_source.h"
#include "package/packx.h"

namespace kv {

// Block bytes are read in pieces of at most this size, with a pump after
// each, so that the window keeps painting during large blocks.
constexpr size_t kBlockReadPiece = 65536;
// Blocks of a segment go on while more than this many bytes remain before
// its package end; what is left is the trailer.
constexpr uint64_t kBlocksEndRoom = kTrailerRecordSize;

// ---- Segments -------------------------------------------------------------

// The name that segment numbers are appended to: the first segment's path
// without a final ".001".
std::string SegmentBaseName(const std::string& firstPath);
// Segment `number` (2, 3, ...): base + "." + the number with at least three
// digits ("base.002", "base.1000").
std::string SegmentFileName(const std::string& base, int number);
// The disk question with every "<DISK_NUM>" (any case) replaced by the
// segment number.
std::string DiskPromptText(const std::string& prompt, int number);
// Whether the first segment can carry an agent copy: its path ends, case
// ignored, in ".exe" or ".exe.001".
bool IsAgentCarrier(const std::string& path);

// ---- Blocks ---------------------------------------------------------------

enum class BlockStatus {
    Ok,
    PastEnd,    // the length word or the bytes run past the package end
    ShortRead,  // the file gave fewer bytes than it holds (shrunk, read error)
};

struct RawBlock {
    int32_t length = 0;  // as stored: > 0 compressed, <= 0 stored
    std::string bytes;   // |length| bytes
    bool Compressed() const { return length > 0; }
};

struct FileEntry {
    std::string header;   // before the first 0 byte, e.g. "|Engine.exe*|1234|"
    std::string name;     // field 0 up to its first '*'
    int32_t date = 0;     // field 1, packed DOS date and time; 0 = none
    std::string content;  // after the 0 byte
    bool marksEngine = false;
    std::string engineCommand;  // when marksEngine: the name with its star, or the header
};

// What the block walk reports to its user.
class BlockVisitor {
public:
    virtual ~BlockVisitor() = default;
    // Called before every block, after every piece read and inside the
    // inflate loop: the Win32 side pumps window messages here.
    virtual void Pump() {}
    // A file entry whose header is not empty.
    virtual void OnFileEntry(FileEntry& entry) = 0;
};

// The block at `position`: its length word and |length| bytes, read in
// pieces with visitor.Pump() after each. Nothing past `packageEnd` is
// read, and nothing is allocated before the length is known to fit.
// Throws DecompressionError when there is no memory for the bytes.
BlockStatus ReadBlock(const ByteSource& src, uint64_t position, uint64_t packageEnd, RawBlock& block,
                      BlockVisitor& visitor);

// Inflates one zlib stream (with header) completely. The buffer starts at
// the packed length rounded up to 256 and doubles whenever it fills;
// visitor.Pump() runs on every growth. `limit` (0 = none) caps the result.
// Throws DecompressionError with zlib's message for a damaged stream, for
// a result above the limit and when memory runs out.
std::string InflateBlock(const std::string& packed, size_t limit, BlockVisitor& visitor);

// ---- File entries -----------------------------------------------------------


// Decodes a block's payload (inflated or stored) in place; false when the
// entry is skipped (its header is empty, or there is no 0 byte at all).
bool DecodeFileEntry(std::string payload, FileEntry& entry);

// True for a name that may be joined to the destination folder: not
// empty, no folder part ('\' or '/'), no drive or stream (':'), not made
// of dots and blanks only (".", ".."), no control character or one of
// <>"|?*, and not a device name (CON, NUL, COM1, ... with any extension).
bool IsPlainFileName(const std::string& name);

// ---- Walking a segment ------------------------------------------------------

struct SegmentWalk {
    uint64_t position = 0;         // in: where the blocks start; out: after the last one read
    uint64_t blockNumber = 0;      // counted across all segments of one run
    uint64_t firstEntryOffset = 0;  // set when the block number reaches the header count
};

enum class WalkResult {
    Complete,
    Damaged,  // a block ran past the package end or could not be read
};

// The block loop of one segment: blocks while more than 74 bytes remain
// before `packageEnd`; blocks numbered up to `headerCount` are skipped as
// header blocks, later ones decoded and handed to the visitor. A damaged
// block stops the walk; nothing from it reaches the visitor. A start at or
// past the trailer reads no block (past it is damage). `inflateLimit` as
// for InflateBlock. DecompressionError passes through.
WalkResult WalkSegmentBlocks(const ByteSource& src, uint64_t packageEnd, uint32_t headerCount, SegmentWalk& walk,
                             BlockVisitor& visitor, size_t inflateLimit = 0);

// ---- Agent copy -------------------------------------------------------------

// The agent copy: `image` (the first segment from offset 0 to its first
// file entry) with the word at 252 zeroed so it counts as unsigned, then
// `trailer` with IsAutoUpdateProgram 1 and TrailerSize 74.
std::string AgentCopyBytes(std::string image, TPackTrailer trailer);

}  // namespace kv
