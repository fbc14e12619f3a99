#include "package/checksum.h"

#include <gtest/gtest.h>

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

}  // namespace
}  // namespace kv
