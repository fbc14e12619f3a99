#include "package/tokens.h"

#include <chrono>
#include <cstdint>
#include <random>

namespace kv {
namespace {

std::string RandomFailureText() {
    static std::mt19937 gen(uint32_t(std::chrono::high_resolution_clock::now().time_since_epoch().count()));
    return std::to_string(std::uniform_int_distribution<int>(0, 99998)(gen));
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

// One pair (or a last single character) as a hexadecimal byte; anything
// that is not a hexadecimal number gives 255.
uint8_t PairValue(const std::string& pair) {
    size_t i = 0;
    if (pair.size() >= 2 && pair[0] == '0' && (pair[1] == 'x' || pair[1] == 'X')) i = 2;
    if (i >= pair.size()) return 255;
    unsigned value = 0;
    for (; i < pair.size(); ++i) {
        const int d = HexDigit(pair[i]);
        if (d < 0) return 255;
        value = value * 16 + unsigned(d);
    }
    return uint8_t(value);
}

}  // namespace

// Layout of the decoded bytes D (1-based, L = length): D[1] and D[L] give
// the key K = D[1] ^ D[L]; D[2..L-1] are XORed with K; then D[2] = B1 and
// D[3] = B2 count padding, the token is the L-B1-B2-4 bytes from B1+4, and
// the raw D[L-1] is the sum of all other raw bytes.
std::string DescrambleToken(const std::string& scrambled) {
    std::string result = RandomFailureText();

    std::string shifted = scrambled;
    for (char& c : shifted) c = char(uint8_t(uint8_t(c) - 50));

    std::string d;
    d.reserve(shifted.size() / 2 + 1);
    for (size_t i = 0; i < shifted.size(); i += 2) d.push_back(char(PairValue(shifted.substr(i, 2))));

    const size_t len = d.size();
    if (len <= 4) return result;
    const auto at = [&d](size_t pos1) -> uint8_t& { return reinterpret_cast<uint8_t&>(d[pos1 - 1]); };
    uint8_t sum = 0;
    for (size_t i = 1; i <= len; ++i)
        if (i != len - 1) sum = uint8_t(sum + at(i));
    if (sum != at(len - 1)) return result;

    const uint8_t key = uint8_t(at(1) ^ at(len));
    for (size_t i = 2; i <= len - 1; ++i) at(i) = uint8_t(at(i) ^ key);
    const int64_t b1 = at(2), b2 = at(3);
    const int64_t count = int64_t(len) - b1 - b2 - 4;
    const int64_t start = b1 + 4;  // 1-based
    if (count <= 0 || start > int64_t(len)) return std::string();
    return d.substr(size_t(start - 1), size_t(count));
}

}  // namespace kv
