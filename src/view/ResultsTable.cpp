// The results table's data source: columns by allele or by lane, the row
// count and every cell, computed from the result lists at each request.
#include "base/DevLog.h"
#include "app/GeneController.h"
#include "scoring/Locus.h"

namespace lociview {

namespace {

std::string alleleColumnId(int32_t size) { return format("alle%d", size); }

// Entry row of a list, or the empty text when the list has no such entry.
template <typename T>
CellValue entryAt(const std::vector<T>& list, int32_t row) {
    if (row < 0 || static_cast<size_t>(row) >= list.size()) return std::string();
    return list[static_cast<size_t>(row)];
}

}  // namespace

void GeneController::toggleTable() {
    logf(log, "table toggled to %s", toggleTable_.state() != 0 ? "on, by lane" : "off, by allele");
    const bool byLane = toggleTable_.state() != 0;

    const size_t columns = tabl.columnIdentifiers().size();
    for (size_t i = 0; i < columns; ++i) {
        if (log.enabled()) {
            const std::vector<std::string> ids = tabl.columnIdentifiers();
            logf(log, "removing column %s", ids.empty() ? "" : ids.front().c_str());
        }
        tabl.removeFirstColumn();
    }

    if (byLane) {
        tabl.addColumn("lane", "Lane number");
        for (int32_t size : tblallele) {
            const std::string id = alleleColumnId(size);
            tabl.addColumn(id, id);
        }
        tabl.setColumnResizing(ColumnResizing::None);
    } else {
        tabl.addColumn("as", "Allele Size");
        tabl.addColumn("nump", "# of peaks at this size");
        tabl.addColumn("perc", "% of weighted height");
        tabl.setColumnResizing(ColumnResizing::Uniform);
    }
    tabl.reloadData();
}

int32_t GeneController::numberOfRowsInTableView() const {
    const size_t rows = toggleTable_.state() != 0 ? tbllane.size() : tblallele.size();
    return static_cast<int32_t>(rows);
}

CellValue GeneController::tableView(const std::string& columnIdentifier, int32_t row) const {
    if (columnIdentifier == "as") return entryAt(tblallele, row);
    if (columnIdentifier == "nump") return entryAt(tblallelecount, row);
    if (columnIdentifier == "perc") return entryAt(tblweight, row);
    if (columnIdentifier == "lane") return entryAt(tbllane, row);

    for (int32_t size : tblallele) {
        if (alleleColumnId(size) != columnIdentifier) continue;
        if (row < 0 || static_cast<size_t>(row) >= tbllane.size()) return std::string();
        const int32_t lane = tbllane[static_cast<size_t>(row)];
        const AllelePtr peak = database.getAlleleSize(static_cast<double>(size), lane, tolForLocus(locustype));
        if (!peak) return std::string();
        if (peak->getScore() == SCORED) return peak->getHeight();
        if (maybesOn() && peak->getScore() == MAYBE) return peak->getHeight();
        return std::string();
    }
    return std::string();
}

}  // namespace lociview
