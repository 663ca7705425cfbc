#include "scoring/Summaries.h"

#include <algorithm>
#include <cmath>
#include <optional>

#include "base/NumberText.h"
#include "scoring/Locus.h"
#include "scoring/SizeMatches.h"

namespace lociview {

void summarize(const AlleleDB& db, const std::vector<int32_t>& lanes, const ScoringParameters& p,
               const AlleleSizes& sizes, ScoringResult& result, LogSink& log, OutputSink& standardOutput) {
    const bool withMaybes = p.maybes();
    logf(log, "***** Scorings *****");
    logf(log, "State of Maybe = %d", p.maybesState);
    logf(log, "***** By Allele *****");

    const AlleleList counted = db.getAllScoreAllelesWithMaybes(withMaybes);

    // Distinct whole sizes (halves away from zero), ascending.
    std::vector<int32_t> distinct;
    for (const auto& a : counted) distinct.push_back(saturatingInt(std::round(a->getSize())));
    std::sort(distinct.begin(), distinct.end());
    distinct.erase(std::unique(distinct.begin(), distinct.end()), distinct.end());

    // The counted peaks within the tolerance of every size, in one pass: the
    // same peaks, in the same order, as a size query per size keeps.
    const double tol = static_cast<float>(tolForLocus(p.locustype));
    std::vector<int32_t> counts(distinct.size(), 0);
    std::vector<double> sums(distinct.size(), 0.0);
    for (const SizeMatch& m : matchSizes(counted, distinct, tol)) {
        ++counts[m.sizeIndex];
        sums[m.sizeIndex] += m.allele->getHeight();
    }
    // Nothing changes the store in this loop: the weighted height of all
    // peaks is taken once (and again only when it writes its zero line).
    std::optional<double> allWeight;
    result.alleles.reserve(distinct.size());
    for (size_t i = 0; i < distinct.size(); ++i) {
        const int32_t v = distinct[i];
        const int32_t n = counts[i];
        // A size whose only counted peaks lie half a base below it keeps its
        // row, with no peaks and no weight.
        if (n == 0) {
            result.alleles.push_back({v, 0, 0.0});
            continue;
        }
        const double mean = sums[i] / n;
        if (!allWeight || *allWeight == 0.0) allWeight = db.getWeightedHeightOfAllAlleles();
        const double w = *allWeight;
        logf(log, "weighted height of all alleles %lf and mean of alleles = %lf", w, mean);
        logf(log, "Allele %d has %d scored", v, n);
        result.alleles.push_back({v, n, w == 0.0 ? 0.0 : mean / w});
    }

    logf(log, "***** By Lane *****");
    for (const int32_t lane : lanes) {
        const AlleleList scored = db.getAllelesInLane(lane, sizes.lowallelesize, sizes.highallelesize, SCORED);
        if (!scored.empty()) {
            logf(log, "Lane %d had %d alleles scored", lane, static_cast<int>(scored.size()));
            if (standardOutput.enabled()) {
                std::string line;
                for (const auto& a : scored) line += format("%.2lf\t", a->getSize());
                line += "\n";
                standardOutput.write(line);
            }
        }
        result.tbllane.push_back(lane);
    }
}

LaneCounters countLanes(const AlleleDB& db, const std::vector<int32_t>& lanes, int32_t lowInt, int32_t highInt,
                        bool withMaybes) {
    LaneCounters c;
    for (const int32_t lane : lanes) {
        const size_t s = db.getAllelesInLane(lane, lowInt, highInt, SCORED).size();
        const size_t m = db.getAllelesInLane(lane, lowInt, highInt, MAYBE).size();
        const size_t n = withMaybes ? s + m : s;
        if (n == 0) ++c.empty;
        else if (n == 1) ++c.ones;
        else ++c.twos;
    }
    return c;
}

std::vector<AlleleRow> countMarkedRows(const AlleleDB& db, std::vector<AlleleRow> rows, double tol, bool withMaybes) {
    for (AlleleRow& row : rows) row.count = 0;
    const AlleleList counted = db.getAllScoreAllelesWithMaybes(withMaybes);
    for (const SizeMatch& m : matchSizes(counted, alleleSizes(rows), tol)) ++rows[m.sizeIndex].count;
    return rows;
}

}  // namespace lociview
