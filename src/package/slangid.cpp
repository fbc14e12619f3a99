#include "package/slangid.h"

#include "package/user_language.h"
#include "util/ksub.h"
#include "util/text_utils.h"

namespace kv {
namespace {

// Plain names carry the primary language id, names with a region the full
// language id. The blanks only line the '=' signs up; names are trimmed.
const char kLanguageNames[] =
    "|AFRIKAANS    = 54|"
    "ALBANIAN     = 28|"
    "ARABIC       = 01|"
    "BASQUE       = 45|"
    "BELARUSIAN   = 35|"
    "BULGARIAN    = 02|"
    "CATALAN      = 03|"
    "CHINESE      = 04|"
    "CROATIAN     = 26|"
    "CZECH        = 05|"
    "DANISH       = 06|"
    "DUTCH        = 19|"
    "ENGLISH      = 09|"
    "ESTONIAN     = 37|"
    "FAEROESE     = 56|"
    "FARSI        = 41|"
    "FINNISH      = 11|"
    "FRENCH       = 12|"
    "GERMAN       = 07|"
    "GREEK        = 08|"
    "HEBREW       = 13|"
    "HUNGARIAN    = 14|"
    "ICELANDIC    = 15|"
    "INDONESIAN   = 33|"
    "ITALIAN      = 16|"
    "JAPANESE     = 17|"
    "KOREAN       = 18|"
    "LATVIAN      = 38|"
    "LITHUANIAN   = 39|"
    "NORWEGIAN    = 20|"
    "POLISH       = 21|"
    "PORTUGUESE   = 22|"
    "ROMANIAN     = 24|"
    "RUSSIAN      = 25|"
    "SERBIAN      = 26|"
    "SLOVAK       = 27|"
    "SLOVENIAN    = 36|"
    "SPANISH      = 10|"
    "SWEDISH      = 29|"
    "THAI         = 30|"
    "TURKISH      = 31|"
    "UKRAINIAN    = 34|"
    "VIETNAMESE   = 42|"
    "CHINESE(SIMPLIFIED)  = 2052|"
    "CHINESE(TRADITIONAL) = 1028|"
    "DUTCH(FLEMISH)       = 2067|"
    "DUTCH(STANDARD)      = 1043|"
    "PORTUGUESE(PORTUGAL) = 2070|"
    "PORTUGUESE(BRAZIL)   = 1046|"
    "SERBIAN(LATIN)       = 2074|"
    "SERBIAN(CYRILIC)     = 3098|";

constexpr int kEnglishLangId = 9;
constexpr uint32_t kPrimaryLanguageMask = 0x3FF;
constexpr char kNoRecord[] = "*";

// The chosen record; empty until the first choice. One per process.
std::string& ChosenRecord() {
    static std::string record;
    return record;
}

}  // namespace

const std::string& LanguageNameTable() {
    static const std::string table(kLanguageNames);
    return table;
}

std::string LanguageName(int langId) {
    const std::string digits = ZeroPadInt(langId, 2);
    const std::string& table = LanguageNameTable();
    const int count = SUB::Count(table);
    for (int i = 0; i < count; ++i) {
        const std::string entry = SUB::Get(table, i);
        const size_t eq = entry.find('=');
        if (eq != std::string::npos && eq > 0 && entry.find(digits) != std::string::npos)
            return Trim(entry.substr(0, eq));
    }
    return std::string();
}

std::string UserLanguageName() {
    const uint32_t locale = StartupLocaleId();
    return LanguageName(locale == 0 ? kEnglishLangId : int(locale & kPrimaryLanguageMask));
}

std::string FindLanguageRecord(const std::string& languageTable, const std::string& name) {
    const int count = SUB::Count(languageTable);
    for (int i = 0; i < count; ++i) {
        const std::string record = SUB::Get(languageTable, i);
        if (SameTextTrimmed(SUB::Get(record, 0), name)) return record;
    }
    if (count == 1) return SUB::Get(languageTable, 0, kNoRecord);
    return kNoRecord;
}

std::string ChosenLanguageRecord(const std::string& languageTable) {
    std::string& chosen = ChosenRecord();
    if (chosen.empty()) {
        chosen = FindLanguageRecord(languageTable, UserLanguageName());
        if (chosen == kNoRecord) chosen = FindLanguageRecord(languageTable, "English");
    }
    return chosen;
}

void ResetChosenLanguageRecordForTests() { ChosenRecord().clear(); }

}  // namespace kv
