#include "kvpack/lang_ini.h"

#include <vector>

#include "util/ksub.h"
#include "util/text_utils.h"

namespace kv::pack {
namespace {

// A value written in double quotes keeps its surrounding blanks.
std::string IniValue(const std::string& raw) {
    std::string v = Trim(raw);
    if (v.size() >= 2 && v.front() == '"' && v.back() == '"') v = v.substr(1, v.size() - 2);
    return v;
}

bool GoodList(const std::string& list) { return !list.empty() && list[0] != '\0'; }

}  // namespace

bool LanguageTableFromIni(const std::string& iniText, std::string& table, std::string& error) {
    if (iniText.find('\0') != std::string::npos) {
        error = "language INI: contains a zero byte";
        return false;
    }
    std::vector<std::vector<std::string>> records;
    size_t lineNo = 0;
    size_t start = 0;
    while (start <= iniText.size()) {
        size_t end = iniText.find('\n', start);
        if (end == std::string::npos) end = iniText.size();
        std::string line = Trim(iniText.substr(start, end - start));
        start = end + 1;
        ++lineNo;
        if (lineNo == 1 && line.compare(0, 3, "\xEF\xBB\xBF") == 0) line = Trim(line.substr(3));
        if (line.empty() || line[0] == ';' || line[0] == '#') continue;
        const std::string where = "language INI line " + std::to_string(lineNo) + ": ";
        if (line[0] == '[') {
            if (line.back() != ']' || line.size() < 3) {
                error = where + "bad section header \"" + line + "\"";
                return false;
            }
            const std::string name = Trim(line.substr(1, line.size() - 2));
            if (name.empty()) {
                error = where + "empty language name";
                return false;
            }
            for (const auto& r : records) {
                if (SameText(r[0], name)) {
                    error = where + "language \"" + name + "\" appears twice";
                    return false;
                }
            }
            records.push_back({name});
            continue;
        }
        const size_t eq = line.find('=');
        if (eq == std::string::npos || eq == 0) {
            error = where + "expected key=value, got \"" + line + "\"";
            return false;
        }
        if (records.empty()) {
            error = where + "key outside a [language] section";
            return false;
        }
        // The stub reads the first of two equal keys; a second one would
        // be silently lost.
        const std::string key = Trim(line.substr(0, eq));
        const auto& record = records.back();
        for (size_t i = 1; i < record.size(); ++i) {
            if (SameText(record[i].substr(0, record[i].find('=')), key)) {
                error = where + "key \"" + key + "\" appears twice in [" + record[0] + "]";
                return false;
            }
        }
        records.back().push_back(key + "=" + IniValue(line.substr(eq + 1)));
    }

    if (records.empty()) {
        table = "|";
        return true;
    }
    std::vector<std::string> texts;
    for (const auto& r : records) {
        std::string record = SUB::FromArray(r, false);
        if (!GoodList(record)) {
            error = "language \"" + r[0] + "\": its texts use every separator character";
            return false;
        }
        texts.push_back(std::move(record));
    }
    table = SUB::FromArray(texts, false);
    if (!GoodList(table)) {
        error = "language table: the records use every separator character";
        return false;
    }
    return true;
}

}  // namespace kv::pack
