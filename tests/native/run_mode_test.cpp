#include <gtest/gtest.h>

#include "stub/run_mode.h"
#include "stub/runlog.h"

namespace kv {
namespace {

TEST(RunMode, DecisionTableFirstRuleWins) {
    struct Case {
        bool ownClass, agent;
        const char* file;
        const char* agentName;
        bool spanned;
        int64_t level;
        RunRole expected;
    } cases[] = {
        {true, true, "Agent.exe", "Agent.exe", false, 1, RunRole::AlreadyRunning},
        {true, false, "setup.exe", ".exe", true, 1, RunRole::AlreadyRunning},
        {false, true, "agent.EXE", " Agent.exe ", false, 1, RunRole::PlainAgent},
        {false, true, "X_Agent.exe", "Agent.exe", false, 1, RunRole::XAgent},
        {false, true, "x_agent.exe", "Agent.exe", true, 1, RunRole::XAgent},
        {false, false, "Agent.exe", "Agent.exe", false, 1, RunRole::MainWindow},  // not an agent package
        {false, true, "Other.exe", "Agent.exe", false, 1, RunRole::MainWindow},
        {false, false, "setup.exe", ".exe", true, 1, RunRole::SpanRelaunch},
        {false, false, "setup.exe", ".exe", true, 2, RunRole::MainWindow},
        {false, false, "setup.exe", ".exe", true, 3, RunRole::MainWindow},
        {false, false, "setup.exe", ".exe", false, 1, RunRole::MainWindow},
    };
    for (const auto& c : cases) {
        RoleInputs in;
        in.ownClassExists = c.ownClass;
        in.isAgentPackage = c.agent;
        in.fileName = c.file;
        in.agentExeName = c.agentName;
        in.isSpanned = c.spanned;
        in.spanLevel = c.level;
        EXPECT_EQ(DecideRole(in), c.expected) << c.file << " level " << c.level;
    }
}

TEST(RunMode, WindowClassNames) {
    EXPECT_EQ(WindowClassNameFor(true, "C:\\P\\Agent.v2.exe"), ".AutoUpdate.Agent.v2");
    EXPECT_EQ(WindowClassNameFor(false, "C:\\P\\setup.exe"), "C:\\P\\setup.exe");
    EXPECT_EQ(XAgentWindowClass("Agent.exe"), ".AutoUpdate.X_Agent");
}

TEST(RunLog, FileNameGetsThePrefixOnce) {
    EXPECT_EQ(LogFileNameFor("C:\\P\\Agent.exe"), "C:\\P\\X_Agent.log");
    EXPECT_EQ(LogFileNameFor("C:\\P\\X_Agent.exe"), "C:\\P\\X_Agent.log");
    EXPECT_EQ(LogFileNameFor("C:\\P\\x_agent.exe"), "C:\\P\\X_x_agent.log");  // case-sensitive
    EXPECT_EQ(LogFileNameFor("C:\\P\\noext"), "C:\\P\\X_noext.log");
}

TEST(RunLog, LineShape) {
    const LogClock t{5, 3, 2026, 7, 8, 9};
    EXPECT_EQ(FormatLogLine(t, '/', ':', 42, "   ", "hello"), "05/03/26 07:08:09    42   hello\r\n");
    EXPECT_EQ(FormatLogLine(t, '.', '.', 1234567, " X ", ""), "05.03.26 07.08.09 1234567 X \r\n");
}

}  // namespace
}  // namespace kv
