// The trace channel against a real viewer window: the harness's receiver
// in this process, and the kvtrace tool as a separate process.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "harness/harness.h"
#include "util/kdebug.h"
#include "util/kdebug_protocol.h"

namespace {

using namespace kv::test;

constexpr unsigned kStartMs = 60000;  // a process start under emulation is slow

// Each test needs to know which viewer window the channel will find.
bool NoViewerWindow() { return FindWindowA(kv::TraceViewerClass, nullptr) == nullptr; }

std::string Line300() { return std::string(128, 'a') + std::string(128, 'b') + std::string(44, 'c'); }

TEST(TraceViewer, LongLineArrivesAsThreeMessages) {
    kv::TraceStartup();
    ASSERT_TRUE(NoViewerWindow());
    TraceReceiver viewer;
    ASSERT_TRUE(viewer.Ready());
    ASSERT_EQ(FindWindowA(kv::TraceViewerClass, nullptr), viewer.Window());

    kv::TraceLine(Line300());
    // The send is synchronous: the text is there when TraceLine returns.
    const std::vector<std::string> expected = {std::string(128, 'a'), std::string(128, 'b'),
                                               std::string(44, 'c') + "\r\n"};
    EXPECT_EQ(viewer.Messages(), expected);
    EXPECT_EQ(viewer.Lines(), std::vector<std::string>{Line300()});
}

TEST(TraceViewer, TextThatLooksLikeAnIntegerAtomArrivesUnchanged) {
    ASSERT_TRUE(NoViewerWindow());
    TraceReceiver viewer;
    ASSERT_TRUE(viewer.Ready());

    const std::string cases[] = {"#0042", "#0", "#70000", "#12", "#", "\x01#5", "#abc"};
    for (const std::string& text : cases) {
        viewer.Clear();
        kv::TraceWrite(text);
        kv::TraceFlush();
        EXPECT_EQ(viewer.Text(), text);
    }
}

TEST(TraceViewer, NoViewerWindowMeansNoEffect) {
    ASSERT_TRUE(NoViewerWindow());
    const std::string before = ReadWholeFile(kv::DebugFileName());
    const bool existed = FileExists(kv::DebugFileName());
    for (int i = 0; i < 20; ++i) kv::TraceLine("nobody listens " + std::to_string(i));
    kv::TraceLine(Line300());
    kv::TraceWrite("unfinished");
    kv::TraceFlush();
    EXPECT_EQ(FileExists(kv::DebugFileName()), existed);
    EXPECT_EQ(ReadWholeFile(kv::DebugFileName()), before);
}

TEST(TraceViewer, ReceiverStopsCleanlyAndFreesTheClassName) {
    ASSERT_TRUE(NoViewerWindow());
    {
        TraceReceiver first;
        ASSERT_TRUE(first.Ready());
    }
    EXPECT_TRUE(NoViewerWindow());
    TraceReceiver second;
    ASSERT_TRUE(second.Ready());
    kv::TraceLine("to the second");
    EXPECT_TRUE(second.WaitFor("to the second\r\n", 1000));
}

class KvTraceTool : public ::testing::Test {
protected:
    // Starts kvtrace writing to out.txt and waits until its window exists.
    void StartViewer(const std::string& extra = std::string()) {
        ASSERT_TRUE(dir.Valid());
        ASSERT_TRUE(NoViewerWindow());
        const std::string cmd = QuoteArg(ToolPath("kvtrace")) + " --out " + QuoteArg(dir.File("out.txt")) +
                                " --ready " + QuoteArg(dir.File("ready.txt")) + extra;
        ASSERT_TRUE(viewer.Start(cmd)) << cmd;
        ASSERT_TRUE(WaitForFile(dir.File("ready.txt"), kStartMs));
        window = FindTopWindow(kv::TraceViewerClass, 5000);
        ASSERT_NE(window, nullptr);
    }

    TempDir dir;
    ChildProcess viewer;
    HWND window = nullptr;
};

TEST_F(KvTraceTool, WritesEveryTextToItsFile) {
    StartViewer();
    kv::TraceLine("hello from the test");
    kv::TraceLine(Line300());
    kv::TraceWrite("#0042");
    kv::TraceFlush();

    PostMessageA(window, WM_CLOSE, 0, 0);
    ASSERT_TRUE(viewer.Wait(kStartMs));
    uint32_t code = 99;
    ASSERT_TRUE(viewer.ExitCode(code));
    EXPECT_EQ(code, 0u);
    EXPECT_EQ(ReadWholeFile(dir.File("out.txt")), "hello from the test\r\n" + Line300() + "\r\n#0042");
}

TEST_F(KvTraceTool, QuitsAfterTheGivenSeconds) {
    StartViewer(" --seconds 1");
    ASSERT_TRUE(viewer.Wait(kStartMs));
    uint32_t code = 99;
    ASSERT_TRUE(viewer.ExitCode(code));
    EXPECT_EQ(code, 0u);
}

TEST(KvTraceOptions, HelpAndBadOptions) {
    struct Case { std::string args; uint32_t code; } cases[] = {
        {" --help", 0}, {" --bogus", 2}, {" --seconds", 2}, {" --seconds 0", 2}, {" --seconds x", 2},
    };
    for (const auto& c : cases) {
        uint32_t code = 99;
        ASSERT_TRUE(RunProcess(QuoteArg(ToolPath("kvtrace")) + c.args, "", kStartMs, code)) << c.args;
        EXPECT_EQ(code, c.code) << c.args;
    }
}

}  // namespace
