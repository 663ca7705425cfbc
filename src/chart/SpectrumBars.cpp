#include "chart/SpectrumBars.h"

#include <algorithm>
#include <cmath>

#include "stats/StatsText.h"

namespace lociview {

std::string changeLabel(double change) {
    if (change == 0.0) return "0";
    return (change > 0.0 ? "+" : "") + statNumber(change);
}

SpectrumBars spectrumBars(const AlleleSpectrum& spectrum) {
    SpectrumBars out;
    out.note = spectrum.note;
    std::vector<double> changes = {0.0};
    for (const ProgenitorSpectrum& p : spectrum.progenitors)
        for (const SpectrumBar& bar : p.bars) changes.push_back(bar.change);
    const auto [least, most] = std::minmax_element(changes.begin(), changes.end());
    const double from = std::floor(*least);
    const double to = std::ceil(*most);
    if (to - from <= SpectrumBars::kFilledUnits)
        for (double unit = from; unit <= to; unit += 1.0) changes.push_back(unit);
    std::sort(changes.begin(), changes.end());
    changes.erase(std::unique(changes.begin(), changes.end()), changes.end());

    out.changes = changes;
    for (double change : changes) out.labels.push_back(changeLabel(change));
    out.progenitorCategory =
        static_cast<size_t>(std::find(changes.begin(), changes.end(), 0.0) - changes.begin());
    for (const ProgenitorSpectrum& p : spectrum.progenitors) {
        SpectrumSeries series{p.name + " " + std::to_string(p.size) + " bp", std::vector<int64_t>(changes.size(), 0)};
        for (const SpectrumBar& bar : p.bars) {
            const auto at = std::lower_bound(changes.begin(), changes.end(), bar.change) - changes.begin();
            series.counts[static_cast<size_t>(at)] += bar.count;
            out.largestCount = std::max(out.largestCount, series.counts[static_cast<size_t>(at)]);
        }
        out.series.push_back(std::move(series));
    }
    return out;
}

std::vector<size_t> labelledCategories(const SpectrumBars& bars, size_t room) {
    const size_t n = bars.labels.size();
    const size_t zero = std::min(bars.progenitorCategory, n);
    size_t step = 1;
    const auto count = [&](size_t k) { return zero / k + (n - zero + k - 1) / k; };
    while (step < n && count(step) > std::max<size_t>(room, 1)) ++step;
    std::vector<size_t> shown;
    for (size_t i = zero % step; i < n; i += step) shown.push_back(i);
    return shown;
}

}  // namespace lociview
