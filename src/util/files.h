#pragma once
// File and disk helpers.

namespace kv {

// Removes the running program's file after the process has ended, through
// a batch file that retries until the file is free; with removeFolder the
// program's folder goes too.
void DeleteSelf(bool removeFolder, bool shortNames);

}  // namespace kv
