#include "results/ResultsTable.h"

#include "base/DevLog.h"
#include "base/NumberText.h"
#include "scoring/Locus.h"

namespace lociview {

namespace {

// Entry row of a list, or the empty text when the list has no such entry.
template <typename T, typename F>
CellValue entryAt(const std::vector<T>& list, int32_t row, F&& field) {
    if (row < 0 || static_cast<size_t>(row) >= list.size()) return std::string();
    return field(list[static_cast<size_t>(row)]);
}

}  // namespace

const std::array<TableColumn, 3>& byAlleleColumns() {
    static const std::array<TableColumn, 3> columns = {{{"as", "Allele Size"},
                                                        {"nump", "# of peaks at this size"},
                                                        {"perc", "% of weighted height"}}};
    return columns;
}

std::string alleleColumnId(int32_t size) { return format("alle%d", size); }

std::vector<TableColumn> byLaneColumns(const ScoringResult& result) {
    std::vector<TableColumn> columns = {{"lane", "Lane number"}};
    for (const AlleleRow& row : result.alleles) {
        const std::string id = alleleColumnId(row.size);
        columns.push_back({id, id});
    }
    return columns;
}

int32_t tableRowCount(const ScoringResult& result, bool byLane) {
    return clampedCount(byLane ? result.tbllane.size() : result.alleles.size());
}

CellValue tableCell(const TableState& s, const std::string& columnIdentifier, int32_t row) {
    const std::vector<AlleleRow>& rows = s.result.alleles;
    if (columnIdentifier == "as") return entryAt(rows, row, [](const AlleleRow& r) { return r.size; });
    if (columnIdentifier == "nump") return entryAt(rows, row, [](const AlleleRow& r) { return r.count; });
    if (columnIdentifier == "perc") return entryAt(rows, row, [](const AlleleRow& r) { return r.weight; });
    const std::vector<int32_t>& lanes = s.result.tbllane;
    if (columnIdentifier == "lane") return entryAt(lanes, row, [](int32_t lane) { return lane; });

    for (const AlleleRow& allele : rows) {
        if (alleleColumnId(allele.size) != columnIdentifier) continue;
        if (row < 0 || static_cast<size_t>(row) >= lanes.size()) return std::string();
        const int32_t lane = lanes[static_cast<size_t>(row)];
        const AllelePtr peak = s.db.getAlleleSize(static_cast<double>(allele.size), lane, tolForLocus(s.locustype));
        if (!peak) return std::string();
        if (peak->getScore() == SCORED) return peak->getHeight();
        if (s.maybes && peak->getScore() == MAYBE) return peak->getHeight();
        return std::string();
    }
    return std::string();
}

}  // namespace lociview
