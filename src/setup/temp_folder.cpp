#include "setup/temp_folder.h"

namespace kv {
namespace {

std::string g_setupTempFolder;

}  // namespace

const std::string& KeptSetupTempFolder() { return g_setupTempFolder; }
void SetKeptSetupTempFolder(const std::string& folder) { g_setupTempFolder = folder; }

}  // namespace kv
