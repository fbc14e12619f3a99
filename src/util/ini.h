#pragma once
// Values in INI settings files, through the system's private-profile
// calls (the file is read fresh on every call; nothing is cached here).
#include <cstdint>
#include <string>

namespace kv {

// Longest value read, in characters (the buffer holds one more).
constexpr unsigned IniValueBufferSize = 10241;

// The value of key in [section], or `def` when the file, section or key is
// missing, the value is empty, or section or key is empty.
std::string ReadIniString(const std::string& file, const std::string& section, const std::string& key,
                          const std::string& def);
// The value read as a 64-bit integer (decimal, or hex after "$" or "0x");
// `def` when it is missing or not a number.
int64_t ReadIniInt64(const std::string& file, const std::string& section, const std::string& key, int64_t def);
// Writes key=value into [section], creating the file and section when
// needed; false when file, section or key is empty or the write fails.
bool WriteIniString(const std::string& file, const std::string& section, const std::string& key,
                    const std::string& value);
// Writes the decimal text of the value.
bool WriteIniInt64(const std::string& file, const std::string& section, const std::string& key, int64_t value);

}  // namespace kv
