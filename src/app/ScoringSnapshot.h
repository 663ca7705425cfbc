#pragma once
// The state a click on Score changes, kept while the run can still be
// cancelled so that a cancelled run gives it all back: every record's size,
// height and score, the working list, the merges and shift the records
// carry, the last run's results and what the window showed of them.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "app/ScoredRun.h"
#include "model/Allele.h"

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
    ScoredRun run;  // the last run as it was
    // The progenitor fields (a swap may change them), the three counters
    // and the scoring log, as shown.
    std::array<std::string, 6> texts;
};

}  // namespace lociview
