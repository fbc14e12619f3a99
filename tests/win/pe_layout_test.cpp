// The built stub carries its PE header at offset 256 with bytes 248..255
// free for the builder (the post-link step of the build does this).
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "harness/harness.h"

namespace {

uint32_t Get32(const std::string& b, size_t at) {
    return uint32_t(uint8_t(b[at])) | uint32_t(uint8_t(b[at + 1])) << 8 | uint32_t(uint8_t(b[at + 2])) << 16 |
           uint32_t(uint8_t(b[at + 3])) << 24;
}

TEST(StubImage, PeHeaderAt256AndBuilderWordsClear) {
    std::string image;
    ASSERT_TRUE(kv::test::ReadWholeFile(kv::test::StubPath(), image)) << kv::test::StubPath();
    ASSERT_GT(image.size(), 512u);
    EXPECT_EQ(image.substr(0, 2), "MZ");
    EXPECT_EQ(Get32(image, 60), 256u);
    EXPECT_EQ(image.substr(256, 4), std::string("PE\0\0", 4));
    EXPECT_EQ(Get32(image, 248), 0u);
    EXPECT_EQ(Get32(image, 252), 0u);
}

}  // namespace
