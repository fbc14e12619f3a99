// The task-list stand-in's output, read back with the stub's own reader.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "util/process_match.h"
#include "win/tasklist/tasklist_format.h"

using namespace kv;
using namespace kv::tasklist;

namespace {

std::vector<Task> Tasks() {
    return {{"", 0, 0, 8 * 1024},
            {"System", 4, 0, 1224 * 1024},
            {"explorer.exe", 32, 1, 1234567 * 1024ull},
            {"App.exe", 120, 1, 999 * 1024},
            {"app.exe", 140, 1, 1000 * 1024}};
}

Options Parse(const std::vector<std::string>& args) {
    Options o;
    std::string error;
    EXPECT_TRUE(ParseOptions(args, o, error)) << error;
    return o;
}

TEST(TasklistStandIn, CsvHasTheToolsExactShape) {
    EXPECT_EQ(Render(Tasks(), Parse({"/FO", "csv"})),
              "\"Image Name\",\"PID\",\"Session Name\",\"Session#\",\"Mem Usage\"\r\n"
              "\"System Idle Process\",\"0\",\"Services\",\"0\",\"8 K\"\r\n"
              "\"System\",\"4\",\"Services\",\"0\",\"1,224 K\"\r\n"
              "\"explorer.exe\",\"32\",\"Console\",\"1\",\"1,234,567 K\"\r\n"
              "\"App.exe\",\"120\",\"Console\",\"1\",\"999 K\"\r\n"
              "\"app.exe\",\"140\",\"Console\",\"1\",\"1,000 K\"\r\n");
    EXPECT_EQ(Render({Tasks()[3]}, Parse({"/fo", "CSV", "/nh"})), "\"App.exe\",\"120\",\"Console\",\"1\",\"999 K\"\r\n");
}

TEST(TasklistStandIn, TableAndListShapes) {
    EXPECT_EQ(Render({Tasks()[2]}, Parse({})),
              "\r\n"
              "Image Name                     PID Session Name        Session#    Mem Usage\r\n"
              "========================= ======== ================ =========== ============\r\n"
              "explorer.exe                    32 Console                    1  1,234,567 K\r\n");
    EXPECT_EQ(Render({Tasks()[3]}, Parse({"/FO", "LIST"})),
              "\r\nImage Name:   App.exe\r\nPID:          120\r\nSession Name: Console\r\n"
              "Session#:     1\r\nMem Usage:    999 K\r\n");
}

TEST(TasklistStandIn, TheStubsSearchReadsItsCsv) {
    const std::string out = Render(Tasks(), Parse({"/FO", "csv"}));
    EXPECT_EQ(TasklistPidFromOutput(out, "App.exe", true), 120u);
    EXPECT_EQ(TasklistPidFromOutput(out, "App.exe", false), 140u);
    EXPECT_EQ(TasklistPidFromOutput(out, "explorer.exe", false), 32u);
    EXPECT_EQ(TasklistPidFromOutput(out, "System Idle Process", true), 0u);
}

TEST(TasklistStandIn, Filters) {
    struct Case {
        const char* filter;
        std::vector<uint32_t> pids;
    } cases[] = {
        {"IMAGENAME eq app.exe", {120, 140}},
        {"imagename ne App.exe", {0, 4, 32}},
        {"IMAGENAME eq ex*", {32}},
        {"PID eq 4", {4}},
        {"PID gt 32", {120, 140}},
        {"PID le 4", {0, 4}},
        {"SESSION eq 0", {0, 4}},
        {"SESSIONNAME eq console", {32, 120, 140}},
        {"MEMUSAGE ge 1000", {4, 32, 140}},
        {"PID eq 7", {}},
    };
    for (const Case& c : cases) {
        const Options o = Parse({"/FI", c.filter, "/FO", "CSV", "/NH"});
        std::vector<uint32_t> pids;
        for (const Task& t : Tasks())
            if (Passes(t, o.filters.at(0))) pids.push_back(t.pid);
        EXPECT_EQ(pids, c.pids) << c.filter;
    }
    EXPECT_EQ(Render(Tasks(), Parse({"/FI", "PID eq 7"})),
              "INFO: No tasks are running which match the specified criteria.\r\n");
}

TEST(TasklistStandIn, RefusesWhatTheToolRefuses) {
    struct Case {
        std::vector<std::string> args;
        const char* error;
    } cases[] = {
        {{"/X"}, "ERROR: Invalid argument/option - '/X'."},
        {{"/FO", "xml"}, "ERROR: Invalid argument/option - 'xml'."},
        {{"/FO"}, "ERROR: Invalid syntax. Value expected for '/FO'."},
        {{"/FI", "COLOR eq red"}, "ERROR: The search filter cannot be recognized."},
        {{"/FI", "IMAGENAME gt a"}, "ERROR: The search filter cannot be recognized."},
        {{"/FI", "PID eq x"}, "ERROR: The search filter cannot be recognized."},
        {{"/FI", "PID eq 99999999999999999999"}, "ERROR: The search filter cannot be recognized."},
        {{"/FO", "LIST", "/NH"}, "ERROR: Invalid syntax. /NH option is valid only for \"TABLE\" and \"CSV\" formats."},
    };
    for (const Case& c : cases) {
        Options o;
        std::string error;
        EXPECT_FALSE(ParseOptions(c.args, o, error)) << c.error;
        EXPECT_EQ(error, c.error);
    }
}

}  // namespace
