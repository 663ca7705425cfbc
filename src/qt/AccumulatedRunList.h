#pragma once
// The accumulate window's list of the runs in the accumulator: file, GE,
// lanes, the three lane counters and when each was added.
#include <vector>

#include "accum/RunLog.h"

class QTableWidget;

namespace lociview::qt {

// Sets up the columns once.
void prepareRunList(QTableWidget* table);
// Refills the rows, oldest run first.
void fillRunList(QTableWidget* table, const std::vector<LoggedRun>& runs);

}  // namespace lociview::qt
