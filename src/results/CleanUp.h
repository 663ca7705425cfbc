#pragma once
// Throwing peaks out by hand: a thrown-out peak stays in the store as
// DISCARDED and lowers the count of the allele size it lies at.
#include <cstdint>
#include <vector>

#include "base/DevLog.h"
#include "model/AlleleDB.h"
#include "scoring/ScoringResult.h"

namespace lociview {

// The peaks a removal by lane and/or allele size throws out: scored ones
// first, then the maybes that go too while the Maybes switch is on.
struct CleanUpLists {
    AlleleList first;
    AlleleList maybes;
};

// Lane only: the lane's peaks strictly inside the range. Allele only: every
// lane's peaks within tol of the size. Both: the tallest peak of the lane
// within tol of the size, whatever its score.
CleanUpLists selectByLaneAndOrAllele(const AlleleDB& db, bool byAllele, bool byLane, int32_t size, int32_t lane,
                                     double low, double high, double tol);

// Lowers the count of the row each peak lies within tol of (with its log
// line) and marks the peak DISCARDED.
void discardPeaks(const AlleleList& peaks, std::vector<AlleleRow>& rows, double tol, LogSink& log);

}  // namespace lociview
