#include "util/ksub.h"

#include "util/text_utils.h"

namespace kv {

namespace {

// Separator used while a list is being built; Normalize picks the real one.
constexpr char kProvisional = '\0';
// Tried in this order; the first one absent from the fields wins.
const char kCandidates[] = {'|', '*', '~', '^', '!', '@', '#', '$', '&', char(255)};

bool Has(const std::string& s, char c) { return s.find(c) != std::string::npos; }

// The fields as texts between consecutive separators; text after the last
// separator of a list that does not end with it is not a field.
std::vector<std::string> Fields(const std::string& list) {
    std::vector<std::string> fields;
    if (list.empty()) return fields;
    const char sep = list[0];
    size_t start = 1;
    for (size_t p = list.find(sep, start); p != std::string::npos; p = list.find(sep, start)) {
        fields.push_back(list.substr(start, p - start));
        start = p + 1;
    }
    return fields;
}

// sep + each field + sep.
std::string Join(const std::vector<std::string>& fields, char sep) {
    std::string r(1, sep);
    for (const std::string& f : fields) {
        r += f;
        r += sep;
    }
    return r;
}

}  // namespace

// ---- Reading --------------------------------------------------------------

int SUB::Count(const std::string& list) {
    if (list.size() < 2 || list.back() != list.front()) return 0;
    const char sep = list[0];
    int n = 0;
    for (size_t i = 1; i < list.size() && list[i] != '\0'; ++i)
        if (list[i] == sep) ++n;
    return n;
}

std::string SUB::Get(const std::string& list, int index, const std::string& def) {
    if (list.empty() || (list.size() == 1 && list[0] == kProvisional)) return def;
    if (index == -1) index = Count(list) - 1;
    if (index < 0) return def;
    const char sep = list[0];
    size_t start = 1;
    int number = 0;
    for (size_t p = list.find(sep, start); p != std::string::npos; p = list.find(sep, start)) {
        if (number == index) {
            if (p == start) return def;
            return list.substr(start, p - start);
        }
        ++number;
        start = p + 1;
    }
    return def;
}

int64_t SUB::GetInt64(const std::string& list, int index, int64_t def) {
    return StrToInt64Def(Get(list, index, std::string()), def);
}

std::string SUB::GetValue(const std::string& list, const std::string& key,
                          const std::string& defMissing, const std::string& defEmpty) {
    if (list.size() < 3 || list.back() != list.front()) return defMissing;
    const char sep = list[0];
    std::string search = sep + key;
    if (key.empty() || key.back() != '=' || key == "=") search += '=';
    std::string text = list;
    if (Has(text, ' ')) {
        // Tolerate "| key = value|": one blank after the separator and any
        // blanks before '='; the value keeps its own blanks.
        text = ReplaceText(text, std::string(1, sep) + ' ', std::string(1, sep), 0, 0, false);
        text = ReplaceRepeated(text, " =", "=", false);
    }
    const int p = PosText(search, text);
    if (p == 0) return defMissing;
    const size_t from = size_t(p - 1) + search.size();
    const size_t end = text.find(sep, from);
    const std::string value = text.substr(from, end == std::string::npos ? std::string::npos : end - from);
    return value.empty() ? defEmpty : value;
}

int SUB::IndexOf(const std::string& list, const std::string& item, bool prefix, int def) {
    const std::string text = UpperCase(Trim(list));
    const std::string upper = UpperCase(item);
    if (text.empty() || upper.empty()) return def;
    const char sep = text[0];
    auto find = [&](const std::string& what) {
        std::string needle = sep + what;
        if (!prefix) needle += sep;
        return PosFrom(needle, text, 1, false);
    };
    int p = find(upper);
    if (p == 0) p = find(Trim(upper));
    if (p == 0) return def;
    int n = 0;
    for (int i = 2; i <= p; ++i)
        if (text[size_t(i - 1)] == sep) ++n;
    return n;
}

bool SUB::Contains(const std::string& list, const std::string& item, bool ignoreCase, bool trim) {
    const std::string l = trim ? Trim(list) : list;
    const std::string it = trim ? Trim(item) : item;
    if (l.empty() || it.empty()) return false;
    const std::string needle = l[0] + it + l[0];
    return PosFrom(needle, l, 1, ignoreCase) != 0;
}

// ---- Building -------------------------------------------------------------

std::string SUB::Lefts(const std::string& list) {
    std::string keys, values;
    SplitPairs(list, keys, values);
    return keys;
}

std::string SUB::Rights(const std::string& list) {
    std::string keys, values;
    SplitPairs(list, keys, values);
    return values;
}

void SUB::SplitPairs(const std::string& list, std::string& keys, std::string& values) {
    std::string k(1, kProvisional), v(1, kProvisional);
    for (const std::string& f : Fields(list)) {
        const size_t eq = f.find('=');
        if (eq != std::string::npos) {
            k += f.substr(0, eq);
            v += f.substr(eq + 1);
        }
        k += kProvisional;
        v += kProvisional;
    }
    keys = Normalize(k);
    values = Normalize(v);
}

std::string SUB::Zip(const std::string& keys, const std::string& values, bool dropTrailingEmpty) {
    const std::string k = dropTrailingEmpty ? TrimEmpty(keys, true, false) : keys;
    const std::string v = dropTrailingEmpty ? TrimEmpty(values, true, false) : values;
    const int n = Count(k) > Count(v) ? Count(k) : Count(v);
    std::string r(1, kProvisional);
    for (int i = 0; i < n; ++i) {
        r += Get(k, i) + '=' + Get(v, i);
        r += kProvisional;
    }
    return Normalize(r);
}

std::string SUB::Delete(const std::string& list, int index) {
    if (list.empty() || Count(list) <= index) return list;
    std::vector<std::string> fields = Fields(list);
    if (index >= 0 && size_t(index) < fields.size()) fields.erase(fields.begin() + index);
    return Join(fields, list[0]);
}

std::string SUB::Put(const std::string& list, int index, const std::string& value) {
    const std::string l = list.empty() ? std::string("|") : list;
    const char sep = l[0];
    const int64_t count = Count(l);
    const size_t n = size_t(int64_t(index) + 1 > count ? int64_t(index) + 1 : count);
    std::vector<std::string> fields = Fields(l);
    fields.resize(n);
    if (index >= 0) fields[size_t(index)] = value;
    const std::string joined = Join(fields, kProvisional);
    if (!Has(joined, sep)) return ReplaceChar(joined, kProvisional, sep);
    return Normalize(joined);
}

std::string SUB::FromArray(const std::vector<std::string>& items, bool distinct) {
    if (items.empty()) return std::string();
    const std::string r = Normalize(Join(items, kProvisional));
    return distinct ? Distinct(r) : r;
}

std::string SUB::Append(const std::string& list, const std::vector<std::string>& items,
                        bool distinct) {
    std::string r;
    if (list.empty()) {
        r = FromArray(items, false);
    } else {
        const char sep = list[0];
        std::string added;
        for (const std::string& it : items) {
            added += it;
            added += kProvisional;
        }
        if (Has(added, sep))
            r = Normalize(ReplaceChar(list, sep, kProvisional) + added);
        else
            r = list + ReplaceChar(added, kProvisional, sep);
    }
    return distinct ? Distinct(r) : r;
}

std::string SUB::Reverse(const std::string& list) {
    if (list.empty()) return list;
    std::vector<std::string> fields = Fields(list);
    return Join(std::vector<std::string>(fields.rbegin(), fields.rend()), list[0]);
}

std::string SUB::Distinct(const std::string& list) {
    if (list.empty()) return list;
    std::string kept;
    for (const std::string& f : Fields(list))
        if (!f.empty() && !Contains(kept, f, true, true)) kept = Append(kept, {f}, false);
    return ChangeSeparator(kept, list[0]);
}

std::string SUB::TrimEmpty(const std::string& list, bool atEnd, bool atStart) {
    std::string r = list;
    if (atEnd)
        for (int i = Count(r) - 1; i >= 0 && Get(r, i).empty(); --i) r = Delete(r, i);
    if (atStart)
        while (Count(r) > 0 && Get(r, 0).empty()) r = Delete(r, 0);
    return r.size() == 1 ? std::string() : r;
}

std::string SUB::Normalize(const std::string& list) {
    if (list.empty()) return list;
    std::string r = Has(list, kProvisional) ? list : ReplaceChar(list, list[0], kProvisional);
    const char first = r[0];
    bool replaced = false;
    for (char c : kCandidates) {
        if (!Has(r, c)) {
            r = ReplaceChar(r, first, c);
            replaced = true;
            break;
        }
    }
    // The fields use all ten candidates. Code 0 cannot stay the separator
    // (Count stops at it), so take the lowest other code the fields do not
    // use; the fields stay intact. Only a list that holds every code keeps
    // code 0.
    if (!replaced && first == kProvisional) {
        for (int code = 1; code < 255; ++code) {
            if (!Has(r, char(code))) {
                r = ReplaceChar(r, first, char(code));
                break;
            }
        }
    }
    return r.size() == 1 ? std::string() : r;
}

std::string SUB::ChangeSeparator(const std::string& list, char separator) {
    if (list.empty()) return list;
    return ReplaceChar(list, list[0], separator);
}

}  // namespace kv
