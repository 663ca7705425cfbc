#include "scoring/SizeMatches.h"

#include <algorithm>
#include <cmath>

namespace lociview {

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
    for (const AllelePtr& record : records) {
        const double s = record->getSize();
        if (std::isnan(s)) continue;
        // Look a whole base pair past the tolerance either side, so rounding
        // in the window cannot hide a size; the strict test decides.
        const double from = s - tol - 1.0;
        const double to = s + tol + 1.0;
        auto it = sizes.begin() + static_cast<std::ptrdiff_t>(firstNotBelow(from));
        for (; it != sizes.end() && !(to < static_cast<double>(*it)); ++it)
            if (withinTolerance(s, static_cast<double>(*it), tol))
                found.push_back({static_cast<size_t>(it - sizes.begin()), record.get()});
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
