// The results table (its mode, its columns and the cells it asks for) and
// the chart (the rows graphed, whether maybes are drawn).
#include "app/GeneController.h"
#include "base/NumberText.h"
#include "chart/GraphSelections.h"

namespace lociview {

Outcome GeneController::toggleTable() {
    logf(log, "table toggled to %s", byLane() ? "on, by lane" : "off, by allele");
    TableView& tabl = outlets.tabl;
    const size_t columns = tabl.columnIdentifiers().size();
    for (size_t i = 0; i < columns; ++i) {
        if (log.enabled()) {
            const std::vector<std::string> ids = tabl.columnIdentifiers();
            logf(log, "removing column %s", ids.empty() ? "" : ids.front().c_str());
        }
        tabl.removeFirstColumn();
    }

    if (byLane()) {
        for (const TableColumn& c : byLaneColumns(scored.scoring)) tabl.addColumn(c.identifier, c.title);
        tabl.setColumnResizing(ColumnResizing::None);
    } else {
        for (const TableColumn& c : byAlleleColumns()) tabl.addColumn(c.identifier, c.title);
        tabl.setColumnResizing(ColumnResizing::Uniform);
    }
    tabl.reloadData();
    return Outcome::Done;
}

int32_t GeneController::numberOfRowsInTableView() const { return tableRowCount(scored.scoring, byLane()); }

CellValue GeneController::tableView(const std::string& columnIdentifier, int32_t row) const {
    return tableCell({scored.scoring, dataSet.database, scored.locustype, maybesOn()}, columnIdentifier, row);
}

Outcome GeneController::graphSelections() {
    if (!dataSet.isWorkingOnFile) {
        logf(log, "not working on a file, not graphing data doodads");
        return Outcome::Refused;
    }
    Chart& chart = outlets.chart;
    chart.clearGraph();
    chart.setLocusType(scored.locustype);
    chart.setRange(intValue(outlets.lowrange.text()), intValue(outlets.highrange.text()));
    for (const AllelePtr& peak :
         peaksToGraph(scored.scoring, dataSet.database, byLane(), outlets.tabl.selectedRows(), scored.locustype, maybesOn()))
        chart.addAllele(peak);
    return Outcome::Done;
}

Outcome GeneController::toggleMaybes() {
    outlets.chart.setMaybeCheck(maybesOn() ? int8_t{1} : int8_t{0});
    return Outcome::Done;
}

}  // namespace lociview
