#pragma once
// The setup's temporary folders: the main one ("SETUP_" + a number under
// the system temporary folder), made when first needed and removed by the
// setup flow at its end or when the main window goes, and an alternative
// one on another fixed drive when the temporary drive lacks room.
#include <string>

namespace kv {

// The folder as it was made, without touching the disk; empty while no
// folder has been made in this process.
const std::string& KeptSetupTempFolder();
// Records the folder once it exists (the setup flow; tests).
void SetKeptSetupTempFolder(const std::string& folder);

// The system temporary folder + "SETUP_" + the time half of the running
// file's DOS date (a copy keeps its date, so the Y_ copy gets the same
// name). The first call removes a stale folder of that name and makes it
// afresh; later calls return the kept path.
std::string SetupTempFolder();

// The alternative base + "_" + a random number, made on the first call
// like SetupTempFolder; empty while FindBetterTempDrive has set no base.
std::string AltTempFolder();

// Whether FindBetterTempDrive has set an alternative base.
bool AltTempBaseSet();

// Probes the fixed drives C, D and E by writing a small file and sets the
// alternative base ("X:\TEMP", or "X:\TEMP\TEMP" when that folder exists)
// on the one with most free space when that is not the temporary drive.
// True when a base is set (at once when it already was).
bool FindBetterTempDrive();

// True when the folder exists and its drive has more free space than the
// package at `packagePath` needs for that drive's cluster size.
bool TempSpaceOK(const std::string& tempFolder, const std::string& packagePath);

// The probe's choice among C, D, E (free bytes by drive, 0 when a probe
// failed): the letter with strictly most free space, the earlier one on a
// tie, `tempLetter` when none has more than 0.
char BestTempDrive(char tempLetter, const double (&freeBytes)[3]);

}  // namespace kv
