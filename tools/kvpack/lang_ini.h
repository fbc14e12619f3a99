#pragma once
// The language table built from an INI text: one section per language
// (the section name is the language name), its keys the key=value texts.
#include <string>

namespace kv::pack {

// Builds the table (a field list of language records, each a field list
// whose field 0 is the language name). An INI without sections gives the
// empty table "|". False with a message for a key outside a section, a
// line that is neither, a repeated section, or texts that leave no free
// separator character.
bool LanguageTableFromIni(const std::string& iniText, std::string& table, std::string& error);

}  // namespace kv::pack
