#include "util/process_analizer.h"

namespace kv {

void TAnalizer::Clear() {
    Windows.fill(0);
    Scores.fill(0);
    Count = 0;
    ProcessId = 0;
}

bool TAnalizer::Add(uintptr_t window) {
    if (Count >= kCapacity) return false;
    Windows[size_t(Count)] = window;
    Scores[size_t(Count)] = 0;
    ++Count;
    return true;
}

void TAnalizer::Score(const std::vector<Facts>& facts) {
    const size_t n = size_t(Count);
    auto factsOf = [&](size_t i) { return i < facts.size() ? facts[i] : Facts{Windows[i], false, false}; };
    for (size_t i = 0; i < n; ++i) {
        const uintptr_t owner = factsOf(i).topOwner;
        for (size_t j = 0; j < n; ++j)
            if (Windows[j] == owner) ++Scores[j];
    }
    // At most kCapacity owner points, times 4, plus 3: fits 16 bits.
    for (size_t i = 0; i < n; ++i) {
        const Facts f = factsOf(i);
        Scores[i] = uint16_t(Scores[i] * 4 + (f.titled ? 2 : 0) + (f.visible ? 1 : 0));
    }
}

uintptr_t TAnalizer::Best() const {
    size_t best = 0;
    for (size_t i = 1; i < size_t(Count); ++i)
        if (Scores[i] > Scores[best]) best = i;
    return Count > 0 && Scores[best] > 0 ? Windows[best] : 0;
}

}  // namespace kv
