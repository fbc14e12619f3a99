#include "package/checksum.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "kvpack/kvpack.h"
#include "pack_test_util.h"

namespace kv {
namespace {

// `words` little-endian words of the same value.
std::string Words(size_t count, uint32_t value) {
    std::string b(count * 4, '\0');
    for (size_t i = 0; i < count; ++i) testing::Put32(b, i * 4, value);
    return b;
}

TEST(PackageChecksum, SumsTheWordsBeforeTheTail) {
    // 100 bytes, tail 74: R starts at 26; word k counts while 4k + 4 < 26.
    EXPECT_EQ(PackageChecksum(MemorySource(Words(25, 1)), 74), 5u);
    // Two full reads: 1024 words, +1234 (R = 4022 left), then 1004 words.
    EXPECT_EQ(PackageChecksum(MemorySource(Words(2048, 1)), 74), 1024u + 1234u + 1004u);
    // Trailing bytes that do not fill a word are ignored.
    EXPECT_EQ(PackageChecksum(MemorySource(Words(25, 1) + "\x07\x07"), 74), 5u);
}

TEST(PackageChecksum, WrapsAroundIn32Bits) {
    EXPECT_EQ(PackageChecksum(MemorySource(Words(25, 0x80000000u)), 74), 0x80000000u);  // 5 x 2^31
    EXPECT_EQ(PackageChecksum(MemorySource(Words(24, 0xFFFFFFFFu)), 74), uint32_t(-4));  // R 22: 4 words
}

TEST(PackageChecksum, FileShorterThanTailPlusEightSumsNothing) {
    EXPECT_EQ(PackageChecksum(MemorySource(std::string(81, '\x55')), 74), 0u);
    EXPECT_EQ(PackageChecksum(MemorySource(std::string()), 74), 0u);
    EXPECT_EQ(PackageChecksum(MemorySource(std::string(10, '\x55')), 74), 0u);
}

TEST(PackageChecksum, SumsUpTo51200BytesAndNoFurther) {
    // Zero words: only the 1234 of the 12 full reads after which R > 4.
    EXPECT_EQ(PackageChecksum(MemorySource(std::string(51200, '\0')), 74), 12u * 1234u);
    EXPECT_EQ(PackageChecksum(MemorySource(std::string(51201, '\0')), 74), 1234u);
    EXPECT_EQ(PackageChecksum(MemorySource(Words(51200 / 4 + 1000, 1)), 74), 1234u);
}

TEST(PackageChecksum, SignedSmallFileSkipsItsStartAndWhatFollowsTheSignedEnd) {
    std::string b = Words(500, 0x11111111u);  // 2000 bytes
    for (size_t i = 512; i < 1500; i += 4) testing::Put32(b, i, 1);
    for (size_t i = 1500; i < 2000; i += 4) testing::Put32(b, i, 7);
    b[0] = 'M';
    b[1] = 'Z';
    b[256] = 'P';
    b[257] = 'E';
    testing::Put32(b, 248, 0);
    testing::Put32(b, 252, 1500);
    // From 512, R = 1500 - 74 - 512 = 914: 227 words of 1.
    EXPECT_EQ(PackageChecksum(MemorySource(b), 74), 227u);
    // The same words without "PE" at 256 are summed from 0 to the file end.
    b[256] = 'X';
    EXPECT_NE(PackageChecksum(MemorySource(b), 74), 227u);
}

TEST(PackageChecksum, PathOverloadReadsTheFile) {
    testing::ScratchDir dir;
    testing::WriteBytes(dir / "p", Words(25, 1));
    EXPECT_EQ(PackageChecksum(dir / "p", 74), 5u);
    EXPECT_EQ(PackageChecksum(dir / "missing", 74), 0u);
}

// The checksum worked out from its closed form rather than by replaying
// the reads: counting words from the start offset, word k is summed when
// 4k + 4 < R, and 1234 is added for every 4096-byte read after which more
// than 4 bytes of R are left.
uint32_t ExpectedChecksum(const std::string& file, uint32_t tail) {
    if (file.size() > 51200) return 1234;
    const bool pe = file.size() >= 258 && file.compare(0, 2, "MZ") == 0 && file.compare(256, 2, "PE") == 0;
    const uint32_t signedEnd = pe ? testing::Get32(file, 252) : 0;
    const int64_t start = signedEnd > 0 ? 512 : 0;
    const int64_t r = (signedEnd > 0 ? int64_t(signedEnd) : int64_t(file.size())) - tail - start;
    const int64_t words = (int64_t(file.size()) - start) / 4;
    uint32_t sum = 0;
    for (int64_t k = 1; k <= words; ++k)
        if (4 * k + 4 < r) sum += testing::Get32(file, size_t(start + 4 * (k - 1)));
    const int64_t reads = (int64_t(file.size()) - start) / 4096 + 1;
    for (int64_t i = 1; i <= reads; ++i)
        if (r - 4 * std::min(1024 * i, words) > 4) sum += 1234;
    return sum;
}

// The unpacker's acceptance rule.
bool Accepts(uint32_t stored, uint32_t computed) { return stored == computed || stored == 1234 || computed == 1234; }

// Packages from the builder at the sizes where the rule changes: the
// stored value, the reader's value and the closed form agree.
TEST(PackageChecksum, AgreesWithTheBuilderOnEverySmallShape) {
    testing::ScratchDir dir;
    std::string content;
    for (size_t i = 0; content.size() < 3000; ++i) content += char('A' + i * 13 % 26);
    testing::WriteBytes(dir / "a.txt", content);

    const auto build = [&](size_t stubSize, bool signPrep) {
        testing::WriteBytes(dir / "stub.exe", testing::FakePe(stubSize));
        pack::PackageSpec spec;
        spec.stubPath = dir / "stub.exe";
        spec.outputPath = dir / "setup.exe";
        spec.inputs = {{dir / "a.txt", ""}};
        spec.signPrep = signPrep;
        spec.haveTokenSeed = true;
        std::string error;
        EXPECT_TRUE(pack::BuildPackage(spec, error)) << error;
        return testing::ReadBytes(spec.outputPath);
    };
    // Everything but the stub has a fixed size, so the stub sets the total.
    const size_t baseStub = 1024;
    const size_t overhead = build(baseStub, false).size() - baseStub;

    const struct {
        const char* what;
        bool signPrep;
        size_t total;           // 0: the base stub
        size_t signatureBytes;  // appended after building, as a signing tool does
    } shapes[] = {
        {"unsigned", false, 0, 0},
        {"unsigned, exactly 51200 bytes", false, 51200, 0},
        {"unsigned, 51201 bytes", false, 51201, 0},
        {"sign-prepared", true, 0, 0},
        {"sign-prepared and signed", true, 0, 1000},
        {"sign-prepared, exactly 51200 bytes", true, 51200, 0},
        {"sign-prepared, 51201 bytes", true, 51201, 0},
        {"signed, grown past 51200 bytes by its signature", true, 51000, 1000},
    };
    for (const auto& s : shapes) {
        SCOPED_TRACE(s.what);
        const size_t total = s.total > 0 ? s.total : baseStub + overhead;
        std::string file = build(total - overhead, s.signPrep);
        ASSERT_EQ(file.size(), total);
        EXPECT_EQ(testing::Get32(file, 252), s.signPrep ? total : 0u);
        file += std::string(s.signatureBytes, '\x5A');
        testing::WriteBytes(dir / "setup.exe", file);

        TPackTrailer t;
        ASSERT_TRUE(ReadTrailer(dir / "setup.exe", t));
        ASSERT_EQ(t.TrailerSize, 74u);
        const uint32_t computed = PackageChecksum(dir / "setup.exe", t.TrailerSize);
        EXPECT_EQ(computed, ExpectedChecksum(file, t.TrailerSize));
        EXPECT_EQ(computed == 1234, file.size() > 51200);
        EXPECT_EQ(t.Checksum == 1234, total > 51200);
        // The signature does not change what is summed, only whether.
        if (file.size() <= 51200) EXPECT_EQ(t.Checksum, computed);
        EXPECT_TRUE(Accepts(t.Checksum, computed));

        // A changed byte in the summed part is caught whenever a sum was made.
        std::string damaged = file;
        damaged[600] = char(damaged[600] + 1);
        EXPECT_EQ(Accepts(t.Checksum, PackageChecksum(MemorySource(damaged), 74)), computed == 1234);
    }
}

TEST(PackageChecksum, ClosedFormMatchesOnShortAndOddFiles) {
    std::string signedFile = testing::FakePe(3000);
    testing::Put32(signedFile, 252, 2500);
    const std::string cases[] = {
        std::string(), std::string(81, '\x33'), std::string(82, '\x33'), std::string(83, '\x33'),
        std::string(86, '\x33'), testing::FakePe(300), testing::FakePe(4096 + 74 + 3), testing::FakePe(8192),
        signedFile,
    };
    for (const std::string& c : cases)
        EXPECT_EQ(PackageChecksum(MemorySource(c), 74), ExpectedChecksum(c, 74)) << c.size();
    // Shorter than the tail + 8: nothing summed, no 1234 added.
    EXPECT_EQ(ExpectedChecksum(std::string(81, '\x33'), 74), 0u);
}

}  // namespace
}  // namespace kv
