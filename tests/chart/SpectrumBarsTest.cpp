// The spectrum's bar layout: whole units filled between the extremes so the
// axis reads as a scale, off-ladder changes in their place, wide spreads
// left sparse, and one series per distinct progenitor.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "chart/SpectrumBars.h"

namespace lociview {
namespace {

struct Case {
    const char* name;
    std::vector<AlleleRow> alleles;
    int32_t p1, p2, unit;
    std::vector<std::string> labels;
    std::vector<std::vector<int64_t>> counts;  // per series
    int64_t largest;
};

void PrintTo(const Case& c, std::ostream* os) { *os << c.name; }

class SpectrumBarsLayout : public testing::TestWithParam<Case> {};

TEST_P(SpectrumBarsLayout, CategoriesAndCounts) {
    const Case& c = GetParam();
    const SpectrumBars bars = spectrumBars(alleleSpectrum(c.alleles, c.p1, c.p2, c.unit));
    EXPECT_EQ(bars.labels, c.labels);
    ASSERT_EQ(bars.changes.size(), bars.labels.size());
    EXPECT_EQ(bars.changes[bars.progenitorCategory], 0.0);
    std::vector<std::vector<int64_t>> counts;
    for (const SpectrumSeries& s : bars.series) counts.push_back(s.counts);
    EXPECT_EQ(counts, c.counts);
    EXPECT_EQ(bars.largestCount, c.largest);
}

INSTANTIATE_TEST_SUITE_P(
    Spectra, SpectrumBarsLayout,
    testing::Values(
        Case{"TwoProgenitors", {{146, 1, 0}, {150, 7, 0}, {156, 6, 0}, {158, 1, 0}, {162, 1, 0}}, 150, 156, 2,
             {"-2", "-1", "0", "+1", "+2", "+3"}, {{1, 0, 7, 0, 0, 0}, {0, 0, 6, 1, 0, 1}}, 7},
        Case{"OffTheLadder", {{150, 4, 0}, {151, 2, 0}, {144, 1, 0}}, 150, 150, 3,
             {"-2", "-1", "0", "+0.33333333", "+1"}, {{1, 0, 4, 2, 0}}, 4},
        // 300 lies halfway: P1's.
        Case{"LostProgenitorsAndAWideSpread", {{100, 0, 0}, {300, 3, 0}, {96, 2, 0}}, 100, 500, 2,
             {"-2", "0", "+100"}, {{2, 0, 3}, {0, 0, 0}}, 3},
        Case{"NoProgenitorSizes", {{150, 3, 0}}, 0, 156, 2, {"0"}, {}, 0}),
    [](const testing::TestParamInfo<Case>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace lociview
