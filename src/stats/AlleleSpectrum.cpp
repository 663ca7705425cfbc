#include "stats/AlleleSpectrum.h"

#include <algorithm>
#include <cstdlib>
#include <map>

namespace lociview {

namespace {

int64_t sumCounts(const std::vector<SpectrumBar>& bars, bool (*take)(const SpectrumBar&)) {
    int64_t total = 0;
    for (const SpectrumBar& bar : bars)
        if (take(bar)) total += bar.count;
    return total;
}

}  // namespace

int64_t ProgenitorSpectrum::progenitorCount() const {
    return sumCounts(bars, [](const SpectrumBar& b) { return b.progenitor; });
}

int64_t ProgenitorSpectrum::expansions() const {
    return sumCounts(bars, [](const SpectrumBar& b) { return b.change > 0.0; });
}

int64_t ProgenitorSpectrum::contractions() const {
    return sumCounts(bars, [](const SpectrumBar& b) { return b.change < 0.0; });
}

int64_t AlleleSpectrum::mutants() const {
    int64_t total = 0;
    for (const ProgenitorSpectrum& p : progenitors) total += p.expansions() + p.contractions();
    return total;
}

AlleleSpectrum alleleSpectrum(const std::vector<AlleleRow>& alleles, int32_t p1, int32_t p2, int32_t repeatUnit,
                              const std::string& noUnit) {
    AlleleSpectrum spectrum;
    spectrum.p1 = p1;
    spectrum.p2 = p2;
    std::map<int32_t, int64_t> bySize;
    for (const AlleleRow& row : alleles) {
        if (row.count <= 0) continue;
        bySize[row.size] += row.count;
        spectrum.scoredAlleles += row.count;
    }
    if (p1 <= 0 || p2 <= 0) {
        spectrum.note = "not estimable: no progenitor sizes";
        return spectrum;
    }
    if (repeatUnit <= 0) {
        spectrum.note = "not estimable: " + (noUnit.empty() ? std::string("no repeat unit") : noUnit);
        return spectrum;
    }

    spectrum.progenitors.push_back({"P1", p1, {}});
    if (p2 != p1) spectrum.progenitors.push_back({"P2", p2, {}});
    for (ProgenitorSpectrum& p : spectrum.progenitors) p.bars.push_back({p.size, 0.0, 0, true});
    for (const auto& [size, count] : bySize) {
        const int64_t d1 = std::llabs(int64_t{size} - p1);
        const int64_t d2 = std::llabs(int64_t{size} - p2);
        ProgenitorSpectrum& home = spectrum.progenitors[d1 <= d2 || p2 == p1 ? 0 : 1];
        if (size == home.size) {
            home.bars.front().count = count;
            continue;
        }
        home.bars.push_back({size, static_cast<double>(int64_t{size} - home.size) / repeatUnit, count, false});
    }
    for (ProgenitorSpectrum& p : spectrum.progenitors)
        std::sort(p.bars.begin(), p.bars.end(), [](const auto& x, const auto& y) { return x.size < y.size; });
    return spectrum;
}

}  // namespace lociview
