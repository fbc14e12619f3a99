// The setup flow and the extraction half of ExtractAndRunEngine.
#include "setup/stub_setup.h"

#include <windows.h>

#include <exception>
#include <string>

#include "dialogs/msgbox_win.h"
#include "package/packx.h"
#include "package/unpack.h"
#include "setup/engine_launch_win.h"
#include "setup/exit_codes.h"
#include "setup/setup_space.h"
#include "setup/temp_folder.h"
#include "stub/cmdline.h"
#include "stub/run_state.h"
#include "stub/stub_win.h"
#include "util/files.h"
#include "util/kdebug.h"
#include "util/message_pump.h"
#include "util/sysinfo.h"
#include "util/text_utils.h"

namespace kv {
namespace {

constexpr int64_t kSettleMs = 1000;
constexpr const char* kSpanDiskKey = "HKEY_CURRENT_USER\\Software\\Brevandt\\Kavrix\\SpanDisk";
constexpr const char* kDefaultButtons = "|&OK|&Cancel|&Yes|&No|&Abort|&Retry|&Ignore|";
constexpr const char* kBadCrcText = "Bad CRC!<P>This indicates that your setup file might be corrupted...";
constexpr const char* kDiskPromptText = "Please insert <B>DISK #<DISK_NUM></B> and press OK to continue";

std::string Pid() { return std::to_string(GetCurrentProcessId()); }

std::string Buttons(const TGFileInfo& package) { return package.LangText("BtnText", kDefaultButtons); }

void ShowDamaged(const TGFileInfo& package, const std::string& detail) {
    std::string text = package.LangText("s7", kBadCrcText);
    if (!detail.empty()) text += "<P><P>" + detail;
    ShowError(kBoxWithHeading, text, package.LangText("Error", "Error"), package.LangCharset(), Buttons(package));
}

TempSpaceTexts SpaceTexts(const TGFileInfo& package) {
    const TempSpaceTexts d = DefaultTempSpaceTexts();
    TempSpaceTexts t;
    t.askBeforeExtract = package.LangText("s2", d.askBeforeExtract);
    t.shortOfSpace = package.LangText("s3", d.shortOfSpace);
    t.spaceRequired = package.LangText("s4", d.spaceRequired);
    t.spaceAvailable = package.LangText("s5", d.spaceAvailable);
    t.continueQuestion = package.LangText("s6", d.continueQuestion);
    return t;
}

// Extraction proper (steps 7 to 11): false when nothing could be run.
bool ExtractAndStart(const std::string& tempFolder, const std::string& packagePath, const std::string& agentName,
                     bool foreground, const std::string& extraArguments, const TGFileInfo& package) {
    const std::string diskPrompt = package.LangText("s8", kDiskPromptText);
    const std::string caption = package.LangText("Attention", "Attention");
    const std::string buttons = Buttons(package);
    const int charset = package.LangCharset();
    if (foreground) ShowMainWindow();
    WaitMs(1, kSettleMs);

    bool crcOk = false;
    std::string engineCommand;
    const bool forcePrompt = ReadRegistryValue(kSpanDiskKey, "ForcePrompt", "0", false) == "1";
    try {
        UnpackPackage(packagePath, tempFolder, agentName, crcOk, MainProgress, diskPrompt, caption, buttons,
                      charset, forcePrompt, engineCommand);
    } catch (const DecompressionError& e) {
        // A block that passed its checks but does not inflate: the package
        // is as damaged as one with a bad checksum, and what was written
        // of it must not stay behind.
        TraceException(e, "UnpackPackage", packagePath);
        DeleteTree(tempFolder, true);
        SetRunExitCode(kExitSetupFailed);
        ShowDamaged(package, e.what());
        return false;
    }
    WaitMs(0, kSettleMs);

    if (!crcOk) {
        SetRunExitCode(kExitSetupFailed);
        ShowDamaged(package, std::string());
        return false;
    }
    // No engine in the package, or the user cancelled a disk prompt.
    if (engineCommand.empty()) return false;
    return RunEngine(tempFolder, engineCommand, extraArguments, foreground);
}

}  // namespace

bool ConfirmTempSpace(const std::string& tempFolder, const TGFileInfo& package) {
    const std::string message = TempSpaceQuestion(SpaceTexts(package), package.AskBeforeExtract(),
                                                  TempDriveOf(tempFolder), package.SpaceRequired(tempFolder),
                                                  DiskFree(tempFolder));
    if (message.empty()) return true;
    return AskYesNo(kBoxWithHeading, message, package.LangText("Confirm", "Confirm"), 0, package.LangCharset(),
                    Buttons(package));
}

bool ExtractAndRunEngine(const std::string& tempFolder, const std::string& packagePath, const std::string& agentName,
                         bool foreground, const std::string& extraArguments) {
    const TGFileInfo package(packagePath);
    if (package.ShowActivityBar()) ShowActivityBar();
    SetMainStatus(package.LangText("s1", "Extracting Files..."), package.LangFontName(), package.LangCharset(),
                  package.LangFontSize());

    std::string folder = tempFolder;
    if (!TempSpaceOK(folder, packagePath) && FindBetterTempDrive()) folder = AltTempFolder();
    TraceLine("========= ForegroundOp=" + BoolText(foreground) + " ==========");

    bool handedOver = false;
    if (!foreground || ConfirmTempSpace(folder, package))
        handedOver = ExtractAndStart(folder, packagePath, agentName, foreground, extraArguments, package);

    if (AltTempBaseSet()) DeleteTree(AltTempFolder(), false);
    return handedOver;
}

void RunSetupFlow() {
    KillTimer(MainWindowHandle(), MainTimerId);
    const TGFileInfo& running = RunPackage();
    const std::string agentName = running.InstallsAgent() ? running.AgentExeName() : std::string();

    if (running.IsInternetSetup()) {
        TraceLine(Pid() + " ==== not in this build: internet setup ====");
    } else {
        const std::string spanDisk = GetSwitch("/SpanDiskFName1=");
        const std::string packagePath = spanDisk.empty() ? ProgramPath() : spanDisk;
        const bool hidden = HasSwitch("/hide") || running.IsHidden();
        TraceLine(Pid() + " ==== setup flow: " + packagePath);
        // Nothing may unwind past the flow: the timer is stopped, so the
        // loop would never end.
        try {
            ExtractAndRunEngine(SetupTempFolder(), packagePath, agentName, !hidden, ArgumentText());
        } catch (const std::exception& e) {
            TraceException(e, "RunSetupFlow", packagePath);
            SetRunExitCode(kExitSetupFailed);
        }
    }
    const std::string& folder = KeptSetupTempFolder();
    if (!folder.empty()) DeleteTree(folder, false);
    PostQuitMessage(0);
}

}  // namespace kv
