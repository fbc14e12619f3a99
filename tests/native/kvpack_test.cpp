#include "kvpack/kvpack.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <ctime>
#include <functional>
#include <random>

#include "kvpack/cli.h"
#include "kvpack/dos_time.h"
#include "kvpack/lang_ini.h"
#include "pack_test_util.h"
#include "package/checksum.h"
#include "package/packx.h"
#include "util/ksub.h"

namespace kv {
namespace {

using pack::BuildPackage;
using pack::PackageSpec;
using testing::FakePe;
using testing::Get32;
using testing::PathExists;
using testing::ReadBytes;
using testing::ScratchDir;
using testing::WalkPackage;
using testing::WriteBytes;

// 15 June 2021, 13:45:32 local time, and its packed DOS form worked out
// by hand: date (41 << 9 | 6 << 5 | 15), time (13 << 11 | 45 << 5 | 16).
std::time_t When() {
    std::tm tm{};
    tm.tm_year = 121;
    tm.tm_mon = 5;
    tm.tm_mday = 15;
    tm.tm_hour = 13;
    tm.tm_min = 45;
    tm.tm_sec = 32;
    tm.tm_isdst = -1;
    return std::mktime(&tm);
}
constexpr uint32_t kWhenDos = (41u << 9 | 6u << 5 | 15u) << 16 | (13u << 11 | 45u << 5 | 16u);

std::string RandomBytes(size_t n, uint32_t seed) {
    std::mt19937 rng(seed);
    std::string s(n, '\0');
    for (char& c : s) c = char(rng());
    return s;
}

std::string TextBytes(size_t n) {
    std::string s;
    while (s.size() < n) s += "The quick brown fox jumps over the lazy dog. ";
    s.resize(n);
    return s;
}

class KvpackTest : public ::testing::Test {
protected:
    ScratchDir dir;

    std::string File(const std::string& name, const std::string& content) {
        const std::string path = dir / name;
        WriteBytes(path, content);
        testing::SetMTime(path, When());
        return path;
    }

    PackageSpec Spec(size_t stubSize = 2048) {
        PackageSpec spec;
        spec.stubPath = File("stub.exe", FakePe(stubSize));
        spec.outputPath = dir / "setup.exe";
        spec.haveTokenSeed = true;
        spec.tokenSeed = 42;
        return spec;
    }

    std::vector<std::string> Build(const PackageSpec& spec) {
        std::string error;
        std::vector<std::string> written;
        EXPECT_TRUE(BuildPackage(spec, error, &written)) << error;
        return written;
    }

