#pragma once
// The instability indices as tables: one row per lane, and the across-lane
// summaries one row per group and index. Numbers read back exactly (the
// shortest exact form); a missing value is an empty cell. As TSV they are
// the command line's instability and instability-groups blocks; as CSV
// they export.
#include <string>
#include <vector>

#include "export/TableText.h"
#include "stats/Instability.h"

namespace lociview {

// lane, sample, index_size, main_size, peaks_kept, instability_index,
// expansion_index, contraction_index, mean_size, then main_change and the
// note that says why a lane has no indices.
TextTable instabilityTable(const std::vector<LaneInstability>& lanes);

// group, index, lanes, mean, sd, lower, upper, difference,
// difference_lower, difference_upper, welch_df, note: for each group
// (all, control, then the groups) a row per index.
TextTable instabilityGroupsTable(const std::vector<GroupInstability>& groups);

std::string instabilityText(const std::vector<LaneInstability>& lanes);
std::string instabilityGroupsText(const std::vector<GroupInstability>& groups);

}  // namespace lociview
