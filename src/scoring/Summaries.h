#pragma once
// The end of a scoring run: the result rows by allele and by lane, with
// their developer log and the by-lane listing on standard output, and the
// three lane counters.
#include <cstdint>
#include <vector>

#include "base/DevLog.h"
#include "base/OutputSink.h"
#include "model/AlleleDB.h"
#include "scoring/AlleleCount.h"
#include "scoring/ScoringParameters.h"
#include "scoring/ScoringResult.h"

namespace lociview {

// The by-allele rows and tbllane of a di-nucleotide run, from the scores of
// the store's records.
void summarize(const AlleleDB& db, const std::vector<int32_t>& lanes, const ScoringParameters& p,
               const AlleleSizes& sizes, ScoringResult& result, LogSink& log, OutputSink& standardOutput);

// Lanes with no, one, and two or more counted peaks strictly inside the
// whole-number range.
LaneCounters countLanes(const AlleleDB& db, const std::vector<int32_t>& lanes, int32_t lowInt, int32_t highInt,
                        bool withMaybes);

// The rows with their counts as the records' marks stand now (after a
// clean-up has re-marked peaks): each row's counted peaks within tol of its
// size. Sizes and weights stay as they are.
std::vector<AlleleRow> countMarkedRows(const AlleleDB& db, std::vector<AlleleRow> rows, double tol, bool withMaybes);

}  // namespace lociview
