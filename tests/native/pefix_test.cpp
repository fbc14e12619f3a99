#include "pefix/pefix.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

namespace {

void Put16(std::string& b, size_t at, uint16_t v) {
    b[at] = char(v & 0xff);
    b[at + 1] = char(v >> 8);
}
void Put32(std::string& b, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + i] = char(uint8_t(v >> (8 * i)));
}
uint32_t Get32(const std::string& b, size_t at) {
    uint32_t v = 0;
    for (int i = 3; i >= 0; --i) v = v << 8 | uint8_t(b[at + i]);
    return v;
}

// The layout GNU ld writes: DOS stub up to 128, then a PE32 header with a
// 224-byte optional header and `sections` section headers, SizeOfHeaders
// 0x400, section data from 0x400 on.
struct Synthetic {
    static constexpr size_t kNt = 128;
    static constexpr size_t kOptSize = 224;
    uint16_t sections = 3;
    uint32_t sizeOfHeaders = 0x400;
    uint32_t firstRaw = 0x400;
    uint32_t checksum = 0;

    size_t HeaderLength() const { return 24 + kOptSize + 40u * sections; }

    std::string Build() const {
        std::string b(0x400 + 0x200 * sections, '\0');
        b[0] = 'M';
        b[1] = 'Z';
        for (size_t i = 64; i < kNt; ++i) b[i] = char(0xA0 + i % 16);  // the stub program
        Put32(b, 60, kNt);
        b.replace(kNt, 4, std::string("PE\0\0", 4));
        Put16(b, kNt + 4, 0x14c);
        Put16(b, kNt + 6, sections);
        Put32(b, kNt + 8, 0x12345678);  // a time stamp, to see it travel
        Put16(b, kNt + 20, kOptSize);
        Put16(b, kNt + 22, 0x0102);
        const size_t opt = kNt + 24;
        Put16(b, opt, 0x10b);
        Put32(b, opt + 60, sizeOfHeaders);
        Put32(b, opt + 64, checksum);
        Put32(b, opt + 92, 16);
        for (uint16_t i = 0; i < sections; ++i) {
            const size_t sh = opt + kOptSize + 40u * i;
            b.replace(sh, 5, ".sec" + std::to_string(i));
            Put32(b, sh + 16, 0x200);
            Put32(b, sh + 20, firstRaw + 0x200u * i);
        }
        for (size_t i = 0x400; i < b.size(); ++i) b[i] = char(i * 7);
        return b;
    }
};

TEST(PeFix, MovesHeadersTo256AndClearsTheBuildersWords) {
    Synthetic s;
    const std::string before = s.Build();
    std::string image = before;
    const kv::PeFixResult r = kv::FixPeHeaderOffset(image);
    ASSERT_EQ(r.status, kv::PeFixStatus::Moved) << r.message;
    ASSERT_EQ(image.size(), before.size());

    EXPECT_EQ(Get32(image, 60), 256u);
    EXPECT_EQ(image.substr(256, s.HeaderLength()), before.substr(Synthetic::kNt, s.HeaderLength()));
    EXPECT_EQ(image.substr(0, 60), before.substr(0, 60));            // DOS header
    EXPECT_EQ(image.substr(64, 64), before.substr(64, 64));          // DOS stub
    EXPECT_EQ(image.substr(128, 128), std::string(128, '\0'));       // vacated, 248..255 included
    const size_t newEnd = 256 + s.HeaderLength();
    EXPECT_EQ(image.substr(newEnd, 0x400 - newEnd), std::string(0x400 - newEnd, '\0'));
    EXPECT_EQ(image.substr(0x400), before.substr(0x400));            // section data untouched
}

TEST(PeFix, SecondRunLeavesTheFileAlone) {
    std::string image = Synthetic{}.Build();
    ASSERT_EQ(kv::FixPeHeaderOffset(image).status, kv::PeFixStatus::Moved);
    // The builder later fills its words; a repeated fix must not clear them.
    Put32(image, 248, 0);
    Put32(image, 252, 0x00012345);
    const std::string fixed = image;
    EXPECT_EQ(kv::FixPeHeaderOffset(image).status, kv::PeFixStatus::AlreadyFixed);
    EXPECT_EQ(image, fixed);
}

