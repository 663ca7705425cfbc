#include "scoring/SizeMatches.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace lociview {

namespace {

// Sizes a peak's window may hold, above which each is tried only while
// the window lasts (repeats, or sizes a base pair apart under a wide
// tolerance), and the tolerance from which that is so too.
constexpr size_t kMostTried = 8;
constexpr double kWideTol = 1 << 20;
constexpr double kSlack = 1.0 / 1024;

}  // namespace

std::vector<SizeMatch> matchSizes(const AlleleList& records, const std::vector<int32_t>& sizes, double tol) {
    std::vector<SizeMatch> found;
    // A tolerance of 0 or less (or not a number) matches nothing.
    if (!(tol > 0) || sizes.empty()) return found;
    if (!std::is_sorted(sizes.begin(), sizes.end())) {
        // Not what callers pass; every pair is tried, still grouped by size.
        for (size_t i = 0; i < sizes.size(); ++i)
            for (const AllelePtr& record : records)
                if (withinTolerance(record->getSize(), static_cast<double>(sizes[i]), tol))
                    found.push_back({i, record.get()});
        return found;
    }
    // With the developer log every peak is matched, and a search per peak
    // costs more than its line. Sizes are whole numbers, so the first size
    // not below a bound is the first not below the bound rounded up: where
    // the sizes span a few thousand bp at most, a table answers that for
    // each whole number of their span.
    const int64_t lowest = sizes.front(), span = int64_t{sizes.back()} - lowest;
    std::vector<uint32_t> firstFrom;
    if (span < (int64_t{1} << 16)) {
        firstFrom.resize(static_cast<size_t>(span) + 1);
        size_t i = 0;
        for (int64_t v = 0; v <= span; ++v) {
            while (sizes[i] - lowest < v) ++i;
            firstFrom[static_cast<size_t>(v)] = static_cast<uint32_t>(i);
        }
    }
    const auto firstNotBelow = [&](double bound) -> size_t {
        if (!(bound > static_cast<double>(lowest))) return 0;
        if (bound > static_cast<double>(sizes.back())) return sizes.size();
        if (!firstFrom.empty()) return firstFrom[static_cast<size_t>(std::ceil(bound) - static_cast<double>(lowest))];
        return static_cast<size_t>(std::lower_bound(sizes.begin(), sizes.end(), bound,
                                                    [](int32_t v, double x) { return static_cast<double>(v) < x; }) -
                                   sizes.begin());
    };
    // A size matches only when within tol of the peak as real numbers (the
    // rounded difference cannot cross tol, a double itself), so a window of
    // 2 tol holds every size that can, with kSlack either side for the
    // rounding of its ends: a peak within tol of a size lies within 2^32 of
    // zero, where doubles are 2^-20 apart. The most sizes such a window can
    // hold are all tried, from the first in it: whether a size matches goes
    // as the data go, and a branch on it, or on where the window ends, was
    // most of the pass.
    const double window = 2 * tol + 2 * kSlack;
    size_t most = 0;
    for (size_t i = 0, j = 0; i < sizes.size(); ++i) {
        while (j < sizes.size() && static_cast<double>(int64_t{sizes[j]} - sizes[i]) <= window) ++j;
        most = std::max(most, j - i);
    }
    if (tol < kWideTol && most <= kMostTried) {
        // Past the last size, sizes that match nothing.
        std::vector<double> tried(sizes.begin(), sizes.end());
        tried.resize(sizes.size() + most, std::numeric_limits<double>::quiet_NaN());
        size_t n = 0;
        for (const AllelePtr& record : records) {
            const double s = record->getSize();
            if (std::isnan(s)) continue;
            if (found.size() < n + most) found.resize(2 * found.size() + most);
            const size_t first = firstNotBelow(s - tol - kSlack);
            for (size_t k = first; k < first + most; ++k) {
                found[n] = {k, record.get()};
                n += withinTolerance(s, tried[k], tol) ? 1 : 0;
            }
        }
        found.resize(n);
    } else {
        for (const AllelePtr& record : records) {
            const double s = record->getSize();
            if (std::isnan(s)) continue;
            // A whole base pair past the tolerance either side.
            const double from = s - tol - 1.0;
            const double to = s + tol + 1.0;
            auto it = sizes.begin() + static_cast<std::ptrdiff_t>(firstNotBelow(from));
            for (; it != sizes.end() && !(to < static_cast<double>(*it)); ++it)
                if (withinTolerance(s, static_cast<double>(*it), tol))
                    found.push_back({static_cast<size_t>(it - sizes.begin()), record.get()});
        }
    }
    // Group by size, keeping the order of the records within each group.
    std::vector<size_t> start(sizes.size() + 1, 0);
    for (const SizeMatch& m : found) ++start[m.sizeIndex + 1];
    for (size_t i = 1; i < start.size(); ++i) start[i] += start[i - 1];
    std::vector<SizeMatch> grouped(found.size());
    for (const SizeMatch& m : found) grouped[start[m.sizeIndex]++] = m;
    return grouped;
}

}  // namespace lociview
