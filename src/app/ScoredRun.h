#pragma once
// The last scoring run: what it read, what it left in the records and the
// results, and what clean-up has done to them since.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "app/Provenance.h"
#include "scoring/Preparation.h"
#include "scoring/ScoringResult.h"

namespace lociview {

struct ScoredRun {
    int32_t locustype = 0;
    int32_t numalleles = 0;
    std::vector<int32_t> allelesizelist;
    ShiftState shiftState;  // alreadyScored, shiftvalue
    MergeLog merges;        // given back at the next run's restore
    ScoringResult scoring;  // tblallele, tblallelecount, tblweight, tbllane, counters
    // The repeat unit of the run the result holds (a refused Score changes
    // locustype but keeps the result).
    int32_t scoredLocus = 0;
    std::optional<ResultProvenance> resultSource;
    uint64_t cleanUpEpoch = 0;  // moves on at every opening and scoring run
    std::string lastCleanUp;    // what the last clean-up did
    std::string scoringLog;     // the lines the run wrote to the scoring log
    // The run reached its end marking no peak because its locus is not walked.
    bool unwalkedRun = false;
};

}  // namespace lociview
