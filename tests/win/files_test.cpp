// The file and disk helpers on real files under Wine: sizes and seeking
// past 4 GiB, slices, whole-text writes (with the write calls they make),
// appends, dates, free space, deleting files and trees, and the CD eject
// refusals.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "fresh_process.h"
#include "harness/harness.h"
#include "import_hook.h"
#include "util/files.h"
#include "util/win_handle.h"

namespace {

using namespace kv::test;

constexpr int64_t MiB = 1048576;
constexpr int64_t GiB = 1024 * MiB;

std::string Pattern(size_t n) {
    std::string s(n, '\0');
    for (size_t i = 0; i < n; ++i) s[i] = char('A' + (i * 13 + i / 1021) % 26);
    return s;
}

kv::FileHandle OpenRead(const std::string& path) {
    return kv::FileHandle(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
}

bool FolderExists(const std::string& path) {
    const DWORD a = GetFileAttributesA(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// The file holds exactly `data`; read in pieces, so that a large file
// needs no second copy of its size in memory.
bool SameContent(const std::string& path, const std::string& data) {
    const kv::FileHandle f = OpenRead(path);
    if (!f) return false;
    std::vector<char> buf(65536);
    size_t at = 0;
    for (;;) {
        DWORD n = 0;
        if (!ReadFile(f.get(), buf.data(), DWORD(buf.size()), &n, nullptr)) return false;
        if (n == 0) return at == data.size();
        if (n > data.size() - at || data.compare(at, n, buf.data(), n) != 0) return false;
        at += n;
    }
}

// A file of `size` bytes that takes no room (its content is never written).
bool MakeSparseFile(const std::string& path, int64_t size) {
    kv::FileHandle f(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                                 nullptr));
    LARGE_INTEGER pos;
    pos.QuadPart = size;
    return f && SetFilePointerEx(f.get(), pos, nullptr, FILE_BEGIN) && SetEndOfFile(f.get());
}

// ---- Sizes and seeking ----------------------------------------------------

TEST(FileSizes, SeekAndSizeAcrossTheFourGiBLine) {
    TempDir dir;
    ASSERT_TRUE(dir.Valid());
    const std::string big = dir.File("big.bin");
    ASSERT_TRUE(MakeSparseFile(big, 5 * GiB + 123));
    EXPECT_EQ(kv::FileSizeByName(big), 5 * GiB + 123);

    const kv::FileHandle f = OpenRead(big);
    ASSERT_TRUE(f);
    EXPECT_EQ(kv::FileSizeByHandle(f.get()), 5 * GiB + 123);
    EXPECT_EQ(kv::FileSeek64(f.get(), kv::SeekFromStart, 4 * GiB + 7), 4 * GiB + 7);
    EXPECT_EQ(kv::FileSeek64(f.get(), kv::SeekFromCurrent, -8), 4 * GiB - 1);
    EXPECT_EQ(kv::FileSeek64(f.get(), kv::SeekFromCurrent, 0), 4 * GiB - 1);  // low half all ones is a position
    EXPECT_EQ(kv::FileSeek64(f.get(), kv::SeekFromEnd, -123), 5 * GiB);
    EXPECT_EQ(kv::FileSeek64(f.get(), kv::SeekFromStart, -1), -1);
    EXPECT_EQ(kv::FileSeek64(INVALID_HANDLE_VALUE, kv::SeekFromStart, 0), -1);
    EXPECT_EQ(kv::FileSizeByHandle(INVALID_HANDLE_VALUE), -1);
}

TEST(FileSizes, ByNameTakesTheFirstMatchOfAnyKind) {
    TempDir dir;
    ASSERT_TRUE(dir.Valid());
    ASSERT_TRUE(WriteWholeFile(dir.File("only.dat"), std::string(4321, 'x')));
    ASSERT_TRUE(WriteWholeFile(dir.File("hidden.txt"), std::string(77, 'h')));
    ASSERT_TRUE(SetFileAttributesA(dir.File("hidden.txt").c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM));
    ASSERT_TRUE(CreateDirectoryA(dir.File("folder").c_str(), nullptr));

    EXPECT_EQ(kv::FileSizeByName(dir.File("*.dat")), 4321);
    EXPECT_EQ(kv::FileSizeByName(dir.File("hidden.txt")), 77);
    EXPECT_EQ(kv::FileSizeByName(dir.File("folder")), 0);
    EXPECT_EQ(kv::FileSizeByName(dir.File("*.none")), 0);
    EXPECT_EQ(kv::FileSizeByName(dir.File("missing\\x.dat")), 0);
}

// ---- Slices -----------------------------------------------------------------

TEST(FileSlices, CountAndOffsetTable) {
    TempDir dir;
    ASSERT_TRUE(dir.Valid());
    const std::string path = dir.File("digits.txt");
    ASSERT_TRUE(WriteWholeFile(path, "0123456789"));
    struct Case {
        int64_t count, offset;
        const char* expected;
    };
    const Case cases[] = {
        {0, 0, "0123456789"}, {3, 2, "234"}, {0, 7, "789"}, {100, 8, "89"}, {1, 9, "9"},
        {0, 10, ""},          {5, 11, ""},   {1, -1, ""},   {-2, 0, ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(kv::ReadFilePart(path, c.count, c.offset), c.expected) << c.count << " @ " << c.offset;
    }
    EXPECT_EQ(kv::ReadFilePart(dir.File("missing.txt"), 0, 0), "");
    EXPECT_EQ(kv::ReadFilePart(dir.Path(), 0, 0), "");  // a folder is no file
}

TEST(FileSlices, ReadsAFileAnotherProgramIsWriting) {
    TempDir dir;
    ASSERT_TRUE(dir.Valid());
    const std::string path = dir.File("busy.log");
    kv::FileHandle writer(CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                      CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(writer);
    DWORD n = 0;
    ASSERT_TRUE(WriteFile(writer.get(), "line one\r\n", 10, &n, nullptr));
    EXPECT_EQ(kv::ReadFilePart(path, 0, 5), "one\r\n");
    const std::string big = Pattern(3 * MiB + 5);
    ASSERT_TRUE(WriteWholeFile(dir.File("big.bin"), big));
    EXPECT_TRUE(kv::ReadFilePart(dir.File("big.bin"), 0, 0) == big);
    EXPECT_TRUE(kv::ReadFilePart(dir.File("big.bin"), 0, 2 * MiB) == big.substr(2 * MiB));
}

// ---- Writing --------------------------------------------------------------

// Every WriteFile call the code under test makes while a recorder is
// installed: its size.
std::vector<DWORD> g_writeSizes;
void* g_realWriteFile = nullptr;

BOOL WINAPI RecordingWriteFile(HANDLE h, LPCVOID data, DWORD size, LPDWORD written, LPOVERLAPPED ov) {
    g_writeSizes.push_back(size);
    using Fn = BOOL(WINAPI*)(HANDLE, LPCVOID, DWORD, LPDWORD, LPOVERLAPPED);
    return reinterpret_cast<Fn>(g_realWriteFile)(h, data, size, written, ov);
}

class WriteRecorder {
public:
    WriteRecorder() : hook_("kernel32.dll", "WriteFile", reinterpret_cast<void*>(&RecordingWriteFile)) {
        g_realWriteFile = hook_.Original();
        g_writeSizes.clear();
    }
    bool Installed() const { return hook_.Installed(); }

private:
    ImportHook hook_;
};

TEST(WriteTextFresh, WriteCallsPerSize) {
    if (!InFreshRun("WriteTextFresh")) GTEST_SKIP() << "runs in a fresh process of WriteText";
    TempDir dir;
    ASSERT_TRUE(dir.Valid());
    struct Case {
        int64_t size;
        std::vector<DWORD> calls;
    };
    std::vector<DWORD> twoMiB(10, 209715);
    twoMiB.push_back(2);
    const Case cases[] = {
        {10 * MiB, std::vector<DWORD>(10, DWORD(MiB))},
        {2 * MiB, twoMiB},
        {MiB, {DWORD(MiB)}},
        {1000, {1000}},
    };
    for (const Case& c : cases) {
        const std::string data = Pattern(size_t(c.size));
        const std::string path = dir.File("out-" + std::to_string(c.size) + ".bin");
        std::vector<DWORD> seen;
        {
            WriteRecorder recorder;
            ASSERT_TRUE(recorder.Installed());
            EXPECT_TRUE(kv::WriteFileText(path, data, 0, false));
            seen = g_writeSizes;
        }
        EXPECT_EQ(seen, c.calls) << c.size;
        EXPECT_TRUE(SameContent(path, data)) << c.size;
    }
}

// Ten MiB in one piece, and its copy, are asked for in a process of their
// own: late in a full run the emulated 32-bit test program has no block
// that large left and the allocation fails.
TEST(WriteText, WriteCallsPerSize) { EXPECT_TRUE(RunSuiteInFreshProcess("WriteTextFresh", 120000)); }

TEST(WriteText, CreateTruncateAppend) {
    TempDir dir;
    ASSERT_TRUE(dir.Valid());
    const std::string path = dir.File("t.txt");
    EXPECT_TRUE(kv::WriteFileText(path, "first version, long", 0, false));
    EXPECT_TRUE(kv::WriteFileText(path, "second", 0, false));
    EXPECT_EQ(ReadWholeFile(path), "second");
    EXPECT_TRUE(kv::WriteFileText(path, "+more", 0, true));
    EXPECT_EQ(ReadWholeFile(path), "second+more");

    const std::string big = Pattern(size_t(2 * MiB + 17));
    EXPECT_TRUE(kv::WriteFileText(path, big, 0, true));
    EXPECT_TRUE(SameContent(path, "second+more" + big));

    EXPECT_TRUE(kv::WriteFileText(dir.File("new-by-append.txt"), "x", 0, true));
    EXPECT_EQ(ReadWholeFile(dir.File("new-by-append.txt")), "x");
    EXPECT_TRUE(kv::WriteFileText(dir.File("empty.txt"), "", 0, false));
    EXPECT_TRUE(FileExists(dir.File("empty.txt")));
    EXPECT_EQ(ReadWholeFile(dir.File("empty.txt")), "");

    EXPECT_FALSE(kv::WriteFileText(dir.File("no-folder\\x.txt"), "data", 0, false));
    EXPECT_FALSE(kv::WriteFileText(dir.File("no-folder\\x.txt"), "", 0, true));
}

TEST(WriteText, AppendsToAFileHeldOpenByAnother) {
    TempDir dir;
    ASSERT_TRUE(dir.Valid());
    const std::string path = dir.File("shared.log");
    ASSERT_TRUE(WriteWholeFile(path, "a"));
    const kv::FileHandle other(CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE,
                                           FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                           FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(other);
    EXPECT_TRUE(kv::AppendTextFile(path, "b", 0));
    EXPECT_TRUE(kv::WriteFileText(path, "c", 0, true));
    EXPECT_EQ(ReadWholeFile(path), "abc");
}

TEST(WriteText, AppendTextFileCreatesAndAppends) {
    TempDir dir;
    ASSERT_TRUE(dir.Valid());
    const std::string path = dir.File("log.txt");
    EXPECT_TRUE(kv::AppendTextFile(path, "one\r\n", 0));
    EXPECT_TRUE(kv::AppendTextFile(path, "", 0));
    EXPECT_TRUE(kv::AppendTextFile(path, "two\r\n", 0));
    EXPECT_EQ(ReadWholeFile(path), "one\r\ntwo\r\n");
    EXPECT_FALSE(kv::AppendTextFile(dir.File("none\\log.txt"), "x", 0));
}

// The file's last-write time as the packed local date and time.
int32_t PackedFileDate(const std::string& path) {
    const kv::FileHandle f = OpenRead(path);
    FILETIME utc{}, local{};
    WORD date = 0, time = 0;
    if (!f || !GetFileTime(f.get(), nullptr, nullptr, &utc) || !FileTimeToLocalFileTime(&utc, &local) ||
        !FileTimeToDosDateTime(&local, &date, &time)) {
        return 0;
    }
    return int32_t((uint32_t(date) << 16) | time);
}

int32_t Packed(int year, int month, int day, int hour, int minute, int second) {
    const uint32_t date = uint32_t(((year - 1980) << 9) | (month << 5) | day);
    const uint32_t time = uint32_t((hour << 11) | (minute << 5) | (second / 2));
    return int32_t((date << 16) | time);
}

TEST(WriteText, FileDateIsSetWhenGiven) {
    TempDir dir;
    ASSERT_TRUE(dir.Valid());
    const int32_t date = Packed(2019, 7, 14, 15, 26, 38);
    EXPECT_TRUE(kv::WriteFileText(dir.File("a.txt"), "data", date, false));
    EXPECT_EQ(PackedFileDate(dir.File("a.txt")), date);
    EXPECT_TRUE(kv::WriteFileText(dir.File("b.bin"), Pattern(size_t(MiB + 1)), date, false));
    EXPECT_EQ(PackedFileDate(dir.File("b.bin")), date);
    EXPECT_TRUE(kv::AppendTextFile(dir.File("c.txt"), "x", date));
    EXPECT_EQ(PackedFileDate(dir.File("c.txt")), date);

    // Without a date the file keeps the time of the write.
    EXPECT_TRUE(kv::WriteFileText(dir.File("a.txt"), "again", 0, false));
    EXPECT_NE(PackedFileDate(dir.File("a.txt")), date);
}

// ---- Free space -------------------------------------------------------------

// A drive letter that is not mapped in this prefix.
std::string UnusedDrive() {
    const DWORD used = GetLogicalDrives();
    for (char c = 'Y'; c > 'D'; --c) {
        if ((used & (1u << (c - 'A'))) == 0) return std::string(1, c) + ":\\Data";
    }
    return std::string();
}

TEST(DiskFreeSpace, PathsThatReachADisk) {
    TempDir dir;
    ASSERT_TRUE(dir.Valid());
    ULARGE_INTEGER avail{}, total{}, totalFree{};
    ASSERT_TRUE(GetDiskFreeSpaceExA(dir.Path().c_str(), &avail, &total, &totalFree));
    ASSERT_GT(avail.QuadPart, 0u);

    const std::string deeper = dir.Path() + "\\no such folder\\deeper";
    const std::string slashed = dir.Path() + "/sub";
    for (const std::string& path : {dir.Path(), deeper, slashed, std::string("C:\\"), std::string("c:"),
                                    std::string()}) {
        EXPECT_GT(kv::DiskFree(path), 0.0) << path;
    }
    // Both queries measure the same disk; others write to it meanwhile,
    // so only the size class is compared.
    const double extended = kv::DiskFreeQuery(dir.Path(), true);
    const double basic = kv::DiskFreeQuery(dir.Path(), false);
    EXPECT_GT(basic, 0.0);
    EXPECT_GT(extended, double(avail.QuadPart) / 2);
    EXPECT_LT(extended, double(avail.QuadPart) * 2);
}

TEST(DiskFreeSpace, NoDiskGivesMinusOne) {
    const std::string none = UnusedDrive();
    ASSERT_FALSE(none.empty());
    EXPECT_EQ(kv::DiskFree(none), -1.0);
    EXPECT_EQ(kv::DiskFreeQuery(none, false), -1.0);
    EXPECT_EQ(kv::DiskFree("1:\\x"), -1.0);
}

// ---- Deleting -------------------------------------------------------------

TEST(DeleteFilesByPattern, MatchesFilesOfEveryAttributeButNoFolders) {
    TempDir dir;
    ASSERT_TRUE(dir.Valid());
    for (const char* name : {"a.tmp", "b.tmp", "c.tmp", "keep.txt"}) ASSERT_TRUE(WriteWholeFile(dir.File(name), name));
    ASSERT_TRUE(SetFileAttributesA(dir.File("b.tmp").c_str(), FILE_ATTRIBUTE_READONLY));
    ASSERT_TRUE(SetFileAttributesA(dir.File("c.tmp").c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM));
    ASSERT_TRUE(CreateDirectoryA(dir.File("d.tmp").c_str(), nullptr));

    // Without clearing, the read-only file stays; it still counts as a match.
    EXPECT_TRUE(kv::DeleteFiles(dir.File("*.tmp"), false));
    EXPECT_FALSE(FileExists(dir.File("a.tmp")));
    EXPECT_TRUE(FileExists(dir.File("b.tmp")));
    EXPECT_FALSE(FileExists(dir.File("c.tmp")));
    EXPECT_TRUE(FileExists(dir.File("keep.txt")));
    EXPECT_TRUE(FolderExists(dir.File("d.tmp")));

    EXPECT_TRUE(kv::DeleteFiles(dir.File("*.tmp"), true));
    EXPECT_FALSE(FileExists(dir.File("b.tmp")));
    EXPECT_TRUE(FolderExists(dir.File("d.tmp")));

    EXPECT_FALSE(kv::DeleteFiles(dir.File("*.tmp"), true));  // only the folder matches now
    EXPECT_FALSE(kv::DeleteFiles(dir.File("none\\*.*"), true));
    EXPECT_TRUE(FileExists(dir.File("keep.txt")));
}

// root\tree with files of every attribute three levels deep.
std::string MakeTree(const TempDir& dir) {
    const std::string tree = dir.File("tree");
    const std::string sub = tree + "\\sub one";
    const std::string subsub = sub + "\\deeper";
    for (const std::string& f : {tree, sub, subsub, tree + "\\empty"}) CreateDirectoryA(f.c_str(), nullptr);
    WriteWholeFile(tree + "\\top.txt", "t");
    WriteWholeFile(sub + "\\ro.txt", "r");
    WriteWholeFile(subsub + "\\hidden.dat", "h");
    WriteWholeFile(subsub + "\\plain", "p");
    SetFileAttributesA((sub + "\\ro.txt").c_str(), FILE_ATTRIBUTE_READONLY);
    SetFileAttributesA((subsub + "\\hidden.dat").c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_READONLY);
    return tree;
}

TEST(DeleteFolderTree, ClearingAttributesRemovesEverything) {
    TempDir dir;
    ASSERT_TRUE(dir.Valid());
    const std::string tree = MakeTree(dir);
    ASSERT_TRUE(FileExists(tree + "\\sub one\\deeper\\hidden.dat"));
    EXPECT_TRUE(kv::DeleteTree(tree, true));
    EXPECT_FALSE(FolderExists(tree));
    EXPECT_FALSE(kv::DeleteTree(tree, true));  // gone already
}

TEST(DeleteFolderTree, ReadOnlyFilesKeepTheirFoldersWithoutClearing) {
    TempDir dir;
    ASSERT_TRUE(dir.Valid());
    const std::string tree = MakeTree(dir);
    EXPECT_FALSE(kv::DeleteTree(tree, false));
    EXPECT_TRUE(FileExists(tree + "\\sub one\\ro.txt"));
    EXPECT_TRUE(FileExists(tree + "\\sub one\\deeper\\hidden.dat"));
    EXPECT_FALSE(FileExists(tree + "\\top.txt"));
    EXPECT_FALSE(FileExists(tree + "\\sub one\\deeper\\plain"));
    EXPECT_FALSE(FolderExists(tree + "\\empty"));
}

TEST(DeleteFolderTree, NothingToDelete) {
    TempDir dir;
    ASSERT_TRUE(dir.Valid());
    EXPECT_FALSE(kv::DeleteTree("", true));
    EXPECT_FALSE(kv::DeleteTree(dir.File("missing"), true));
    ASSERT_TRUE(WriteWholeFile(dir.File("a-file"), "x"));
    EXPECT_FALSE(kv::DeleteTree(dir.File("a-file"), true));  // a file is no folder
    EXPECT_TRUE(FileExists(dir.File("a-file")));
}

// ---- Eject ----------------------------------------------------------------

// Every device path the code under test opens while the recorder is
// installed.
std::vector<std::string> g_devicesOpened;
void* g_realCreateFileA = nullptr;

HANDLE WINAPI RecordingCreateFileA(LPCSTR name, DWORD access, DWORD share, LPSECURITY_ATTRIBUTES sa,
                                   DWORD disposition, DWORD flags, HANDLE templ) {
    if (name != nullptr && std::string(name).rfind("\\\\.\\", 0) == 0) g_devicesOpened.emplace_back(name);
    using Fn = HANDLE(WINAPI*)(LPCSTR, DWORD, DWORD, LPSECURITY_ATTRIBUTES, DWORD, DWORD, HANDLE);
    return reinterpret_cast<Fn>(g_realCreateFileA)(name, access, share, sa, disposition, flags, templ);
}

TEST(EjectMediumFresh, RefusesWithoutOpeningADevice) {
    if (!InFreshRun("EjectMediumFresh")) GTEST_SKIP() << "runs in a fresh process of EjectMedium";
    ImportHook hook("kernel32.dll", "CreateFileA", reinterpret_cast<void*>(&RecordingCreateFileA));
    ASSERT_TRUE(hook.Installed());
    g_realCreateFileA = hook.Original();
    g_devicesOpened.clear();
    const std::string unused = UnusedDrive();
    for (const std::string& path : {std::string(), std::string("1:\\setup.exe"), std::string("c:\\windows"),
                                    std::string("Z:\\"), unused}) {
        EXPECT_FALSE(kv::EjectCD(path)) << path;
    }
    EXPECT_TRUE(g_devicesOpened.empty()) << g_devicesOpened.front();
    // The recorder does see a device the code opens.
    kv::WriteFileText("\\\\.\\NUL", "x", 0, false);
    EXPECT_EQ(g_devicesOpened, std::vector<std::string>{"\\\\.\\NUL"});
}

// The drive-type query is asked in a process of its own: after the
// process-control tests it crashes the test program (the plain system
// call, with or without the recorder), and after the main-window tests it
// hangs.
TEST(EjectMedium, RefusesWithoutOpeningADevice) {
    EXPECT_TRUE(RunSuiteInFreshProcess("EjectMediumFresh", 60000));
}

}  // namespace
