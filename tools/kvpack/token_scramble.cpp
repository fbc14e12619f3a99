#include "kvpack/token_scramble.h"

#include <vector>

namespace kv::pack {

// Byte layout (1-based, L = length): D[1] random; D[L] = D[1] ^ K; every
// byte between them is XORed with K: D[2] = B1 and D[3] = B2 (padding
// counts), B1 random bytes, the token, B2 - 1 random bytes, then D[L-1],
// which is stored raw as the sum of all other raw bytes. B2 is at least 1
// so that the check byte never falls inside the token. Each byte is then
// written as two hexadecimal digits, each raised by 50.
std::string ScrambleToken(const std::string& clear, std::mt19937& rng) {
    const auto randomByte = [&rng] { return uint8_t(rng() & 0xFF); };
    const size_t b1 = rng() % 8;
    const size_t b2 = 1 + rng() % 8;
    const size_t len = b1 + b2 + clear.size() + 4;

    std::vector<uint8_t> plain(len + 1);  // 1-based
    plain[2] = uint8_t(b1);
    plain[3] = uint8_t(b2);
    size_t pos = 4;
    for (size_t i = 0; i < b1; ++i) plain[pos++] = randomByte();
    for (const char c : clear) plain[pos++] = uint8_t(c);
    for (size_t i = 0; i + 1 < b2; ++i) plain[pos++] = randomByte();

    std::vector<uint8_t> raw(len + 1);
    const uint8_t key = randomByte();
    raw[1] = randomByte();
    raw[len] = uint8_t(raw[1] ^ key);
    for (size_t i = 2; i <= len - 2; ++i) raw[i] = uint8_t(plain[i] ^ key);
    uint8_t sum = 0;
    for (size_t i = 1; i <= len; ++i)
        if (i != len - 1) sum = uint8_t(sum + raw[i]);
    raw[len - 1] = sum;

    static const char kHex[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(2 * len);
    for (size_t i = 1; i <= len; ++i) {
        out.push_back(char(kHex[raw[i] >> 4] + 50));
        out.push_back(char(kHex[raw[i] & 0xF] + 50));
    }
    return out;
}

}  // namespace kv::pack
