// The block walk over packages made by the builder: what it hands out
// matches what went in, across stored, compressed, split and segmented
// packages, and a damaged block stops the walk.
#include <gtest/gtest.h>

#include <climits>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "kvpack/kvpack.h"
#include "pack_test_util.h"
#include "package/file_source.h"
#include "package/packx.h"
#include "package/unpack.h"
#include "package/unpack_core.h"

namespace kv {
namespace {

using pack::BuildPackage;
using pack::PackageSpec;
using testing::FakePe;
using testing::Get32;
using testing::Put32;
using testing::ReadBytes;
using testing::ScratchDir;
using testing::WalkPackage;
using testing::WriteBytes;

struct Extracted {
    std::map<std::string, std::string> files;
    std::vector<std::string> order;  // entry names as handed out
    std::string engineCommand;
    std::vector<WalkResult> results;  // one per segment reached
    uint64_t firstEntryOffset = 0;
};

class Collector : public BlockVisitor {
public:
    explicit Collector(Extracted& out) : out_(out) {}
    void OnFileEntry(FileEntry& e) override {
        if (e.marksEngine) out_.engineCommand = e.engineCommand;
        out_.files[e.name] += e.content;
        out_.order.push_back(e.name);
    }

private:
    Extracted& out_;
};

uint64_t PackageEnd(const ByteSource& src) {
    const uint64_t signedEnd = IsPeFile(src) ? SignedPackageEnd(src) : 0;
    return signedEnd > 0 ? signedEnd : src.Size();
}

// The segment loop as the unpacker runs it, without disks and files.
Extracted Unpack(const std::string& firstPath) {
    Extracted out;
    Collector sink(out);
    const std::string base = SegmentBaseName(firstPath);
    SegmentWalk walk;
    std::string path = firstPath;
    for (int j = 1;; ++j) {
        const std::unique_ptr<ByteSource> src = OpenFileSource(path);
        if (!src) break;
        TPackTrailer t;
        ReadTrailer(*src, t);
        if (t.Magic != kPackMagic) break;
        walk.position = t.PackageStart;
        out.results.push_back(WalkSegmentBlocks(*src, PackageEnd(*src), t.HeaderCount, walk, sink));
        if (j == 1) out.firstEntryOffset = walk.firstEntryOffset;
        if (out.results.back() != WalkResult::Complete || !HasNextSegment(t)) break;
        path = SegmentFileName(base, j + 1);
    }
    return out;
}

std::string Content(int i) {
    std::string s = "file " + std::to_string(i) + ":";
    while (s.size() < size_t(100 + 37 * i)) s += char('a' + (s.size() * 7 + i) % 26);
    return s;
}

class UnpackWalk : public ::testing::Test {
protected:
    ScratchDir dir;

    std::string File(const std::string& name, const std::string& content, const std::string& folder = "") {
        const std::string path = (folder.empty() ? dir.path() : folder) + "/" + name;
        WriteBytes(path, content);
        return path;
    }

    // A package of `count` files plus the engine, in `folder` (default:
    // the scratch folder itself).
    PackageSpec Spec(int count, const std::string& folder = "") {
        PackageSpec spec;
        spec.stubPath = File("stub.exe", FakePe(2048), folder);
        spec.outputPath = (folder.empty() ? dir.path() : folder) + "/setup.exe";
        spec.haveTokenSeed = true;
        spec.enginePath = File("Engine.exe", "MZ engine body", folder);
        for (int i = 0; i < count; ++i)
            spec.inputs.push_back({File("f" + std::to_string(i) + ".txt", Content(i), folder), ""});
        return spec;
    }

    std::string Build(const PackageSpec& spec) {
        std::string error;
        EXPECT_TRUE(BuildPackage(spec, error)) << error;
        return spec.spanned ? spec.outputPath + ".001" : spec.outputPath;
    }

