// GoogleTest sends every failure to OutputDebugStringA as well. Wine raises
// a debug-print exception for it, and on machines where 32-bit Windows
// programs run through qemu's user-mode emulator that exception's dispatch
// ends in an illegal instruction, so the first failing assertion would kill
// the test program. The failures are printed on standard output anyway;
// the test programs bind the import to a function that does nothing.
#include <windows.h>

namespace {

void WINAPI NoDebugOutput(LPCSTR) {}

}  // namespace

extern "C" {
#if defined(__i386__)
void* kv_no_debug_output_import __asm__("__imp__OutputDebugStringA@4") = reinterpret_cast<void*>(&NoDebugOutput);
#else
void* kv_no_debug_output_import __asm__("__imp_OutputDebugStringA") = reinterpret_cast<void*>(&NoDebugOutput);
#endif
}
