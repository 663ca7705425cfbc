#pragma once
// The results table's logic without a table view: the columns of each mode,
// the row count and every cell, computed from the result rows and the store
// at each request. Nothing is cached.
#include <array>
#include <cstdint>
#include <string>
#include <variant>
#include <vector>

#include "model/AlleleDB.h"
#include "scoring/ScoringResult.h"

namespace lociview {

// A table cell: an integer, a double, or a text (the empty text "").
using CellValue = std::variant<std::string, int32_t, double>;

struct TableColumn {
    std::string identifier;
    std::string title;
};

// The by-allele mode's columns, which every table also opens with.
const std::array<TableColumn, 3>& byAlleleColumns();

// The by-lane mode's columns: the lane, then one per allele size ("alle152").
std::vector<TableColumn> byLaneColumns(const ScoringResult& result);

std::string alleleColumnId(int32_t size);

int32_t tableRowCount(const ScoringResult& result, bool byLane);

// What the table shows where it shows it.
struct TableState {
    const ScoringResult& result;
    const AlleleDB& db;
    int32_t locustype;
    bool maybes;
};

CellValue tableCell(const TableState& state, const std::string& columnIdentifier, int32_t row);

}  // namespace lociview
