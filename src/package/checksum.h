#pragma once
// The package checksum: a 32-bit sum of little-endian words with a fixed
// constant mixed in, computed only for files of at most 51200 bytes. The
// value 1234 means "not computed" on either side of the comparison.
#include <cstdint>
#include <string>

#include "package/byte_source.h"

namespace kv {

constexpr uint32_t kChecksumNotComputed = 1234;
constexpr uint64_t kChecksumMaxFileSize = 51200;

// The checksum of a package file whose last `tailLength` bytes (the
// trailer) are left out. Reads in 4096-byte pieces into a fixed buffer;
// reads nothing for files above 51200 bytes.
uint32_t PackageChecksum(const ByteSource& src, uint32_t tailLength);
// The same over a file; a file that cannot be opened sums as empty (0).
uint32_t PackageChecksum(const std::string& path, uint32_t tailLength);

}  // namespace kv
