#pragma once
// The pieces of UnpackPackage, one concern per file: the destination
// folder, the writer of file entries, the agent copy. Internal to the
// unpacker.
#include <cstdint>
#include <string>

#include "package/byte_source.h"
#include "package/unpack_core.h"
#include "stub/progress.h"

namespace kv::unpack {

// Calls the progress callback when there is one; the text stays empty.
void Progress(TProgBarShowProc progress, int32_t kind, int32_t high);

// Creates the folder and its missing parents. Only a creation that
// cannot even start (no folder named) shows the folder message; one that
// merely fails is left for the first file write to report.
void CreateDestination(const std::string& destDir);

// Writes each file entry into the destination folder (appending to a
// file of the same name), steps the progress for each new file, keeps the
// engine mark, and reports the first failed write of the process.
class EntryWriter final : public BlockVisitor {
public:
    EntryWriter(const std::string& destDir, TProgBarShowProc progress, std::string& engineCommand)
        : destDir_(destDir), progress_(progress), engineCommand_(engineCommand) {}
    void Pump() override;
    void OnFileEntry(FileEntry& entry) override;

private:
    const std::string& destDir_;
    TProgBarShowProc progress_;
    std::string& engineCommand_;
};

// Failed entry writes in this process (never reset).
int FailedWrites();

// Writes the agent copy of the open first segment `src` (read up to
// `firstEntryOffset`) as destDir\`agentName`'s file-name part, dated like
// `firstPath`, and traces it. Does nothing for a name that is not a plain
// file name or without a first entry offset.
void WriteAgentCopy(const ByteSource& src, const std::string& firstPath, uint64_t firstEntryOffset,
                    const std::string& destDir, const std::string& agentName);

}  // namespace kv::unpack
