#pragma once
// The language table built from an INI text: one section per language
// (the section name is the language name), its keys the key=value texts.
#include <string>

namespace kv::pack {

// Builds the table (a field list of language records, each a field list
// whose field 0 is the language name). Keys and values are trimmed; a
// value in double quotes keeps its blanks. An INI without sections gives
// the empty table "|". False with a message for a key outside a section,
// a line that is neither, a repeated section or key (case ignored), or
// texts that leave no free separator character.
//
// The stub's key lookup drops a blank standing right before any '=' of a
// record, so "a = b" inside a value is shown as "a= b".
bool LanguageTableFromIni(const std::string& iniText, std::string& table, std::string& error);

}  // namespace kv::pack