    void ExpectAllFiles(const Extracted& got, int count) {
        ASSERT_EQ(got.files.size(), size_t(count + 1));
        EXPECT_EQ(got.files.at("Engine.exe"), "MZ engine body");
        for (int i = 0; i < count; ++i) EXPECT_EQ(got.files.at("f" + std::to_string(i) + ".txt"), Content(i)) << i;
        EXPECT_EQ(got.engineCommand, "Engine.exe*");
        for (WalkResult r : got.results) EXPECT_EQ(r, WalkResult::Complete);
    }
};

TEST_F(UnpackWalk, EveryShapeTheBuilderWritesComesBackWhole) {
    struct Shape {
        const char* what;
        pack::StoreMode mode;
        uint64_t maxEntry;
        uint64_t segmentSize;
        bool spanned;
        size_t segments;
    };
    const Shape shapes[] = {
        {"compressed", pack::StoreMode::CompressAll, pack::kDefaultMaxEntrySize, 0, false, 1},
        {"stored", pack::StoreMode::StoreAll, pack::kDefaultMaxEntrySize, 0, false, 1},
        {"split entries", pack::StoreMode::StoreAll, 50, 0, false, 1},
        {"segments", pack::StoreMode::StoreAll, pack::kDefaultMaxEntrySize, 3000, false, 0},
        {"spanned", pack::StoreMode::CompressAll, 64, 2600, true, 0},
    };
    for (const Shape& s : shapes) {
        SCOPED_TRACE(s.what);
        const std::string folder = dir / s.what;
        ASSERT_TRUE(std::filesystem::create_directory(folder));
        PackageSpec spec = Spec(24, folder);
        spec.storeMode = s.mode;
        spec.maxEntrySize = s.maxEntry;
        spec.segmentSize = s.segmentSize;
        spec.spanned = s.spanned;
        const std::string first = Build(spec);
        const Extracted got = Unpack(first);
        ExpectAllFiles(got, 24);
        if (s.segments > 0) EXPECT_EQ(got.results.size(), s.segments);
        else EXPECT_GE(got.results.size(), 3u);
        // The test walker of the builder's tests agrees entry by entry.
        const testing::WalkedSet reference = WalkPackage(first);
        ASSERT_EQ(got.order.size(), reference.entries.size());
        for (size_t i = 0; i < got.order.size(); ++i) EXPECT_EQ(got.order[i], reference.entries[i].name) << i;
        EXPECT_EQ(got.firstEntryOffset, reference.firstEntryOffset);
    }
}

// Offsets of the blocks of a one-file package, from its PackageStart.
std::vector<uint64_t> BlockOffsets(const std::string& bytes) {
    const MemorySource src(bytes);
    TPackTrailer t;
    EXPECT_TRUE(ReadTrailer(src, t));
    std::vector<uint64_t> at;
    uint64_t pos = t.PackageStart;
    while (src.Size() - pos > 74) {
        at.push_back(pos);
        const int32_t n = int32_t(Get32(bytes, size_t(pos)));
        pos += 4 + uint64_t(n < 0 ? -int64_t(n) : int64_t(n));
    }
    return at;
}

TEST_F(UnpackWalk, ABlockPastTheEndStopsTheSegmentAndHandsOutNothingOfIt) {
    PackageSpec spec = Spec(4);
    spec.storeMode = pack::StoreMode::StoreAll;
    const std::string good = ReadBytes(Build(spec));
    const std::vector<uint64_t> blocks = BlockOffsets(good);
    ASSERT_EQ(blocks.size(), 2u + 5u);  // two header blocks, engine, four files
    const uint64_t end = good.size();
    const uint64_t last = blocks.back();
    const struct { const char* what; uint64_t at; int64_t length; size_t kept; } cases[] = {
        {"last runs one byte past", last, -int64_t(end - last - 4 + 1), 4},
        {"last reaches exactly the end", last, -int64_t(end - last - 4), 5},
        {"last compressed, far past", last, INT32_MAX, 4},
        {"last -2^31", last, INT32_MIN, 4},
        {"first entry -2^31", blocks[2], INT32_MIN, 0},
        {"header block past the end", blocks[0], int64_t(end), 0},
    };
    for (const auto& c : cases) {
        std::string bad = good;
        Put32(bad, size_t(c.at), uint32_t(int32_t(c.length)));
        const std::string path = File("bad.exe", bad);
        const Extracted got = Unpack(path);
        ASSERT_EQ(got.results.size(), 1u) << c.what;
        const bool reachesEnd = std::string(c.what) == "last reaches exactly the end";
        // A block up to the very end swallows the trailer: well framed,
        // though no builder writes it, so it is handed out.
        EXPECT_EQ(got.results[0], reachesEnd ? WalkResult::Complete : WalkResult::Damaged) << c.what;
        EXPECT_EQ(got.order.size(), c.kept) << c.what;
    }
}

TEST_F(UnpackWalk, AFileCutInsideABlockIsDamageNotAWait) {
    PackageSpec spec = Spec(4);
    spec.storeMode = pack::StoreMode::StoreAll;  // the last block is longer than a trailer
    const std::string good = ReadBytes(Build(spec));
    const std::vector<uint64_t> blocks = BlockOffsets(good);
    // Cut inside the last entry, then put the trailer back: the last block
    // now runs past the package end.
    const std::string cut = good.substr(0, size_t(blocks.back() + 10)) + good.substr(good.size() - 74);
    const Extracted got = Unpack(File("cut.exe", cut));
    ASSERT_EQ(got.results.size(), 1u);
    EXPECT_EQ(got.results[0], WalkResult::Damaged);
    EXPECT_EQ(got.order.size(), 4u);
}

TEST_F(UnpackWalk, ADamagedCompressedEntryThrowsAfterTheEarlierOnes) {
    PackageSpec spec = Spec(4);
    const std::string good = ReadBytes(Build(spec));
    const std::vector<uint64_t> blocks = BlockOffsets(good);
    std::string bad = good;
    bad[size_t(blocks[4] + 4)] ^= 0x40;  // zlib header of the third entry
    const MemorySource src(bad);
    TPackTrailer t;
    ASSERT_TRUE(ReadTrailer(src, t));
    Extracted got;
    Collector sink(got);
    SegmentWalk walk;
    walk.position = t.PackageStart;
    EXPECT_THROW(WalkSegmentBlocks(src, src.Size(), t.HeaderCount, walk, sink), DecompressionError);
    EXPECT_EQ(got.order.size(), 2u);
}

TEST_F(UnpackWalk, StartsAtOrPastTheTrailer) {
    const MemorySource src(std::string(200, '\0'));
    Extracted got;
    Collector sink(got);
    for (uint64_t start : {126u, 150u, 200u}) {
        SegmentWalk walk;
        walk.position = start;
        EXPECT_EQ(WalkSegmentBlocks(src, src.Size(), 2, walk, sink), WalkResult::Complete) << start;
        EXPECT_EQ(walk.blockNumber, 0u);
    }
    SegmentWalk walk;
    walk.position = 201;
    EXPECT_EQ(WalkSegmentBlocks(src, src.Size(), 2, walk, sink), WalkResult::Damaged);
}

TEST_F(UnpackWalk, AgentCopyOfASignPreparedPackageReadsAsThePackage) {
    PackageSpec spec = Spec(3);
    spec.signPrep = true;
    spec.installAgent = 1;
    spec.update.agentExeName = "Agent.exe";
    const std::string path = Build(spec);
    // What a signing tool adds after the recorded end.
    std::string signedBytes = ReadBytes(path);
    const uint64_t recordedEnd = uint64_t(Get32(signedBytes, 248)) << 32 | Get32(signedBytes, 252);
    ASSERT_EQ(recordedEnd, signedBytes.size());
    signedBytes += std::string(512, '\x5A');
    WriteBytes(path, signedBytes);

    const Extracted got = Unpack(path);
    ExpectAllFiles(got, 3);
    ASSERT_GT(got.firstEntryOffset, 2048u);

    const MemorySource src(signedBytes);
    TPackTrailer t;
    ASSERT_TRUE(ReadTrailer(src, t));
    const std::string copy = AgentCopyBytes(signedBytes.substr(0, size_t(got.firstEntryOffset)), t);
    const std::string copyPath = File("Agent.exe", copy);
    EXPECT_EQ(Get32(copy, 252), 0u);
    EXPECT_EQ(copy.size(), got.firstEntryOffset + 74);
    const TGFileInfo original(path);
    const TGFileInfo agent(copyPath);
    EXPECT_TRUE(agent.IsAutoUpdateProgram());
    EXPECT_FALSE(original.IsAutoUpdateProgram());
    EXPECT_TRUE(agent.InstallsAgent());
    EXPECT_EQ(agent.AgentExeName(), "Agent.exe");
    EXPECT_EQ(agent.UpdateSettings, original.UpdateSettings);
    EXPECT_EQ(agent.LanguageTable, original.LanguageTable);
    EXPECT_EQ(agent.Trailer.FilesCount, original.Trailer.FilesCount);
    // The copy carries no entries: its blocks end after the headers.
    EXPECT_TRUE(Unpack(copyPath).files.empty());
}

}  // namespace
}  // namespace kv
