#pragma once
// Which peaks the chart draws for the rows selected in the results table:
// by lane, every peak of each selected lane; by allele, the counted peaks
// within the locus tolerance of each selected size.
#include <cstdint>
#include <vector>

#include "model/AlleleDB.h"
#include "scoring/ScoringResult.h"

namespace lociview {

AlleleList peaksToGraph(const ScoringResult& result, const AlleleDB& db, bool byLane,
                        const std::vector<int>& selectedRows, int32_t locustype, bool maybes);

}  // namespace lociview
