#include "chart/GraphSelections.h"

#include "scoring/Locus.h"

namespace lociview {

namespace {

// A selection may outlive the rows it was made on; such rows add nothing.
template <typename T>
const T* entry(const std::vector<T>& list, int row) {
    if (row < 0 || static_cast<size_t>(row) >= list.size()) return nullptr;
    return &list[static_cast<size_t>(row)];
}

}  // namespace

AlleleList peaksToGraph(const ScoringResult& result, const AlleleDB& db, bool byLane,
                        const std::vector<int>& selectedRows, int32_t locustype, bool maybes) {
    AlleleList peaks;
    if (byLane) {
        for (const int row : selectedRows)
            if (const int32_t* lane = entry(result.tbllane, row))
                for (const auto& peak : db.getLane(*lane)) peaks.push_back(peak);
        return peaks;
    }
    // Before any scoring the locus code is 0, which takes the di tolerance.
    const double tol = tolForLocus(locustype);
    for (const int row : selectedRows) {
        const AlleleRow* allele = entry(result.alleles, row);
        if (!allele) continue;
        for (const auto& peak : db.getAlleleSize(static_cast<double>(allele->size), tol)) {
            const int32_t score = peak->getScore();
            if (score == SCORED || (maybes && score == MAYBE)) peaks.push_back(peak);
        }
    }
    return peaks;
}

}  // namespace lociview
