#pragma once
// The agent's two settings files, key by key: the installed settings
// (".original", describes what is installed) and the update information
// (".info", downloaded at every probe). Every accessor computes the path
// and reads the file again, so a change on disk is seen at the next call;
// a missing file or key gives the default. Reads never fail; writes report
// nothing.
#include <cstdint>
#include <string>

#include "autoupdate/stubglob_override.h"
#include "autoupdate/stubglob_values.h"

namespace kv {

// ---- File paths -------------------------------------------------------------
// The agent folder is the running program's folder, with a trailing '\'.

// Agent folder + OriginalFileName of the running package.
std::string OriginalFilePath();
// Agent folder + InfoFileName of the running package.
std::string InfoFilePath();
// Agent folder + NameOfUpdateFile (empty name: the folder alone).
std::string UpdateSetupPath();
// Agent folder + NameOfInformFile (empty name: the folder alone).
std::string InformFilePath();

// Points the two settings files at the given paths instead of the running
// package's; an empty path restores the normal one. For tests.
void SetSettingsFilesForTests(const std::string& originalPath, const std::string& infoPath);

// ---- Installed settings: [OriginalSetup] -------------------------------------

int64_t ProbeSecondsInterval();   // 0: once per start; -1: only on request
int64_t ProbeSecondsLast();       // time of the last probe; 0
int64_t ReAskSecondsInterval();   // 0 or less: only a new stamp re-offers
int64_t ReAskSecondsLast();       // time of the last offer; 0
// The installed version (low 32 bits); 0 or less: file missing or unusable.
int32_t VersionOriginal();
// Stamp of the information that led to the last offer (low 32 bits).
int32_t StampOriginal();
// Product name for "PROG_NAME" in s22 to s24; empty.
std::string ProgramNameOriginal();

// The number alone.
void WriteProbeSecondsInterval(int64_t seconds);
void WriteReAskSecondsInterval(int64_t seconds);
// The number, then its readable twin "__ProbeSecondsLast" /
// "__ReAskSecondsLast".
void WriteProbeSecondsLast(int64_t time);
void WriteReAskSecondsLast(int64_t time);
void WriteVersionOriginal(int32_t version);
void WriteStampOriginal(int32_t stamp);

// ---- Installed settings: [Directories], [UnInstall] --------------------------

std::string TargetDir();
std::string SharedDir();
std::string AuxiliaryDir();
// Full paths of the product's two shortcuts; empty.
std::string StartUpLink();
std::string CheckforNewUpdateLink();

// ---- Installed settings: [MsgBox] --------------------------------------------

std::string MsgBoxBtnText();     // "|&OK|&Cancel|&Yes|&No|&Abort|&Retry|&Ignore|"
std::string MsgBoxError();       // "Error"
std::string MsgBoxConfirm();     // "Confirm"
std::string MsgBoxAttention();   // "Attention"
int64_t MsgBoxCharSet();         // 0
std::string MsgBoxFontName();    // "Tahoma"
int64_t MsgBoxFontSize();        // 8

// ---- Installed settings: [AutoUpdate] ----------------------------------------

// The value of `key` in [AutoUpdate], or `def`.
std::string GetAutoUpdateText(const std::string& key, const std::string& def);
// Message text s<number> with its own default (AutoUpdateTextDefault).
std::string AutoUpdateMessage(int number);

// ---- Update information: [NewSetup] ------------------------------------------

std::string DownloadURL_UPDATE();   // empty: no update offered
std::string NameOfUpdateFile();     // empty: no update offered
int64_t SizeOfUpdateFile();
// The overridable switches: the override entry decides unless it is 255.
bool RequestConfirmationBeforeDownload();        // entry 1
bool RequestConfirmationBeforeDownloadForce();   // entry 6
bool RequestConfirmationBeforeInstall();         // entry 2
bool RequestConfirmationBeforeInstallForce();    // entry 7
bool BackgroundUpdate();                         // entry 3
bool RestartProcess();                           // entry 5
bool InformFinish();                             // entry 4
std::string ShutDownMethod();
std::string RunningProcess();
// Product name for "PROG_NAME" in s11 to s20; empty.
std::string ProgramNameNew();
int32_t VersionNew();
int32_t StampNew();
std::string ValidVersions();
bool RemoveStartUpShortcut();
bool RemoveCheckForNewUpdateShortcut();

// ---- Update information: [General], [AutoInform] -----------------------------

int64_t AutoInform();   // 1: an inform page instead of an update
std::string DownloadURL_INFORM();
std::string NameOfInformFile();
int64_t SizeOfInformFile();
int64_t AutoInformW();   // 360
int64_t AutoInformH();   // 360

}  // namespace kv
