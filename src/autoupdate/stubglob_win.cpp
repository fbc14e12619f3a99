#include <exception>

#include "autoupdate/stubglob.h"
#include "package/packx.h"
#include "stub/run_state.h"
#include "util/ini.h"
#include "util/kdebug.h"
#include "util/sysinfo.h"
#include "util/text_utils.h"

namespace kv {
namespace {

std::string g_originalForTests;
std::string g_infoForTests;

const char* const SecOriginalSetup = "OriginalSetup";
const char* const SecDirectories = "Directories";
const char* const SecUnInstall = "UnInstall";
const char* const SecMsgBox = "MsgBox";
const char* const SecAutoUpdate = "AutoUpdate";
const char* const SecNewSetup = "NewSetup";
const char* const SecGeneral = "General";
const char* const SecAutoInform = "AutoInform";

std::string AgentFolder() { return ProgramFolder(true); }

using PathFn = std::string (*)();

// Every read goes through here: the path is computed afresh, and whatever
// fails on the way (the path, the allocation of the buffer) leaves the
// default and one trace line.
std::string ReadText(PathFn path, const char* section, const char* key, const std::string& def) {
    try {
        return ReadIniString(path(), section, key, def);
    } catch (const std::exception&) {
        TraceLine("EXCEPTION --- Utils.ReadIniString()  " + LastErrorText());
        return def;
    }
}

// Read as text rather than with ReadIniInt64, which also takes hex and
// leading blanks: the settings hold decimal numbers only.
int64_t ReadNumber(PathFn path, const char* section, const char* key, int64_t def) {
    return SettingNumber(ReadText(path, section, key, std::string()), def);
}

bool ReadSwitch(PathFn path, const char* section, const char* key) {
    return SettingSwitch(ReadText(path, section, key, "0"));
}

// A switch of [NewSetup] that an override entry can impose; the file is
// read only while the entry leaves the key alone.
bool OverridableSwitch(int entry, const char* key) {
    const uint8_t e = OverrideEntry(entry);
    return OverrideDecides(e) ? OverrideSwitchValue(e) : ReadSwitch(InfoFilePath, SecNewSetup, key);
}

void WriteNumber(const char* key, int64_t value) {
    WriteIniInt64(OriginalFilePath(), SecOriginalSetup, key, value);
}

void WriteTime(const char* key, const char* twinKey, int64_t time) {
    const std::string path = OriginalFilePath();
    WriteIniInt64(path, SecOriginalSetup, key, time);
    WriteIniString(path, SecOriginalSetup, twinKey, ReadableTimeText(time));
}

}  // namespace

// ---- File paths -------------------------------------------------------------

std::string OriginalFilePath() {
    if (!g_originalForTests.empty()) return g_originalForTests;
    return AgentFolder() + RunPackage().OriginalFileName();
}

std::string InfoFilePath() {
    if (!g_infoForTests.empty()) return g_infoForTests;
    return AgentFolder() + RunPackage().InfoFileName();
}

std::string UpdateSetupPath() { return AgentFolder() + NameOfUpdateFile(); }
std::string InformFilePath() { return AgentFolder() + NameOfInformFile(); }

void SetSettingsFilesForTests(const std::string& originalPath, const std::string& infoPath) {
    g_originalForTests = originalPath;
    g_infoForTests = infoPath;
}

// ---- Installed settings -------------------------------------------------------

int64_t ProbeSecondsInterval() { return ReadNumber(OriginalFilePath, SecOriginalSetup, "ProbeSecondsInterval", 0); }
int64_t ProbeSecondsLast() { return ReadNumber(OriginalFilePath, SecOriginalSetup, "ProbeSecondsLast", 0); }
int64_t ReAskSecondsInterval() { return ReadNumber(OriginalFilePath, SecOriginalSetup, "ReAskSecondsInterval", 0); }
int64_t ReAskSecondsLast() { return ReadNumber(OriginalFilePath, SecOriginalSetup, "ReAskSecondsLast", 0); }
int32_t VersionOriginal() {
    return LowInt32(ReadNumber(OriginalFilePath, SecOriginalSetup, "VersionOriginal", 0));
}
int32_t StampOriginal() { return LowInt32(ReadNumber(OriginalFilePath, SecOriginalSetup, "Stamp", 0)); }
std::string ProgramNameOriginal() { return ReadText(OriginalFilePath, SecOriginalSetup, "ProgramName", ""); }

void WriteProbeSecondsInterval(int64_t seconds) { WriteNumber("ProbeSecondsInterval", seconds); }
void WriteReAskSecondsInterval(int64_t seconds) { WriteNumber("ReAskSecondsInterval", seconds); }
void WriteProbeSecondsLast(int64_t time) { WriteTime("ProbeSecondsLast", "__ProbeSecondsLast", time); }
void WriteReAskSecondsLast(int64_t time) { WriteTime("ReAskSecondsLast", "__ReAskSecondsLast", time); }
void WriteVersionOriginal(int32_t version) { WriteNumber("VersionOriginal", version); }
void WriteStampOriginal(int32_t stamp) { WriteNumber("Stamp", stamp); }

std::string TargetDir() { return ReadText(OriginalFilePath, SecDirectories, "TargetDir", ""); }
std::string SharedDir() { return ReadText(OriginalFilePath, SecDirectories, "SharedDir", ""); }
std::string AuxiliaryDir() { return ReadText(OriginalFilePath, SecDirectories, "AuxiliaryDir", ""); }
std::string StartUpLink() { return ReadText(OriginalFilePath, SecUnInstall, "StartUpLink", ""); }
std::string CheckforNewUpdateLink() { return ReadText(OriginalFilePath, SecUnInstall, "CheckforNewUpdateLink", ""); }

std::string MsgBoxBtnText() {
    return ReadText(OriginalFilePath, SecMsgBox, "BtnText", "|&OK|&Cancel|&Yes|&No|&Abort|&Retry|&Ignore|");
}
std::string MsgBoxError() { return ReadText(OriginalFilePath, SecMsgBox, "Error", "Error"); }
std::string MsgBoxConfirm() { return ReadText(OriginalFilePath, SecMsgBox, "Confirm", "Confirm"); }
std::string MsgBoxAttention() { return ReadText(OriginalFilePath, SecMsgBox, "Attention", "Attention"); }
int64_t MsgBoxCharSet() { return ReadNumber(OriginalFilePath, SecMsgBox, "CharSet", 0); }
std::string MsgBoxFontName() { return ReadText(OriginalFilePath, SecMsgBox, "FontName", "Tahoma"); }
int64_t MsgBoxFontSize() { return ReadNumber(OriginalFilePath, SecMsgBox, "FontSize", 8); }

std::string GetAutoUpdateText(const std::string& key, const std::string& def) {
    return ReadText(OriginalFilePath, SecAutoUpdate, key.c_str(), def);
}

std::string AutoUpdateMessage(int number) {
    return GetAutoUpdateText("s" + IntToStr(number), AutoUpdateTextDefault(number));
}

// ---- Update information ---------------------------------------------------------

std::string DownloadURL_UPDATE() { return ReadText(InfoFilePath, SecNewSetup, "DownloadURL_UPDATE", ""); }
std::string NameOfUpdateFile() { return ReadText(InfoFilePath, SecNewSetup, "NameOfUpdateFile", ""); }
int64_t SizeOfUpdateFile() { return ReadNumber(InfoFilePath, SecNewSetup, "SizeOfUpdateFile", 0); }

bool RequestConfirmationBeforeDownload() {
    return OverridableSwitch(OvRequestConfirmationBeforeDownload, "RequestConfirmationBeforeDownload");
}
bool RequestConfirmationBeforeDownloadForce() {
    return OverridableSwitch(OvRequestConfirmationBeforeDownloadForce, "RequestConfirmationBeforeDownloadForce");
}
bool RequestConfirmationBeforeInstall() {
    return OverridableSwitch(OvRequestConfirmationBeforeInstall, "RequestConfirmationBeforeInstall");
}
bool RequestConfirmationBeforeInstallForce() {
    return OverridableSwitch(OvRequestConfirmationBeforeInstallForce, "RequestConfirmationBeforeInstallForce");
}
bool BackgroundUpdate() { return OverridableSwitch(OvBackgroundUpdate, "BackgroundUpdate"); }
bool RestartProcess() { return OverridableSwitch(OvRestartProcess, "RestartProcess"); }
bool InformFinish() { return OverridableSwitch(OvInformFinish, "InformFinish"); }

std::string ShutDownMethod() { return ReadText(InfoFilePath, SecNewSetup, "ShutDownMethod", ""); }
std::string RunningProcess() { return ReadText(InfoFilePath, SecNewSetup, "RunningProcess", ""); }
std::string ProgramNameNew() { return ReadText(InfoFilePath, SecNewSetup, "ProgramName", ""); }
int32_t VersionNew() { return LowInt32(ReadNumber(InfoFilePath, SecNewSetup, "VersionNew", 0)); }
int32_t StampNew() { return LowInt32(ReadNumber(InfoFilePath, SecNewSetup, "Stamp", 0)); }
std::string ValidVersions() { return ReadText(InfoFilePath, SecNewSetup, "ValidVersions", ""); }
bool RemoveStartUpShortcut() { return ReadSwitch(InfoFilePath, SecNewSetup, "RemoveStartUpShortcut"); }
bool RemoveCheckForNewUpdateShortcut() {
    return ReadSwitch(InfoFilePath, SecNewSetup, "RemoveCheckForNewUpdateShortcut");
}

int64_t AutoInform() { return ReadNumber(InfoFilePath, SecGeneral, "AutoInform", 0); }
std::string DownloadURL_INFORM() { return ReadText(InfoFilePath, SecAutoInform, "DownloadURL_INFORM", ""); }
std::string NameOfInformFile() { return ReadText(InfoFilePath, SecAutoInform, "NameOfInformFile", ""); }
int64_t SizeOfInformFile() { return ReadNumber(InfoFilePath, SecAutoInform, "SizeOfInformFile", 0); }
int64_t AutoInformW() { return ReadNumber(InfoFilePath, SecAutoInform, "AutoInformW", 360); }
int64_t AutoInformH() { return ReadNumber(InfoFilePath, SecAutoInform, "AutoInformH", 360); }

}  // namespace kv
