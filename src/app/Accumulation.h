#pragma once
// The accumulated runs: the accumulator, the run log it is kept in (when
// one is attached) and the runs as listed.
#include <optional>
#include <vector>

#include "accum/RunLog.h"
#include "accum/accumdb.h"

namespace lociview {

struct Accumulation {
    explicit Accumulation(LogSink& log) : raccumulator(log) {}

    accumdb raccumulator;
    std::optional<RunLog> runlog;
    std::vector<LoggedRun> loggedRuns;  // oldest first
};

}  // namespace lociview
