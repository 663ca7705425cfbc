// Filling the chart from the rows selected in the results table.
#include "base/NumberText.h"
#include "app/GeneController.h"

namespace lociview {

void GeneController::graphSelections() {
    if (!isWorkingOnFile) {
        logf(log, "not working on a file, not graphing data doodads");
        return;
    }
    chart.clearGraph();
    chart.setLocusType(locustype);
    chart.setRange(intValue(lowrange.text()), intValue(highrange.text()));

    // A selection may outlive the lists it was made on; such rows add nothing.
    const auto entry = [](const std::vector<int32_t>& list, int row) -> const int32_t* {
        if (row < 0 || static_cast<size_t>(row) >= list.size()) return nullptr;
        return &list[static_cast<size_t>(row)];
    };

    if (toggleTable_.state() != 0) {
        for (const int row : tabl.selectedRows()) {
            const int32_t* lane = entry(tbllane, row);
            if (!lane) continue;
            for (const auto& peak : database.getLane(*lane)) chart.addAllele(peak);
        }
        return;
    }

    // Before any scoring locustype is 0, which takes the di tolerance.
    const double tol = locustype == 1 ? 0.25 : 0.5;
    const bool withMaybes = maybesOn();
    for (const int row : tabl.selectedRows()) {
        const int32_t* size = entry(tblallele, row);
        if (!size) continue;
        for (const auto& peak : database.getAlleleSize(static_cast<double>(*size), tol)) {
            const int32_t score = peak->getScore();
            if (score == SCORED || (withMaybes && score == MAYBE)) chart.addAllele(peak);
        }
    }
}

}  // namespace lociview
