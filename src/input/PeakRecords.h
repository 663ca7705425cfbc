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
// Lanes without rows (samples of a table that gave no peak in the scored
// dye) are lanes all the same: an empty reaction counts as an empty lane.
std::vector<int32_t> convertRows(const std::vector<PeakRow>& rows, AlleleDB& db, LogSink& log,
                                 const std::vector<int32_t>& lanesWithoutRows = {});

}  // namespace lociview
