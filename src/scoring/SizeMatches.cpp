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
    for (const AllelePtr& record : records) {
        const double s = record->getSize();
        if (std::isnan(s)) continue;
        // Look a whole base pair past the tolerance either side, so rounding
        // in the window cannot hide a size; the strict test decides.
        const double from = s - tol - 1.0;
        const double to = s + tol + 1.0;
        // The first size not below from, halving without a branch to guess
        // wrong: a plate's sizes fall anywhere, and with the developer log
        // every peak is matched.
        const int32_t* first = sizes.data();
        for (size_t n = sizes.size(); n > 1;) {
            const size_t half = n / 2;
            first = static_cast<double>(first[half]) < from ? first + half : first;
            n -= half;
        }
        if (static_cast<double>(*first) < from) ++first;
        auto it = sizes.begin() + (first - sizes.data());
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
