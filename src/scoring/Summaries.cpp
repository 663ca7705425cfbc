// The end of a scoring run: the MAYBE lines of the scoring log, the result
// lists by allele and by lane, the lane counters and the table reload.
#include <algorithm>
#include <cmath>
#include <optional>
#include <vector>

#include "base/NumberText.h"
#include "app/GeneController.h"
#include "scoring/Locus.h"
#include "scoring/SizeMatches.h"

namespace lociview {

void GeneController::summarize() {
    const bool withMaybes = maybesOn();
    logf(log, "***** Scorings *****");
    logf(log, "State of Maybe = %d", Maybes.state());
    logf(log, "***** By Allele *****");

    const AlleleList counted = database.getAllScoreAllelesWithMaybes(withMaybes);
    for (const auto& a : database.getAllAllelesWithScore(MAYBE))
        markedMessageToViewedLog(a->getSize(), a->getHeight(), a->getLane(), MAYBE);

    // Distinct whole sizes (halves away from zero), ascending.
    for (const auto& a : counted) tblallele.push_back(saturatingInt(std::round(a->getSize())));
    std::sort(tblallele.begin(), tblallele.end());
    tblallele.erase(std::unique(tblallele.begin(), tblallele.end()), tblallele.end());

    // The counted peaks within the tolerance of every size, in one pass: the
    // same peaks, in the same order, as a size query per size keeps.
    const double tol = static_cast<float>(tolForLocus(locustype));
    std::vector<int32_t> counts(tblallele.size(), 0);
    std::vector<double> sums(tblallele.size(), 0.0);
    for (const SizeMatch& m : matchSizes(counted, tblallele, tol)) {
        ++counts[m.sizeIndex];
        sums[m.sizeIndex] += m.allele->getHeight();
    }
    // Nothing changes the store in this loop: the weighted height of all
    // peaks is taken once (and again only when it writes its zero line).
    std::optional<double> allWeight;
    for (size_t i = 0; i < tblallele.size(); ++i) {
        const int32_t v = tblallele[i];
        const int32_t n = counts[i];
        const double sum = sums[i];
        // A size whose only counted peaks lie half a base below it keeps its
        // row, with no peaks and no weight, so the three lists stay parallel.
        if (n == 0) {
            tblallelecount.push_back(0);
            tblweight.push_back(0.0);
            continue;
        }
        const double mean = sum / n;
        if (!allWeight || *allWeight == 0.0) allWeight = database.getWeightedHeightOfAllAlleles();
        const double w = *allWeight;
        logf(log, "weighted height of all alleles %lf and mean of alleles = %lf", w, mean);
        logf(log, "Allele %d has %d scored", v, n);
        tblallelecount.push_back(n);
        tblweight.push_back(w == 0.0 ? 0.0 : mean / w);
    }

    logf(log, "***** By Lane *****");
    for (const int32_t lane : lanelist) {
        const AlleleList scored = database.getAllelesInLane(lane, lowallelesize, highallelesize, SCORED);
        if (!scored.empty()) {
            logf(log, "Lane %d had %d alleles scored", lane, static_cast<int>(scored.size()));
            std::string line;
            for (const auto& a : scored) line += format("%.2lf\t", a->getSize());
            line += "\n";
            standardOutput.write(line);
        }
        tbllane.push_back(lane);
    }
}

void GeneController::countLanes() {
    const bool withMaybes = maybesOn();
    const int32_t lowInt = intValue(lowrange.text());
    const int32_t highInt = intValue(highrange.text());
    int32_t empty = 0;
    int32_t ones = 0;
    int32_t twos = 0;
    for (const int32_t lane : lanelist) {
        const size_t s = database.getAllelesInLane(lane, lowInt, highInt, SCORED).size();
        const size_t m = database.getAllelesInLane(lane, lowInt, highInt, MAYBE).size();
        const size_t n = withMaybes ? s + m : s;
        if (n == 0) ++empty;
        else if (n == 1) ++ones;
        else ++twos;
    }
    numemptylanes.setText(formatIntField(empty));
    numones.setText(formatIntField(ones));
    numtwos.setText(formatIntField(twos));
    tabl.reloadData();
}

}  // namespace lociview
