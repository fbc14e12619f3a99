#pragma once
// Language names and the choice of the language record a package's texts
// are read from. The choice is made once per process and then kept, so a
// run shows every text in one language even when it reads several
// packages (the running stub, a downloaded one).
#include <string>

namespace kv {

// The 51 language names with their Windows language ids, as one field
// list with separator '|': "|AFRIKAANS    = 54|...|SERBIAN(CYRILIC)     = 3098|".
const std::string& LanguageNameTable();

// The table name for a language id, empty when none. The id is written
// with at least two digits and the first entry containing those digits
// wins, so 26 gives CROATIAN and 52 gives CHINESE(SIMPLIFIED).
std::string LanguageName(int langId);

// LanguageName of the primary language (low 10 bits) of the locale the
// process started with; ENGLISH when that locale is 0.
std::string UserLanguageName();

// The record of `languageTable` whose field 0 equals `name` (case and
// surrounding blanks ignored); the only record of a one-record table when
// none matches; otherwise "*".
std::string FindLanguageRecord(const std::string& languageTable, const std::string& name);

// The record this process reads its texts from. The first call chooses it
// from `languageTable` (the user's language, else "English") and every
// later call returns that choice whatever table it passes. "*" stands for
// "no record": callers then use their built-in defaults.
std::string ChosenLanguageRecord(const std::string& languageTable);

// Tests only: forget the choice so that the next call chooses again.
void ResetChosenLanguageRecordForTests();

}  // namespace kv
