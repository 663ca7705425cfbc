#pragma once
// The SP-PCR statistics of one scored run and of the accumulated runs, each
// computed by one call from plain values.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "stats/AlleleSpectrum.h"
#include "stats/Estimate.h"
#include "stats/LaneStatistics.h"
#include "stats/SingleHitFit.h"

namespace lociview {

struct MutantStatistics {
    Estimate scoredAlleles;      // A, counts summed
    Estimate mutants;            // m
    Estimate mutantFraction;     // m / A, Clopper-Pearson
    Estimate mutationFrequency;  // m per amplifiable molecule, the exact Poisson interval of m scaled alike
};

// The mutant counts of a spectrum; amplifiable molecules divide m.
MutantStatistics mutantStatistics(const AlleleSpectrum& spectrum, const Estimate& amplifiableMolecules);

struct RunInput {
    LaneCounts lanes;
    std::optional<double> ge;        // GE per reaction; absent, 0 or NaN when not typed
    std::vector<AlleleRow> alleles;  // the by-allele result rows
    int32_t p1 = 0;
    int32_t p2 = 0;
    int32_t repeatUnit = 0;  // bp: mono 1, di 2, tri 3, penta 5
};

struct RunStatistics {
    LaneCounts lanes;
    std::optional<double> ge;
    Estimate emptyLaneFraction;     // n0 / N
    Estimate moleculesPerReaction;  // lambda
    PoissonFit poissonFit;
    Estimate moleculesPerGE;        // lambda / GE
    Estimate amplifiableMolecules;  // N lambda
    MutantStatistics mutants;
    AlleleSpectrum spectrum;
};

RunStatistics runStatistics(const RunInput& run);

struct AccumulatedInput {
    std::vector<RunLanes> runs;      // every accumulated run, in order
    std::vector<AlleleRow> alleles;  // allele counts of all runs (rows of one size may repeat)
    int32_t p1 = 0;                  // the latched progenitor pair
    int32_t p2 = 0;
    int32_t repeatUnit = 0;          // of every run; 0 when they differ
    // The loci of the runs when they differ ("di, tri"): their alleles are
    // not pooled into one spectrum.
    std::string mixedLoci;
};

struct AccumulatedStatistics {
    int64_t runs = 0;
    LaneCounts lanes;        // summed over the runs
    SingleHitFit singleHit;  // molecules per GE over all GE values
    // The sum of N lambda over the runs, each from its own empty lanes, as
    // for one run; no interval (a sum of intervals is not one). Missing when
    // a run has no empty lane.
    Estimate amplifiableMolecules;
    MutantStatistics mutants;
    AlleleSpectrum spectrum;
};

AccumulatedStatistics accumulatedStatistics(const AccumulatedInput& accumulated);

}  // namespace lociview
