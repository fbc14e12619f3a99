#pragma once
// Post-link fix of a PE image: GNU ld writes the PE header at offset 128,
// but the package reader looks for the PE signature at offset 256 and the
// builder keeps two words of its own at 248 and 252. This moves the NT
// headers and the section table to 256 and leaves 248..255 zero.
#include <cstddef>
#include <cstdint>
#include <string>

namespace kv {

// Where the PE signature must start.
constexpr uint32_t PeHeaderOffset = 256;
// The builder's two words in the DOS header region.
constexpr uint32_t PeReservedWords = 248;

enum class PeFixStatus {
    Moved,         // headers moved to 256; the image was changed
    AlreadyFixed,  // e_lfanew already 256; the image was left alone
    NotPe,         // no "MZ" or no "PE\0\0" where e_lfanew points
    Truncated,     // a header or the section table runs past the end
    NoRoom,        // the moved headers would overlap section data or pass SizeOfHeaders
    InTheWay,      // data the headers point at lies where the move would write
    Signed,        // a certificate table covers the headers; moving them breaks it
};

struct PeFixResult {
    PeFixStatus status;
    std::string message;  // why, for the user; empty when the status says it all
    bool ok() const { return status == PeFixStatus::Moved || status == PeFixStatus::AlreadyFixed; }
};

// Moves the NT headers and section table of `image` (a whole PE file) to
// offset 256, sets e_lfanew to 256 and zeroes what the move vacated,
// including bytes 248..255. A non-zero CheckSum is recomputed; a zero one
// stays zero. On any failure the image is unchanged.
PeFixResult FixPeHeaderOffset(std::string& image);

// The standard PE image checksum over `image`, with the 4 bytes at
// `checksumOffset` counted as zero.
uint32_t PeImageChecksum(const std::string& image, size_t checksumOffset);

}  // namespace kv
