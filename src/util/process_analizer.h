#pragma once
// Picks the main window of a process from its top-level windows: the
// window that owns most of the others wins, then a titled one, then a
// visible one. The scoring is kept apart from the window walk that feeds
// it, so that it is tested on the host.
#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace kv {

class TAnalizer {
public:
    static constexpr int kCapacity = 2001;

    // What the score needs to know about one collected window.
    struct Facts {
        uintptr_t topOwner = 0;  // last window of its owner chain (itself when unowned)
        bool titled = false;
        bool visible = false;
    };

    std::array<uintptr_t, kCapacity> Windows{};
    std::array<uint16_t, kCapacity> Scores{};
    int Count = 0;
    uint32_t ProcessId = 0;

    void Clear();
    // Collects one window of ProcessId; windows beyond the capacity are
    // ignored (false).
    bool Add(uintptr_t window);
    // Scores the collected windows; facts[i] describes Windows[i] (missing
    // entries count as unowned, untitled and hidden).
    void Score(const std::vector<Facts>& facts);
    // The first window with the highest score, when that score is above 0;
    // otherwise 0.
    uintptr_t Best() const;
};

}  // namespace kv
