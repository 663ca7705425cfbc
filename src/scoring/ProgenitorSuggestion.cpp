#include "scoring/ProgenitorSuggestion.h"

#include <algorithm>
#include <cmath>

#include "base/NumberText.h"
#include "scoring/Locus.h"

namespace lociview {

ProgenitorSuggestion suggestProgenitors(const std::vector<LaneData>& lanes, double low, double high,
                                        int32_t locustype) {
    ProgenitorSuggestion out;
    std::vector<double> leaders;  // each lane's tallest peak in range
    for (const LaneData& lane : lanes) {
        const LanePeak* best = nullptr;
        for (const LanePeak& p : lane.peaks)
            if (p.size > low && p.size < high && (!best || p.height > best->height)) best = &p;
        if (best) leaders.push_back(best->size);
    }
    out.lanesWithPeak = static_cast<int64_t>(leaders.size());
    std::sort(leaders.begin(), leaders.end());

    const double tol = tolForLocus(locustype);
    std::vector<SuggestedSize> sizes;
    for (const double leader : leaders) {
        const int32_t size = saturatingInt(std::round(leader));
        if (!sizes.empty() && sizes.back().size == size) continue;
        // Strictly within the tolerance, as every size test of scoring.
        const auto from = std::upper_bound(leaders.begin(), leaders.end(), size - tol);
        const auto to = std::lower_bound(from, leaders.end(), size + tol);
        sizes.push_back({size, to - from});
    }
    std::stable_sort(sizes.begin(), sizes.end(), [](const SuggestedSize& a, const SuggestedSize& b) { return a.lanes > b.lanes; });
    sizes.erase(std::remove_if(sizes.begin(), sizes.end(), [](const SuggestedSize& s) { return s.lanes == 0; }), sizes.end());

    if (sizes.empty()) {
        // A tallest peak half a bp from its whole size lies at none.
        out.note = leaders.empty() ? "no lane has a peak in range" : "no size leads a lane";
        return out;
    }
    if (sizes.size() == 1) {
        out.p1 = sizes[0];
        out.note = "no second size leads a lane";
        return out;
    }
    out.p1 = std::min(sizes[0], sizes[1], [](const SuggestedSize& a, const SuggestedSize& b) { return a.size < b.size; });
    out.p2 = std::max(sizes[0], sizes[1], [](const SuggestedSize& a, const SuggestedSize& b) { return a.size < b.size; });
    return out;
}


}  // namespace lociview
