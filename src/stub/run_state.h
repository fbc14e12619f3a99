#pragma once
// Process-wide run state, fixed during start-up by the entry sequence.
#include <cstdint>
#include <string>

namespace kv {

class TGFileInfo;

// The run's package info: opened on the running file at start, freed at
// the end of the entry sequence.
void OpenRunPackage(const std::string& programPath);
void FreeRunPackage();
// Valid between OpenRunPackage and FreeRunPackage.
const TGFileInfo& RunPackage();

// The running package is marked as the auto-update program.
bool ThisIs_AutoUpdateProg();
// The running file is the plain agent / the X_ agent of its package.
bool ThisIs_Plain_AutoUpdate_Exe();
bool ThisIs_X_AutoUpdate_Exe();

// Exit code of the process: 0 unless an engine ran, then its exit code.
uint32_t RunExitCode();
void SetRunExitCode(uint32_t code);

}  // namespace kv
