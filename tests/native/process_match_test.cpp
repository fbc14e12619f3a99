#include "util/process_match.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

using namespace kv;

namespace {

TEST(ExeMatchesPath, PathNameAndShortForm) {
    struct Case {
        const char* path;
        const char* pathShort;
        const char* exe;
        const char* exeShort;
        bool fullPathOnly;
        bool match;
    } cases[] = {
        {"C:\\Prog\\App.exe", kNoShortForm, "C:\\Prog\\App.exe", kNoShortForm, false, true},
        {"  c:\\prog\\APP.EXE ", kNoShortForm, "C:\\Prog\\App.exe", kNoShortForm, true, true},  // trimmed, case
        {"C:\\Prog\\App.exe", kNoShortForm, "D:\\Other\\App.exe", kNoShortForm, false, false},
        {"C:\\Prog\\App.exe", kNoShortForm, "D:\\Other\\App.exe", kNoShortForm, true, false},
        {"App.exe", kNoShortForm, "D:\\Other\\App.exe", kNoShortForm, false, true},  // by file name
        {"App.exe", kNoShortForm, "D:\\Other\\App.exe", kNoShortForm, true, false},  // not under full path
        {"App.exe", kNoShortForm, "App.exe", kNoShortForm, true, true},  // a bare exe text is its own path
        {"C:\\Long Name\\App.exe", "C:\\LONGNA~1\\App.exe", "C:\\LONGNA~1\\App.exe", "C:\\LONGNA~1\\App.exe", true,
         true},
        {"C:\\Long Name\\App.exe", "C:\\LONGNA~1\\App.exe", "C:\\Long Name\\App.exe", "c:\\longna~1\\app.exe", true,
         true},
        // Two missing short forms are not the same short form.
        {"X.exe", kNoShortForm, "Y.exe", kNoShortForm, false, false},
        {"*X*", kNoShortForm, "C:\\a\\b.exe", kNoShortForm, true, true},  // placeholder is a plain text
        {"", kNoShortForm, "C:\\a\\b.exe", kNoShortForm, false, false},
    };
    for (const Case& c : cases) {
        const std::string exe = c.exe;
        const std::string name = exe.substr(exe.find_last_of('\\') == std::string::npos ? 0 : exe.find_last_of('\\') + 1);
        EXPECT_EQ(ExeMatchesPath(c.path, c.pathShort, exe, name, c.exeShort, c.fullPathOnly), c.match)
            << c.path << " vs " << c.exe << " full=" << c.fullPathOnly;
    }
}

// The system tool's CSV: heading, then quoted fields; the memory field has
// a comma of its own.
const char kOutput[] =
    "\r\n"
    "\"Image Name\",\"PID\",\"Session Name\",\"Session#\",\"Mem Usage\"\r\n"
    "\"System Idle Process\",\"0\",\"Services\",\"0\",\"8 K\"\r\n"
    "\"System\",\"4\",\"Services\",\"0\",\"1,224 K\"\r\n"
    "\"App.exe\",\"1200\",\"Console\",\"1\",\"12,345 K\"\r\n"
    "\"other.exe\",\"1300\",\"Console\",\"1\",\"2,000 K\"\r\n"
    "\"APP.EXE\",\"1400\",\"Console\",\"1\",\"9 K\"\r\n"
    "\r\n";

TEST(TasklistPidFromOutput, Table) {
    struct Case {
        const char* output;
        const char* name;
        bool firstMatch;
        uint32_t pid;
    } cases[] = {
        {kOutput, "App.exe", true, 1200},
        {kOutput, "App.exe", false, 1400},  // from the end
        {kOutput, "app.EXE", true, 1200},
        {kOutput, "other.exe", false, 1300},
        {kOutput, "missing.exe", true, 0},
        {kOutput, "missing.exe", false, 0},
        {kOutput, "System Idle Process", true, 0},  // id 0 never ends the search
        {kOutput, "System Idle Process", false, 0},
        {kOutput, "System", true, 4},
        {kOutput, "Image Name", true, 0},  // the heading has no number
        {kOutput, "Services", true, 0},    // only the first field is the name
        {kOutput, "", true, 0},
        {"", "App.exe", true, 0},
        // The heading is never visited from the end, even when it would
        // match.
        {"\"App.exe\",\"77\"\r\n\"Other.exe\",\"78\"", "App.exe", false, 0},
        {"\"App.exe\",\"77\"\r\n\"Other.exe\",\"78\"", "App.exe", true, 77},
        // A name with a comma splits its line: the id field is then wrong.
        {"\"h\"\r\n\"My, App.exe\",\"90\",\"Console\"", "My, App.exe", true, 0},
        {"\"h\"\r\n\"a.exe\",\"notanumber\"\r\n\"a.exe\",\"91\"", "a.exe", true, 91},
    };
    for (const Case& c : cases)
        EXPECT_EQ(TasklistPidFromOutput(c.output, c.name, c.firstMatch), c.pid)
            << c.name << " first=" << c.firstMatch;
}

TEST(ProcessStatusField, NamesAndSystemProcesses) {
    struct Case {
        uint32_t pid;
        const char* path;
        bool fullPaths, withIds;
        uint32_t kind;
        const char* field;
    } cases[] = {
        {100, "C:\\Prog\\App.exe", false, false, 1024, "App.exe"},
        {100, "C:\\Prog\\App.exe", true, false, 1024, "C:\\Prog\\App.exe"},
        {100, "C:\\Prog\\App.exe", false, true, 1024, "App.exe=100"},
        {100, "", false, true, 1024, ""},  // unreadable: left out
        {0, "", false, true, 32, "System Idle Process=0"},
        {0, "", true, false, 32, "System Idle Process"},
        {2, "", false, true, 8, "System Process=2"},
        {2, "", false, true, 16, ""},
        {8, "", false, true, 16, "System Process=8"},
        {8, "", false, true, 8, ""},
        {8, "C:\\x.exe", false, false, 32, "x.exe"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ProcessStatusField(c.pid, c.path, c.fullPaths, c.withIds, c.kind), c.field) << c.pid;
}

TEST(ListPidFromList, FirstNamedProcess) {
    const auto noShort = [](const std::string&) { return std::string(kNoShortForm); };
    const std::string list = "|explorer.exe=32|App.exe=120|App.exe=120|app.exe=140|x.exe=|";
    EXPECT_EQ(ListPidFromList(list, "App.exe", false, noShort), 120u);
    EXPECT_EQ(ListPidFromList(list, "APP.exe", true, noShort), 120u);
    EXPECT_EQ(ListPidFromList(list, "explorer.exe", false, noShort), 32u);
    EXPECT_EQ(ListPidFromList(list, "missing.exe", false, noShort), 0u);
    EXPECT_EQ(ListPidFromList(list, "x.exe", false, noShort), 0u);
    EXPECT_EQ(ListPidFromList("", "App.exe", false, noShort), 0u);
    EXPECT_EQ(ListPidFromList("|", "App.exe", false, noShort), 0u);
}

TEST(ListPidFromList, ShortFormsMatchOnlyWhenBothExist) {
    const std::map<std::string, std::string> forms = {{"Long Application.exe", "LONGAP~1.EXE"},
                                                      {"longap~1.exe", "LONGAP~1.EXE"}};
    int lookups = 0;
    const auto shortForm = [&](const std::string& name) {
        ++lookups;
        const auto f = forms.find(name);
        return f == forms.end() ? std::string(kNoShortForm) : f->second;
    };
    const std::string list = "|a.exe=1|longap~1.exe=7|b.exe=2|";
    EXPECT_EQ(ListPidFromList(list, "Long Application.exe", false, shortForm), 7u);
    lookups = 0;
    EXPECT_EQ(ListPidFromList(list, "none.exe", false, shortForm), 0u);
    EXPECT_EQ(lookups, 1);  // the file name's own look-up only
}

}  // namespace
