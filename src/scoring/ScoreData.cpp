// The scoring action: the open-file check, the locus type, the parameter
// checks with their alerts, and the fresh start of a scoring run.
#include <algorithm>

#include "base/NumberText.h"
#include "app/GeneController.h"
#include "scoring/AlleleCount.h"
#include "scoring/Locus.h"

namespace lociview {

void GeneController::scoreData() {
    if (isWorkingOnFile == 0) {
        alert("You are not currently working on a file.", "Okie Dokie");
        return;
    }

    int column = 0;
    const int columns = std::min(locusmatrix.numberOfColumns(), kLocusColumns);
    for (int c = 0; c < columns; ++c)
        if (locusmatrix.cellState(0, c) != 0) column = c;
    locustype = locusCodeForColumn(column);
    logf(log, "%s", locusLogLine(locustype));

    const int32_t p1 = intValue(progenitor1.text());
    const int32_t p2 = intValue(progenitor2.text());
    const int32_t low = intValue(lowrange.text());
    const int32_t high = intValue(highrange.text());

    if (p1 < low) {
        logf(log, "%d < %d", p1, low);
        alert("Progenitor 1 is smaller than your Low Range value.", "Try Again");
        return;
    }
    if (p2 < low) {
        logf(log, "%d < %d", p2, low);
        alert("Progenitor 2 is smaller than your Low Range value.", "Try Again");
        return;
    }
    if (p1 > high) {
        logf(log, "%d > %d", p1, high);
        alert("Progenitor 1 is larger than your High Range value.", "Try Again");
        return;
    }
    if (p2 > high) {
        logf(log, "%d > %d", p2, high);
        alert("Progenitor 2 is larger than your High Range value.", "Try Again");
        return;
    }
    if (low == high) {
        logf(log, "%d , %d", low, high);
        alert("You have a range of 0", "Abort Scoring");
        return;
    }
    if (locustype == kDiLocus) {
        const float stutter = floatValue(stuttertol.text());
        if (stutter < 1.0f) {
            logf(log, "stutter tol = %f", static_cast<double>(stutter));
            alert("Your stutter tolerance is too low.", "Abort Scoring");
            return;
        }
    }
    // A shift the sizes could not give back at a later run (infinite, or so
    // large that adding and taking it away loses the sizes) is refused here,
    // before the last scoring is put back, rather than silently ignored.
    if (!shiftIsSound(doubleValue(shift.text()))) {
        alert("Your shift is too large.", "Abort Scoring");
        return;
    }
    if (p2 < p1) {
        logf(log, "%d > %d", p1, p2);
        if (alert("By convenience, Progenitor 2 needs to be equal to or larger than progenitor 1", "Swap Progenitors",
                  "Abort Scoring") == 0)
            return;
        progenitor1.setText(formatIntField(p2));
        progenitor2.setText(formatIntField(p1));
    }

    // A merge lasts for its run only: scoring the same data again gives the
    // same results however often Score is pressed.
    undoMerges();
    database.restore();
    clearResults();
    datatext.setText("");
    numemptylanes.setText("");
    scoreAlleles();
}

void GeneController::clearResults() {
    tblallele.clear();
    tblallelecount.clear();
    tblweight.clear();
    tbllane.clear();
}

}  // namespace lociview
