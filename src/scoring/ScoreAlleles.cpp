// A scoring run: the parameters, the allele-size count, and the cleaning of
// the peak set (shift, range filter, merging, small peaks) that comes before
// lanes are scored.
#include <algorithm>
#include <cmath>
#include <limits>
#include <unordered_set>

#include "base/NumberText.h"
#include "app/GeneController.h"
#include "scoring/AlleleCount.h"
#include "scoring/Locus.h"
#include "scoring/SizeMatches.h"

namespace lociview {

namespace {

constexpr int64_t kInt32Min = std::numeric_limits<int32_t>::min();
constexpr int64_t kInt32Max = std::numeric_limits<int32_t>::max();

bool fitsInt32(int64_t v) { return v >= kInt32Min && v <= kInt32Max; }

int32_t clampInt32(int64_t v) { return static_cast<int32_t>(std::clamp(v, kInt32Min, kInt32Max)); }

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

void GeneController::scoreAlleles() {
    const int32_t step = locustype;
    int32_t up = 0;
    int32_t down = 0;
    if (!countAlleles(step, up, down)) return;
    // Held in single precision, as both tolerances are exact there.
    const float tol = static_cast<float>(tolForLocus(locustype));
    buildAlleleSizeList(step, tol, up, down);
    chart.setRange(intValue(lowrange.text()), intValue(highrange.text()));
    shiftSizes();
    filterRange();
    mergeSplitPeaks(tol);
    removeSmallPeaks();
    if (locustype == kDiLocus) {
        scoreLanes();
        summarize();
    }
    countLanes();
}

bool GeneController::countAlleles(int32_t step, int32_t& up, int32_t& down) {
    const double p1 = doubleValue(progenitor1.text());
    const double p2 = doubleValue(progenitor2.text());
    logf(log, "prog 1 = %lf and prog 2 = %lf", p1, p2);

    const double high = doubleValue(highrange.text());
    const double low = doubleValue(lowrange.text());
    const int32_t a = saturatingInt(p1);
    // A range that could never be counted ends the run here, as a count of 0 does.
    if (!alleleCountIsSound(p1, low, high, intValue(lowrange.text()), intValue(highrange.text()), step)) {
        alert("Your range is too large to count the alleles in it.", "Abort Scoring");
        return false;
    }

    int32_t count = 0;
    up = a;
    down = a;
    while (up < high) {
        ++count;
        up += step;
    }
    logf(log, "x = %d", up);
    while (down > low) {
        ++count;
        down -= step;
    }
    logf(log, "x = %d", down);
    logf(log, "%d alleles counted", count);
    numalleles = count;
    if (count <= 0) {
        alert("Your range is too small, and the number of alleles between them is 0", "Abort Scoring");
        return false;
    }
    return true;
}

void GeneController::buildAlleleSizeList(int32_t step, float tol, int32_t up, int32_t down) {
    std::vector<int32_t> sizes(static_cast<size_t>(numalleles));
    const int32_t lowInt = intValue(lowrange.text());
    const int32_t highInt = intValue(highrange.text());
    lowallelesize = down;
    while (lowallelesize < lowInt) {
        lowallelesize += step;
        logf(log, "lowallelesize adjusted up");
    }
    highallelesize = up;
    while (highallelesize > highInt) {
        highallelesize -= step;
        logf(log, "highallelesize adjusted down");
    }
    logf(log, "c=%d", lowallelesize);
    for (size_t i = 0; i < sizes.size(); ++i)
        sizes[i] = clampInt32(lowallelesize + static_cast<int64_t>(i) * step);
    allelesizelist = std::move(sizes);

    // One pass over the store finds the peaks under every size, grouped by
    // size and in working-list order, as a size query per size would.
    const std::vector<SizeMatch> under = matchSizes(database.workingList(), allelesizelist, static_cast<double>(tol));
    int32_t zero = 0;
    size_t m = 0;
    for (size_t i = 0; i < allelesizelist.size(); ++i) {
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
}

void GeneController::shiftSizes() {
    const double s = doubleValue(shift.text());
    // scoreData refuses a shift that sizes could not give back; this guards
    // direct runs.
    if (!shiftIsSound(s)) return;
    double moveBy = 0.0;
    if (alreadyScored == 0) {
        if (s == 0.0) return;
        alreadyScored = 1;
        shiftvalue = s;
    } else {
        if (s == shiftvalue || !std::isfinite(s - shiftvalue)) return;
        moveBy = shiftvalue;
    }
    logf(log, "***** Shifting all data by %lf *****", s);
    // A lane number listed twice (labels 7 and 07) still moves its peaks once.
    std::unordered_set<int32_t> visited;
    for (const int32_t lane : lanelist) {
        if (!visited.insert(lane).second) continue;
        for (const auto& a : database.getLane(lane)) a->changeSize((a->getSize() + s) - moveBy);
    }
    shiftvalue = s;
}

void GeneController::filterRange() {
    logf(log, "***** Removing alleles not in range specified *****");
    const int32_t lowInt = intValue(lowrange.text());
    const int32_t highInt = intValue(highrange.text());
    int32_t removed = 0;
    for (const int32_t lane : lanelist)
        for (const auto& a : database.getLane(lane))
            if (a->getSize() < lowInt || a->getSize() > highInt) {
                database.removeAlleleWithKey(a->getKey());
                ++removed;
            }
    logf(log, "%d alleles nodes removed. %d alleles remaining", removed, database.count());
}

void GeneController::mergeSplitPeaks(float tol) {
    logf(log, "***** Merging split peaks *****");
    for (size_t i = 0; i < lanelist.size(); ++i) {
        const AlleleList peaks = database.getLane(lanelist[i]);
        // Walk neighbouring pairs; a merged pair lives on in its second record.
        for (size_t k = 0; k + 1 < peaks.size(); ++k) {
            Allele& first = *peaks[k];
            Allele& second = *peaks[k + 1];
            if (!withinTolerance(first.getSize(), second.getSize(), tol)) continue;
            logf(log, "merged peak %lf in lane %d (%d in Real Lane)", first.getSize(), static_cast<int>(i),
                 first.getLane());
            merges.push_back({peaks[k + 1], second.getSize(), second.getHeight()});
            const int64_t heightSum = int64_t{first.getHeight()} + second.getHeight();
            second.changeHeight(static_cast<double>(heightSum / 2));
            second.changeSize((first.getSize() + second.getSize()) * 0.5);
            database.removeAlleleWithKey(first.getKey());
        }
    }
}

void GeneController::undoMerges() {
    // Latest first: a record that survived two merges gets its first values back.
    for (auto it = merges.rbegin(); it != merges.rend(); ++it) {
        it->survivor->changeSize(it->size);
        it->survivor->changeHeight(it->height);
    }
    merges.clear();
}

void GeneController::removeSmallPeaks() {
    logf(log, "***** Cleaning lanes of small data *****");
    for (const int32_t lane : lanelist) {
        const AlleleList peaks = database.getLane(lane);
        if (peaks.empty()) {
            logf(log, "lane %d has 0 data in it", lane);
            continue;
        }
        const double w = database.getWeightedHeightOfLane(lane);
        logf(log, "lane %d has a weighted height of %lf", lane, w);
        for (const auto& a : peaks)
            if (static_cast<double>(a->getHeight()) < w * 0.1) {
                logf(log, "REMOVING Allele size %lf with height %d in lane %d", a->getSize(), a->getHeight(),
                     a->getLane());
                database.removeAlleleWithKey(a->getKey());
            }
    }
}

}  // namespace lociview
