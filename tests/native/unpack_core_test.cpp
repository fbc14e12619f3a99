// The unpacker's portable half: names, entry decoding, inflating, block
// framing and the agent copy's bytes.
#include "package/unpack_core.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <climits>
#include <string>
#include <vector>

#include "pack_test_util.h"
#include "package/unpack.h"

namespace kv {
namespace {

using testing::FakePe;
using testing::Get32;
using testing::Put32;

class CountingVisitor : public BlockVisitor {
public:
    void Pump() override { ++pumps; }
    void OnFileEntry(FileEntry& e) override { entries.push_back(e); }
    int pumps = 0;
    std::vector<FileEntry> entries;
};

std::string Deflate(const std::string& in, int level = 9) {
    uLongf n = compressBound(uLong(in.size()));
    std::string out(n, '\0');
    EXPECT_EQ(compress2(reinterpret_cast<Bytef*>(&out[0]), &n, reinterpret_cast<const Bytef*>(in.data()),
                        uLong(in.size()), level),
              Z_OK);
    out.resize(n);
    return out;
}

std::string Block(int32_t length, const std::string& bytes) {
    std::string b(4, '\0');
    Put32(b, 0, uint32_t(length));
    return b + bytes;
}

std::string Repeated(size_t n) {
    std::string s;
    while (s.size() < n) s += "abcdefghij0123456789";
    s.resize(n);
    return s;
}

// ---- Segment names ----------------------------------------------------------

TEST(UnpackNames, BaseNameDropsOnlyAFinalFirstSegmentSuffix) {
    const struct { const char* path; const char* base; } cases[] = {
        {"D:\\setup.exe.001", "D:\\setup.exe"},
        {"D:\\setup.exe", "D:\\setup.exe"},
        {"D:\\setup.001.001", "D:\\setup.001"},
        {"D:\\setup.exe.002", "D:\\setup.exe.002"},
        {".001", ""},
        {"001", "001"},
    };
    for (const auto& c : cases) EXPECT_EQ(SegmentBaseName(c.path), c.base) << c.path;
}

TEST(UnpackNames, FurtherSegmentsCarryAtLeastThreeDigits) {
    const struct { int n; const char* name; } cases[] = {
        {2, "D:\\setup.exe.002"}, {12, "D:\\setup.exe.012"}, {999, "D:\\setup.exe.999"}, {1000, "D:\\setup.exe.1000"}};
    for (const auto& c : cases) EXPECT_EQ(SegmentFileName("D:\\setup.exe", c.n), c.name);
}

TEST(UnpackNames, DiskPromptReplacesEveryMarkerInAnyCase) {
    EXPECT_EQ(DiskPromptText("Please insert <B>DISK #<DISK_NUM></B> and press OK", 3),
              "Please insert <B>DISK #3</B> and press OK");
    EXPECT_EQ(DiskPromptText("<disk_num>/<Disk_Num>", 12), "12/12");
    EXPECT_EQ(DiskPromptText("no marker", 2), "no marker");
}

TEST(UnpackNames, AgentCopyOnlyFromProgramFiles) {
    const struct { const char* path; bool carrier; } cases[] = {
        {"C:\\a\\Setup.exe", true}, {"C:\\a\\SETUP.EXE", true}, {"C:\\a\\setup.Exe.001", true},
        {"C:\\a\\setup.exe.002", false}, {"C:\\a\\setup.bin", false}, {"C:\\a\\setup.001", false},
        {"C:\\a\\exe", false}};
    for (const auto& c : cases) EXPECT_EQ(IsAgentCarrier(c.path), c.carrier) << c.path;
}

TEST(UnpackNames, OnlyPlainFileNamesMayBeWritten) {
    const struct { const char* name; bool plain; } cases[] = {
        {"Engine.exe", true}, {"readme", true}, {"a b.txt", true}, {".hidden", true}, {"x..y", true},
        {"\xE4\xF6.txt", true},
        {"", false}, {".", false}, {"..", false}, {"...", false}, {". .", false},
        {"..\\evil.exe", false}, {"../evil.exe", false}, {"sub\\file.txt", false}, {"sub/file.txt", false},
        {"C:evil.exe", false}, {"C:\\Windows\\evil.exe", false}, {"\\\\server\\share\\x", false},
        {"file.txt:stream", false}, {"a<b", false}, {"a>b", false}, {"a\"b", false}, {"a|b", false},
        {"a?b", false}, {"a*b", false}, {"tab\there", false}, {"del\x7f", false},
        {"CON", false}, {"con.txt", false}, {"NUL", false}, {"Aux.dat", false}, {"prn", false},
        {"COM1", false}, {"lpt9.log", false}, {"CON .txt", false}, {"CONSOLE", true}, {"COM", true},
        {"COM10", true},
    };
    for (const auto& c : cases) EXPECT_EQ(IsPlainFileName(c.name), c.plain) << "'" << c.name << "'";
}

// ---- File entries -----------------------------------------------------------

TEST(UnpackEntry, DecodesHeaderNameDateAndEngineMark) {
    const struct {
        std::string payload;
        bool kept;
        const char* name;
        int32_t date;
        std::string content;
        const char* engine;  // nullptr: no mark
    } cases[] = {
        {std::string("|Engine.exe*|1234|\0MZ", 21), true, "Engine.exe", 1234, "MZ", "Engine.exe*"},
        {std::string("|Setup.exe*/Q|5|\0x", 18), true, "Setup.exe", 5, "x", "Setup.exe*/Q"},
        {std::string("|a.txt|0|\0hello", 15), true, "a.txt", 0, "hello", nullptr},
        {std::string("|a.txt||\0", 9), true, "a.txt", 0, "", nullptr},
        {std::string("|a.txt|x12|\0", 12), true, "a.txt", 0, "", nullptr},
        {std::string("|a.txt|4294967295|\0", 19), true, "a.txt", -1, "", nullptr},
        {std::string("|a.txt|4294967296|\0", 19), true, "a.txt", 0, "", nullptr},
        {std::string("|a.txt|1*|\0z", 12), true, "a.txt", 0, "z", "|a.txt|1*|"},
        {std::string("|b|7|\0a\0b\0", 10), true, "b", 7, std::string("a\0b\0", 4), nullptr},
        {std::string("\0content", 8), false, "", 0, "", nullptr},
        {std::string("no zero byte"), false, "", 0, "", nullptr},
        {std::string(), false, "", 0, "", nullptr},
    };
    for (const auto& c : cases) {
        FileEntry e;
        ASSERT_EQ(DecodeFileEntry(c.payload, e), c.kept) << c.payload;
        if (!c.kept) continue;
        EXPECT_EQ(e.name, c.name);
        EXPECT_EQ(e.date, c.date) << c.payload;
        EXPECT_EQ(e.content, c.content) << c.payload;
        EXPECT_EQ(e.marksEngine, c.engine != nullptr) << c.payload;
        if (c.engine != nullptr) EXPECT_EQ(e.engineCommand, c.engine);
    }
}

// ---- Inflating --------------------------------------------------------------

TEST(UnpackInflate, RoundTripsAcrossBufferGrowth) {
    // Sizes around the 256-byte grain and far beyond the packed size, so
    // the buffer grows many times.
    for (size_t n : {size_t(0), size_t(1), size_t(255), size_t(256), size_t(257), size_t(70000), size_t(3000000)}) {
        const std::string plain = Repeated(n);
        CountingVisitor v;
        EXPECT_EQ(InflateBlock(Deflate(plain), 0, v), plain) << n;
        if (n >= 70000) EXPECT_GT(v.pumps, 0) << n;
    }
    const std::string noise = testing::FakePe(100000);
    CountingVisitor v;
    EXPECT_EQ(InflateBlock(Deflate(noise, 0), 0, v), noise);
}

TEST(UnpackInflate, GrowthIsGeometric) {
    // 3 MB from a packed stream of a few KB: growing by the packed length
    // would take hundreds of rounds; doubling takes about a dozen.
    const std::string plain = Repeated(3000000);
    const std::string packed = Deflate(plain);
    CountingVisitor v;
    ASSERT_EQ(InflateBlock(packed, 0, v).size(), plain.size());
    EXPECT_LT(v.pumps, 24);
}

TEST(UnpackInflate, DamagedStreamsThrowWithZlibsText) {
    const std::string good = Deflate(Repeated(5000));
    std::string badHeader = good;
    badHeader[0] = char(badHeader[0] ^ 0x40);
    std::string badData = good;
    badData[good.size() / 2] = char(badData[good.size() / 2] ^ 0xFF);
    std::string badCheck = good;
    badCheck[good.size() - 1] = char(badCheck[good.size() - 1] ^ 0x01);
    const struct { std::string packed; const char* text; } cases[] = {
        {badHeader, "incorrect header check"},
        {badCheck, "incorrect data check"},
        {good.substr(0, good.size() / 2), "buffer error"},
        {std::string(), "buffer error"},
        {badData, nullptr},  // some zlib complaint, whichever it finds first
    };
    for (const auto& c : cases) {
        CountingVisitor v;
        try {
            InflateBlock(c.packed, 0, v);
            ADD_FAILURE() << "no error for case " << (c.text ? c.text : "data");
        } catch (const DecompressionError& e) {
            EXPECT_NE(std::string(e.what()), "");
            if (c.text != nullptr) EXPECT_EQ(std::string(e.what()), c.text);
        }
    }
}

TEST(UnpackInflate, LimitRefusesLargerResults) {
    const std::string packed = Deflate(Repeated(100000));
    CountingVisitor v;
    EXPECT_THROW(InflateBlock(packed, 50000, v), DecompressionError);
    EXPECT_EQ(InflateBlock(packed, 200000, v).size(), 100000u);
}

// ---- Blocks -----------------------------------------------------------------

// A source that claims more bytes than it can give (a file that shrank).
class ShrunkSource final : public ByteSource {
public:
    ShrunkSource(std::string bytes, uint64_t claimed) : inner_(std::move(bytes)), claimed_(claimed) {}
    uint64_t Size() const override { return claimed_; }
    size_t ReadAt(uint64_t offset, void* dst, size_t n) const override { return inner_.ReadAt(offset, dst, n); }

private:
    MemorySource inner_;
    uint64_t claimed_;
};

TEST(UnpackBlocks, ReadsInPiecesAndKeepsTheSign) {
    const std::string body = FakePe(200000);
    for (int32_t sign : {1, -1}) {
        const MemorySource src(Block(sign * int32_t(body.size()), body) + "tail");
        CountingVisitor v;
        RawBlock b;
        ASSERT_EQ(ReadBlock(src, 0, src.Size(), b, v), BlockStatus::Ok);
        EXPECT_EQ(b.Compressed(), sign > 0);
        EXPECT_EQ(b.bytes, body);
        EXPECT_EQ(v.pumps, 4);  // 200000 bytes in pieces of 65536
    }
}

TEST(UnpackBlocks, LengthsPastTheEndAreRefusedBeforeAnyAllocation) {
    const struct { int32_t length; size_t have; BlockStatus status; } cases[] = {
        {10, 10, BlockStatus::Ok},
        {-10, 10, BlockStatus::Ok},
        {0, 0, BlockStatus::Ok},
        {11, 10, BlockStatus::PastEnd},
        {-11, 10, BlockStatus::PastEnd},
        {INT32_MAX, 10, BlockStatus::PastEnd},
        {INT32_MIN, 10, BlockStatus::PastEnd},
        {INT32_MIN + 1, 10, BlockStatus::PastEnd},
    };
    for (const auto& c : cases) {
        const MemorySource src(Block(c.length, std::string(c.have, 'x')));
        CountingVisitor v;
        RawBlock b;
        EXPECT_EQ(ReadBlock(src, 0, src.Size(), b, v), c.status) << c.length;
    }
    const MemorySource three(std::string(3, '\0'));
    CountingVisitor v;
    RawBlock b;
    EXPECT_EQ(ReadBlock(three, 0, three.Size(), b, v), BlockStatus::PastEnd);
    EXPECT_EQ(ReadBlock(three, 5, three.Size(), b, v), BlockStatus::PastEnd);
}

TEST(UnpackBlocks, AFileThatGivesLessIsAShortReadNotAWait) {
    const ShrunkSource src(Block(100000, std::string(70000, 'x')), 100004);
    CountingVisitor v;
    RawBlock b;
    EXPECT_EQ(ReadBlock(src, 0, src.Size(), b, v), BlockStatus::ShortRead);
}

// ---- Agent copy -------------------------------------------------------------

TEST(UnpackAgentCopy, UnsignedImageWithAgentTrailer) {
    std::string image = FakePe(1024);
    Put32(image, 248, 0);
    Put32(image, 252, 0x12345678);
    TPackTrailer t;
    t.Byte0 = 1;
    t.HeaderCount = 2;
    t.PackageStart = 1000;
    t.FilesCount = 25;
    t.Magic = kPackMagic;
    t.Checksum = 1234;
    t.Opaque = {1, 2, 3, 4, 5, 6, 7, 8};
    t.InstallAgent = 1;
    t.TrailerSize = 70;
    const std::string copy = AgentCopyBytes(image, t);
    ASSERT_EQ(copy.size(), image.size() + 74);
    EXPECT_EQ(Get32(copy, 252), 0u);
    EXPECT_EQ(copy.substr(0, 252), image.substr(0, 252));
    EXPECT_EQ(copy.substr(256, image.size() - 256), image.substr(256));
    EXPECT_EQ(copy[image.size() + 69], 1);
    EXPECT_EQ(Get32(copy, copy.size() - 4), 74u);

    TPackTrailer read;
    ASSERT_TRUE(ReadTrailer(MemorySource(copy), read));
    TPackTrailer want = t;
    want.IsAutoUpdateProgram = 1;
    want.TrailerSize = 74;
    EXPECT_EQ(read.Encode(), want.Encode());
}

}  // namespace
}  // namespace kv
