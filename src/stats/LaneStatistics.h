#pragma once
// What the lane counters of one run say under the Poisson model: molecules
// per reaction from the empty lanes, the expected lane classes with a
// chi-square check, and molecules per GE.
#include <cstdint>
#include <optional>
#include <string>

#include "stats/Estimate.h"

namespace lociview {

// One run's lanes: all, empty, with one allele, with two or more.
struct LaneCounts {
    int64_t lanes = 0;
    int64_t empty = 0;
    int64_t one = 0;
    int64_t twoOrMore = 0;
};

// The note of the Poisson check when its p-value is below 0.05.
inline constexpr const char* kNotPoissonNote =
    "the lane counts do not look Poisson: check for contamination, pipetting, or more than one allele per molecule";

// Why the counts cannot give lambda ("" when they can): no lanes, or an
// empty-lane count outside 0..lanes.
std::string emptyLanesProblem(const LaneCounts& counts);

// Why the counts give no value of lambda ("" when they do): the above, or
// no empty lane.
std::string lambdaProblem(const LaneCounts& counts);

// Why a GE value cannot divide ("" when it can): absent, 0, or not a
// positive finite number.
std::string geProblem(std::optional<double> ge);

// n0/N with its Clopper-Pearson interval.
Estimate emptyLaneFraction(const LaneCounts& counts);

// lambda = -ln(n0/N), the interval from the Clopper-Pearson interval of n0/N.
// n0 = N gives 0; n0 = 0 gives no value, only the lower bound.
Estimate moleculesPerReaction(const LaneCounts& counts);

struct PoissonFit {
    Estimate expectedEmpty;      // N e^-lambda
    Estimate expectedOne;        // N lambda e^-lambda
    Estimate expectedTwoOrMore;  // the rest
    Estimate chiSquare;          // three classes, 1 degree of freedom
    Estimate pValue;             // its note is kNotPoissonNote below 0.05
    bool notPoisson = false;     // p < 0.05
};

// The observed classes against Poisson(lambda) with lambda from the empty lanes.
PoissonFit poissonFit(const LaneCounts& counts);

// Molecules per reaction divided by the run's GE per reaction.
Estimate moleculesPerGE(const Estimate& moleculesPerReaction, std::optional<double> ge);

}  // namespace lociview