    bool NoTemporaries() const {
        for (const auto& e : std::filesystem::directory_iterator(dir.path()))
            if (e.path().string().find(".kvpack-tmp") != std::string::npos) return false;
        return true;
    }
};

// Every segment's stored checksum is the one the reader computes.
void ExpectChecksumsMatch(const testing::WalkedSet& set) {
    EXPECT_TRUE(set.crcOk);
    for (const auto& s : set.segments)
        EXPECT_EQ(s.trailer.Checksum, s.computedChecksum) << s.path;
}

TEST_F(KvpackTest, DefaultsGiveTwoHeaderBlocksWithTheBareSettings) {
    const PackageSpec spec = Spec();
    EXPECT_EQ(Build(spec), std::vector<std::string>{spec.outputPath});
    const TGFileInfo info(spec.outputPath);
    EXPECT_EQ(info.Trailer.Byte0, 1);
    EXPECT_EQ(info.Trailer.HeaderCount, 2);
    EXPECT_EQ(info.Trailer.Magic, kPackMagic);
    EXPECT_EQ(info.Trailer.TrailerSize, 74u);
    EXPECT_EQ(info.Trailer.FilesCount, 0u);
    EXPECT_EQ(info.Trailer.Flags, 0);
    EXPECT_EQ(info.LanguageTable, "|");
    EXPECT_EQ(info.UpdateUrl(), "http:");
    EXPECT_EQ(info.InfoFileName(), ".info");
    EXPECT_EQ(info.OriginalFileName(), ".original");
    EXPECT_EQ(info.AgentExeName(), ".exe");
    EXPECT_EQ(info.UpdateToken(true), "");
    EXPECT_FALSE(info.IsHidden());
    EXPECT_EQ(info.DownloadSettings, "");
    EXPECT_FALSE(info.IsInternetSetup() || info.AskBeforeDownload() || info.InstallsAgent() ||
                 info.IsAutoUpdateProgram());
    const std::string bytes = ReadBytes(spec.outputPath);
    EXPECT_EQ(bytes.substr(0, 2048), FakePe(2048));
    EXPECT_EQ(info.Trailer.PackageStart, bytes.size() - 74);  // no entries after the headers
    TPackTrailer raw;
    ASSERT_TRUE(ReadTrailer(MemorySource(bytes), raw));
    EXPECT_EQ(raw.PackageStart, 2048u);
    const auto set = WalkPackage(spec.outputPath);
    EXPECT_EQ(set.headerTexts.size(), 2u);
    EXPECT_TRUE(set.entries.empty());
    ExpectChecksumsMatch(set);
}

TEST_F(KvpackTest, EveryFieldRoundTripsWithThreeHeaderBlocks) {
    PackageSpec spec = Spec();
    spec.languageTable = "*|English|s0=Hello|*|German|s0=Hallo|*";
    spec.update = {"http://updates.example/app/", "C:\\Data\\App.setup.info", "AppAgent.exe", "update secret", "1"};
    spec.withDownload = true;
    spec.download = {"http://dl.example/full/", "FullSetup.exe", "1", "download secret", "12345678"};
    spec.askBeforeExtract = true;
    spec.showActivityBar = true;
    spec.agentLog = true;
    spec.internetSetup = 2;
    spec.askBeforeDownload = 3;
    spec.installAgent = 4;
    spec.isAutoUpdateProgram = 5;
    Build(spec);
    const TGFileInfo info(spec.outputPath);
    EXPECT_EQ(info.Trailer.HeaderCount, 3);
    EXPECT_EQ(info.LanguageTable, spec.languageTable);
    EXPECT_EQ(info.UpdateUrl(), "http://updates.example/app/");
    EXPECT_EQ(info.InfoFileName(), "App.setup.info");
    EXPECT_EQ(info.OriginalFileName(), "App.original");
    EXPECT_EQ(info.AgentExeName(), "AppAgent.exe");
    EXPECT_NE(info.UpdateToken(false), "update secret");
    EXPECT_EQ(info.UpdateToken(true), "update secret");
    EXPECT_TRUE(info.IsHidden());
    EXPECT_EQ(info.DownloadUrl(), "http://dl.example/full/");
    EXPECT_EQ(info.DownloadFileName(), "FullSetup.exe");
    EXPECT_TRUE(info.AlwaysDownload());
    EXPECT_EQ(info.DownloadToken(true), "download secret");
    EXPECT_EQ(info.DownloadSize(), "12345678");
    EXPECT_TRUE(info.AskBeforeExtract());
    EXPECT_FALSE(info.IsSpanned());
    EXPECT_FALSE(HasNextSegment(info.Trailer));
    EXPECT_TRUE(info.ShowActivityBar());
    EXPECT_TRUE(info.AgentLogEnabled());
    EXPECT_EQ(info.Trailer.InternetSetup, 2);
    EXPECT_EQ(info.Trailer.AskBeforeDownload, 3);
    EXPECT_EQ(info.Trailer.InstallAgent, 4);
    EXPECT_EQ(info.Trailer.IsAutoUpdateProgram, 5);
    EXPECT_TRUE(info.IsInternetSetup() && info.AskBeforeDownload() && info.InstallsAgent() &&
                info.IsAutoUpdateProgram());

    // The same seed gives the same bytes.
    const std::string first = ReadBytes(spec.outputPath);
    Build(spec);
    EXPECT_EQ(ReadBytes(spec.outputPath), first);
}

TEST_F(KvpackTest, EntriesCarryNamesDatesContentsAndTheEngineStar) {
    PackageSpec spec = Spec();
    spec.enginePath = File("Engine.exe", RandomBytes(3000, 1));
    std::filesystem::create_directory(dir / "product");
    const std::string text = TextBytes(9000), binary = RandomBytes(5000, 2);
    File("product/readme.txt", text);
    File("product/data.bin", binary);
    File("product/empty.txt", "");
    File("loose.cfg", "x=1\n");
    spec.inputs = {{dir / "product", ""}, {dir / "loose.cfg", "settings.ini"}};
    spec.storeMode = pack::StoreMode::StoreNamed;
    spec.storeNames = {"DATA.BIN", "empty.txt"};
    Build(spec);

    const auto set = WalkPackage(spec.outputPath);
    ASSERT_TRUE(set.wellFormed);
    ExpectChecksumsMatch(set);
    ASSERT_EQ(set.entries.size(), 5u);
    struct Expected {
        const char* name;
        bool compressed;
        const std::string* content;
    };
    const std::string engine = ReadBytes(spec.enginePath), empty, cfg = "x=1\n";
    const Expected expected[] = {{"Engine.exe", true, &engine},   {"data.bin", false, &binary},
                                 {"empty.txt", false, &empty},    {"readme.txt", true, &text},
                                 {"settings.ini", true, &cfg}};
    for (size_t i = 0; i < 5; ++i) {
        SCOPED_TRACE(expected[i].name);
        EXPECT_EQ(set.entries[i].name, expected[i].name);
        EXPECT_EQ(set.entries[i].date, kWhenDos);
        EXPECT_EQ(set.entries[i].compressed, expected[i].compressed);
        EXPECT_EQ(set.entries[i].content, *expected[i].content);
    }
    EXPECT_EQ(set.entries[0].header, "|Engine.exe*|" + std::to_string(kWhenDos) + "|");
    EXPECT_EQ(set.entries[1].header, "|data.bin|" + std::to_string(kWhenDos) + "|");
    EXPECT_EQ(set.engineCommand, "Engine.exe*");

    // Stored entries are framed with a negative length, compressed ones
    // with a positive one (the engine comes first).
    const std::string bytes = ReadBytes(spec.outputPath);
    const uint64_t engineBlock = set.firstEntryOffset;
    EXPECT_GT(int32_t(Get32(bytes, engineBlock)), 0);
    const uint64_t dataBlock = engineBlock + 4 + Get32(bytes, engineBlock);
    const std::string dataHeader = "|data.bin|" + std::to_string(kWhenDos) + "|";
    EXPECT_EQ(int32_t(Get32(bytes, dataBlock)), -int32_t(dataHeader.size() + 1 + 5000));

    const TGFileInfo info(spec.outputPath);
    EXPECT_EQ(info.Trailer.FilesCount, 5u);
    EXPECT_EQ(info.Trailer.PackageStart, set.firstEntryOffset);
    const uint64_t sizes[] = {3000, 5000, 0, 9000, 4};
    uint64_t exact = 0, by512 = 0, by4096 = 0, by65536 = 0;
    for (uint64_t s : sizes) {
        exact += s;
        by512 += (s + 511) / 512 * 512;
        by4096 += (s + 4095) / 4096 * 4096;
        by65536 += (s + 65535) / 65536 * 65536;
    }
    EXPECT_EQ(info.Trailer.RequiredSpace[0], exact);
    EXPECT_EQ(info.Trailer.RequiredSpace[1], by512);
    EXPECT_EQ(info.Trailer.RequiredSpace[4], by4096);
    EXPECT_EQ(info.Trailer.RequiredSpace[8], by65536);
    EXPECT_EQ(info.SpaceRequiredForCluster(4096), double(by4096));
}

TEST_F(KvpackTest, EngineArgumentsFollowTheStar) {
    PackageSpec spec = Spec();
    spec.enginePath = File("Setup.exe", "engine");
    spec.engineArgs = "/Q";
    Build(spec);
    const auto set = WalkPackage(spec.outputPath);
    ASSERT_EQ(set.entries.size(), 1u);
    EXPECT_EQ(set.entries[0].name, "Setup.exe");
    EXPECT_EQ(set.engineCommand, "Setup.exe*/Q");
    EXPECT_EQ(set.files.at("Setup.exe"), "engine");
}

TEST_F(KvpackTest, LargeFilesAreSplitIntoEntriesOfOneName) {
    PackageSpec spec = Spec();
    spec.maxEntrySize = 1000;
    spec.enginePath = File("Engine.exe", RandomBytes(2500, 3));
    const std::string big = RandomBytes(3500, 4);
    spec.inputs = {{File("big.bin", big), ""}};
    spec.storeMode = pack::StoreMode::StoreAll;
    Build(spec);
    const auto set = WalkPackage(spec.outputPath);
    ASSERT_EQ(set.entries.size(), 7u);  // 3 engine pieces, 4 of big.bin
    EXPECT_EQ(set.engineCommand, "Engine.exe*");
    for (size_t i = 0; i < 7; ++i) {
        EXPECT_FALSE(set.entries[i].compressed);
        EXPECT_EQ(set.entries[i].header.find('*') != std::string::npos, i == 0) << i;
        EXPECT_LE(set.entries[i].content.size(), 1000u);
    }
    EXPECT_EQ(set.files.at("Engine.exe"), ReadBytes(spec.enginePath));
    EXPECT_EQ(set.files.at("big.bin"), big);
    EXPECT_EQ(TGFileInfo(spec.outputPath).Trailer.FilesCount, 7u);
}

TEST_F(KvpackTest, SegmentsSplitTheEntriesAcrossFiles) {
    PackageSpec spec = Spec(4096);
    spec.enginePath = File("Engine.exe", RandomBytes(2000, 5));
    const std::string noise = RandomBytes(30000, 6), text = TextBytes(200000);
    spec.inputs = {{File("noise.bin", noise), ""}, {File("text.txt", text), ""}, {File("tiny", "t"), ""}};
    spec.segmentSize = 9000;
    const auto written = Build(spec);
    ASSERT_GE(written.size(), 4u);
    for (size_t i = 0; i < written.size(); ++i) {
        EXPECT_EQ(written[i], pack::SegmentPath(spec.outputPath, false, int(i + 1)));
        EXPECT_LE(ReadBytes(written[i]).size(), 9000u) << written[i];
    }
    EXPECT_EQ(written[1], spec.outputPath + ".002");

    const auto set = WalkPackage(spec.outputPath);
    ASSERT_TRUE(set.wellFormed);
    ExpectChecksumsMatch(set);
    ASSERT_EQ(set.segments.size(), written.size());
    for (size_t i = 0; i < set.segments.size(); ++i) {
        SCOPED_TRACE(set.segments[i].path);
        const TPackTrailer& t = set.segments[i].trailer;
        EXPECT_EQ(t.Magic, kPackMagic);
        EXPECT_EQ(t.PackageStart, i == 0 ? 4096u : 0u);
        EXPECT_EQ(HasNextSegment(t), i + 1 < set.segments.size());
        EXPECT_EQ(t.FilesCount, uint32_t(set.segments[i].entries));
        EXPECT_NE(t.Checksum, 1234u);  // every part is small enough to be summed
        EXPECT_GE(set.segments[i].entries, 1);
        EXPECT_EQ(t.RequiredSpace[0], 2000u + 30000u + 200000u + 1u);
    }
    EXPECT_EQ(set.files.at("Engine.exe"), ReadBytes(spec.enginePath));
    EXPECT_EQ(set.files.at("noise.bin"), noise);
    EXPECT_EQ(set.files.at("text.txt"), text);
    EXPECT_EQ(set.files.at("tiny"), "t");
    EXPECT_EQ(set.engineCommand, "Engine.exe*");
    EXPECT_TRUE(NoTemporaries());
}

TEST_F(KvpackTest, LaterSegmentThatWouldStartWithMzGetsAnEmptyBlockFirst) {
    // Segment 1 has no room for an entry, so the stored block of m.bin
    // opens segment 2; its length -(0xA5B3) is stored as 4D 5A FF FF.
    PackageSpec probe = Spec(1024);
    Build(probe);
    const size_t headers = ReadBytes(probe.outputPath).size() - 1024 - 74;
    const uint64_t segment = 50000;
    PackageSpec spec = Spec(size_t(segment - headers - 74 - 10));
    spec.segmentSize = segment;
    spec.storeMode = pack::StoreMode::StoreAll;
    const std::string header = "|m.bin|" + std::to_string(kWhenDos) + "|";
    const std::string content = RandomBytes(0xA5B3 - header.size() - 1, 7);
    spec.inputs = {{File("m.bin", content), ""}};
    const auto written = Build(spec);
    ASSERT_EQ(written.size(), 2u);
    const std::string second = ReadBytes(written[1]);
    EXPECT_EQ(second.substr(0, 6), std::string("\0\0\0\0\x4D\x5A", 6));
    EXPECT_FALSE(IsPeFile(MemorySource(second)));
    const auto set = WalkPackage(spec.outputPath);
    ExpectChecksumsMatch(set);
    EXPECT_EQ(set.segments[0].entries, 0);
    EXPECT_EQ(set.segments[1].trailer.FilesCount, 1u);
    EXPECT_EQ(set.files.at("m.bin"), content);
}

TEST_F(KvpackTest, SpannedSetHasALauncherAndNumberedParts) {
    for (const uint64_t segment : {uint64_t(0), uint64_t(9000)}) {
        SCOPED_TRACE(segment);
        PackageSpec spec = Spec(4096);
        spec.spanned = true;
        spec.segmentSize = segment;
        spec.enginePath = File("Engine.exe", RandomBytes(2000, 8));
        const std::string noise = RandomBytes(20000, 9);
        spec.inputs = {{File("noise.bin", noise), ""}};
        const auto written = Build(spec);
        ASSERT_GE(written.size(), segment == 0 ? 2u : 4u);
        if (segment == 0) EXPECT_EQ(written.size(), 2u);
        EXPECT_EQ(written[0], spec.outputPath);
        for (size_t i = 1; i < written.size(); ++i)
            EXPECT_EQ(written[i], pack::SegmentPath(spec.outputPath, true, int(i)));
        EXPECT_EQ(written[1], spec.outputPath + ".001");

        const TGFileInfo launcher(spec.outputPath);
        EXPECT_TRUE(launcher.IsSpanned());
        EXPECT_FALSE(HasNextSegment(launcher.Trailer));
        EXPECT_EQ(launcher.Trailer.FilesCount, 0u);
        EXPECT_EQ(launcher.Trailer.RequiredSpace[0], 22000u);
        EXPECT_EQ(launcher.Trailer.PackageStart, ReadBytes(spec.outputPath).size() - 74);
        EXPECT_EQ(launcher.UpdateUrl(), "http:");
        EXPECT_TRUE(WalkPackage(spec.outputPath).entries.empty());

        const std::string first = ReadBytes(spec.outputPath + ".001");
        EXPECT_EQ(first.substr(0, 4096), FakePe(4096));
        const TGFileInfo part1(spec.outputPath + ".001");
        EXPECT_EQ(part1.UpdateSettings, launcher.UpdateSettings);
        EXPECT_TRUE(part1.IsSpanned());
        EXPECT_EQ(HasNextSegment(part1.Trailer), segment != 0);

        const auto set = WalkPackage(spec.outputPath + ".001");
        ASSERT_TRUE(set.wellFormed);
        ExpectChecksumsMatch(set);
        EXPECT_EQ(set.segments.size(), written.size() - 1);
        EXPECT_EQ(set.files.at("Engine.exe"), ReadBytes(spec.enginePath));
        EXPECT_EQ(set.files.at("noise.bin"), noise);
    }
}

// Shells out to openssl and osslsigncode; they are part of the build
// environment, so a missing tool is a failure, not a skip.
bool RunTool(const std::string& command, const std::string& log, std::string& output) {
    const int rc = std::system((command + " >" + log + " 2>&1").c_str());
    output = ReadBytes(log);
    return rc == 0;
}

TEST_F(KvpackTest, SignPrepKeepsThePackageReadableAfterARealSignature) {
    std::string out;
    ASSERT_TRUE(RunTool("command -v osslsigncode", dir / "which.log", out))
        << "osslsigncode is not installed (apt-get install -y osslsigncode)";
    ASSERT_TRUE(RunTool("openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj /CN=kvpack-test -keyout " +
                        (dir / "key.pem") + " -out " + (dir / "cert.pem"),
                    dir / "openssl.log", out))
        << out;

    // A small stub (the signed checksum is computed) and a real-sized one.
    for (const size_t stubSize : {size_t(2048), size_t(64 * 1024)}) {
        SCOPED_TRACE(stubSize);
        PackageSpec spec = Spec();
        WriteBytes(spec.stubPath, testing::SignablePe(stubSize));
        spec.signPrep = true;
        spec.update = {"http://u.example/", "App.info", "Agent.exe", "tok", "0"};
        spec.withDownload = true;
        spec.download = {"http://d.example/", "Full.exe", "0", "dtok", "999"};
        spec.installAgent = 1;
        spec.showActivityBar = true;
        spec.enginePath = File("Engine.exe", RandomBytes(3000, 10));
        const std::string text = TextBytes(5000);
        spec.inputs = {{File("a.txt", text), ""}};
        Build(spec);
        const std::string prepared = ReadBytes(spec.outputPath);
        EXPECT_EQ(Get32(prepared, 248), 0u);
        EXPECT_EQ(Get32(prepared, 252), prepared.size());

        const std::string signedPath = dir / "signed.exe";
        std::remove(signedPath.c_str());
        ASSERT_TRUE(RunTool("osslsigncode sign -certs " + (dir / "cert.pem") + " -key " + (dir / "key.pem") +
                            " -in " + spec.outputPath + " -out " + signedPath,
                        dir / "sign.log", out))
            << out;
        ASSERT_TRUE(RunTool("osslsigncode verify -CAfile " + (dir / "cert.pem") + " -in " + signedPath,
                        dir / "verify.log", out))
            << out;
        const std::string signedBytes = ReadBytes(signedPath);
        ASSERT_GT(signedBytes.size(), prepared.size());
        EXPECT_EQ(SignedPackageEnd(signedBytes), prepared.size());

        const TGFileInfo info(signedPath);
        EXPECT_EQ(info.Trailer.Magic, kPackMagic);
        EXPECT_EQ(info.Trailer.HeaderCount, 3);
        EXPECT_EQ(info.Trailer.FilesCount, 2u);
        EXPECT_EQ(info.UpdateUrl(), "http://u.example/");
        EXPECT_EQ(info.InfoFileName(), "App.info");
        EXPECT_EQ(info.AgentExeName(), "Agent.exe");
        EXPECT_EQ(info.UpdateToken(true), "tok");
        EXPECT_EQ(info.DownloadUrl(), "http://d.example/");
        EXPECT_EQ(info.DownloadFileName(), "Full.exe");
        EXPECT_EQ(info.DownloadToken(true), "dtok");
        EXPECT_EQ(info.DownloadSize(), "999");
        EXPECT_TRUE(info.InstallsAgent());
        EXPECT_TRUE(info.ShowActivityBar());
        EXPECT_EQ(info.Trailer.RequiredSpace[0], 8000u);

        const auto set = WalkPackage(signedPath);
        ASSERT_TRUE(set.wellFormed);
        ExpectChecksumsMatch(set);
        EXPECT_EQ(set.segments[0].trailer.Checksum == 1234u, stubSize > 51200);
        EXPECT_EQ(set.files.at("a.txt"), text);
        EXPECT_EQ(set.files.at("Engine.exe"), ReadBytes(spec.enginePath));

        // The agent copy the unpacker writes from it: image and headers,
        // word 252 cleared, the trailer marked as the agent.
        std::string agent = signedBytes.substr(0, size_t(set.firstEntryOffset));
        testing::Put32(agent, 252, 0);
        TPackTrailer t = set.segments[0].trailer;
        t.IsAutoUpdateProgram = 1;
        t.TrailerSize = 74;
        const auto rec = t.Encode();
        agent.append(rec.begin(), rec.end());
        const TGFileInfo agentInfo{MemorySource(agent)};
        EXPECT_TRUE(agentInfo.IsAutoUpdateProgram());
        EXPECT_EQ(agentInfo.AgentExeName(), "Agent.exe");
        EXPECT_EQ(agentInfo.DownloadSize(), "999");
    }
}

TEST_F(KvpackTest, LanguageTableFromIniFile) {
    PackageSpec spec = Spec();
    spec.languageIni = File("lang.ini",
                            "; texts\r\n[English]\r\ns0 = Kavrix Setup\r\nBtnText=|&OK|&Cancel|\r\n"
                            "FontName=\" Tahoma \"\r\n\r\n[German]\ns0=Installation\ns1=\n");
    Build(spec);
    const std::string table = TGFileInfo(spec.outputPath).LanguageTable;
    ASSERT_EQ(SUB::Count(table), 2);
    const std::string english = SUB::Get(table, 0), german = SUB::Get(table, 1);
    EXPECT_EQ(SUB::Get(english, 0), "English");
    EXPECT_EQ(SUB::GetValue(english, "s0", "-", ""), "Kavrix Setup");
    EXPECT_EQ(SUB::GetValue(english, "BtnText", "-", ""), "|&OK|&Cancel|");
    EXPECT_EQ(SUB::GetValue(english, "FontName", "-", ""), " Tahoma ");
    EXPECT_EQ(SUB::Get(german, 0), "German");
    EXPECT_EQ(SUB::GetValue(german, "s0", "-", ""), "Installation");
    EXPECT_EQ(SUB::GetValue(german, "s1", "-", "empty"), "empty");
    EXPECT_EQ(SUB::GetValue(german, "s2", "-", ""), "-");
}

TEST(LanguageTableFromIni, RefusesMalformedText) {
    const char* bad[] = {"s0=x\n[English]\n", "[English]\nno equals sign\n", "[English]\n[english]\n",
                         "[English\n", "[ ]\n", "[English]\ns0=a\nS0=b\n"};
    for (const char* text : bad) {
        std::string table, error;
        EXPECT_FALSE(pack::LanguageTableFromIni(text, table, error)) << text;
        EXPECT_FALSE(error.empty());
    }
    std::string table, error;
    EXPECT_TRUE(pack::LanguageTableFromIni("; nothing\n", table, error));
    EXPECT_EQ(table, "|");
}

TEST_F(KvpackTest, RefusesBadInputAndLeavesTheOldOutputAlone) {
    std::filesystem::create_directory(dir / "nested");
    std::filesystem::create_directory(dir / "nested/sub");
    File("nested/top.txt", "t");
    ASSERT_EQ(::mkfifo((dir / "pipe").c_str(), 0600), 0);
    const std::string a = File("a.txt", "a"), b = File("b.txt", "b");
    PackageSpec packaged = Spec();
    packaged.outputPath = dir / "packaged.exe";
    Build(packaged);

    struct Case {
        const char* what;
        std::function<void(PackageSpec&)> change;
        const char* message;
    };
    const Case cases[] = {
        {"missing stub", [&](PackageSpec& s) { s.stubPath = dir / "nostub.exe"; }, "stub not found"},
        {"missing file", [&](PackageSpec& s) { s.inputs = {{dir / "gone.txt", ""}}; }, "not found"},
        {"missing engine", [&](PackageSpec& s) { s.enginePath = dir / "gone.exe"; }, "engine file not found"},
        {"folder with a subfolder", [&](PackageSpec& s) { s.inputs = {{dir / "nested", ""}}; }, "subfolder"},
        {"not a regular file", [&](PackageSpec& s) { s.inputs = {{dir / "pipe", ""}}; }, "not a file or folder"},
        {"name with a folder part", [&](PackageSpec& s) { s.inputs = {{a, "sub/a.txt"}}; }, "folder part"},
        {"name with a backslash", [&](PackageSpec& s) { s.inputs = {{a, "sub\\a.txt"}}; }, "folder part"},
        {"name ..", [&](PackageSpec& s) { s.inputs = {{a, ".."}}; }, "names a folder"},
        {"name with a separator", [&](PackageSpec& s) { s.inputs = {{a, "a|b"}}; }, "cannot carry"},
        {"name with a star", [&](PackageSpec& s) { s.inputs = {{a, "a*"}}; }, "cannot carry"},
        {"name too long", [&](PackageSpec& s) { s.inputs = {{a, std::string(256, 'n')}}; }, "too long"},
        {"duplicate names", [&](PackageSpec& s) { s.inputs = {{a, "x.txt"}, {b, "X.TXT"}}; }, "two entries"},
        {"unknown stored name", [&](PackageSpec& s) {
             s.inputs = {{a, ""}};
             s.storeMode = pack::StoreMode::StoreNamed;
             s.storeNames = {"b.txt"};
         }, "names no file"},
        {"separator in the update address", [&](PackageSpec& s) { s.update.url = "http://a|b"; }, "separator"},
        {"separator in the agent name", [&](PackageSpec& s) { s.update.agentExeName = "a|.exe"; }, "separator"},
        {"separator in a download field", [&](PackageSpec& s) {
             s.withDownload = true;
             s.download.fileName = "x|y";
         }, "separator"},
        {"separator in the engine arguments", [&](PackageSpec& s) {
             s.enginePath = a;
             s.engineArgs = "/A|B";
         }, "separator"},
        {"malformed language table", [&](PackageSpec& s) { s.languageTable = "|English"; }, "field list"},
        {"missing language INI", [&](PackageSpec& s) { s.languageIni = dir / "none.ini"; }, "not found"},
        {"sign-prep with a stub that is no PE", [&](PackageSpec& s) {
             s.stubPath = File("plain.bin", std::string(600, 'x'));
             s.signPrep = true;
         }, "PE signature"},
        {"stub that already carries a package", [&](PackageSpec& s) { s.stubPath = packaged.outputPath; },
         "already carries"},
        {"segment smaller than stub and headers", [&](PackageSpec& s) { s.segmentSize = 1000; }, "smaller than"},
        {"segment too small for an entry", [&](PackageSpec& s) {
             // The first segment is complete and written before the
             // failure: it must disappear with the rest.
             s.stubPath = File("tiny.bin", "0123456789");
             s.segmentSize = 200;
             s.storeMode = pack::StoreMode::StoreAll;
             s.inputs = {{a, std::string(120, 'n') + ".txt"}};
         }, "too small"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        PackageSpec spec = Spec();
        WriteBytes(spec.outputPath, "old");
        c.change(spec);
        std::string error;
        std::vector<std::string> written;
        EXPECT_FALSE(BuildPackage(spec, error, &written));
        EXPECT_NE(error.find(c.message), std::string::npos) << error;
        EXPECT_TRUE(written.empty());
        EXPECT_EQ(ReadBytes(spec.outputPath), "old");
        EXPECT_FALSE(PathExists(spec.outputPath + ".002"));
        EXPECT_TRUE(NoTemporaries());
    }
}

TEST_F(KvpackTest, TopLevelFilesOfAFolderComeInNameOrder) {
    PackageSpec spec = Spec();
    std::filesystem::create_directory(dir / "f");
    File("f/b", "2");
    File("f/a", "1");
    File("f/c", "3");
    spec.inputs = {{dir / "f", ""}};
    Build(spec);
    const auto set = WalkPackage(spec.outputPath);
    ASSERT_EQ(set.entries.size(), 3u);
    EXPECT_EQ(set.entries[0].name + set.entries[1].name + set.entries[2].name, "abc");
    EXPECT_EQ(set.files.at("c"), "3");
}

TEST(DosDateTime, PacksLocalTimeAndClampsToTheDosRange) {
    EXPECT_EQ(pack::DosDateTime(When()), kWhenDos);
    EXPECT_EQ(pack::DosDateTime(0), (1u << 5 | 1u) << 16);  // 1970: before DOS time began
}

TEST(KvpackCli, ParsesEveryKindOfOption) {
    PackageSpec spec;
    std::string error;
    const std::vector<std::string> args = {
        "--stub", "s.exe", "--out=o.exe", "--engine", "E.exe", "--engine-args", "/Q", "one.txt",
        "--add", "two", "--add-as", "p/3.txt", "three.txt", "--store", "one.txt", "--max-entry", "64K",
        "--level=6", "--update-url", "http://u/", "--hidden", "1", "--download-size", "77",
        "--token-seed", "9", "--spanned", "--internet-setup=3", "--install-agent", "--segment-size", "1440K",
        "--sign-prep"};
    ASSERT_EQ(pack::ParseArguments(args, spec, error), pack::CliResult::Build) << error;
    EXPECT_EQ(spec.stubPath, "s.exe");
    EXPECT_EQ(spec.outputPath, "o.exe");
    EXPECT_EQ(spec.engineArgs, "/Q");
    ASSERT_EQ(spec.inputs.size(), 3u);
    EXPECT_EQ(spec.inputs[2].path, "p/3.txt");
    EXPECT_EQ(spec.inputs[2].name, "three.txt");
    EXPECT_EQ(spec.storeMode, pack::StoreMode::StoreNamed);
    EXPECT_EQ(spec.maxEntrySize, 65536u);
    EXPECT_EQ(spec.compressionLevel, 6);
    EXPECT_EQ(spec.update.url, "http://u/");
    EXPECT_EQ(spec.update.hidden, "1");
    EXPECT_TRUE(spec.withDownload);
    EXPECT_EQ(spec.download.size, "77");
    EXPECT_TRUE(spec.haveTokenSeed);
    EXPECT_TRUE(spec.spanned);
    EXPECT_EQ(spec.internetSetup, 3);
    EXPECT_EQ(spec.installAgent, 1);
    EXPECT_EQ(spec.segmentSize, 1440u * 1024);
    EXPECT_TRUE(spec.signPrep);
}

TEST(KvpackCli, HelpAndUsageErrors) {
    const std::vector<std::vector<std::string>> bad = {
        {"--stub", "s", "--out", "o", "--bogus"},
        {"--stub", "s"},
        {"--stub", "s", "--out", "o", "--hidden", "2"},
        {"--stub", "s", "--out", "o", "--level", "10"},
        {"--stub", "s", "--out", "o", "--internet-setup=256"},
        {"--stub", "s", "--out", "o", "--segment-size"},
        {"--stub", "s", "--out", "o", "--lang-table", "|", "--lang-ini", "l.ini"},
    };
    for (const auto& args : bad) {
        PackageSpec spec;
        std::string error;
        EXPECT_EQ(pack::ParseArguments(args, spec, error), pack::CliResult::Error) << args.back();
        EXPECT_FALSE(error.empty());
    }
    PackageSpec spec;
    std::string error;
    EXPECT_EQ(pack::ParseArguments({"--out", "o", "--help"}, spec, error), pack::CliResult::Help);
    const std::string help = pack::HelpText();
    for (const char* option : {"--stub", "--out", "--engine", "--engine-name", "--engine-args", "--add", "--add-as",
                               "--store-all", "--store", "--max-entry", "--level", "--lang-table", "--lang-ini",
                               "--update-url", "--info-file", "--agent-exe", "--update-token", "--hidden",
                               "--download-url", "--download-file", "--always-download", "--download-token",
                               "--download-size", "--token-seed", "--ask-before-extract", "--activity-bar",
                               "--agent-log", "--spanned", "--internet-setup", "--ask-before-download",
                               "--install-agent", "--auto-update-program", "--segment-size", "--sign-prep"})
        EXPECT_NE(help.find(option), std::string::npos) << option;
}

}  // namespace
}  // namespace kv
