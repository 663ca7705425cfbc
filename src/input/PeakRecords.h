#pragma once
// Turns the rows of a peak table into peak records and the lane list: one
// record per row, in row order, and the lane numbers ascending, one entry
// per distinct lane label.
#include <cstdint>
#include <vector>

#include "base/DevLog.h"
#include "input/PeakTableReader.h"
#include "model/AlleleDB.h"

namespace lociview {

// Adds the records to db (emptied by the caller) and answers lanelist.
std::vector<int32_t> convertRows(const std::vector<PeakRow>& rows, AlleleDB& db, LogSink& log);

}  // namespace lociview
