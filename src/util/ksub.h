#pragma once
// Field lists: a text whose first character is the separator and which
// ends with it, e.g. "|&OK|&Cancel|". Fields are numbered from 0. SUB is
// the one place that reads and builds such texts; it has no state and
// never changes its arguments.
#include <cstdint>
#include <string>
#include <vector>

namespace kv {

class SUB {
public:
    SUB() = delete;

    // Number of fields; 0 unless the list is at least 2 long and ends with
    // its separator. The scan stops at the first code 0.
    static int Count(const std::string& list);
    // Field `index` (-1 = last), or `def` when missing or empty.
    static std::string Get(const std::string& list, int index, const std::string& def = std::string());
    // Field `index` as a signed 64-bit integer, or `def`.
    static int64_t GetInt64(const std::string& list, int index, int64_t def);
    // Value of the first key=value field with `key` (case ignored);
    // `defMissing` when absent, `defEmpty` when present without value.
    static std::string GetValue(const std::string& list, const std::string& key,
                                const std::string& defMissing, const std::string& defEmpty);
    // 0-based index of the first field equal to (or, with prefix, starting
    // with) `item`, case ignored; `def` when none.
    static int IndexOf(const std::string& list, const std::string& item, bool prefix, int def);
    // Whether `item` is one of the fields.
    static bool Contains(const std::string& list, const std::string& item, bool ignoreCase, bool trim);
    // Keys / values of the key=value fields (a field without '=' gives an
    // empty field in both).
    static std::string Lefts(const std::string& list);
    static std::string Rights(const std::string& list);
    static void SplitPairs(const std::string& list, std::string& keys, std::string& values);
    // key=value pairs from two lists.
    static std::string Zip(const std::string& keys, const std::string& values, bool dropTrailingEmpty);
    static std::string Delete(const std::string& list, int index);
    static std::string Put(const std::string& list, int index, const std::string& value);
    static std::string FromArray(const std::vector<std::string>& items, bool distinct);
    static std::string Append(const std::string& list, const std::vector<std::string>& items, bool distinct);
    static std::string Reverse(const std::string& list);
    // Without empty and duplicate (case-insensitive, trimmed) fields.
    static std::string Distinct(const std::string& list);
    static std::string TrimEmpty(const std::string& list, bool atEnd, bool atStart);
    // Same fields with the separator re-chosen from the candidates
    // "|*~^!@#$&" and code 255.
    static std::string Normalize(const std::string& list);
    static std::string ChangeSeparator(const std::string& list, char separator);
};

}  // namespace kv
