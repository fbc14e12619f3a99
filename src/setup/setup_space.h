#pragma once
// What the setup flow tells the user about the temporary drive: the sizes
// in megabytes and the question asked before extracting. Pure text work.
#include <cstdint>
#include <string>

namespace kv {

// Megabytes for the questions: negative counts as 0; "." as the decimal
// point; 1 decimal above 10 MB, 3 below 1 MB, else 2 (0 -> "0.000",
// 10 MB exactly -> "10.00", 15 MB -> "15.0").
std::string FormatMB(double bytes);

// The language texts the question is made of ("s2".."s6"), defaults
// filled in by the caller.
struct TempSpaceTexts {
    std::string askBeforeExtract;  // s2: the package always asks
    std::string shortOfSpace;      // s3: required >= free
    std::string spaceRequired;     // s4
    std::string spaceAvailable;    // s5
    std::string continueQuestion;  // s6
};

// The English texts, used when the package's language block lacks a key.
TempSpaceTexts DefaultTempSpaceTexts();

// "C:" for a folder on drive c (upper-cased first character, ":");
// empty for an empty path.
std::string TempDriveOf(const std::string& folder);

// The question for that drive, or empty when none is needed: s3 when the
// required space is not less than the free space, else s2 when the
// package asks before extracting; followed by s4, s5, s6 with <DRIVE>,
// <SPACE_REQ> and <SPACE_AVAIL> replaced.
std::string TempSpaceQuestion(const TempSpaceTexts& texts, bool askBeforeExtract, const std::string& drive,
                              double required, double available);

// "SETUP_" + the time half (low 16 bits) of a packed DOS date and time,
// appended to the temporary folder with one backslash between.
std::string SetupTempFolderName(const std::string& tempFolder, uint32_t dosDateTime);

}  // namespace kv
