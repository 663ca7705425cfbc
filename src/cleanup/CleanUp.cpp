// Throwing scored (and, with Maybes on, maybe) peaks out by hand: they stay
// in the store as DISCARDED and the count of their allele size drops.
#include <algorithm>
#include <limits>

#include "base/NumberText.h"
#include "app/GeneController.h"
#include "scoring/Locus.h"

namespace lociview {

namespace {

const char* yesNo(bool value) { return value ? "true" : "false"; }

}  // namespace

void GeneController::cleanUpWindow() {
    if (tblallele.empty()) {
        alert("You have not scored this data set yet.", "Abort Cleaning");
        return;
    }
    cleanupwindow.showCentered();
}

// Both height removals log the lists they found (the maybes only while they
// take part), throw them out and reload the table.
void GeneController::cleanByHeight(const AlleleList& first, const AlleleList& maybes) {
    if (log.enabled()) {
        logf(log, "%s", describe(first).c_str());
        if (maybesOn()) logf(log, "%s", describe(maybes).c_str());
    }
    clean(first, maybes);
    tabl.reloadData();
}

void GeneController::cleanUpLessThan() {
    cleanupwindow.hide();
    const int32_t height = intValue(cuwlessthanfield.text());
    // Scored peaks first: the queries log what they select, in this order.
    const AlleleList first = database.getAllAllelesWithHeightLessThan(height, SCORED);
    cleanByHeight(first, database.getAllAllelesWithHeightLessThan(height, MAYBE));
}

void GeneController::cleanUpGreaterThan() {
    cleanupwindow.hide();
    const int32_t height = intValue(cuwgreaterthanfield.text());
    // Scored peaks first: the queries log what they select, in this order.
    const AlleleList first = database.getAllAllelesWithHeightGreaterThan(height, SCORED);
    cleanByHeight(first, database.getAllAllelesWithHeightGreaterThan(height, MAYBE));
}

void GeneController::cleanUpLaneAndOrAllele() {
    cleanupwindow.hide();
    // Only a field with no text at all is empty; a blank reads as 0.
    const bool byAllele = !cuwallelefield.text().empty();
    const bool byLane = !cuwlanefield.text().empty();
    logf(log, "hatd = %s, hltd = %s", yesNo(byAllele), yesNo(byLane));

    if (!byAllele && !byLane) {
        alert("Nothing was deleted", "Okie Dokie");
        return;
    }
    const double tol = tolForLocus(locustype);
    const int32_t size = intValue(cuwallelefield.text());
    const int32_t lane = intValue(cuwlanefield.text());
    AlleleList first;
    AlleleList maybes;
    if (!byAllele) {
        const double low = intValue(lowrange.text());
        const double high = intValue(highrange.text());
        first = database.getAllelesInLane(lane, low, high, SCORED);
        maybes = database.getAllelesInLane(lane, low, high, MAYBE);
    } else if (!byLane) {
        first = database.getAllelesWithSize(size, tol, SCORED);
        maybes = database.getAllelesWithSize(size, tol, MAYBE);
    } else if (AllelePtr tallest = database.getAlleleSize(size, lane, tol)) {
        // The tallest peak there, whatever its score.
        first.push_back(std::move(tallest));
    }
    clean(first, maybes);
    tabl.reloadData();
}

void GeneController::clean(const AlleleList& first, const AlleleList& maybes) {
    const double tol = tolForLocus(locustype);
    const size_t n = std::min(tblallele.size(), tblallelecount.size());
    const auto discard = [&](const AlleleList& peaks) {
        for (size_t i = 0; i < peaks.size(); ++i) {
            const AllelePtr& p = peaks[i];
            for (size_t j = 0; j < n; ++j) {
                if (!withinTolerance(p->getSize(), tblallele[j], tol)) continue;
                int32_t& count = tblallelecount[j];
                logf(log, "decrementing %d at %d", count, static_cast<int32_t>(i));
                // Repeated removals may push a count below zero; it stops at
                // the lowest int rather than wrapping round.
                if (count > std::numeric_limits<int32_t>::min()) --count;
            }
            p->changeScore(DISCARDED);
        }
    };
    discard(first);
    if (maybesOn()) discard(maybes);
}

void GeneController::toggleMaybes() { chart.setMaybeCheck(maybesOn() ? int8_t{1} : int8_t{0}); }

}  // namespace lociview
