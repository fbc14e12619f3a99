#pragma once
// Update and download tokens: short secrets of a product line, stored
// scrambled in the package header and in token files.
#include <string>

namespace kv {

// The clear token of a scrambled one. A text that fails the embedded
// check gives a fresh random number below 99999 as decimal text, so a
// damaged token never compares equal, not even to itself.
std::string DescrambleToken(const std::string& scrambled);

}  // namespace kv
