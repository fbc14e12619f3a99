/* Imports version.dll statically: what the stub must never do. */
#include <windows.h>

int main(void) {
    DWORD handle = 0;
    return (int)GetFileVersionInfoSizeA("x", &handle);
}
