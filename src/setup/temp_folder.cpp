#include "setup/temp_folder.h"

#include "util/text_utils.h"

namespace kv {
namespace {

std::string g_setupTempFolder;

}  // namespace

const std::string& KeptSetupTempFolder() { return g_setupTempFolder; }
void SetKeptSetupTempFolder(const std::string& folder) { g_setupTempFolder = folder; }

char BestTempDrive(char tempLetter, const double (&freeBytes)[3]) {
    char best = UpperCase(std::string(1, tempLetter))[0];
    double bestFree = 0;
    for (int i = 0; i < 3; ++i) {
        if (freeBytes[i] > bestFree) {
            bestFree = freeBytes[i];
            best = char('C' + i);
        }
    }
    return best;
}

}  // namespace kv
