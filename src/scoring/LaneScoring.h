#pragma once
// Scoring the peaks of one lane: sweeps out from the tallest undecided peak
// along the repeat ladder of the locus (a di locus, or any locus while every
// repeat unit is walked), marking each peak met SCORED, MAYBE or DISCARDED.
#include <cstdint>
#include <functional>
#include <vector>

#include "base/DevLog.h"
#include "model/AlleleDB.h"
#include "scoring/ScoringParameters.h"

namespace lociview {

// The tallest record of the list, the first of equally tall ones; none
// (with a log line) for an empty list.
AllelePtr LargestAlleleHeight(const AlleleList& alleles, LogSink& log);

// Gives the record the code and writes its DebugLog line.
void markAllele(LogSink& log, Allele& allele, int32_t code, int32_t lane);

struct LaneScoringParams {
    int32_t step = 2;      // repeat step, bp
    double tol = 0.5;      // locus tolerance, exclusive
    double stutter = 1.5;  // stutter tolerance, a height ratio
};

// The walk of a run: the step of its locus, the locus tolerance in single
// precision (as the run holds it; both tolerances are exact there) and the
// stutter tolerance. Every fraction of the walk is the same for every locus.
LaneScoringParams ladderWalkParams(const ScoringParameters& p);

// The walked range of one sweep.
struct SweepRange {
    double low = 0.0;
    double high = 0.0;
};

// Scores every peak of the lane in the store's working list; returns the
// walked range of each sweep, in order (none for an empty lane).
std::vector<SweepRange> scoreLanePeaks(AlleleDB& db, LogSink& log, int32_t lane, const LaneScoringParams& params);

// Scores every lane of the list in order; beforeLane runs first for each
// lane, empty ones included (the progress indicator advances there), and
// answering false stops the sweeps there. False when they were stopped.
bool scoreLanes(AlleleDB& db, const std::vector<int32_t>& lanes, const LaneScoringParams& params, LogSink& log,
                const std::function<bool()>& beforeLane);

}  // namespace lociview
