#pragma once
// Reading the test engine's record file (tools/win/testengine/README.md):
// one block per run, "[Run]" ... "[End]", key=value lines in between.
#include <string>
#include <utility>
#include <vector>

#include "harness/files.h"

namespace kv::test {

// One "[Run]" ... "[End]" block of the record.
struct EngineRun {
    std::vector<std::pair<std::string, std::string>> lines;
    bool complete = false;

    std::string Get(const std::string& key) const {
        for (const auto& line : lines)
            if (line.first == key) return line.second;
        return "<absent>";
    }
    std::vector<std::string> All(const std::string& key) const {
        std::vector<std::string> values;
        for (const auto& line : lines)
            if (line.first == key) values.push_back(line.second);
        return values;
    }
};

// Every block of the record file, complete or not (a block still being
// written has no "[End]" yet).
inline std::vector<EngineRun> ReadEngineRuns(const std::string& path) {
    std::vector<EngineRun> runs;
    const std::string text = ReadWholeFile(path);
    size_t at = 0;
    while (at < text.size()) {
        size_t end = text.find("\r\n", at);
        if (end == std::string::npos) end = text.size();
        const std::string line = text.substr(at, end - at);
        at = end + 2;
        if (line == "[Run]") {
            runs.emplace_back();
        } else if (line == "[End]" && !runs.empty()) {
            runs.back().complete = true;
        } else if (!runs.empty()) {
            const size_t eq = line.find('=');
            if (eq != std::string::npos) runs.back().lines.emplace_back(line.substr(0, eq), line.substr(eq + 1));
        }
    }
    return runs;
}

}  // namespace kv::test