TEST(PeFix, RefusesWhatItCannotMove) {
    struct Case { const char* what; std::string image; kv::PeFixStatus status; } cases[] = {
        {"empty", std::string(), kv::PeFixStatus::NotPe},
        {"no MZ", std::string(0x600, 'x'), kv::PeFixStatus::NotPe},
        {"MZ without PE", [] { std::string b = Synthetic{}.Build(); b[128] = 'X'; return b; }(),
         kv::PeFixStatus::NotPe},
        {"e_lfanew past the end", [] { std::string b = Synthetic{}.Build(); Put32(b, 60, 0x7fffffff); return b; }(),
         kv::PeFixStatus::NotPe},
        {"section table cut off", Synthetic{}.Build().substr(0, 300), kv::PeFixStatus::Truncated},
        // 24 + 224 + 40 * 14 = 808 bytes from 256 end at 1064 > 0x400.
        {"too many sections", [] { Synthetic s; s.sections = 14; return s.Build(); }(),
         kv::PeFixStatus::NoRoom},
        {"SizeOfHeaders too small", [] { Synthetic s; s.sizeOfHeaders = 0x200; return s.Build(); }(),
         kv::PeFixStatus::NoRoom},
        {"section data right after the table", [] { Synthetic s; s.firstRaw = 0x200; return s.Build(); }(),
         kv::PeFixStatus::NoRoom},
        {"signed", [] { std::string b = Synthetic{}.Build(); Put32(b, 152 + 96 + 4 * 8, 0x800); Put32(b, 152 + 96 + 4 * 8 + 4, 0x10); return b; }(),
         kv::PeFixStatus::Signed},
        {"bound imports after the section table", [] { std::string b = Synthetic{}.Build(); Put32(b, 152 + 96 + 11 * 8, 0x1f8); Put32(b, 152 + 96 + 11 * 8 + 4, 0x20); return b; }(),
         kv::PeFixStatus::InTheWay},
        {"unknown bytes where the headers would go", [] { std::string b = Synthetic{}.Build(); b[0x230] = 1; return b; }(),
         kv::PeFixStatus::InTheWay},
    };
    for (auto& c : cases) {
        std::string image = c.image;
        const kv::PeFixResult r = kv::FixPeHeaderOffset(image);
        EXPECT_EQ(r.status, c.status) << c.what << ": " << r.message;
        EXPECT_FALSE(r.ok()) << c.what;
        EXPECT_EQ(image, c.image) << c.what << ": a refused image must stay unchanged";
    }
}

TEST(PeFix, NonZeroChecksumIsRecomputed) {
    Synthetic s;
    s.checksum = 0xdeadbeef;
    std::string image = s.Build();
    ASSERT_EQ(kv::FixPeHeaderOffset(image).status, kv::PeFixStatus::Moved);
    const size_t at = 256 + 24 + 64;
    EXPECT_EQ(Get32(image, at), kv::PeImageChecksum(image, at));
    EXPECT_NE(Get32(image, at), 0xdeadbeefu);

    Synthetic z;
    std::string zero = z.Build();
    ASSERT_EQ(kv::FixPeHeaderOffset(zero).status, kv::PeFixStatus::Moved);
    EXPECT_EQ(Get32(zero, at), 0u);
}

TEST(PeImageChecksum, FoldsCarriesSkipsTheFieldAndAddsTheLength) {
    // Words 0x0001 and 0xffff (the field in between counts as zero) sum to
    // 0x10000, which folds to 1; plus the length 8.
    EXPECT_EQ(kv::PeImageChecksum(std::string("\x01\x00\xaa\xbb\xcc\xdd\xff\xff", 8), 2), 9u);
    // An odd last byte counts as a word of its own.
    EXPECT_EQ(kv::PeImageChecksum(std::string("\x01\x00\x02", 3), 100), 1u + 2u + 3u);
}

}  // namespace
