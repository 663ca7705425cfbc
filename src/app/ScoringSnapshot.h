#pragma once
// The state a click on Score changes, kept while the run can still be
// cancelled so that a cancelled run gives it all back: every record's size,
// height and score, the working list, the merges and shift the records
// carry, the last run's results and what the window showed of them.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "app/Provenance.h"
#include "model/Allele.h"
#include "scoring/Preparation.h"
#include "scoring/ScoringResult.h"

namespace lociview {

struct RecordValues {
    AllelePtr record;
    double size;
    int32_t height;
    int32_t score;
};

struct ScoringSnapshot {
    std::vector<RecordValues> records;  // every record of the store
    AlleleList working;
    MergeLog merges;
    ShiftState shift;
    ScoringResult result;
    int32_t locustype = 0, scoredLocus = 0, numalleles = 0;
    std::vector<int32_t> allelesizelist;
    std::optional<ResultProvenance> source;
    uint64_t epoch = 0;
    std::string cleanUpSummary;
    // The progenitor fields (a swap may change them), the three counters
    // and the scoring log, as shown.
    std::array<std::string, 6> texts;
};

}  // namespace lociview
