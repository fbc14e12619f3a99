// Damaged packages under Wine: each one tells the user, starts no engine
// from a package that cannot be trusted, writes nothing outside the temp
// folder and ends with the documented exit code.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

#include "package/packx.h"
#include "setup_e2e.h"

namespace kv::test::setup {
namespace {

enum class Damage { FlipInSmallSegment, TruncateSmallSegment, LengthPastEnd, BadZlibHeader, DotDotName };

// Where each block of a package file starts (its length word) and its
// signed length, header blocks included.
struct Block {
    size_t at = 0;
    int32_t length = 0;
};

std::vector<Block> BlocksOf(const std::string& path) {
    std::vector<Block> blocks;
    std::string bytes;
    TPackTrailer t;
    if (!ReadWholeFile(path, bytes) || !ReadTrailer(path, t)) return blocks;
    size_t at = t.PackageStart;
    while (at + 4 <= bytes.size() && bytes.size() - at > kTrailerRecordSize) {
        int32_t n = 0;
        std::memcpy(&n, bytes.data() + at, 4);
        blocks.push_back({at, n});
        at += 4 + size_t(n < 0 ? -int64_t(n) : n);
    }
    return blocks;
}

bool Patch(const std::string& path, size_t at, const std::string& with) {
    std::string bytes;
    if (!ReadWholeFile(path, bytes) || at + with.size() > bytes.size()) return false;
    bytes.replace(at, with.size(), with);
    return WriteWholeFile(path, bytes);
}

// The package of the case, built and damaged.
bool MakeDamaged(SetupPackage& pkg, Damage damage) {
    const bool smallSegment = damage == Damage::FlipInSmallSegment || damage == Damage::TruncateSmallSegment;
    std::string stub;
    if (!ReadWholeFile(StubPath(), stub)) return false;
    if (smallSegment) {
        // Disk 1 holds the stub and the engine; the second file is small
        // enough to carry a checksum.
        pkg.spec.storeMode = pack::StoreMode::StoreAll;
        pkg.spec.segmentSize = stub.size() + 271360 + 4096;
    }
    if (damage == Damage::DotDotName) {
        // The builder refuses folder parts; the name is changed afterwards
        // in the stored entry header (same length).
        if (!WriteWholeFile(pkg.Dir().File("evil.src"), "outside\r\n")) return false;
        pkg.spec.inputs.push_back({pkg.Dir().File("evil.src"), "ab_evil.txt"});
        pkg.spec.storeMode = pack::StoreMode::StoreNamed;
        pkg.spec.storeNames = {"ab_evil.txt"};
    }
    if (!pkg.Build()) return false;
    const std::string exe = pkg.spec.outputPath;
    const std::string second = exe + ".002";
    std::string bytes;
    switch (damage) {
        case Damage::FlipInSmallSegment: {
            if (!ReadWholeFile(second, bytes) || bytes.size() > 51200 || bytes.size() < 200) return false;
            return Patch(second, 100, std::string(1, char(bytes[100] ^ 0x20)));
        }
        case Damage::TruncateSmallSegment:
            if (!ReadWholeFile(second, bytes) || bytes.size() > 51200) return false;
            return WriteWholeFile(second, bytes.substr(0, bytes.size() / 2));
        case Damage::LengthPastEnd: {
            const std::vector<Block> blocks = BlocksOf(exe);
            if (blocks.size() < 5) return false;
            const int32_t huge = 0x7FFFFFF0;
            return Patch(exe, blocks.back().at, std::string(reinterpret_cast<const char*>(&huge), 4));
        }
        case Damage::BadZlibHeader: {
            // Two header blocks, the engine, readme.txt, data.bin: the
            // last entry's stream gets a zlib header whose check fails.
            const std::vector<Block> blocks = BlocksOf(exe);
            if (blocks.size() != 5 || blocks.back().length <= 0) return false;
            return Patch(exe, blocks.back().at + 4, std::string("\x78\x00", 2));
        }
        case Damage::DotDotName: {
            if (!ReadWholeFile(exe, bytes)) return false;
            const size_t at = bytes.find("ab_evil.txt|");
            return at != std::string::npos && bytes.find("ab_evil.txt|", at + 1) == std::string::npos &&
                   Patch(exe, at, "..\\evil.txt");
        }
    }
    return false;
}

TEST(SetupDamaged, EachDamageIsToldAndEndsAsDocumented) {
    const struct {
        const char* what;
        Damage damage;
        const char* boxText;  // part of what the box says
        uint32_t exitCode;
        bool engineRuns;
    } cases[] = {
        {"flipped byte in a small segment", Damage::FlipInSmallSegment, "Bad CRC!", 1603, false},
        {"truncated segment", Damage::TruncateSmallSegment, "Bad CRC!", 1603, false},
        {"block length past the end", Damage::LengthPastEnd, "Bad CRC!", 1603, false},
        {"bad zlib stream", Damage::BadZlibHeader, "incorrect header check", 1603, false},
        // The entry is refused like a file that cannot be written; the
        // rest of the package is sound and its engine runs.
        {"entry named with ..", Damage::DotDotName, "Unable to save Extracted File!", 0, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        SetupPackage pkg;
        ASSERT_TRUE(MakeDamaged(pkg, c.damage));
        const std::string folder = SetupFolderOf(pkg.spec.outputPath);
        StubRun stub;
        ASSERT_TRUE(stub.Start(pkg.spec.outputPath, pkg.RecordSwitch(), pkg.Dir().Path()));
        const HWND box = WaitForBox(stub.Pid(), kBoxMs);
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(ControlText(box), "Error");
        const std::string text = BoxText(box);
        EXPECT_NE(text.find(c.boxText), std::string::npos) << text;
        ASSERT_TRUE(Answer(box, "&OK"));
        EXPECT_EQ(stub.ExitCode(), c.exitCode);
        EXPECT_EQ(FileExists(pkg.Record()), c.engineRuns);
        EXPECT_FALSE(FolderExists(folder));
        EXPECT_FALSE(FileExists(kv::TempFolder(true) + "evil.txt"));
        EXPECT_FALSE(FileExists(pkg.Dir().File("evil.txt")));
    }
}

}  // namespace
}  // namespace kv::test::setup
