#include "stats/RunStatistics.h"

#include <string>

#include "stats/ExactIntervals.h"

namespace lociview {

MutantStatistics mutantStatistics(const AlleleSpectrum& spectrum, const Estimate& amplifiableMolecules) {
    MutantStatistics s;
    const int64_t a = spectrum.scoredAlleles;
    s.scoredAlleles = valueOnly(static_cast<double>(a));
    if (!spectrum.classified()) {
        s.mutants = s.mutantFraction = s.mutationFrequency = Estimate{{}, {}, {}, spectrum.note};
        return s;
    }
    const int64_t m = spectrum.mutants();
    s.mutants = valueOnly(static_cast<double>(m));
    s.mutantFraction = a == 0 ? notEstimable("no scored allele") : clopperPearson(m, a);
    if (!amplifiableMolecules.estimable())
        s.mutationFrequency = notEstimable("the amplifiable molecules are not known");
    else if (!(*amplifiableMolecules.value > 0.0))
        s.mutationFrequency = notEstimable("no amplifiable molecule");
    else
        s.mutationFrequency = scaled(poissonInterval(m), 1.0 / *amplifiableMolecules.value);
    return s;
}

RunStatistics runStatistics(const RunInput& run) {
    RunStatistics s;
    s.lanes = run.lanes;
    s.ge = run.ge;
    s.emptyLaneFraction = emptyLaneFraction(run.lanes);
    s.moleculesPerReaction = moleculesPerReaction(run.lanes);
    s.poissonFit = poissonFit(run.lanes);
    s.moleculesPerGE = moleculesPerGE(s.moleculesPerReaction, run.ge);
    s.amplifiableMolecules = scaled(s.moleculesPerReaction, static_cast<double>(run.lanes.lanes));
    s.spectrum = alleleSpectrum(run.alleles, run.p1, run.p2, run.repeatUnit);
    s.mutants = mutantStatistics(s.spectrum, s.amplifiableMolecules);
    return s;
}

AccumulatedStatistics accumulatedStatistics(const AccumulatedInput& accumulated) {
    AccumulatedStatistics s;
    s.runs = static_cast<int64_t>(accumulated.runs.size());
    double molecules = 0.0;
    std::string unknown = accumulated.runs.empty() ? "no run" : "";
    for (size_t i = 0; i < accumulated.runs.size(); ++i) {
        const LaneCounts& c = accumulated.runs[i].lanes;
        s.lanes.lanes += c.lanes;
        s.lanes.empty += c.empty;
        s.lanes.one += c.one;
        s.lanes.twoOrMore += c.twoOrMore;
        if (const std::string problem = lambdaProblem(c); !problem.empty()) {
            if (unknown.empty()) unknown = "run " + std::to_string(i + 1) + " has " + problem;
        } else {
            molecules += *moleculesPerReaction(c).value * static_cast<double>(c.lanes);
        }
    }
    s.amplifiableMolecules = unknown.empty() ? valueOnly(molecules) : notEstimable(unknown);
    s.singleHit = singleHitFit(accumulated.runs);
    s.spectrum = alleleSpectrum(accumulated.alleles, accumulated.p1, accumulated.p2, accumulated.repeatUnit,
                                accumulated.mixedLoci.empty()
                                    ? std::string()
                                    : "runs of different loci (" + accumulated.mixedLoci + ") are not pooled");
    s.mutants = mutantStatistics(s.spectrum, s.amplifiableMolecules);
    return s;
}

}  // namespace lociview
