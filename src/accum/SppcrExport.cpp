// The SP-PCR export texts: the current scored run as one GE row, and the
// pooled text of the run accumulator.
#include <algorithm>

#include "base/NumberText.h"
#include "app/GeneController.h"

namespace lociview {

void GeneController::exportSPPCRData() {
    if (tblallele.empty()) {
        alert("You have not scored this data set yet.", "Abort Export");
        return;
    }
    gewindow.showCentered();
}

namespace {

// Which progenitors are not among the listed sizes. The first test takes
// every size equal to P1, so equal progenitors leave P2 missing.
struct Missing {
    bool p1 = true;
    bool p2 = true;
    int count = 2;
};

Missing findMissing(const std::vector<int32_t>& sizes, size_t n, int32_t p1, int32_t p2) {
    Missing m;
    for (size_t i = 0; i < n; ++i) {
        if (sizes[i] == p1) {
            --m.count;
            m.p1 = false;
        } else if (sizes[i] == p2) {
            --m.count;
            m.p2 = false;
        }
    }
    return m;
}

}  // namespace

void GeneController::exportSPPCR2() {
    gewindow.hide();
    std::string text = "7 1 ";
    const int32_t p1 = intValue(progenitor1.text());
    const int32_t p2 = intValue(progenitor2.text());

    // Columns and counts are written side by side, so only sizes that have a
    // count take part.
    const size_t n = std::min(tblallele.size(), tblallelecount.size());
    const Missing missing = findMissing(tblallele, n, p1, p2);
    if (missing.count == 2 &&
        alert("You have double Progenitor loss and SPPCR cannot handle that.", "Abort Exporting", "Export Anyway") ==
            1)
        return;
    sppcrwindow.showCentered();

    text += format("%d ", static_cast<int32_t>(n) + missing.count);

    // A missing progenitor goes before the first larger size, or last; the
    // zero count of its column goes to the same place.
    const auto writeRow = [&](const auto& valueAt, const auto& insertedValue) {
        Missing pending = missing;
        for (size_t i = 0; i < n; ++i) {
            const int32_t v = tblallele[i];
            if (pending.p1 && p1 < v) {
                text += format("%d ", insertedValue(p1));
                pending.p1 = false;
            }
            if (pending.p2 && p2 < v) {
                text += format("%d ", insertedValue(p2));
                pending.p2 = false;
            }
            text += format("%d ", valueAt(i));
        }
        if (pending.p1) text += format("%d ", insertedValue(p1));
        if (pending.p2) text += format("%d ", insertedValue(p2));
    };

    writeRow([&](size_t i) { return tblallele[i]; }, [](int32_t p) { return p; });
    text += "\n";
    text += format("%d ", p1);
    text += format("%d\n", p2);
    text += format("%.2f ", static_cast<double>(floatValue(geforun.text())));
    text += format("%d ", numlanes);
    writeRow([&](size_t i) { return tblallelecount[i]; }, [](int32_t) { return 0; });

    geforun.setText(formatIntField(0));
    sppcrtext.setText(text);
}

void GeneController::exportAccumulatedSPPCRData() {
    const std::string text = raccumulator.exportText();
    sppcrwindow.showCentered();
    sppcrtext.setText(text);
}

}  // namespace lociview
