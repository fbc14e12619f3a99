#include "package/slangid.h"

#include <gtest/gtest.h>

#include <sstream>
#include <vector>

#include "kvpack/kvpack.h"
#include "pack_test_util.h"
#include "package/packx.h"
#include "package/user_language.h"
#include "util/ksub.h"
#include "util/text_utils.h"

namespace kv {
namespace {

// Every test starts with no choice made and an English user, and leaves
// the process that way.
class LanguageTest : public ::testing::Test {
protected:
    void SetUp() override { Restore(); }
    void TearDown() override { Restore(); }
    static void Restore() {
        ResetChosenLanguageRecordForTests();
        SetStartupLocaleIdForTests(0x0409);
    }
};

// A package's language table made of the given records.
std::string Table(const std::vector<std::string>& records) {
    return records.empty() ? std::string("|") : SUB::FromArray(records, false);
}

TGFileInfo WithTable(const std::string& table) {
    TGFileInfo info{MemorySource(std::string())};
    info.LanguageTable = table;
    return info;
}

const char kEnglish[] = "|English|s0=Hello|s1=Extracting|";
const char kGerman[] = "|German|s0=Hallo|s1=Entpacken|";
const char kFrench[] = "|French|s0=Bonjour|";

TEST(LanguageNameTable, HoldsTheFiftyOneNamesInOrderWithAlignedSigns) {
    const char* const expected =
        "AFRIKAANS 54, ALBANIAN 28, ARABIC 01, BASQUE 45, BELARUSIAN 35, BULGARIAN 02, CATALAN 03, "
        "CHINESE 04, CROATIAN 26, CZECH 05, DANISH 06, DUTCH 19, ENGLISH 09, ESTONIAN 37, FAEROESE 56, "
        "FARSI 41, FINNISH 11, FRENCH 12, GERMAN 07, GREEK 08, HEBREW 13, HUNGARIAN 14, ICELANDIC 15, "
        "INDONESIAN 33, ITALIAN 16, JAPANESE 17, KOREAN 18, LATVIAN 38, LITHUANIAN 39, NORWEGIAN 20, "
        "POLISH 21, PORTUGUESE 22, ROMANIAN 24, RUSSIAN 25, SERBIAN 26, SLOVAK 27, SLOVENIAN 36, "
        "SPANISH 10, SWEDISH 29, THAI 30, TURKISH 31, UKRAINIAN 34, VIETNAMESE 42, "
        "CHINESE(SIMPLIFIED) 2052, CHINESE(TRADITIONAL) 1028, DUTCH(FLEMISH) 2067, DUTCH(STANDARD) 1043, "
        "PORTUGUESE(PORTUGAL) 2070, PORTUGUESE(BRAZIL) 1046, SERBIAN(LATIN) 2074, SERBIAN(CYRILIC) 3098";
    const std::string& table = LanguageNameTable();
    ASSERT_EQ(table.front(), '|');
    ASSERT_EQ(SUB::Count(table), 51);
    std::istringstream list(expected);
    std::string item;
    for (int i = 0; std::getline(list, item, ','); ++i) {
        std::istringstream parts(item);
        std::string name, number;
        parts >> name >> number;
        const std::string entry = SUB::Get(table, i);
        SCOPED_TRACE(entry);
        const size_t eq = entry.find('=');
        ASSERT_NE(eq, std::string::npos);
        EXPECT_EQ(entry.substr(0, eq), name + std::string(eq - name.size(), ' '));
        EXPECT_EQ(eq + 1, name.find('(') == std::string::npos ? 14u : 22u);  // 1-based column
        EXPECT_EQ(entry.substr(eq), "= " + number);
    }
}

TEST(LanguageName, FirstEntryContainingTheTwoDigitIdWins) {
    const struct {
        int id;
        const char* name;
    } cases[] = {
        {9, "ENGLISH"},   {7, "GERMAN"},     {1, "ARABIC"},  {4, "CHINESE"},  {10, "SPANISH"},
        {12, "FRENCH"},   {30, "THAI"},      {28, "ALBANIAN"},
        // Shared primary id: the first name.
        {26, "CROATIAN"},
        // Full ids of the region names.
        {2052, "CHINESE(SIMPLIFIED)"}, {1028, "CHINESE(TRADITIONAL)"}, {3098, "SERBIAN(CYRILIC)"},
        {1046, "PORTUGUESE(BRAZIL)"},
        // No two-digit entry: the digits are found inside a four-digit id.
        {52, "CHINESE(SIMPLIFIED)"}, {43, "DUTCH(STANDARD)"}, {70, "PORTUGUESE(PORTUGAL)"},
        {98, "SERBIAN(CYRILIC)"},
        // Nothing contains them.
        {0, ""}, {99, ""}, {50, ""}, {1024, ""}, {-1, ""},
    };
    for (const auto& c : cases) EXPECT_EQ(LanguageName(c.id), c.name) << c.id;
}

TEST_F(LanguageTest, UserLanguageNameUsesThePrimaryIdOfTheStartupLocale) {
    const struct {
        uint32_t locale;
        const char* name;
    } cases[] = {
        {0, "ENGLISH"},           // unknown locale
        {0x0409, "ENGLISH"},      {0x0809, "ENGLISH"},   {0x0407, "GERMAN"},
        {0x0807, "GERMAN"},       // Swiss German: the region is dropped
        {0x00010407, "GERMAN"},   // a sort id above the language id is dropped
        {0x040C, "FRENCH"},       {0x0804, "CHINESE"},   {0x0416, "PORTUGUESE"},
        {0x081A, "CROATIAN"},     // Serbian (Latin) shares primary id 26
        {0x0400, ""},             // primary id 0 names nothing
    };
    for (const auto& c : cases) {
        SetStartupLocaleIdForTests(c.locale);
        EXPECT_EQ(UserLanguageName(), c.name) << std::hex << c.locale;
    }
}

TEST(FindLanguageRecord, MatchesField0IgnoringCaseAndBlanks) {
    const std::string lowerGerman = "|german|s0=klein|";
    const std::string paddedGerman = "|  German |s0=Hallo|";
    const std::string otherGerman = "|GERMAN|s0=zweiter|";
    const struct {
        const char* what;
        std::vector<std::string> records;
        const char* name;
        std::string expected;
    } cases[] = {
        {"exact name", {kEnglish, kGerman}, "German", kGerman},
        {"table name upper case", {kEnglish, kGerman}, "GERMAN", kGerman},
        {"record name lower case", {kEnglish, lowerGerman}, "GERMAN", lowerGerman},
        {"blanks around both names", {kEnglish, paddedGerman}, " german ", paddedGerman},
        {"first of two equal names", {kGerman, otherGerman}, "GERMAN", kGerman},
        {"one record serves every language", {kGerman}, "FRENCH", kGerman},
        {"one record, empty name asked", {kGerman}, "", kGerman},
        {"no match among two", {kEnglish, kGerman}, "FRENCH", "*"},
        {"no match, no English", {kGerman, kFrench}, "ITALIAN", "*"},
        {"empty table", {}, "ENGLISH", "*"},
    };
    for (const auto& c : cases) EXPECT_EQ(FindLanguageRecord(Table(c.records), c.name), c.expected) << c.what;
    EXPECT_EQ(FindLanguageRecord("", "ENGLISH"), "*");
    EXPECT_EQ(WithTable(Table({kEnglish, kGerman})).FindLanguageRecord("german"), kGerman);
}

TEST_F(LanguageTest, TheUsersRecordElseEnglishElseTheDefaults) {
    const struct {
        const char* what;
        uint32_t locale;
        std::vector<std::string> records;
        const char* s0;
    } cases[] = {
        {"German user", 0x0407, {kEnglish, kGerman}, "Hallo"},
        {"German user, record named german", 0x0407, {kEnglish, "|german|s0=Hallo|"}, "Hallo"},
        {"French user falls back to English", 0x040C, {kGerman, kEnglish}, "Hello"},
        {"Italian user, neither own nor English", 0x0410, {kGerman, kFrench}, "default"},
        {"one record for an Italian user", 0x0410, {kFrench}, "Bonjour"},
        {"user language without a name", 0x0400, {kGerman, kEnglish}, "Hello"},
        {"empty table", 0x0407, {}, "default"},
    };
    for (const auto& c : cases) {
        ResetChosenLanguageRecordForTests();
        SetStartupLocaleIdForTests(c.locale);
        EXPECT_EQ(WithTable(Table(c.records)).LangText("s0", "default"), c.s0) << c.what;
    }
}

TEST_F(LanguageTest, TextsByKey) {
    const TGFileInfo info = WithTable(Table({"|English|s0=Hello|s1=|S2=Mixed Case|s3=  two  blanks|"}));
    const struct {
        const char* key;
        const char* expected;
    } cases[] = {
        {"s0", "Hello"},
        {"S0", "Hello"},              // keys ignore case
        {"s2", "Mixed Case"},
        {"s1", ""},                   // present without a value: empty, not the default
        {"s3", "  two  blanks"},      // the value keeps its blanks
        {"s10", "default"},           // absent
        {"s", "default"},             // a prefix of a key is not the key
    };
    for (const auto& c : cases) EXPECT_EQ(info.LangText(c.key, "default"), c.expected) << c.key;
}

TEST_F(LanguageTest, CharsetFontSizeAndFontName) {
    const struct {
        std::vector<std::string> fields;  // after the name
        int charset;
        int fontSize;
        const char* fontName;
    } cases[] = {
        {{}, 0, 8, "Tahoma"},
        {{"Charset=177", "FontSize=10", "FontName=Arial"}, 177, 10, "Arial"},
        {{"Charset=178", "FontSize=big"}, 178, 8, "Tahoma"},
        {{"Charset=x1", "FontSize=", "FontName="}, 0, 8, ""},
        {{"Charset=-1", "FontSize=9pt"}, -1, 8, "Tahoma"},
        {{"Charset=99999999999", "FontSize= 12"}, 0, 12, "Tahoma"},
    };
    for (const auto& c : cases) {
        ResetChosenLanguageRecordForTests();
        std::vector<std::string> record{"English"};
        record.insert(record.end(), c.fields.begin(), c.fields.end());
        const TGFileInfo info = WithTable(Table({SUB::FromArray(record, false)}));
        const std::string what = Table({SUB::FromArray(record, false)});
        EXPECT_EQ(info.LangCharset(), c.charset) << what;
        EXPECT_EQ(info.LangFontSize(), c.fontSize) << what;
        EXPECT_EQ(info.LangFontName(), c.fontName) << what;
    }
    // No record at all: the same defaults.
    ResetChosenLanguageRecordForTests();
    const TGFileInfo none = WithTable("|");
    EXPECT_EQ(none.LangCharset(), 0);
    EXPECT_EQ(none.LangFontSize(), 8);
    EXPECT_EQ(none.LangFontName(), "Tahoma");
}

TEST_F(LanguageTest, TheFirstChoiceHoldsForTheRestOfTheProcess) {
    SetStartupLocaleIdForTests(0x0407);
    const TGFileInfo running = WithTable(Table({kEnglish, kGerman}));
    const TGFileInfo downloaded = WithTable(Table({"|German|s0=Neu|", kEnglish}));
    EXPECT_EQ(running.LangText("s0", "-"), "Hallo");
    EXPECT_EQ(downloaded.LangText("s0", "-"), "Hallo");  // another object, another table
    SetStartupLocaleIdForTests(0x040C);
    EXPECT_EQ(running.LangText("s1", "-"), "Entpacken");
    EXPECT_EQ(ChosenLanguageRecord(Table({kFrench})), kGerman);

    // "No record" is a choice too: later tables with records do not undo it.
    ResetChosenLanguageRecordForTests();
    EXPECT_EQ(WithTable("|").LangText("s0", "-"), "-");
    EXPECT_EQ(running.LangText("s0", "-"), "-");
    EXPECT_EQ(ChosenLanguageRecord(Table({kEnglish})), "*");
}

// The builder's INI form and the stub's reading of it meet in the package.
TEST_F(LanguageTest, TextsWrittenFromAnIniReadBackFromThePackage) {
    testing::ScratchDir dir;
    testing::WriteBytes(dir / "stub.exe", testing::FakePe(1024));
    testing::WriteBytes(dir / "lang.ini",
                        "[English]\r\ns0=Kavrix Setup\r\nFontSize=9\r\n"
                        "[German]\r\ns0 = Kavrix Installation\r\ns1=\r\nBtnText=|&OK|&Abbrechen|\r\n"
                        "FontName=\" MS Sans Serif \"\r\nCharset=177\r\ns11=<b>A = B</b><p>Weiter?\r\n");
    pack::PackageSpec spec;
    spec.stubPath = dir / "stub.exe";
    spec.outputPath = dir / "setup.exe";
    spec.languageIni = dir / "lang.ini";
    spec.haveTokenSeed = true;
    std::string error;
    ASSERT_TRUE(pack::BuildPackage(spec, error)) << error;

    SetStartupLocaleIdForTests(0x0407);
    const TGFileInfo info(spec.outputPath);
    EXPECT_EQ(info.LangText("s0", "-"), "Kavrix Installation");
    EXPECT_EQ(info.LangText("s1", "-"), "");
    EXPECT_EQ(info.LangText("s2", "-"), "-");
    EXPECT_EQ(info.LangText("BtnText", "-"), "|&OK|&Abbrechen|");
    EXPECT_EQ(info.LangFontName(), " MS Sans Serif ");
    EXPECT_EQ(info.LangCharset(), 177);
    EXPECT_EQ(info.LangFontSize(), 8);
    // The reader drops a blank before '=' anywhere in the record.
    EXPECT_EQ(info.LangText("s11", "-"), "<b>A= B</b><p>Weiter?");

    ResetChosenLanguageRecordForTests();
    SetStartupLocaleIdForTests(0x0410);
    EXPECT_EQ(info.LangText("s0", "-"), "Kavrix Setup");
    EXPECT_EQ(info.LangFontSize(), 9);
}

}  // namespace
}  // namespace kv
