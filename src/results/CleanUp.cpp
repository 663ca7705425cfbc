#include "results/CleanUp.h"

#include <limits>

namespace lociview {

CleanUpLists selectByLaneAndOrAllele(const AlleleDB& db, bool byAllele, bool byLane, int32_t size, int32_t lane,
                                     double low, double high, double tol) {
    CleanUpLists lists;
    if (!byAllele) {
        lists.first = db.getAllelesInLane(lane, low, high, SCORED);
        lists.maybes = db.getAllelesInLane(lane, low, high, MAYBE);
    } else if (!byLane) {
        lists.first = db.getAllelesWithSize(size, tol, SCORED);
        lists.maybes = db.getAllelesWithSize(size, tol, MAYBE);
    } else if (AllelePtr tallest = db.getAlleleSize(size, lane, tol)) {
        lists.first.push_back(std::move(tallest));
    }
    return lists;
}

void discardPeaks(const AlleleList& peaks, std::vector<AlleleRow>& rows, double tol, LogSink& log) {
    for (size_t i = 0; i < peaks.size(); ++i) {
        const AllelePtr& p = peaks[i];
        for (AlleleRow& row : rows) {
            if (!withinTolerance(p->getSize(), row.size, tol)) continue;
            logf(log, "decrementing %d at %d", row.count, static_cast<int32_t>(i));
            // Repeated removals may push a count below zero; it stops at
            // the lowest int rather than wrapping round.
            if (row.count > std::numeric_limits<int32_t>::min()) --row.count;
        }
        p->changeScore(DISCARDED);
    }
}

}  // namespace lociview
