#include "autoupdate/stubglob_override.h"

#include "autoupdate/stubglob_values.h"
#include "util/ksub.h"
#include "util/text_utils.h"

namespace kv {
namespace {

uint8_t g_entries[OverrideEntryCount] = {OverrideNotSet, OverrideNotSet, OverrideNotSet, OverrideNotSet,
                                         OverrideNotSet, OverrideNotSet, OverrideNotSet, OverrideNotSet};

bool ValidIndex(int index) { return index >= 0 && index < OverrideEntryCount; }

}  // namespace

uint8_t OverrideEntry(int index) { return ValidIndex(index) ? g_entries[index] : OverrideNotSet; }

void SetOverrideEntry(int index, uint8_t value) {
    if (ValidIndex(index)) g_entries[index] = value;
}

void ResetOverrideEntries() {
    for (uint8_t& e : g_entries) e = OverrideNotSet;
}

std::string OverrideListText() {
    std::string list = "|";
    for (const uint8_t e : g_entries) list += IntToStr(e) + "|";
    return list;
}

void ApplyOverrideList(const std::string& list) {
    for (int i = 0; i < OverrideEntryCount; ++i) {
        const std::string field = SUB::Get(list, i, std::string());
        int64_t value = 0;
        if (!TrySettingNumber(field, value)) continue;
        g_entries[i] = static_cast<uint8_t>(static_cast<uint64_t>(value) & 0xFF);
    }
}

bool OverrideDecides(uint8_t entry) { return entry != OverrideNotSet; }
bool OverrideSwitchValue(uint8_t entry) { return entry == 1; }

bool AskBeforeCheck() { return g_entries[OvAskBeforeCheck] == 1; }

}  // namespace kv
