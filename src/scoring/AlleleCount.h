#pragma once
// The allele-size ladder of a scoring run: how many repeat steps lie between
// the bounds around progenitor 1, the adjusted whole-number ends, and the
// list of sizes, with the soundness checks that keep it small and inside
// 32 bits.
#include <cstdint>
#include <optional>
#include <vector>

#include "base/DevLog.h"
#include "model/AlleleDB.h"
#include "scoring/ScoringParameters.h"

namespace lociview {

// More sizes than this between the bounds is a typing slip (a high bound of
// 1e9 reads as 1 in the checks), not a locus.
constexpr int64_t kMaxCountedSizes = 100000;

// Counting from p1 (truncated) up to high and down to low by step, and
// moving the ends onto the whole-number bounds lowInt and highInt: true when
// that ends, takes at most kMaxCountedSizes sizes and every size fits in 32
// bits. Bounds that are not finite numbers are never sound.
bool alleleCountIsSound(double p1, double low, double high, int32_t lowInt, int32_t highInt, int32_t step);

// The largest shift, either way, that sizes can carry and give back exactly.
constexpr double kMaxShift = 2147483647.0;

// A shift that is a finite number no larger than kMaxShift either way.
bool shiftIsSound(double shift);

struct AlleleCount {
    int32_t count = 0;  // numalleles; 0 or less ends the run
    int32_t up = 0;     // the step above the high bound where counting up stopped
    int32_t down = 0;   // and below the low bound going down
};

// Counts the steps with its log lines; none when the range could never be
// counted (the run ends at its alert).
std::optional<AlleleCount> countAlleles(const ScoringParameters& p, LogSink& log);

struct AlleleSizes {
    std::vector<int32_t> allelesizelist;
    int32_t lowallelesize = 0;
    int32_t highallelesize = 0;
};

// The ends moved onto the whole-number bounds and the list of sizes from the
// lower end, then the log of the peaks under every size and how many sizes
// have none.
AlleleSizes buildAlleleSizeList(const ScoringParameters& p, const AlleleCount& count, const AlleleDB& db,
                                LogSink& log);

}  // namespace lociview
