#pragma once
// The test engine's reading of its command line. The stub writes the
// engine's arguments as switches "/name=value" separated by blanks, a
// value running up to the next blank that is followed by '/', so values
// may hold blanks (paths). Double quotes around values are dropped.
#include <cstdint>
#include <string>
#include <vector>

namespace kv::testengine {

// The arguments after the program's own path. A quoted path ends at its
// closing quote; an unquoted one is the running program's path when the
// line starts with it (case ignored), otherwise everything before the
// first " /" (an unquoted path may hold blanks, as the stub writes it).
std::string ArgumentsOf(const std::string& commandLine, const std::string& exePath);

// The pieces of the argument text in order, split before every blank
// followed by '/', trimmed. Text before the first '/' (a stray word) is a
// piece of its own.
std::vector<std::string> SplitSwitches(const std::string& arguments);

// The switches of an argument text. Lookups follow the stub's own rule:
// all double quotes removed first, then split, so that a starter that
// quotes a whole switch holding a blank ("/x=a b") changes nothing.
class Switches {
public:
    explicit Switches(const std::string& arguments);

    // The pieces as written, quotes kept (for the record).
    const std::vector<std::string>& Items() const { return items_; }
    // Whether "/name" or "/name=..." is given (name without '/', case ignored).
    bool Has(const std::string& name) const;
    // The value of the first "/name=...", trimmed;
    // `def` when there is none. A later repetition never overrides: the
    // stub's own arguments come before the package's fixed ones.
    std::string Value(const std::string& name, const std::string& def = std::string()) const;
    // The value as a 32-bit number (decimal, a leading '-' wraps as the
    // system does for exit codes); `def` when absent or not a number.
    uint32_t Number(const std::string& name, uint32_t def) const;

private:
    std::vector<std::string> items_;
    std::vector<std::string> unquoted_;
};

}  // namespace kv::testengine
