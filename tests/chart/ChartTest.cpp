// The chart beyond what the golden traces print for even ranges: the parity
// step, ranges at the ends of int32, the curves' heights, places, colours and
// vertices, what a selection puts on the chart, and the spectrum's bars.
#include <gtest/gtest.h>

#include <algorithm>

#include <cmath>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "chart/ChartGeometry.h"
#include "chart/GraphSelections.h"
#include "chart/SpectrumBars.h"

namespace lociview {
namespace {

constexpr int32_t kMin = std::numeric_limits<int32_t>::min(), kMax = std::numeric_limits<int32_t>::max();

AllelePtr peak(double size, int32_t height = 100, int32_t score = SCORED, int32_t key = 0) {
    auto a = std::make_shared<Allele>(size, height, 10, 1);
    a->assignKey(key);
    a->changeScore(score);
    return a;
}

// Labels follow the parity most peaks have: low moves up one step at most,
// and stays there on the next frame.
TEST(ChartGeometryTest, ParityAndRange) {
    const struct { int32_t low, high; std::vector<double> sizes; int32_t newLow; int64_t columns; const char* labels; } cases[] = {
        {150, 170, {151, 153, 160}, 151, 10, "151..169 (10)"},
        {151, 191, {150, 151}, 152, 20, "152..190 (20)"},               // a tie goes to even
        {150, 190, {150, 152}, 150, 21, "150..190 (21)"},
        {150, 190, {150.5, 152.5}, 151, 20, "151..189 (20)"},           // halves round away from zero
        {-3, 37, {-2, 4}, -2, 20, "-2..36 (20)"}, {-4, 36, {-3, 5}, -3, 20, "-3..35 (20)"},
        {kMin, kMax, {0}, kMin, 2147483648LL, "-2147483648..-2147481602 (1024)"},
        {kMax - 1, kMax, {0}, kMax - 1, 1, "2147483646..2147483646 (1)"}, {kMin, kMin + 3, {0}, kMin, 2, "-2147483648..-2147483646 (2)"},
        {151, 170, {}, 151, 0, "none"}};
    for (const auto& c : cases) {
        NullLog log;
        ChartModel model(log);
        model.setRange(c.low, c.high);
        for (const double s : c.sizes) model.addAllele(peak(s));
        ChartGeometry::frame(model);
        const ChartFrame f = ChartGeometry::frame(model);
        EXPECT_EQ(model.getLow(), c.newLow) << c.low;
        EXPECT_EQ(f.columns, c.columns) << c.low;
        EXPECT_EQ(f.labels.empty() ? "none" : f.labels.front().text + ".." + f.labels.back().text + format(" (%zu)", f.labels.size()),
                  c.labels);
        EXPECT_TRUE(f.empty() ? f.pitch == 0.0 && !f.axis : f.pitch == 800.0 / (static_cast<double>(c.columns) + 1) + 1) << c.low;
        for (const ChartCurve& k : f.curves) EXPECT_TRUE(k.vertices.size() >= 1 && k.vertices.size() <= 1371);
    }
}

// Heights are out of 1000 of the tallest, truncated; the centre sits at the
// rounded distance from low; black is counted, grey the rest.
TEST(ChartGeometryTest, CurvesPlacesHeightsAndColours) {
    NullLog log;
    ChartModel chart(log);
    chart.setRange(150, 170);
    for (const auto& [size, height, score] : {std::tuple{152.0, 900, SCORED}, {152.6, 450, MAYBE}, {152.4, 300, DISCARDED},
                                              {156.0, 600, UNMARKED}, {158.0, -90, SCORED}, {150.0, 10, MAYBE}})
        chart.addAllele(peak(size, height, score));
    const double p = 800.0 / 12 + 1;  // 11 labels, 150 to 170
    const std::vector<std::tuple<double, int32_t, CurveColour, CurveColour>> expected = {
        {2 * p - 12, 1000, CurveColour::Black, CurveColour::Black}, {2.5 * p - 12, 500, CurveColour::Grey, CurveColour::Black},
        {2 * p - 12, 333, CurveColour::Grey, CurveColour::Grey},    {4 * p - 12, 666, CurveColour::Grey, CurveColour::Grey},
        {5 * p - 12, -100, CurveColour::Black, CurveColour::Black}, {p - 12, 11, CurveColour::Grey, CurveColour::Black}};
    for (const int8_t maybes : {0, 1}) {
        chart.setMaybeCheck(maybes);
        const ChartFrame f = ChartGeometry::frame(chart);
        ASSERT_EQ(f.curves.size(), expected.size());
        for (size_t i = 0; i < expected.size(); ++i) {
            const auto& [x0, amplitude, colour, withMaybes] = expected[i];
            EXPECT_DOUBLE_EQ(f.curves[i].x0, x0) << i;
            EXPECT_EQ(f.curves[i].amplitude, amplitude) << i;
            EXPECT_EQ(f.curves[i].colour, maybes ? withMaybes : colour) << i << " maybes " << int{maybes};
        }
        EXPECT_EQ(f.axis, f.curves.back().colour);
    }
}

TEST(ChartGeometryTest, CurveVerticesFollowWidthAndSpread) {
    // Ranges from low 150: one column and ten columns.
    for (const auto& [high, columns, width, spread] : {std::tuple{151, 1, 685.44, 200.29}, {168, 10, 75.30, 26.49}}) {
        NullLog log;
        ChartModel model(log);
        model.setRange(150, high);
        model.addAllele(peak(150, 200));
        const ChartFrame f = ChartGeometry::frame(model);
        ASSERT_EQ(f.columns, columns);
        const ChartCurve& k = f.curves.at(0);
        EXPECT_NEAR(k.width, width, 0.01);
        EXPECT_NEAR(k.spread, spread, 0.01);
        ASSERT_EQ(k.vertices.size(), static_cast<size_t>(std::floor(2 * k.width)) + 1);
        // t = -W + i; x = t / 2; y = A / sqrt(2 pi) * e^(-(t/S)^2 / 2) + 50
        for (size_t i : {size_t{0}, k.vertices.size() / 3, k.vertices.size() - 1}) {
            const double t = -k.width + static_cast<double>(i);
            EXPECT_DOUBLE_EQ(k.vertices[i].x, t * 0.5);
            EXPECT_NEAR(k.vertices[i].y, 1000 / 2.5066282746310002 * std::exp(-0.5 * (t / k.spread) * (t / k.spread)) + 50, 1e-9);
        }
    }
}

// Parity that keeps changing moves low a step each frame, never past the
// largest int32; past high the frame keeps one column.
TEST(ChartGeometryTest, ParityChanges) {
    NullLog log;
    for (const int32_t low : {150, kMax - 1}) {
        ChartModel model(log);
        model.setRange(low, low + 1);
        const AllelePtr b = peak(2);
        model.addAllele(b);
        for (int i = 0; i < 6; ++i) {
            b->changeSize(b->getSize() + 1);
            const ChartFrame g = ChartGeometry::frame(model);
            EXPECT_EQ(std::tuple(g.columns, g.labels.size(), g.curves.at(0).vertices.size()), std::tuple(1, 1u, 1371u));
        }
        EXPECT_EQ(model.getLow(), low == 150 ? 156 : kMax);
    }
}

// By lane every peak of the selected lanes; by allele the counted peaks
// within the locus tolerance; rows past the lists add nothing.
TEST(GraphSelectionsTest, PeaksOfTheSelectedRows) {
    NullLog log;
    AlleleDB db(log);
    const std::tuple<double, int32_t, int32_t> peaks[] = {  // keys 0..8
        {150.0, 1, SCORED}, {150.3, 1, MAYBE},    {150.5, 2, SCORED}, {149.8, 2, DISCARDED}, {152.0, 2, SCORED},
        {149.9, 3, SCORED}, {150.2, 3, UNMARKED}, {152.1, 1, MAYBE},  {151.4, 3, SCORED}};
    for (const auto& [size, lane, score] : peaks) {
        db.addAlleleWithSize(size, 100, 10, lane);
        db.workingList().back()->changeScore(score);
    }
    const ScoringResult result{{{150, 0, 0}, {152, 0, 0}}, {1, 2, 3}, {}};
    const struct { bool byLane; std::vector<int> rows; int32_t locus; bool maybes; std::vector<int32_t> keys; } cases[] = {
        {false, {0}, 2, false, {0, 5}}, {false, {0}, 0, true, {0, 1, 5}}, {false, {0}, 1, true, {0, 5}}, {false, {0}, 3, false, {0, 5}},
        {false, {0, 1}, 2, true, {0, 1, 5, 4, 7}}, {false, {1, 2, 7, -1}, 2, false, {4}}, {true, {1, 2, 5}, 2, false, {2, 3, 4, 5, 6, 8}}};
    for (const auto& c : cases) {
        std::vector<int32_t> keys;
        for (const auto& a : peaksToGraph(result, db, c.byLane, c.rows, c.locus, c.maybes)) keys.push_back(a->getKey());
        EXPECT_EQ(keys, c.keys) << c.byLane << " locus " << c.locus << " maybes " << c.maybes;
    }
}

// Whole units filled between the extremes so the axis reads as a scale,
// off-ladder changes in their place, wide spreads left sparse, one series
// per distinct progenitor.
TEST(SpectrumBarsTest, CategoriesAndCounts) {
    const struct { std::vector<AlleleRow> alleles; int32_t p1, p2, unit; std::vector<std::string> labels;
                   std::vector<std::vector<int64_t>> counts; int64_t largest; } cases[] = {
        {{{146, 1, 0}, {150, 7, 0}, {156, 6, 0}, {158, 1, 0}, {162, 1, 0}}, 150, 156, 2,
         {"-2", "-1", "0", "+1", "+2", "+3"}, {{1, 0, 7, 0, 0, 0}, {0, 0, 6, 1, 0, 1}}, 7},
        {{{150, 4, 0}, {151, 2, 0}, {144, 1, 0}}, 150, 150, 3, {"-2", "-1", "0", "+0.33333333", "+1"}, {{1, 0, 4, 2, 0}}, 4},
        {{{100, 0, 0}, {300, 3, 0}, {96, 2, 0}}, 100, 500, 2, {"-2", "0", "+100"}, {{2, 0, 3}, {0, 0, 0}}, 3},  // 300: P1's
        {{{150, 3, 0}}, 0, 156, 2, {"0"}, {}, 0}};
    for (const auto& c : cases) {
        const SpectrumBars bars = spectrumBars(alleleSpectrum(c.alleles, c.p1, c.p2, c.unit));
        EXPECT_EQ(bars.labels, c.labels);
        ASSERT_EQ(bars.changes.size(), bars.labels.size());
        EXPECT_EQ(bars.changes[bars.progenitorCategory], 0.0);
        std::vector<std::vector<int64_t>> counts;
        for (const SpectrumSeries& s : bars.series) counts.push_back(s.counts);
        EXPECT_EQ(counts, c.counts);
        EXPECT_EQ(bars.largestCount, c.largest);
    }
}

// Many bars: labels thinned to what fits, in one even step that keeps 0,
// the smallest step that fits.
TEST(SpectrumBarsTest, LabelsThinnedToWhatFits) {
    const struct { size_t categories, zero, room; std::vector<size_t> shown; } cases[] = {
        {6, 2, 10, {0, 1, 2, 3, 4, 5}}, {6, 2, 6, {0, 1, 2, 3, 4, 5}}, {6, 2, 5, {0, 2, 4}}, {7, 0, 3, {0, 3, 6}},
        {7, 6, 2, {2, 6}},              {5, 4, 1, {4}},                {1, 0, 0, {0}},       {121, 60, 10, {}},
        {121, 3, 7, {}}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.categories) + " categories, 0 at " + std::to_string(c.zero) + ", room " +
                     std::to_string(c.room));
        SpectrumBars bars;
        bars.labels.resize(c.categories);
        bars.progenitorCategory = c.zero;
        const std::vector<size_t> shown = labelledCategories(bars, c.room);
        if (!c.shown.empty()) EXPECT_EQ(shown, c.shown);
        EXPECT_TRUE(std::find(shown.begin(), shown.end(), c.zero) != shown.end());
        EXPECT_LE(shown.size(), std::max<size_t>(c.room, 1));
        const size_t step = shown.size() > 1 ? shown[1] - shown[0] : c.categories;
        for (size_t i = 1; i < shown.size(); ++i) EXPECT_EQ(shown[i] - shown[i - 1], step);
        EXPECT_LT(shown.front(), step);
        EXPECT_GE(shown.back() + step, c.categories);
        // A step one smaller would label more than fit.
        if (step > 1 && step < c.categories) {
            size_t more = 0;
            for (size_t i = c.zero % (step - 1); i < c.categories; i += step - 1) ++more;
            EXPECT_GT(more, c.room);
        }
    }
}

}  // namespace
}  // namespace lociview
