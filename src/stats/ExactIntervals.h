#pragma once
// Exact 95% intervals of a proportion and of a count, the building blocks of
// the other intervals of the statistics.
#include <cstdint>

#include "stats/Estimate.h"

namespace lociview {

// k of n: k/n with the Clopper-Pearson interval (beta quantiles); the lower
// bound is 0 at k = 0 and the upper bound 1 at k = n.
Estimate clopperPearson(int64_t k, int64_t n);

// A count with its exact Poisson interval (gamma quantiles); the lower bound
// is 0 at a count of 0.
Estimate poissonInterval(int64_t count);

}  // namespace lociview
