/* A stand-in for a DLL planted beside a setup. Copied under the name of a
 * system library; when any process loads it, it leaves the marker file
 * "<its own file name>.loaded" beside itself, so a test can tell which
 * names were picked up from the program's folder. */
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    (void)reserved;
    if (reason == DLL_PROCESS_ATTACH) {
        char path[MAX_PATH + 16];
        DWORD n = GetModuleFileNameA(instance, path, MAX_PATH);
        if (n > 0 && n < MAX_PATH) {
            lstrcpyA(path + n, ".loaded");
            HANDLE f = CreateFileA(path, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
            if (f != INVALID_HANDLE_VALUE) CloseHandle(f);
        }
    }
    return TRUE;
}

/* One export, so that the file is a well-formed DLL with an export table. */
__declspec(dllexport) int KvPlanted(void) { return 1; }
