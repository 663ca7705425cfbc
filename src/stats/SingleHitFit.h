#pragma once
// Molecules per GE pooled over runs of different GE, by maximum likelihood
// under the single-hit model P(empty lane | GE) = exp(-k GE) (a binomial
// model with complementary log-log link and log GE offset, as in limiting-
// dilution analysis), with a test that the model's slope on log GE is 1.
#include <cstdint>
#include <optional>
#include <vector>

#include "stats/Estimate.h"
#include "stats/LaneStatistics.h"

namespace lociview {

// One accumulated run: its lane counts and its GE per reaction.
struct RunLanes {
    LaneCounts lanes;
    std::optional<double> ge;
};

struct SingleHitFit {
    // k with the 95% Wald interval on log k (observed information). Every
    // lane empty: 0 with the exact upper bound; no lane empty: only the
    // exact lower bound.
    Estimate moleculesPerGE;
    // The free slope b of cloglog P(lane not empty) = a + b log GE, with its
    // Wald interval; missing when all runs share one GE or b runs off to
    // infinity (empty lanes only below some GE, none above it).
    Estimate slope;
    // Score test of b = 1 at the fitted k (1 degree of freedom): it needs no
    // free fit, so it stands where b runs off.
    Estimate slopeChiSquare;
    Estimate slopePValue;       // note kNotSingleHitNote below 0.05
    bool notSingleHit = false;  // p < 0.05
    int64_t runsUsed = 0;       // runs with lanes and a positive GE
};

inline constexpr const char* kNotSingleHitNote =
    "the single-hit model does not fit: the empty lanes do not fall with GE as one molecule per hit predicts";

// Runs without lanes or without a positive finite GE are left out (the note
// of moleculesPerGE counts them).
SingleHitFit singleHitFit(const std::vector<RunLanes>& runs);

}  // namespace lociview
