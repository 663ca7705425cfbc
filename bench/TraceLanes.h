#pragma once
// Trace lanes as a plate of instrument traces gives them, for the lane
// view's benchmarks: a sized signal of so many scans a lane.
#include <vector>

#include "model/LaneData.h"

namespace lociview::bench {

std::vector<LaneData> traceLanes(int lanes, int scans);

}  // namespace lociview::bench
