#pragma once
// The part of the controller's state that a clean-up changes, kept so that
// a clean-up can be undone and redone exactly: every record's score, the
// working list, the result rows, the lane counters and their fields.
#include <array>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "model/Allele.h"
#include "scoring/ScoringResult.h"

namespace lociview {

struct CleanUpSnapshot {
    // The scoring run (or opening) it was taken in: a snapshot of another
    // run's records would mix two runs, so it is refused.
    uint64_t epoch = 0;
    std::vector<std::pair<AllelePtr, int32_t>> scores;  // every record of the store
    AlleleList working;
    ScoringResult result;
    std::array<std::string, 3> counterFields;  // numemptylanes, numones, numtwos
    std::string summary;                       // what the last clean-up did
};

}  // namespace lociview
