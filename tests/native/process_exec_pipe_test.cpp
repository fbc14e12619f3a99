#include "util/exec_pipe_rules.h"

#include <gtest/gtest.h>

#include <string>

using namespace kv;

namespace {

TEST(CapturedCommandLine, QuotesOnlyUnquotedCommandsWithBlanks) {
    struct Case {
        const char* command;
        const char* parameters;
        const char* line;
    } cases[] = {
        {"tasklist.exe", "/FO csv", "tasklist.exe /FO csv"},
        {"C:\\Program Files\\a.exe", "", "\"C:\\Program Files\\a.exe\""},
        {"C:\\Program Files\\a.exe", "-x", "\"C:\\Program Files\\a.exe\" -x"},
        {"\"C:\\Program Files\\a.exe\" -y", "-x", "\"C:\\Program Files\\a.exe\" -y -x"},
        {"cmd.exe", "", "cmd.exe"},
        {"", "", ""},
    };
    for (const Case& c : cases) EXPECT_EQ(CapturedCommandLine(c.command, c.parameters), c.line) << c.command;
}

TEST(CaptureStartFailureText, CommandLineThenErrorText) {
    EXPECT_EQ(CaptureStartFailureText("missing.exe /a", "The system cannot find the file specified."),
              "missing.exe /a --- The system cannot find the file specified.");
    const std::string longLine(300, 'a');
    EXPECT_EQ(CaptureStartFailureText(longLine, "E"), std::string(256, 'a') + " --- E");
    EXPECT_EQ(CaptureStartFailureText(std::string(kMaxCommandLine, 'b'), "E"), std::string(256, 'b') + " --- E");
    EXPECT_EQ(CaptureStartFailureText(std::string(kMaxCommandLine + 1, 'b'), "E"), "Command line is too long");
}

TEST(NextPollInterval, ShrinksWhileOutputComes) {
    EXPECT_EQ(NextPollInterval(100, false), 100u);
    EXPECT_EQ(NextPollInterval(100, true), 90u);
    EXPECT_EQ(NextPollInterval(11, true), 1u);
    EXPECT_EQ(NextPollInterval(10, true), 10u);
    EXPECT_EQ(NextPollInterval(1, true), 1u);
    uint32_t interval = 100;
    for (int i = 0; i < 20; ++i) interval = NextPollInterval(interval, true);
    EXPECT_EQ(interval, 10u);
}

}  // namespace
