#pragma once
// The record of a walk over all top-level windows: one entry per window
// (or per executable) in seven parallel field lists. Filled by
// CollectTopWindows (process_viewer.h); the rules of what is recorded and
// where the walk stops live here, apart from the system calls.
#include <cstdint>
#include <string>

namespace kv {

// What the walk learns about one top-level window.
struct TopWindowFacts {
    uint32_t pid = 0;
    std::string exeName;  // of the window's process; empty when unknown
    std::string className;
    uintptr_t handle = 0;
    uint32_t threadId = 0;
    std::string title;
    bool visible = false;
};

struct TProcessData {
    // Record every window; otherwise only the first window of each
    // executable name, and stop at a match of SearchName or SearchPid.
    bool CollectAll = false;
    std::string SearchName;
    uint32_t SearchPid = 0;
    // Parallel field lists with separator '|' (decimal numbers; Visible
    // "1" or "0").
    std::string Pids = "|";
    std::string ExeNames = "|";
    std::string ClassNames = "|";
    std::string Handles = "|";
    std::string ThreadIds = "|";
    std::string Titles = "|";
    std::string Visible = "|";

    // Empties the record and sets what to collect.
    void Reset(bool collectAll, const std::string& searchName, uint32_t searchPid);
    // Takes one window; false when the walk is to stop here.
    bool Visit(const TopWindowFacts& window);
};

}  // namespace kv
