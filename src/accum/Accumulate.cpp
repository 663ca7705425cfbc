// Adding the current scored run to the run accumulator, and emptying it.
#include <algorithm>

#include "base/NumberText.h"
#include "app/GeneController.h"

namespace lociview {

void GeneController::preAddToAccumulator() {
    if (tblallele.empty()) {
        alert("You have not scored this data set yet.", "Abort Export");
        return;
    }
    accwindow.showCentered();
}

void GeneController::addToAccumulator() {
    accwindow.hide();
    const int32_t p1 = intValue(progenitor1.text());
    const int32_t p2 = intValue(progenitor2.text());

    int missing = 2;
    for (int32_t v : tblallele) {
        if (v == p1) --missing;
        else if (v == p2) --missing;
    }
    if (missing == 2 &&
        alert("You have double Progenitor loss and SPPCR cannot handle that.", "Abort Exporting", "Export Anyway") ==
            1)
        return;

    if (!raccumulator.setP1(p1, p2)) {
        alert("Your progenitors are different from the ones you have been accumulating.", "Sorry");
        return;
    }

    const double ge = doubleValue(accumgeforun.text());
    const int32_t run = raccumulator.currentRun();
    const int32_t reps = numlanes;
    // A size without a count (the lists fell out of step) adds nothing.
    const size_t n = std::min(tblallele.size(), tblallelecount.size());
    for (size_t i = 0; i < n; ++i) {
        const double size = tblallele[i];
        for (int32_t k = 0; k < tblallelecount[i]; ++k) raccumulator.addAccAlle(accumallele(size, run, ge, reps));
    }
    raccumulator.incRuns();
    if (log.enabled()) logf(log, "%s", raccumulator.exportText().c_str());
}

void GeneController::resetAccumulator() { raccumulator.reset(); }

}  // namespace lociview
