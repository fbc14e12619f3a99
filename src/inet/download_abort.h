#pragma once
// The user's request to stop a running transfer. Set when the stub main
// window is closed (and again when it goes), cleared by each download
// wrapper before it starts, read by the transfer after every chunk. Main
// thread only: a plain flag, no lock.
namespace kv {

void SetDownloadAbortFlag();
void ClearDownloadAbortFlag();
bool DownloadAbortFlag();

}  // namespace kv
