#include "inet/download_abort.h"

namespace kv {
namespace {

bool g_downloadAbort = false;

}  // namespace

void SetDownloadAbortFlag() { g_downloadAbort = true; }
void ClearDownloadAbortFlag() { g_downloadAbort = false; }
bool DownloadAbortFlag() { return g_downloadAbort; }

}  // namespace kv
