#pragma once
// The eight override entries a caller can impose on some update settings
// for one run of the agent (in memory only; a restarted agent gets them as
// a field list). An entry of 255 does not override its key; any other
// value decides: 1 true, everything else false.
#include <cstdint>
#include <string>

namespace kv {

// Entry numbers, in the order of the field list.
enum OverrideEntryIndex : int {
    OvAskBeforeCheck = 0,
    OvRequestConfirmationBeforeDownload = 1,
    OvRequestConfirmationBeforeInstall = 2,
    OvBackgroundUpdate = 3,
    OvInformFinish = 4,
    OvRestartProcess = 5,
    OvRequestConfirmationBeforeDownloadForce = 6,
    OvRequestConfirmationBeforeInstallForce = 7,
};
constexpr int OverrideEntryCount = 8;
constexpr uint8_t OverrideNotSet = 255;

// The entry's value; 255 for an index outside 0..7.
uint8_t OverrideEntry(int index);
// Sets one entry (the agent's command message sets 0 to 5); an index
// outside 0..7 changes nothing.
void SetOverrideEntry(int index, uint8_t value);
// All entries back to 255.
void ResetOverrideEntries();

// "|" then each entry in decimal followed by "|": "|255|255|...|255|".
std::string OverrideListText();
// Fields 0 to 7 of the field list: each decimal number replaces its entry
// (cut to one byte); a missing, empty or non-number field keeps it.
void ApplyOverrideList(const std::string& list);

// True when the entry overrides its key; its value is then
// OverrideSwitchValue.
bool OverrideDecides(uint8_t entry);
bool OverrideSwitchValue(uint8_t entry);

// Ask the user before each timed check: only entry 0 equal to 1 does.
bool AskBeforeCheck();

}  // namespace kv
