// The unpacker under Wine with packages from the builder: files, dates,
// progress calls, trace lines, segments and the disk question, the agent
// copy, and damaged packages.
#include <gtest/gtest.h>

#include <windows.h>
#include <shlobj.h>

#include <cstring>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "fresh_process.h"
#include "harness/harness.h"
#include "kvpack/kvpack.h"
#include "package/byte_source.h"
#include "package/packx.h"
#include "package/unpack.h"
#include "util/kdebug.h"

namespace {

using namespace kv::test;
using kv::pack::PackageSpec;

constexpr unsigned kRunMs = 60000;   // one unpack of these small packages ends well within this
constexpr unsigned kBoxMs = 20000;   // a box appears (and goes) well within this
constexpr const char* kPrompt = "Please insert <B>DISK #<DISK_NUM></B> and press OK to continue";

// ---- Progress recorder --------------------------------------------------------

struct ProgressCall {
    int32_t kind, low, high, position, step;
    bool operator==(const ProgressCall& o) const {
        return kind == o.kind && low == o.low && high == o.high && position == o.position && step == o.step;
    }
};
std::mutex g_progressLock;
std::vector<ProgressCall> g_progress;
bool g_progressTextEmpty = true;

void RecordProgress(int32_t kind, int32_t low, int32_t high, int32_t position, int32_t step,
                    const std::string& text) {
    std::lock_guard<std::mutex> lock(g_progressLock);
    g_progress.push_back({kind, low, high, position, step});
    g_progressTextEmpty = g_progressTextEmpty && text.empty();
}

std::vector<ProgressCall> TakeProgress() {
    std::lock_guard<std::mutex> lock(g_progressLock);
    std::vector<ProgressCall> calls;
    calls.swap(g_progress);
    return calls;
}

size_t Steps(const std::vector<ProgressCall>& calls) {
    size_t n = 0;
    for (const ProgressCall& c : calls) n += c == ProgressCall{1, 0, 0, 0, 1} ? 1 : 0;
    return n;
}

// ---- Bytes and packages ----------------------------------------------------------

uint32_t Get32(const std::string& b, size_t at) {
    return kv::LoadU32(reinterpret_cast<const unsigned char*>(&b[at]));
}
void Put32(std::string& b, size_t at, uint32_t v) { kv::StoreU32(reinterpret_cast<unsigned char*>(&b[at]), v); }

// Passes for our PE stub ("MZ", "PE" at 256) and is small enough for the
// checksum to be computed.
std::string FakeStub() {
    std::string b(2048, '\0');
    for (size_t i = 0; i < b.size(); ++i) b[i] = char(0x20 + (i * 7) % 90);
    b[0] = 'M';
    b[1] = 'Z';
    for (size_t i = 248; i < 256; ++i) b[i] = 0;
    b[256] = 'P';
    b[257] = 'E';
    return b;
}

std::string Content(int i, size_t size = 0) {
    std::string s = "file " + std::to_string(i) + ":";
    if (size == 0) size = 100 + 37 * size_t(i);
    while (s.size() < size) s += char((s.size() * 7 + size_t(i) * 13) % 256);
    return s;
}

// Offsets of the blocks of one package file, from its PackageStart.
std::vector<size_t> BlockOffsets(const std::string& bytes) {
    kv::TPackTrailer t;
    EXPECT_TRUE(kv::ReadTrailer(kv::MemorySource(bytes), t));
    std::vector<size_t> at;
    size_t pos = t.PackageStart;
    while (bytes.size() - pos > 74) {
        at.push_back(pos);
        const int32_t n = int32_t(Get32(bytes, pos));
        pos += 4 + size_t(n < 0 ? -int64_t(n) : int64_t(n));
    }
    return at;
}

// Stores 1234 as the checksum, so a change in the blocks reaches the walk.
void SkipChecksum(std::string& bytes) { Put32(bytes, bytes.size() - 74 + 16, 1234); }

FILETIME LocalTime(WORD year, WORD month, WORD day, WORD hour, WORD minute, WORD second) {
    SYSTEMTIME st{};
    st.wYear = year;
    st.wMonth = month;
    st.wDay = day;
    st.wHour = hour;
    st.wMinute = minute;
    st.wSecond = second;
    FILETIME local{}, utc{};
    SystemTimeToFileTime(&st, &local);
    LocalFileTimeToFileTime(&local, &utc);
    return utc;
}

bool SetWriteTime(const std::string& path, const FILETIME& when) {
    kv::FileHandle h(CreateFileA(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0,
                                 nullptr));
    return h && SetFileTime(h.get(), nullptr, nullptr, &when);
}

FILETIME WriteTime(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA d{};
    GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &d);
    return d.ftLastWriteTime;
}

