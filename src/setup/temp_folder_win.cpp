// The setup temp folders on disk, and the probe for a roomier drive.
#include <windows.h>

#include "package/file_source.h"
#include "package/packx.h"
#include "setup/folder_make_win.h"
#include "setup/setup_space.h"
#include "setup/temp_folder.h"
#include "util/files.h"
#include "util/sysinfo.h"
#include "util/text_utils.h"

namespace kv {
namespace {

std::string g_altTempBase;
std::string g_altTempFolder;

// The running file's last write time as a packed local DOS date and time;
// 0 when it cannot be read.
uint32_t RunningFileDosDate() {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExA(ProgramPath(false).c_str(), GetFileExInfoStandard, &data)) return 0;
    FILETIME local{};
    WORD date = 0, time = 0;
    if (!FileTimeToLocalFileTime(&data.ftLastWriteTime, &local) || !FileTimeToDosDateTime(&local, &date, &time))
        return 0;
    return uint32_t(date) << 16 | time;
}

// A stale folder of the name (an earlier run that did not finish) goes
// first, so that no old file is mistaken for a freshly extracted one.
void MakeFresh(const std::string& folder) {
    if (FolderExists(folder)) DeleteTree(folder, true);
    MakeFolderWithParents(folder);
}

std::string RandomSuffix() { return RandomRangeText(10000, 100000); }

// Free bytes of the fixed drive, learnt by writing to it: a drive whose
// volume reports room but refuses files must not be chosen.
double ProbeDrive(char letter) {
    const std::string root = std::string(1, letter) + ":\\";
    if (GetDriveTypeA(root.c_str()) != DRIVE_FIXED) return 0;
    std::string probe = root + "TEMP";
    if (FolderExists(probe)) probe += "\\TEMP" + RandomSuffix();
    MakeFolderWithParents(probe);
    WriteFileText(probe + "\\~aa.tmp", "aa", 0, false);
    const double free = FileExists(probe + "\\~aa.tmp") ? DiskFree(probe) : 0;
    DeleteTree(probe, false);
    return free > 0 ? free : 0;
}

}  // namespace

std::string SetupTempFolder() {
    if (KeptSetupTempFolder().empty()) {
        const std::string folder = SetupTempFolderName(TempFolder(true), RunningFileDosDate());
        MakeFresh(folder);
        SetKeptSetupTempFolder(folder);
    }
    return KeptSetupTempFolder();
}

std::string AltTempFolder() {
    if (g_altTempBase.empty()) return std::string();
    if (g_altTempFolder.empty()) {
        g_altTempFolder = g_altTempBase + "_" + RandomSuffix();
        MakeFresh(g_altTempFolder);
    }
    return g_altTempFolder;
}

bool AltTempBaseSet() { return !g_altTempBase.empty(); }

bool FindBetterTempDrive() {
    if (!g_altTempBase.empty()) return true;
    double freeBytes[3] = {0, 0, 0};
    for (int i = 0; i < 3; ++i) freeBytes[i] = ProbeDrive(char('C' + i));
    const std::string temp = TempFolder(true);
    const char tempLetter = temp.empty() ? '\0' : UpperCase(temp.substr(0, 1))[0];
    const char best = BestTempDrive(tempLetter, freeBytes);
    if (best != tempLetter) {
        g_altTempBase = std::string(1, best) + ":\\TEMP";
        if (FolderExists(g_altTempBase)) g_altTempBase += "\\TEMP";
    }
    return !g_altTempBase.empty();
}

bool TempSpaceOK(const std::string& tempFolder, const std::string& packagePath) {
    const TGFileInfo package(packagePath);
    return package.SpaceRequired(tempFolder) < DiskFree(tempFolder) && FolderExists(tempFolder);
}

}  // namespace kv
