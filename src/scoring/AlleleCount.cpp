#include "scoring/AlleleCount.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "base/NumberText.h"
#include "scoring/Locus.h"
#include "scoring/SizeMatches.h"

namespace lociview {

namespace {

constexpr int64_t kInt32Min = std::numeric_limits<int32_t>::min();
constexpr int64_t kInt32Max = std::numeric_limits<int32_t>::max();

bool fitsInt32(int64_t v) { return v >= kInt32Min && v <= kInt32Max; }

// How many times "while (from < bound) from += step" runs, with from as a
// double in the test; -1 when more than limit or when it would never end.
int64_t stepsBelow(int64_t from, double bound, int64_t step, int64_t limit) {
    if (!(static_cast<double>(from) < bound)) return 0;
    if (step <= 0) return -1;
    const double span = (bound - static_cast<double>(from)) / static_cast<double>(step);
    if (!(span <= static_cast<double>(limit) + 1.0)) return -1;
    int64_t k = static_cast<int64_t>(std::ceil(span));
    // Integers this small are exact as doubles; settle the rounding of span.
    while (k > 0 && static_cast<double>(from + (k - 1) * step) >= bound) --k;
    while (static_cast<double>(from + k * step) < bound) ++k;
    return k > limit ? -1 : k;
}

}  // namespace

bool alleleCountIsSound(double p1, double low, double high, int32_t lowInt, int32_t highInt, int32_t step) {
    if (!std::isfinite(low) || !std::isfinite(high)) return false;
    const int32_t a = saturatingInt(p1);
    const int64_t up = stepsBelow(a, high, step, kMaxCountedSizes);
    const int64_t down = stepsBelow(-int64_t{a}, -low, step, kMaxCountedSizes);
    if (up < 0 || down < 0 || up + down > kMaxCountedSizes) return false;
    const int64_t upEnd = a + up * step;
    const int64_t downEnd = a - down * step;
    if (!fitsInt32(upEnd) || !fitsInt32(downEnd)) return false;
    const int64_t lowAdjust = stepsBelow(downEnd, lowInt, step, kMaxCountedSizes);
    const int64_t highAdjust = stepsBelow(-upEnd, -static_cast<double>(highInt), step, kMaxCountedSizes);
    if (lowAdjust < 0 || highAdjust < 0) return false;
    return fitsInt32(downEnd + lowAdjust * step) && fitsInt32(upEnd - highAdjust * step);
}

bool shiftIsSound(double shift) { return std::isfinite(shift) && std::fabs(shift) <= kMaxShift; }

std::optional<AlleleCount> countAlleles(const ScoringParameters& p, LogSink& log) {
    const int32_t step = p.locustype;
    logf(log, "prog 1 = %lf and prog 2 = %lf", p.p1, p.p2);
    if (!alleleCountIsSound(p.p1, p.low, p.high, p.lowInt, p.highInt, step)) return std::nullopt;

    AlleleCount c;
    const int32_t a = saturatingInt(p.p1);
    c.up = a;
    c.down = a;
    while (c.up < p.high) {
        ++c.count;
        c.up += step;
    }
    logf(log, "x = %d", c.up);
    while (c.down > p.low) {
        ++c.count;
        c.down -= step;
    }
    logf(log, "x = %d", c.down);
    logf(log, "%d alleles counted", c.count);
    return c;
}

AlleleSizes buildAlleleSizeList(const ScoringParameters& p, const AlleleCount& count, const AlleleDB& db,
                                LogSink& log) {
    const int32_t step = p.locustype;
    AlleleSizes out;
    out.lowallelesize = count.down;
    while (out.lowallelesize < p.lowInt) {
        out.lowallelesize += step;
        logf(log, "lowallelesize adjusted up");
    }
    out.highallelesize = count.up;
    while (out.highallelesize > p.highInt) {
        out.highallelesize -= step;
        logf(log, "highallelesize adjusted down");
    }
    logf(log, "c=%d", out.lowallelesize);
    out.allelesizelist.resize(static_cast<size_t>(std::max(count.count, 0)));
    for (size_t i = 0; i < out.allelesizelist.size(); ++i)
        out.allelesizelist[i] = clampToInt32(out.lowallelesize + static_cast<int64_t>(i) * step);

    // The rest only writes log lines: a run without a log is spared the pass.
    if (!log.enabled()) return out;

    // One pass over the store finds the peaks under every size, grouped by
    // size and in working-list order, as a size query per size would.
    // Held in single precision, as both tolerances are exact there.
    const double tol = static_cast<float>(tolForLocus(p.locustype));
    const std::vector<SizeMatch> under = matchSizes(db.workingList(), out.allelesizelist, tol);
    int32_t zero = 0;
    size_t m = 0;
    for (size_t i = 0; i < out.allelesizelist.size(); ++i) {
        if (m == under.size() || under[m].sizeIndex != i) {
            ++zero;
            continue;
        }
        for (; m < under.size() && under[m].sizeIndex == i; ++m) {
            const Allele& a = *under[m].allele;
            logf(log, "Allele size %lf with height %d in lane %d", a.getSize(), a.getHeight(), a.getLane());
        }
    }
    logf(log, "%d alleles have 0 data under them", zero);
    return out;
}

}  // namespace lociview