int64_t Ticks(const FILETIME& f) { return int64_t(f.dwHighDateTime) << 32 | f.dwLowDateTime; }

bool FolderExists(const std::string& path) {
    const DWORD a = GetFileAttributesA(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// ---- Running the unpacker ---------------------------------------------------------

struct Outcome {
    bool finished = false;
    bool crcOk = false;
    std::string engine = "unset";
    bool threw = false;
    std::string error;
    std::vector<std::string> boxTexts;  // boxes that appeared and were closed
};

std::string BoxText(HWND box) { return ControlText(FindChildOfClass(box, "RICHEDIT")); }

// Runs the unpacker on a worker thread; any box that shows up is counted
// and closed (a disk question closed that way counts as Cancel).
Outcome RunUnpack(const std::string& first, const std::string& dest, bool forcePrompt = false,
               const std::string& agent = std::string()) {
    Outcome o;
    {
        WorkerThread worker([&] {
            try {
                kv::UnpackPackage(first, dest, agent, o.crcOk, &RecordProgress, kPrompt, "Attention", "", 0,
                                  forcePrompt, o.engine);
            } catch (const kv::DecompressionError& e) {
                o.threw = true;
                o.error = e.what();
            }
        });
        Deadline deadline(kRunMs);
        while (!(o.finished = worker.Wait(50)) && !deadline.Passed()) {
            for (HWND box : TopLevelWindows("KMsgBox", GetCurrentProcessId())) {
                WaitUntil(kBoxMs, [box] { return !ListButtons(box).empty(); });
                o.boxTexts.push_back(BoxText(box));
                PostMessageA(box, WM_CLOSE, 0, 0);
                WaitForWindowGone(box, kBoxMs);
            }
        }
    }
    return o;
}

class Unpack : public ::testing::Test {
protected:
    void SetUp() override {
        kv::TraceStartup();
        ASSERT_TRUE(dir_.Valid());
        pkg_ = dir_.File("pkg");
        out_ = dir_.File("out\\deeper\\dest");
        ASSERT_TRUE(CreateDirectoryA(pkg_.c_str(), nullptr));
        TakeProgress();
    }

    void TearDown() override {
        EXPECT_TRUE(CloseTopLevelWindows("KMsgBox", GetCurrentProcessId(), kBoxMs));
    }

    std::string Input(const std::string& name, const std::string& content) {
        const std::string path = dir_.File(name);
        EXPECT_TRUE(WriteWholeFile(path, content));
        return path;
    }

    // The engine first (marked), then `count` files f0.txt ...
    PackageSpec Spec(int count, size_t size = 0) {
        PackageSpec spec;
        spec.stubPath = Input("stub.exe", FakeStub());
        spec.outputPath = pkg_ + "\\setup.exe";
        spec.haveTokenSeed = true;
        spec.enginePath = Input("Engine.exe", "MZ engine body");
        for (int i = 0; i < count; ++i)
            spec.inputs.push_back({Input("f" + std::to_string(i) + ".txt", Content(i, size)), ""});
        return spec;
    }

    std::vector<std::string> Build(const PackageSpec& spec) {
        std::vector<std::string> written;
        std::string error;
        EXPECT_TRUE(kv::pack::BuildPackage(spec, error, &written)) << error;
        return written;
    }

    std::string Out(const std::string& name) const { return out_ + "\\" + name; }

    void ExpectFiles(int count, size_t size = 0) {
        EXPECT_EQ(ReadWholeFile(Out("Engine.exe")), "MZ engine body");
        for (int i = 0; i < count; ++i)
            EXPECT_EQ(ReadWholeFile(Out("f" + std::to_string(i) + ".txt")), Content(i, size)) << i;
    }

    TempDir dir_;
    std::string pkg_;
    std::string out_;
};

// ---- Whole packages -----------------------------------------------------------------

TEST_F(Unpack, TwentyFiveEntriesGiveTwentyFiveFilesProgressAndTraceLines) {
    const std::vector<std::string> written = Build(Spec(24));
    ASSERT_EQ(written.size(), 1u);
    TraceReceiver viewer;
    ASSERT_TRUE(viewer.Ready());
    const Outcome o = RunUnpack(written[0], out_);
    ASSERT_TRUE(o.finished);
    EXPECT_EQ(o.boxTexts.size(), 0u);
    EXPECT_TRUE(o.crcOk);
    EXPECT_EQ(o.engine, "Engine.exe*");
    ExpectFiles(24);
    EXPECT_FALSE(FileExists(Out("Engine.exe*")));

    std::vector<ProgressCall> want = {{0, 0, 0, 0, 1}, {0, 0, 25, 0, 1}};
    want.insert(want.end(), 25, ProgressCall{1, 0, 0, 0, 1});
    EXPECT_EQ(TakeProgress(), want);
    EXPECT_TRUE(g_progressTextEmpty);

    const std::vector<std::string> lines = viewer.Lines();
    const std::string size = std::to_string(ReadWholeFile(written[0]).size());
    std::vector<std::string> ours;
    for (const std::string& l : lines)
        if (l.rfind("FileInfo.", 0) == 0 || l.rfind("FileLen=", 0) == 0 || l.rfind("UnCompressTime: ", 0) == 0)
            ours.push_back(l);
    ASSERT_EQ(ours.size(), 3u) << viewer.Text();
    EXPECT_EQ(ours[0], "FileInfo.FilesCount=25");
    EXPECT_EQ(ours[1], "FileLen=" + size);
    EXPECT_EQ(ours[2].substr(ours[2].size() - 3), " MS");
    const std::string ms = ours[2].substr(16, ours[2].size() - 19);
    EXPECT_FALSE(ms.empty());
    EXPECT_EQ(ms.find_first_not_of("0123456789"), std::string::npos) << ours[2];
    EXPECT_NE(viewer.Text().find(ours[2] + "\r\n\r\n"), std::string::npos) << "an empty line follows";
}

TEST_F(Unpack, StoredAndMixedEntriesAreWrittenByteForByte) {
    std::string binary;
    for (int i = 0; i < 5000; ++i) binary += char((i * 31) % 256);  // zeros and high bytes included
    for (kv::pack::StoreMode mode : {kv::pack::StoreMode::StoreAll, kv::pack::StoreMode::StoreNamed}) {
        PackageSpec spec = Spec(3);
        spec.inputs.push_back({Input("blob.bin", binary), ""});
        spec.storeMode = mode;
        spec.storeNames = {"blob.bin", "f1.txt"};
        const Outcome o = RunUnpack(Build(spec)[0], out_);
        ASSERT_TRUE(o.finished);
        EXPECT_TRUE(o.crcOk);
        ExpectFiles(3);
        EXPECT_EQ(ReadWholeFile(Out("blob.bin")), binary);
        ASSERT_TRUE(RemoveTree(dir_.File("out")));
    }
}

TEST_F(Unpack, SameNameEntriesAppendInOrderWithOneProgressStep) {
    PackageSpec spec = Spec(2, 1000);
    spec.maxEntrySize = 90;  // every file split into about a dozen entries
    spec.storeMode = kv::pack::StoreMode::StoreAll;
    const Outcome o = RunUnpack(Build(spec)[0], out_);
    ASSERT_TRUE(o.finished);
    ExpectFiles(2, 1000);
    EXPECT_EQ(Steps(TakeProgress()), 3u);  // engine, f0, f1
}

TEST_F(Unpack, EntryDatesBecomeFileDatesAndZeroLeavesTheWriteTime) {
    PackageSpec spec = Spec(2);
    spec.storeMode = kv::pack::StoreMode::StoreAll;
    const FILETIME when = LocalTime(2001, 6, 15, 13, 45, 32);
    for (const auto& in : spec.inputs) ASSERT_TRUE(SetWriteTime(in.path, when));
    std::string bytes = ReadWholeFile(Build(spec)[0]);
    // f1's header "|f1.txt|<date>|" gets a date of zeros of the same length.
    const size_t at = bytes.find("|f1.txt|");
    ASSERT_NE(at, std::string::npos);
    const size_t digits = at + 8, end = bytes.find('|', digits);
    bytes.replace(digits, end - digits, std::string(end - digits, '0'));
    SkipChecksum(bytes);
    const std::string path = pkg_ + "\\dated.exe";
    ASSERT_TRUE(WriteWholeFile(path, bytes));

    FILETIME before{};
    GetSystemTimeAsFileTime(&before);
    const Outcome o = RunUnpack(path, out_);
    ASSERT_TRUE(o.finished);
    EXPECT_EQ(Ticks(WriteTime(Out("f0.txt"))), Ticks(when));
    EXPECT_GE(Ticks(WriteTime(Out("f1.txt"))), Ticks(before) - 20000000);  // as written, not 2001
    EXPECT_EQ(ReadWholeFile(Out("f1.txt")), Content(1));
}

TEST_F(Unpack, AnExistingFileIsExtendedNotReplaced) {
    ASSERT_EQ(SHCreateDirectoryExA(nullptr, out_.c_str(), nullptr), ERROR_SUCCESS);
    ASSERT_TRUE(WriteWholeFile(Out("f1.txt"), "OLD:"));
    const Outcome o = RunUnpack(Build(Spec(3))[0], out_);
    ASSERT_TRUE(o.finished);
    EXPECT_EQ(ReadWholeFile(Out("f1.txt")), "OLD:" + Content(1));
    EXPECT_EQ(Steps(TakeProgress()), 3u);  // engine, f0, f2: f1 was there
}

// ---- Segments ----------------------------------------------------------------------

TEST_F(Unpack, SegmentSetsPresentOnDiskAreReadWithoutAQuestion) {
    struct Shape {
        const char* what;
        bool spanned;
    };
    for (const Shape s : {Shape{"spanned, started at .001", true}, Shape{"segmented, started at .exe", false}}) {
        SCOPED_TRACE(s.what);
        PackageSpec spec = Spec(3, 1500);
        spec.storeMode = kv::pack::StoreMode::StoreAll;
        spec.spanned = s.spanned;
        spec.segmentSize = 2048 + 1200;
        const std::vector<std::string> written = Build(spec);
        const size_t segments = written.size() - (s.spanned ? 1 : 0);
        ASSERT_EQ(segments, 3u);
        const std::string first = s.spanned ? spec.outputPath + ".001" : spec.outputPath;
        EXPECT_EQ(written[s.spanned ? 1 : 0], first);
        EXPECT_EQ(written.back(), spec.outputPath + ".003");
        const Outcome o = RunUnpack(first, out_);
        ASSERT_TRUE(o.finished);
        EXPECT_EQ(o.boxTexts.size(), 0u);
        EXPECT_TRUE(o.crcOk);
        EXPECT_EQ(o.engine, "Engine.exe*");
        ExpectFiles(3, 1500);
        const std::vector<ProgressCall> calls = TakeProgress();
        ASSERT_GE(calls.size(), 2u);
        EXPECT_EQ(calls[0], (ProgressCall{0, 0, 0, 0, 1}));
        EXPECT_EQ(calls[1].high, int32_t(kv::TGFileInfo(first).Trailer.FilesCount));
        EXPECT_EQ(Steps(calls), 4u + 2u);  // four files, two segment changes
        ASSERT_TRUE(RemoveTree(dir_.File("out")));
        ASSERT_TRUE(RemoveTree(pkg_));
        ASSERT_TRUE(CreateDirectoryA(pkg_.c_str(), nullptr));
    }
}

// ---- Agent copy ----------------------------------------------------------------------

TEST_F(Unpack, AgentCopyOfASignedStubPackageIsAnUnsignedAgent) {
    PackageSpec spec = Spec(2);
    spec.stubPath = StubPath();
    spec.signPrep = true;
    spec.installAgent = 1;
    spec.update.agentExeName = "Agent.exe";
    const std::string first = Build(spec)[0];
    // What a signing tool adds after the recorded end.
    std::string bytes = ReadWholeFile(first);
    ASSERT_EQ(Get32(bytes, 252), bytes.size());
    bytes += std::string(1024, '\x5A');
    ASSERT_TRUE(WriteWholeFile(first, bytes));
    const FILETIME when = LocalTime(2010, 3, 4, 5, 6, 8);
    ASSERT_TRUE(SetWriteTime(first, when));

    TraceReceiver viewer;
    ASSERT_TRUE(viewer.Ready());
    const Outcome o = RunUnpack(first, out_, false, "C:\\some\\where\\Agent.exe");
    ASSERT_TRUE(o.finished);
    ExpectFiles(2);
    const std::string agentPath = Out("Agent.exe");
    const std::string agent = ReadWholeFile(agentPath);
    ASSERT_GT(agent.size(), 74u + 512u);
    EXPECT_EQ(Get32(agent, 252), 0u);
    EXPECT_EQ(Get32(agent, agent.size() - 4), 74u);
    EXPECT_EQ(agent[agent.size() - 74 + 69], 1);
    EXPECT_EQ(agent.substr(0, 252), bytes.substr(0, 252));
    EXPECT_EQ(Ticks(WriteTime(agentPath)), Ticks(when));

    kv::TPackTrailer t;
    ASSERT_TRUE(kv::ReadTrailer(agentPath, t));
    EXPECT_EQ(t.IsAutoUpdateProgram, 1);
    const kv::TGFileInfo info(agentPath);
    const kv::TGFileInfo original(first);
    EXPECT_TRUE(info.IsAutoUpdateProgram());
    EXPECT_EQ(info.AgentExeName(), "Agent.exe");
    EXPECT_EQ(info.UpdateSettings, original.UpdateSettings);
    EXPECT_EQ(info.Trailer.FilesCount, original.Trailer.FilesCount);
    EXPECT_TRUE(viewer.WaitFor(std::to_string(GetCurrentProcessId()) + " New AU-Agent: " + agentPath + "\r\n", 5000))
        << viewer.Text();
}

TEST_F(Unpack, NoAgentCopyFromAFileThatIsNoProgram) {
    PackageSpec spec = Spec(1);
    spec.outputPath = pkg_ + "\\setup.bin";
    const Outcome o = RunUnpack(Build(spec)[0], out_, false, "Agent.exe");
    ASSERT_TRUE(o.finished);
    ExpectFiles(1);
    EXPECT_FALSE(FileExists(Out("Agent.exe")));
}

TEST_F(Unpack, NoFolderNamedShowsTheFolderMessageAndWritesNothingElsewhere) {
    const std::string first = Build(Spec(1))[0];
    const Outcome o = RunUnpack(first, "");
    ASSERT_TRUE(o.finished) << o.boxTexts.size() << " boxes, the last: " << (o.boxTexts.empty() ? "" : o.boxTexts.back());
    ASSERT_FALSE(o.boxTexts.empty());
    EXPECT_NE(o.boxTexts[0].find("Unable to create Directory!"), std::string::npos) << o.boxTexts[0];
    // The entries would have gone to the root of the current drive.
    EXPECT_FALSE(FileExists("\\Engine.exe"));
    EXPECT_FALSE(FileExists("\\f0.txt"));
    EXPECT_EQ(o.engine, "Engine.exe*");
}

// ---- Damaged packages ------------------------------------------------------------------

TEST_F(Unpack, AChangedByteFailsTheChecksumAndNothingIsWritten) {
    std::string bytes = ReadWholeFile(Build(Spec(3))[0]);
    bytes[bytes.size() / 2] ^= 0x10;
    const std::string path = pkg_ + "\\flipped.exe";
    ASSERT_TRUE(WriteWholeFile(path, bytes));
    const Outcome o = RunUnpack(path, out_);
    ASSERT_TRUE(o.finished);
    EXPECT_FALSE(o.crcOk);
    EXPECT_EQ(o.engine, "");
    EXPECT_FALSE(FolderExists(out_));
}

TEST_F(Unpack, AMissingFirstFileIsNotOk) {
    const Outcome o = RunUnpack(pkg_ + "\\none.exe", out_);
    ASSERT_TRUE(o.finished);
    EXPECT_FALSE(o.crcOk);
    EXPECT_EQ(o.engine, "");
    EXPECT_EQ(TakeProgress(), (std::vector<ProgressCall>{{0, 0, 0, 0, 1}}));
}

TEST_F(Unpack, BlocksPastTheEndAndCutFilesAreDamageAndStopTheSet) {
    PackageSpec spec = Spec(4);
    spec.storeMode = kv::pack::StoreMode::StoreAll;
    const std::string good = ReadWholeFile(Build(spec)[0]);
    const std::vector<size_t> blocks = BlockOffsets(good);
    ASSERT_EQ(blocks.size(), 7u);  // two headers, the engine, four files
    const size_t last = blocks.back();
    struct Case {
        const char* what;
        std::string bytes;
    };
    std::string pastEnd = good, minLength = good, cut;
    Put32(pastEnd, last, uint32_t(-int32_t(good.size() - last - 4 + 1)));
    Put32(minLength, last, 0x80000000u);
    cut = good.substr(0, last + 8) + good.substr(good.size() - 74);
    for (Case c : {Case{"one byte past", pastEnd}, Case{"length -2^31", minLength}, Case{"cut inside", cut}}) {
        SCOPED_TRACE(c.what);
        SkipChecksum(c.bytes);
        const std::string path = pkg_ + "\\damaged.exe";
        ASSERT_TRUE(WriteWholeFile(path, c.bytes));
        const Outcome o = RunUnpack(path, out_);
        ASSERT_TRUE(o.finished);
        EXPECT_FALSE(o.crcOk);
        EXPECT_EQ(o.engine, "Engine.exe*");
        EXPECT_EQ(ReadWholeFile(Out("f2.txt")), Content(2));
        EXPECT_FALSE(FileExists(Out("f3.txt")));
        ASSERT_TRUE(RemoveTree(dir_.File("out")));
    }

    // A file cut without its trailer is no package: nothing, promptly.
    const std::string path = pkg_ + "\\truncated.exe";
    ASSERT_TRUE(WriteWholeFile(path, good.substr(0, last + 8)));
    const Outcome o = RunUnpack(path, out_);
    ASSERT_TRUE(o.finished);
    EXPECT_EQ(o.engine, "");
    EXPECT_FALSE(FileExists(Out("Engine.exe")));
}

TEST_F(Unpack, DamageInOneSegmentReadsNoFurtherSegment) {
    PackageSpec spec = Spec(3, 1500);
    spec.storeMode = kv::pack::StoreMode::StoreAll;
    spec.segmentSize = 2048 + 1200;
    const std::vector<std::string> written = Build(spec);
    ASSERT_EQ(written.size(), 3u);
    std::string second = ReadWholeFile(written[1]);
    const std::vector<size_t> blocks = BlockOffsets(second);
    ASSERT_FALSE(blocks.empty());
    Put32(second, blocks.back(), 0x7FFFFFFFu);
    SkipChecksum(second);
    ASSERT_TRUE(WriteWholeFile(written[1], second));
    const Outcome o = RunUnpack(written[0], out_);
    ASSERT_TRUE(o.finished);
    EXPECT_EQ(o.boxTexts.size(), 0u);
    EXPECT_FALSE(o.crcOk);
    // What the damaged block and the third segment hold is missing.
    size_t extracted = 0, packed = 0;
    for (int i = 0; i < 3; ++i) {
        extracted += ReadWholeFile(Out("f" + std::to_string(i) + ".txt")).size();
        packed += Content(i, 1500).size();
    }
    EXPECT_GT(extracted, 0u);
    EXPECT_LT(extracted, packed);
}

TEST_F(Unpack, ADamagedZlibStreamThrowsTheDecompressionErrorAfterEarlierFiles) {
    std::string bytes = ReadWholeFile(Build(Spec(4))[0]);
    const std::vector<size_t> blocks = BlockOffsets(bytes);
    ASSERT_EQ(blocks.size(), 7u);
    bytes[blocks[5] + 4] ^= 0x40;  // zlib header of f2.txt
    SkipChecksum(bytes);
    const std::string path = pkg_ + "\\badzlib.exe";
    ASSERT_TRUE(WriteWholeFile(path, bytes));
    const Outcome o = RunUnpack(path, out_);
    ASSERT_TRUE(o.finished);
    EXPECT_TRUE(o.threw);
    EXPECT_EQ(o.error, "incorrect header check");
    EXPECT_EQ(ReadWholeFile(Out("f1.txt")), Content(1));
    EXPECT_FALSE(FileExists(Out("f2.txt")));
}

// ---- Boxes: in a fresh process ----------------------------------------------------------
// The disk question ejects through the drive-type query, which the emulated
// 32-bit Wine does not survive after the process and window tests; the
// write-failure message is shown once per process.

HWND WaitForBox(size_t buttons) {
    const HWND box = WaitForTopLevelWindow("KMsgBox", kBoxMs, GetCurrentProcessId());
    if (box == nullptr) return nullptr;
    const bool ready = WaitUntil(kBoxMs, [&] { return ListButtons(box).size() == buttons; });
    return ready ? box : nullptr;
}

bool Press(HWND box, const std::string& caption) {
    for (const ButtonInfo& b : ListButtons(box))
        if (b.caption == caption) return ClickButton(b.window) && WaitForWindowGone(box, kBoxMs);
    return false;
}

class UnpackBoxesFresh : public Unpack {
protected:
    void SetUp() override {
        if (!InFreshRun("UnpackBoxesFresh")) GTEST_SKIP() << "runs in a fresh process of UnpackBoxes";
        Unpack::SetUp();
    }

    // A 3-segment spanned set with its second segment moved aside.
    std::string SetWithoutSecond() {
        PackageSpec spec = Spec(3, 1500);
        spec.storeMode = kv::pack::StoreMode::StoreAll;
        spec.spanned = true;
        spec.segmentSize = 2048 + 1200;
        const std::vector<std::string> written = Build(spec);
        EXPECT_EQ(written.size(), 4u);
        second_ = spec.outputPath + ".002";
        aside_ = pkg_ + "\\aside";
        EXPECT_TRUE(MoveFileA(second_.c_str(), aside_.c_str()));
        return spec.outputPath + ".001";
    }

    // Starts the unpacker on a worker thread.
    void Start(const std::string& first, bool forcePrompt) {
        worker_ = std::make_unique<WorkerThread>([this, first, forcePrompt] {
            kv::UnpackPackage(first, out_, "", crcOk_, &RecordProgress, kPrompt, "Attention", "", 0, forcePrompt,
                              engine_);
        });
        ASSERT_TRUE(worker_->Started());
    }

    bool Finished() { return worker_ && worker_->Wait(kRunMs); }

    void TearDown() override {
        EXPECT_TRUE(CloseTopLevelWindows("KMsgBox", GetCurrentProcessId(), kBoxMs));
        worker_.reset();
    }

    std::unique_ptr<WorkerThread> worker_;
    bool crcOk_ = false;
    std::string engine_ = "unset";
    std::string second_, aside_;
};

TEST_F(UnpackBoxesFresh, AMissingSegmentIsAskedForByNumberAndOkGoesOn) {
    Start(SetWithoutSecond(), false);
    const HWND box = WaitForBox(2);
    ASSERT_NE(box, nullptr);
    const std::string text = BoxText(box);
    EXPECT_NE(text.find("Please insert DISK #2 and press OK to continue"), std::string::npos) << text;
    EXPECT_EQ(text.find("<DISK_NUM>"), std::string::npos);
    ASSERT_TRUE(MoveFileA(aside_.c_str(), second_.c_str()));
    ASSERT_TRUE(Press(box, "&OK"));
    ASSERT_TRUE(Finished());
    EXPECT_TRUE(TopLevelWindows("KMsgBox", GetCurrentProcessId()).empty());  // .003 was there
    EXPECT_TRUE(crcOk_);
    EXPECT_EQ(engine_, "Engine.exe*");
    ExpectFiles(3, 1500);
}

TEST_F(UnpackBoxesFresh, OkWithoutTheDiskAsksAgainAndCancelClearsTheEngine) {
    Start(SetWithoutSecond(), false);
    HWND box = WaitForBox(2);
    ASSERT_NE(box, nullptr);
    ASSERT_TRUE(Press(box, "&OK"));
    box = WaitForBox(2);  // the file is still missing: asked again
    ASSERT_NE(box, nullptr);
    EXPECT_NE(BoxText(box).find("DISK #2"), std::string::npos);
    ASSERT_TRUE(Press(box, "&Cancel"));
    ASSERT_TRUE(Finished());
    EXPECT_TRUE(crcOk_);  // as the first segment left it
    EXPECT_EQ(engine_, "");
    EXPECT_EQ(ReadWholeFile(Out("Engine.exe")), "MZ engine body");  // what segment 1 held stays
}

TEST_F(UnpackBoxesFresh, ForcePromptAsksEvenForASegmentThatIsThere) {
    const std::string first = SetWithoutSecond();
    ASSERT_TRUE(MoveFileA(aside_.c_str(), second_.c_str()));
    Start(first, true);
    for (const char* disk : {"DISK #2", "DISK #3"}) {
        const HWND box = WaitForBox(2);
        ASSERT_NE(box, nullptr) << disk;
        EXPECT_NE(BoxText(box).find(disk), std::string::npos) << BoxText(box);
        ASSERT_TRUE(Press(box, "&OK"));
    }
    ASSERT_TRUE(Finished());
    EXPECT_EQ(engine_, "Engine.exe*");
    ExpectFiles(3, 1500);
}

// Entry names that try to leave the folder: patched into stored entries
// over placeholders of the same length (the builder refuses such names).
TEST_F(UnpackBoxesFresh, NamesOutsideTheFolderAreFailedWritesReportedOncePerProcess) {
    const struct { const char* placeholder; const char* name; } names[] = {
        {"xxxe1.txt", "..\\e1.txt"}, {"xxxxe2.txt", "sub\\e2.txt"}, {"xxe3.txt", "C:e3.txt"},
        {"xxxxxxe4.txt", "..\\..\\e4.txt"}, {"xx", ".."}, {"xxe5.txt", "/e5.txt"}};
    PackageSpec spec = Spec(0);
    spec.storeMode = kv::pack::StoreMode::StoreAll;
    for (const auto& n : names) spec.inputs.push_back({Input(n.placeholder, "evil"), ""});
    spec.inputs.push_back({Input("ok.txt", "fine"), ""});
    std::string bytes = ReadWholeFile(Build(spec)[0]);
    for (const auto& n : names) {
        const size_t at = bytes.find(std::string("|") + n.placeholder + "|");
        ASSERT_NE(at, std::string::npos) << n.placeholder;
        bytes.replace(at + 1, std::strlen(n.name), n.name);
    }
    SkipChecksum(bytes);
    const std::string path = pkg_ + "\\names.exe";
    ASSERT_TRUE(WriteWholeFile(path, bytes));
    ASSERT_EQ(SHCreateDirectoryExA(nullptr, (out_ + "\\sub").c_str(), nullptr), ERROR_SUCCESS);

    Start(path, false);
    const HWND box = WaitForBox(1);
    ASSERT_NE(box, nullptr);
    const std::string text = BoxText(box);
    EXPECT_NE(text.find(out_ + "\\..\\e1.txt"), std::string::npos) << text;
    EXPECT_NE(text.find("Unable to save Extracted File!"), std::string::npos) << text;
    EXPECT_NE(text.find("Data Size: \t4 Bytes"), std::string::npos) << text;
    ASSERT_TRUE(Press(box, "&OK"));
    ASSERT_TRUE(Finished());
    EXPECT_TRUE(TopLevelWindows("KMsgBox", GetCurrentProcessId()).empty());
    EXPECT_EQ(ReadWholeFile(Out("ok.txt")), "fine");
    EXPECT_FALSE(FileExists(dir_.File("out\\deeper\\e1.txt")));
    EXPECT_FALSE(FileExists(Out("sub\\e2.txt")));
    EXPECT_FALSE(FileExists(dir_.File("out\\e4.txt")));
    EXPECT_FALSE(FileExists("C:e3.txt"));
    EXPECT_FALSE(FileExists("\\e5.txt"));
    EXPECT_EQ(ReadWholeFile(Out("e5.txt")), "");

    // A second failure in this process, a real one this time (a folder
    // stands where the file should go), shows nothing.
    ASSERT_TRUE(DeleteFileA(Out("ok.txt").c_str()));
    ASSERT_TRUE(CreateDirectoryA(Out("ok.txt").c_str(), nullptr));
    const Outcome again = RunUnpack(path, out_);
    ASSERT_TRUE(again.finished);
    EXPECT_EQ(again.boxTexts.size(), 0u);
    EXPECT_TRUE(FolderExists(Out("ok.txt")));
}

TEST(UnpackBoxes, DiskQuestionsAndTheWriteFailureMessage) {
    EXPECT_TRUE(RunSuiteInFreshProcess("UnpackBoxesFresh", 300000));
}

}  // namespace
