#pragma once
// Version texts: four decimal numbers joined by dots, and the padded form
// that compares correctly as plain text.
#include <cstdint>
#include <string>

namespace kv {

// Every ',' read as '.', every other non-digit dropped; then the first
// `count` numbers (missing ones 0), each left-padded with '0' to `width`,
// joined by '.'. ("1.2.30", 3, 4) -> "001.002.030.000".
std::string NormalizeVersion(const std::string& text, int width, int count);

// "a.b.c.d" from the two 32-bit words of a fixed version (high word first).
std::string FixedVersionText(uint32_t mostSignificant, uint32_t leastSignificant);

}  // namespace kv
