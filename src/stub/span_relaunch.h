#pragma once
// The Y_ copy of a multi-disk setup: where it goes and how it is started.
// Pure text work; the copy and the start are in span_relaunch_win.cpp.
#include <string>

namespace kv {

// The setup temp folder + "\Y_" + the stub's file name.
std::string YCopyPath(const std::string& setupTempFolder, const std::string& stubPath);

// The arguments without any "/SpanCdLvl=" and "/SpanDiskFName1=" switch
// (case ignored), each cut up to the next '/' like RemoveSwitch.
std::string WithoutSpanSwitches(std::string arguments);

// The Y_ file, one blank, then (trimmed) the stub's arguments without
// their own span switches,
// /SpanCdLvl=2, /SpanDiskFName1= naming the first disk file beside the
// stub (its path + ".001") and /OriginExe= naming the stub, both quoted.
std::string YCopyCommandLine(const std::string& yCopyPath, const std::string& argumentText,
                             const std::string& stubPath);

}  // namespace kv
