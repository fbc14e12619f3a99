#include "package/packx.h"

#include <gtest/gtest.h>

#include "pack_test_util.h"
#include "package/file_source.h"

namespace kv {
namespace {

using testing::FakePe;
using testing::Put32;

std::string Framed(const std::string& text) {
    std::string b(4, '\0');
    Put32(b, 0, uint32_t(text.size()));
    return b + text;
}

TPackTrailer SampleTrailer() {
    TPackTrailer t;
    t.Byte0 = 1;
    t.HeaderCount = 2;
    t.Magic = kPackMagic;
    t.TrailerSize = 74;
    return t;
}

// stub + header blocks + trailer, laid out by hand (PackageStart = stub).
std::string HandPackage(const std::string& stub, const std::vector<std::string>& headers, TPackTrailer t) {
    std::string b = stub;
    t.PackageStart = uint32_t(stub.size());
    for (const std::string& h : headers) b += Framed(h);
    const auto rec = t.Encode();
    return b + std::string(rec.begin(), rec.end());
}

void SetSignedEnd(std::string& b, uint64_t end) {
    Put32(b, 248, uint32_t(end >> 32));
    Put32(b, 252, uint32_t(end));
}

const std::vector<std::string> kTwoHeaders = {"*|English|s0=Hi|*", "|http://u/|App.setup.info|Agent.exe|tok|1|"};

bool IsZero(const TPackTrailer& t) {
    const auto b = t.Encode();
    return std::all_of(b.begin(), b.end(), [](uint8_t c) { return c == 0; });
}

TEST(TPackTrailer, EncodeDecodeRoundTripsEveryFieldAtItsOffset) {
    TPackTrailer t;
    t.Byte0 = 1;
    t.HeaderCount = 3;
    t.Reserved = 0x0201;
    t.PackageStart = 0x11223344;
    t.FilesCount = 25;
    t.Magic = kPackMagic;
    t.Checksum = 0xCAFEBABE;
    t.Opaque = {1, 2, 3, 4, 5, 6, 7, 8};
    for (size_t i = 0; i < 9; ++i) t.RequiredSpace[i] = uint32_t(1000 * (i + 1));
    t.Byte64 = 0x40;
    t.Flags = 0x1F;
    t.InternetSetup = 2;
    t.AskBeforeDownload = 3;
    t.InstallAgent = 4;
    t.IsAutoUpdateProgram = 5;
    t.TrailerSize = 74;
    const auto b = t.Encode();
    EXPECT_EQ(b[1], 3);
    EXPECT_EQ(std::string(b.begin() + 12, b.begin() + 16), "\x1D\x2C\x3B\x4A");
    EXPECT_EQ(LoadU32(&b[28]), 1000u);
    EXPECT_EQ(LoadU32(&b[60]), 9000u);
    EXPECT_EQ(b[65], 0x1F);
    EXPECT_EQ(b[66], 2);
    EXPECT_EQ(b[69], 5);
    EXPECT_EQ(LoadU32(&b[70]), 74u);
    const TPackTrailer back = TPackTrailer::Decode(b.data());
    EXPECT_EQ(back.Encode(), b);
    EXPECT_EQ(back.PackageStart, 0x11223344u);
    EXPECT_EQ(back.Opaque[7], 8);
}

TEST(TPackTrailer, FlagTestsReadOneBitEach) {
    struct Case {
        uint8_t flags;
        bool ask, next, spanned, bar, log;
    };
    const Case cases[] = {
        {0x00, false, false, false, false, false}, {0x01, true, false, false, false, false},
        {0x02, false, true, false, false, false},  {0x04, false, false, true, false, false},
        {0x08, false, false, false, true, false},  {0x10, false, false, false, false, true},
        {0xE0, false, false, false, false, false}, {0xFF, true, true, true, true, true},
    };
    for (const Case& c : cases) {
        TPackTrailer t;
        t.Flags = c.flags;
        SCOPED_TRACE(int(c.flags));
        EXPECT_EQ(AskBeforeExtract(t), c.ask);
        EXPECT_EQ(HasNextSegment(t), c.next);
        EXPECT_EQ(IsSpanned(t), c.spanned);
        EXPECT_EQ(ShowActivityBar(t), c.bar);
        EXPECT_EQ(AgentLogEnabled(t), c.log);
    }
}

TEST(PackX, IsPeFileLooksAtTheFixedOffset) {
    std::string moved = FakePe(600);
    moved[256] = 'x';
    moved[400] = 'P';
    moved[401] = 'E';
    std::string noMz = FakePe(600);
    noMz[0] = 'Z';
    EXPECT_TRUE(IsPeFile(MemorySource(FakePe(600))));
    EXPECT_TRUE(IsPeFile(MemorySource(FakePe(258))));
    EXPECT_FALSE(IsPeFile(MemorySource(FakePe(257))));
    EXPECT_FALSE(IsPeFile(MemorySource(moved)));
    EXPECT_FALSE(IsPeFile(MemorySource(noMz)));
    EXPECT_FALSE(IsPeFile(MemorySource("")));
}

TEST(PackX, SignedPackageEndCombinesBothWords) {
    std::string b = FakePe(600);
    SetSignedEnd(b, 0x0000000300000010ull);
    EXPECT_EQ(SignedPackageEnd(MemorySource(b)), 0x0000000300000010ull);
    EXPECT_EQ(SignedPackageEnd(b), 0x0000000300000010ull);
    EXPECT_EQ(SignedPackageEnd(std::string("MZ")), 0u);
    EXPECT_EQ(SignedPackageEnd(MemorySource("MZ")), 0u);
}

TEST(PackX, UnsignedPackageIsReadAtTheEndOfTheFile) {
    std::string stub = FakePe(1024);
    SetSignedEnd(stub, 0);
    const std::string file = HandPackage(stub, kTwoHeaders, SampleTrailer());
    TGFileInfo info{MemorySource(file)};
    EXPECT_EQ(info.Trailer.Magic, kPackMagic);
    EXPECT_EQ(info.Trailer.TrailerSize, 74u);
    EXPECT_EQ(info.LanguageTable, kTwoHeaders[0]);
    EXPECT_EQ(info.UpdateSettings, kTwoHeaders[1]);
    EXPECT_EQ(info.DownloadSettings, "");
    EXPECT_EQ(info.Trailer.PackageStart, file.size() - 74);  // advanced past the headers
}

TEST(PackX, SignedPackageIsReadAtItsSignedEnd) {
    const std::string unsignedFile = HandPackage(FakePe(1024), kTwoHeaders, SampleTrailer());
    std::string signedFile = unsignedFile + std::string(1500, '\x5A');  // the certificate table
    SetSignedEnd(signedFile, unsignedFile.size());
    TGFileInfo info{MemorySource(signedFile)};
    EXPECT_EQ(info.Trailer.Magic, kPackMagic);
    EXPECT_EQ(info.UpdateSettings, kTwoHeaders[1]);
    EXPECT_EQ(info.AgentExeName(), "Agent.exe");
}

TEST(PackX, MzWithoutPeIsTreatedAsUnsignedEvenWithTheWordsSet) {
    std::string stub = FakePe(1024);
    stub[256] = 'X';
    SetSignedEnd(stub, 300);  // would point into the stub if it were used
    TGFileInfo info{MemorySource(HandPackage(stub, kTwoHeaders, SampleTrailer()))};
    EXPECT_EQ(info.Trailer.Magic, kPackMagic);
    EXPECT_EQ(info.LanguageTable, kTwoHeaders[0]);
}

TEST(PackX, HeaderCountDecidesTheDownloadBlock) {
    const std::vector<std::string> three = {kTwoHeaders[0], kTwoHeaders[1], "|http://d/|Setup.exe|1|tok|12345|"};
    struct Case {
        uint8_t stored;
        uint8_t read;
        bool hasDownload;
    };
    for (const Case& c : {Case{0, 2, false}, Case{2, 2, false}, Case{3, 3, true}}) {
        SCOPED_TRACE(int(c.stored));
        TPackTrailer t = SampleTrailer();
        t.HeaderCount = c.stored;
        TGFileInfo info{MemorySource(HandPackage(FakePe(600), three, t))};
        EXPECT_EQ(info.Trailer.HeaderCount, c.read);
        EXPECT_EQ(info.DownloadSettings, c.hasDownload ? three[2] : "");
        EXPECT_EQ(info.DownloadUrl(), c.hasDownload ? "http://d/" : "");
        EXPECT_EQ(info.AlwaysDownload(), c.hasDownload);
        EXPECT_EQ(info.DownloadSize(), c.hasDownload ? "12345" : "");
        EXPECT_EQ(info.DownloadToken(false), c.hasDownload ? "tok" : "");
    }
}

TEST(PackX, ShortTrailerLeavesLaterFieldsZero) {
    // A 20-byte trailer: bytes 0..15 of the record, then the size word.
    std::string file = FakePe(600);
    TPackTrailer t = SampleTrailer();
    t.FilesCount = 7;
    const auto rec = t.Encode();
    file.append(reinterpret_cast<const char*>(rec.data()), 16);
    file += std::string("\x14\0\0\0", 4);
    TPackTrailer read;
    ASSERT_TRUE(ReadTrailer(MemorySource(file), read));
    EXPECT_EQ(read.TrailerSize, 20u);
    EXPECT_EQ(read.Magic, kPackMagic);
    EXPECT_EQ(read.FilesCount, 7u);
    EXPECT_EQ(read.Checksum, 0u);
    EXPECT_EQ(read.Flags, 0u);
}

TEST(PackX, MagicMismatchKeepsTheTrailerButReadsNoTexts) {
    TPackTrailer t = SampleTrailer();
    t.Magic = 0x12345678;
    t.Flags = kFlagIsSpanned;
    t.FilesCount = 9;
    TGFileInfo info{MemorySource(HandPackage(FakePe(600), kTwoHeaders, t))};
    EXPECT_EQ(info.Trailer.Magic, 0x12345678u);
    EXPECT_EQ(info.Trailer.FilesCount, 9u);
    EXPECT_TRUE(info.IsSpanned());
    EXPECT_EQ(info.LanguageTable, "");
    EXPECT_EQ(info.UpdateSettings, "");
}

TEST(PackX, UnusableTrailersAndHeadersDescribeNoPackage) {
    const std::string good = HandPackage(FakePe(600), kTwoHeaders, SampleTrailer());
    const size_t trailerAt = good.size() - 74;
    const size_t firstHeader = 600;
    const auto withWord = [&good](size_t at, uint32_t v) {
        std::string b = good;
        Put32(b, at, v);
        return b;
    };
    std::string signedPastEnd = good;
    SetSignedEnd(signedPastEnd, good.size() + 1);
    // A tiny size at a signed end with more bytes behind it: a reader that
    // took it would read a negative length into the record.
    std::string signedTiny = good + std::string(1500, '\x5A');
    SetSignedEnd(signedTiny, good.size());
    Put32(signedTiny, good.size() - 4, 2);
    struct Case {
        const char* what;
        std::string bytes;
    };
    const Case cases[] = {
        {"trailer size 0", withWord(good.size() - 4, 0)},
        {"trailer size 1", withWord(good.size() - 4, 1)},
        {"trailer size 2", withWord(good.size() - 4, 2)},
        {"trailer size 3", withWord(good.size() - 4, 3)},
        {"trailer size beyond the file", withWord(good.size() - 4, uint32_t(good.size() + 1))},
        {"PackageStart past the end", withWord(trailerAt + 4, uint32_t(good.size() + 10))},
        {"PackageStart inside the trailer", withWord(trailerAt + 4, uint32_t(trailerAt + 2))},
        {"header length past the end", withWord(firstHeader, uint32_t(good.size()))},
        {"header length 0x80000000", withWord(firstHeader, 0x80000000u)},
        {"header length 0xFFFFFFFF", withWord(firstHeader, 0xFFFFFFFFu)},
        {"signed end beyond the file", signedPastEnd},
        {"signed trailer size 2", signedTiny},
        {"three bytes", std::string("\x4A\0\0", 3)},
        {"empty", std::string()},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TGFileInfo info{MemorySource(c.bytes)};
        EXPECT_TRUE(IsZero(info.Trailer));
        EXPECT_EQ(info.LanguageTable, "");
        EXPECT_EQ(info.UpdateSettings, "");
        EXPECT_EQ(info.DownloadSettings, "");
        EXPECT_FALSE(info.IsAutoUpdateProgram());
        EXPECT_EQ(info.SpaceRequiredForCluster(4096), 0.0);
    }
}

TEST(PackX, SpaceRequiredPicksTheEntryOfTheCluster) {
    TGFileInfo info{MemorySource(std::string())};
    for (size_t i = 0; i < 9; ++i) info.Trailer.RequiredSpace[i] = uint32_t(100 + i);
    const std::pair<int, double> cases[] = {
        {0, 100},     {-1, 100},   {511, 100},   {512, 101},   {1024, 102},   {2048, 103},
        {3000, 103},  {4096, 104}, {8192, 105},  {16384, 106}, {32768, 107},  {65536, 108},
        {65535, 107}, {131072, 108}, {1 << 30, 108},
    };
    for (const auto& c : cases) EXPECT_EQ(info.SpaceRequiredForCluster(c.first), c.second) << c.first;
}

TEST(PackX, SpaceRequiredOfAPathUsesItsVolumesCluster) {
    TGFileInfo info{MemorySource(std::string())};
    for (size_t i = 0; i < 9; ++i) info.Trailer.RequiredSpace[i] = uint32_t(100 + i);
    const int cluster = ClusterSize("/tmp");
    EXPECT_GT(cluster, 0);
    EXPECT_EQ(info.SpaceRequired("/tmp"), info.SpaceRequiredForCluster(cluster));
    EXPECT_EQ(ClusterSize("/no/such/folder/anywhere"), 0);
    EXPECT_EQ(info.SpaceRequired("/no/such/folder/anywhere"), 100.0);
}

TEST(PackX, InfoAndOriginalFileNames) {
    struct Case {
        const char* field;
        const char* info;
        const char* original;
    };
    const Case cases[] = {
        {".info", ".info", ".original"},
        {"Setup.beta.info", "Setup.beta.info", "Setup.original"},
        {"C:\\Apps\\App.setup.info", "App.setup.info", "App.original"},
        {"D:App.info", "App.info", "App.original"},
        {"plain", "plain", "plain.original"},
        {"", "", ".original"},
    };
    for (const Case& c : cases) {
        TGFileInfo info{MemorySource(std::string())};
        info.UpdateSettings = std::string("|u|") + c.field + "|a.exe|t|0|";
        EXPECT_EQ(info.InfoFileName(), c.info) << c.field;
        EXPECT_EQ(info.OriginalFileName(), c.original) << c.field;
    }
}

TEST(PackX, SettingsAccessorsReadTheirFields) {
    TGFileInfo info{MemorySource(std::string())};
    info.UpdateSettings = "|http://x/upd/|App.info|Agent.exe|tok|1|";
    info.DownloadSettings = "|http://x/dl/|Full.exe|0|dtok|5000000|";
    EXPECT_EQ(info.UpdateUrl(), "http://x/upd/");
    EXPECT_EQ(info.AgentExeName(), "Agent.exe");
    EXPECT_EQ(info.UpdateToken(false), "tok");
    EXPECT_TRUE(info.IsHidden());
    EXPECT_EQ(info.DownloadFileName(), "Full.exe");
    EXPECT_FALSE(info.AlwaysDownload());
    EXPECT_EQ(info.DownloadToken(false), "dtok");
    info.UpdateSettings = "|u|i|a|t|yes|";
    EXPECT_FALSE(info.IsHidden());  // only the exact "1" counts
}

TEST(PackX, PathConstructorReadsTheFileAndHoldsItNoLonger) {
    testing::ScratchDir dir;
    const std::string file = HandPackage(FakePe(700), kTwoHeaders, SampleTrailer());
    testing::WriteBytes(dir / "setup.exe", file);
    {
        TGFileInfo info(dir / "setup.exe");
        EXPECT_EQ(info.UpdateSettings, kTwoHeaders[1]);
        EXPECT_EQ(info.Trailer.Encode(), TGFileInfo(MemorySource(file)).Trailer.Encode());
    }
    EXPECT_TRUE(IsPeFile(dir / "setup.exe"));
    TPackTrailer t;
    EXPECT_TRUE(ReadTrailer(dir / "setup.exe", t));
    EXPECT_EQ(t.Magic, kPackMagic);

    TGFileInfo missing(dir / "nothing.exe");
    EXPECT_TRUE(IsZero(missing.Trailer));
    EXPECT_EQ(missing.UpdateSettings, "");
    EXPECT_FALSE(IsPeFile(dir / "nothing.exe"));
    EXPECT_FALSE(ReadTrailer(dir / "nothing.exe", t));
    TGFileInfo folder(dir.path());
    EXPECT_TRUE(IsZero(folder.Trailer));
}

TEST(FileSource, ReadsWithinTheFileOnly) {
    testing::ScratchDir dir;
    testing::WriteBytes(dir / "f", "0123456789");
    EXPECT_TRUE(FileExists(dir / "f"));
    EXPECT_FALSE(FileExists(dir.path()));
    EXPECT_FALSE(FileExists(dir / "g"));
    EXPECT_EQ(OpenFileSource(dir / "g"), nullptr);
    const auto src = OpenFileSource(dir / "f");
    ASSERT_NE(src, nullptr);
    EXPECT_EQ(src->Size(), 10u);
    char buf[8] = {};
    EXPECT_EQ(src->ReadAt(7, buf, 8), 3u);
    EXPECT_EQ(std::string(buf, 3), "789");
    EXPECT_EQ(src->ReadAt(10, buf, 1), 0u);
    EXPECT_EQ(src->ReadAt(uint64_t(-1), buf, 1), 0u);
}

}  // namespace
}  // namespace kv
