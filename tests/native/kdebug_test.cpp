#include "util/kdebug.h"
#include "util/kdebug_protocol.h"
#include "util/kdebug_sink.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <functional>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

using namespace std::string_literals;

namespace {

// Collects every chunk the sender dispatches while it lives.
class ChunkRecorder {
public:
    ChunkRecorder() {
        kv::TraceFlush();  // nothing left over from an earlier test
        kv::SetTraceSinkForTests([this](std::string_view c) { chunks.emplace_back(c); });
    }
    ~ChunkRecorder() { kv::SetTraceSinkForTests(nullptr); }
    ChunkRecorder(const ChunkRecorder&) = delete;
    ChunkRecorder& operator=(const ChunkRecorder&) = delete;
    std::vector<std::string> chunks;
};

TEST(TraceChannel, LinesReachTheSenderInChunksOfTheBufferSize) {
    const std::string s127(127, 'a'), s128(128, 'b'), s300 = std::string(128, 'x') + std::string(128, 'y') + std::string(44, 'z');
    struct Case { std::string line; std::vector<std::string> chunks; } cases[] = {
        {"", {"\r\n"}},
        {"abc", {"abc\r\n"}},
        // The line end itself may be split between two chunks.
        {s127, {s127 + "\r", "\n"}},
        {s128, {s128, "\r\n"}},
        {s300, {std::string(128, 'x'), std::string(128, 'y'), std::string(44, 'z') + "\r\n"}},
    };
    for (const auto& c : cases) {
        ChunkRecorder rec;
        kv::TraceLine(c.line);
        EXPECT_EQ(rec.chunks, c.chunks) << "line of " << c.line.size();
    }
}

TEST(TraceChannel, WriteWithoutLineEndWaitsForFlush) {
    ChunkRecorder rec;
    kv::TraceWrite("ab");
    kv::TraceWrite("cd");
    EXPECT_TRUE(rec.chunks.empty());
    kv::TraceFlush();
    kv::TraceFlush();  // an empty buffer sends nothing
    EXPECT_EQ(rec.chunks, std::vector<std::string>{"abcd"});
}

TEST(TraceChannel, FullBufferIsSentWithoutFlush) {
    ChunkRecorder rec;
    kv::TraceWrite(std::string(100, 'a'));
    kv::TraceWrite(std::string(60, 'b'));
    ASSERT_EQ(rec.chunks.size(), 1u);
    EXPECT_EQ(rec.chunks[0], std::string(100, 'a') + std::string(28, 'b'));
    kv::TraceFlush();
    ASSERT_EQ(rec.chunks.size(), 2u);
    EXPECT_EQ(rec.chunks[1], std::string(32, 'b'));
}

TEST(TraceChannel, FailingDispatcherIsSwallowedAndBufferCleared) {
    int calls = 0;
    kv::TraceFlush();
    kv::SetTraceSinkForTests([&](std::string_view) {
        ++calls;
        throw std::runtime_error("viewer gone");
    });
    EXPECT_NO_THROW(kv::TraceLine("lost"));
    EXPECT_EQ(calls, 1);
    kv::SetTraceSinkForTests(nullptr);

    ChunkRecorder rec;
    kv::TraceLine("next");
    EXPECT_EQ(rec.chunks, std::vector<std::string>{"next\r\n"});
}

TEST(TraceChannel, TextWrittenDuringDispatchStartsANewChunk) {
    // The Win32 dispatcher sends a message; a handler that runs meanwhile
    // may write a trace line of its own.
    std::vector<std::string> chunks;
    bool nested = false;
    kv::TraceFlush();
    kv::SetTraceSinkForTests([&](std::string_view c) {
        chunks.emplace_back(c);
        if (!nested) {
            nested = true;
            kv::TraceLine("inner");
        }
    });
    kv::TraceLine("outer");
    kv::SetTraceSinkForTests(nullptr);
    EXPECT_EQ(chunks, (std::vector<std::string>{"outer\r\n", "inner\r\n"}));
}

TEST(NormalizeLineEnds, Table) {
    struct Case { std::string in, out; } cases[] = {
        {"", ""},
        {"abc", "abc"},
        {"a\r\nb", "a\r\nb"},
        {"a\rb", "a\r\nb"},
        {"a\nb", "a\r\nb"},
        {"\n\r", "\r\n\r\n"},
        {"\r\r\n", "\r\n\r\n"},
        {"\r\n\r\n", "\r\n\r\n"},
        {"a\n\nb\r", "a\r\n\r\nb\r\n"},
        {"a\0b"s, "a\r\nb"},
    };
    for (const auto& c : cases) EXPECT_EQ(kv::NormalizeLineEnds(c.in), c.out) << c.in;
}

TEST(TraceAtomText, EscapesOnlyWhatTheAtomTableWouldMisread) {
    struct Case { std::string chunk, atomText; } cases[] = {
        {"abc\r\n", "abc\r\n"},
        {"#", "\x01#"},
        {"#123", "\x01#123"},
        {"#0042", "\x01#0042"},
        {"#7 items\r\n", "\x01#7 items\r\n"},
        {"#abc", "#abc"},
        {"a#123", "a#123"},
        {"\x01x", "\x01\x01x"},
        {"", ""},
    };
    for (const auto& c : cases) {
        const std::string sent = kv::TraceChunkToAtomText(c.chunk);
        EXPECT_EQ(sent, c.atomText) << c.chunk;
        EXPECT_EQ(std::string(kv::TraceAtomTextToChunk(sent)), c.chunk) << c.chunk;
        EXPECT_LE(sent.size(), kv::TraceBufferSize + 1);
    }
}

std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

TEST(AppendDebugFile, CreatesThenAppends) {
    char dir[] = "/tmp/kdebug_test_XXXXXX";
    ASSERT_NE(mkdtemp(dir), nullptr);
    const std::string path = std::string(dir) + "/_kdebug.txt";
    EXPECT_TRUE(kv::AppendDebugFile(path, "one\r\n"));
    EXPECT_TRUE(kv::AppendDebugFile(path, ""));
    EXPECT_TRUE(kv::AppendDebugFile(path, "two\r\n"));
    EXPECT_EQ(ReadAll(path), "one\r\ntwo\r\n");
    EXPECT_FALSE(kv::AppendDebugFile(std::string(dir) + "/missing/_kdebug.txt", "x"));
    std::remove(path.c_str());
    rmdir(dir);
}

}  // namespace
