// kvscenes SCENE RECTFILE: shows one scene of what a user sees and writes
// the screen rectangle of its window ("left top width height") into
// RECTFILE once it is painted, for tools/screenshots to cut out of the
// screen. Scenes: "main" (the main window during a slow extraction),
// "yesno" (a question with bold text), "rtl" (a right-to-left box). Each
// ends by itself after a few seconds.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <thread>

#include "dialogs/msgbox_win.h"
#include "stub/progress.h"
#include "stub/stub_win.h"

namespace {

constexpr DWORD kSceneMs = 8000;
constexpr DWORD kSettleMs = 1500;

std::string g_rectFile;

void WriteRect(HWND window) {
    RECT r{};
    GetWindowRect(window, &r);
    const std::string text = std::to_string(r.left) + " " + std::to_string(r.top) + " " +
                             std::to_string(r.right - r.left) + " " + std::to_string(r.bottom - r.top) + "\n";
    // Written whole under a temporary name, so the reader never sees half.
    const std::string temp = g_rectFile + ".tmp";
    if (FILE* f = std::fopen(temp.c_str(), "wb")) {
        std::fwrite(text.data(), 1, text.size(), f);
        std::fclose(f);
        MoveFileExA(temp.c_str(), g_rectFile.c_str(), MOVEFILE_REPLACE_EXISTING);
    }
}

// The boxes are modal: a second thread waits for the box to be visible
// and painted, then reports where it is.
void ReportBoxWhenShown() {
    std::thread([] {
        const DWORD start = GetTickCount();
        while (GetTickCount() - start < kSceneMs) {
            HWND box = FindWindowA("KMsgBox", nullptr);
            if (box != nullptr && IsWindowVisible(box)) {
                Sleep(kSettleMs);
                WriteRect(box);
                return;
            }
            Sleep(50);
        }
    }).detach();
}

constexpr UINT_PTR kStepTimer = 7;
constexpr int kSteps = 40;
int g_step = 0;

void CALLBACK StepExtraction(HWND window, UINT, UINT_PTR, DWORD) {
    if (g_step < kSteps) {
        ++g_step;
        kv::MainProgress(kv::ProgressStep, 0, 0, 0, 1, std::string());
    }
    if (g_step == 26) WriteRect(window);
}

int MainScene() {
    kv::MainWindowLook look;
    look.caption = "Acme Writer 3 Setup";
    HWND window = kv::CreateMainWindow("KvScenes.Main", look);
    if (window == nullptr) return 1;
    // The stub's own first tick would start a setup; here only the bars move.
    KillTimer(window, kv::MainTimerId);
    kv::SetMainStatus("Extracting Files...", "Tahoma", DEFAULT_CHARSET, 8);
    kv::ShowActivityBar();
    kv::ShowMainWindow();
    kv::MainProgress(kv::ProgressSetUp, 0, kSteps, 0, 1, std::string());
    SetTimer(window, kStepTimer, 120, StepExtraction);
    const DWORD start = GetTickCount();
    MSG msg;
    while (GetTickCount() - start < kSceneMs) {
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
    }
    DestroyWindow(window);
    return 0;
}

int YesNoScene() {
    ReportBoxWhenShown();
    kv::AskYesNo(kv::kBoxWithHeading,
                 "Kavrix will extract files to your Temp Drive (C:)<P>"
                 "<P>Estimated space required on your Temp drive is: <T>  <B>48.7</B> MB<P>"
                 "Free space available on your Temp drive is: <T>  <B>1523.4</B> MB<P>"
                 "<P>Continue with Setup?<P>",
                 "Confirm", kSceneMs);
    return 0;
}

int RightToLeftScene() {
    ReportBoxWhenShown();
    // A Hebrew package's box: read right to left, buttons and text on the
    // right. (The text is English so that it reads under any code page.)
    kv::ShowMessageBox(kv::kBoxWithHeading, "Please insert <B>DISK #2</B> and press OK to continue<P>",
                       "Attention", kSceneMs, MB_OKCANCEL | MB_ICONEXCLAMATION, HEBREW_CHARSET, std::string());
    return 0;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    if (__argc < 3) return 2;
    g_rectFile = __argv[2];
    const char* scene = __argv[1];
    if (std::strcmp(scene, "main") == 0) return MainScene();
    if (std::strcmp(scene, "yesno") == 0) return YesNoScene();
    if (std::strcmp(scene, "rtl") == 0) return RightToLeftScene();
    return 2;
}
