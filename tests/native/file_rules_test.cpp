// The pure rules behind the file helpers: how a text is cut into write
// calls, which path the free-space query is asked about, and the
// self-delete script.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "util/disk_free_path.h"
#include "util/file_chunks.h"
#include "util/self_delete_script.h"

using namespace kv;

namespace {

constexpr size_t MiB = 1048576;

// Records every write call; writes at most `limit` bytes per call, and
// nothing from call number `failAt` (1-based) on.
struct RecordingWriter {
    size_t limit = SIZE_MAX;
    size_t failAt = 0;
    std::vector<size_t> calls;
    std::string out;
    size_t operator()(const char* p, size_t n) {
        calls.push_back(n);
        if (failAt != 0 && calls.size() >= failAt) return 0;
        const size_t w = n < limit ? n : limit;
        out.append(p, w);
        return w;
    }
};

// Runs of equal sizes: {209715, 10}, {2, 1}.
std::vector<std::pair<size_t, int>> Runs(const std::vector<size_t>& sizes) {
    std::vector<std::pair<size_t, int>> runs;
    for (size_t s : sizes) {
        if (!runs.empty() && runs.back().first == s) {
            ++runs.back().second;
        } else {
            runs.push_back({s, 1});
        }
    }
    return runs;
}

std::string Pattern(size_t n) {
    std::string s(n, '\0');
    for (size_t i = 0; i < n; ++i) s[i] = char('a' + (i * 7 + i / 4093) % 26);
    return s;
}

TEST(WriteChunks, ChunkSizeRule) {
    const std::pair<size_t, size_t> cases[] = {
        {0, 0},        {500, 500},           {1024, 1024},       {10240, 1024},
        {10249, 1024}, {10250, 1025},        {2 * MiB, 209715},  {10 * MiB, MiB},
        {10 * MiB + 9, MiB}, {40 * MiB, MiB},
    };
    for (const auto& c : cases) EXPECT_EQ(WriteChunkSize(c.first), c.second) << c.first;
}

TEST(WriteChunks, CallsPerTextSize) {
    struct Case {
        size_t size;
        std::vector<std::pair<size_t, int>> runs;
    };
    const Case cases[] = {
        {10 * MiB, {{MiB, 10}}},
        {2 * MiB, {{209715, 10}, {2, 1}}},
        {MiB, {{MiB, 1}}},
        {MiB + 1, {{104857, 10}, {7, 1}}},
        {25 * MiB + 3, {{MiB, 25}, {3, 1}}},
        {5, {{5, 1}}},
        {0, {}},
    };
    for (const Case& c : cases) {
        const std::string data = Pattern(c.size);
        RecordingWriter w;
        EXPECT_EQ(WriteWholeText(data, w), c.size) << c.size;
        EXPECT_EQ(Runs(w.calls), c.runs) << c.size;
        EXPECT_TRUE(w.out == data) << c.size;  // in order, nothing lost
    }
}

TEST(WriteChunks, StopsAtTheFirstCallThatWritesNothing) {
    const std::string data = Pattern(2 * MiB);
    RecordingWriter w;
    w.failAt = 4;
    EXPECT_EQ(WriteWholeText(data, w), 3 * 209715u);
    EXPECT_EQ(w.calls.size(), 4u);
    EXPECT_TRUE(w.out == data.substr(0, 3 * 209715));
}

TEST(WriteChunks, ShortWritesContinueWhereTheyStopped) {
    const std::string data = Pattern(3 * MiB);
    RecordingWriter w;
    w.limit = 100000;
    EXPECT_EQ(WriteWholeText(data, w), data.size());
    EXPECT_TRUE(w.out == data);
    for (size_t n : w.calls) EXPECT_LE(n, WriteChunkSize(data.size()));
}

TEST(DiskFreePath, QueryPathTable) {
    struct Case {
        const char* path;
        bool extended;
        const char* query;
    };
    const Case cases[] = {
        {"D:/Data/X", true, "D:\\Data"},
        {"D:/Data/X", false, "D:\\"},
        {"", true, ""},
        {"", false, ""},
        {"c:", true, "C:\\"},
        {"d", true, "D:\\"},
        {"C:\\", true, "C:\\"},
        {"C:\\Temp", true, "C:\\Temp"},
        {"C:\\Temp\\", true, "C:\\Temp"},
        {"C:\\Temp\\Sub\\Deeper", true, "C:\\Temp"},
        {"c:\\temp\\sub", false, "C:\\"},
        {"e:relative\\x", true, "e:relative"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(DiskFreeQueryPath(c.path, c.extended), c.query) << c.path << " " << c.extended;
    }
}

TEST(DiskFreePath, DriveRoot) {
    EXPECT_EQ(DriveRootOf("x:\\a\\b"), "X:\\");
    EXPECT_EQ(DriveRootOf("q"), "Q:\\");
    EXPECT_EQ(DriveRootOf(""), "");
}

TEST(SelfDeleteScript, LinesWithAndWithoutTheFolder) {
    const std::string prog = "C:\\My App\\setup.exe";
    const std::string folder = "C:\\My App";
    const std::string batch = "C:\\Temp\\_DEL_ME_.BAT";
    EXPECT_EQ(SelfDeleteScript(prog, folder, batch, "\"", true),
              ":START\r\n"
              "DEL \"C:\\My App\\setup.exe\"\r\n"
              "IF exist \"C:\\My App\\setup.exe\" GOTO START\r\n"
              "RD \"C:\\My App\"\r\n"
              "DEL \"C:\\Temp\\_DEL_ME_.BAT\"\r\n");
    EXPECT_EQ(SelfDeleteScript(prog, folder, batch, "\"", false),
              ":START\r\n"
              "DEL \"C:\\My App\\setup.exe\"\r\n"
              "IF exist \"C:\\My App\\setup.exe\" GOTO START\r\n"
              "DEL \"C:\\Temp\\_DEL_ME_.BAT\"\r\n");
}

TEST(SelfDeleteScript, ShortNamesGoUnquoted) {
    EXPECT_EQ(SelfDeleteScript("C:\\MYAPP~1\\SETUP.EXE", "C:\\MYAPP~1", "C:\\TEMP\\_DEL_ME_.BAT", "", true),
              ":START\r\n"
              "DEL C:\\MYAPP~1\\SETUP.EXE\r\n"
              "IF exist C:\\MYAPP~1\\SETUP.EXE GOTO START\r\n"
              "RD C:\\MYAPP~1\r\n"
              "DEL C:\\TEMP\\_DEL_ME_.BAT\r\n");
}

}  // namespace
