#pragma once
// The inverse of the stub's token descrambling: the one place that knows
// how to write a token the stub will read back.
#include <cstdint>
#include <random>
#include <string>

namespace kv::pack {

// The scrambled form of `clear`, drawing its random bytes (the key, the
// padding counts and the padding) from `rng`. DescrambleToken of the
// result gives `clear` back, for any bytes and any length.
std::string ScrambleToken(const std::string& clear, std::mt19937& rng);

}  // namespace kv::pack
