// The chart beyond what the golden traces print for even ranges: the parity
// step, ranges at the ends of int32, the curves' heights, places, colours and
// vertices, what a selection puts on the chart, and the spectrum's bars. The
// lane view: what goes where for given lanes, window and pixels, the peak
// under a point, zoom and pan, traces cut to the pixel columns against every
// scan, and hostile lanes. The size-standard view's rows.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>

#include <cmath>
#include <limits>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "chart/ChartGeometry.h"
#include "chart/GraphSelections.h"
#include "chart/LaneGeometry.h"
#include "chart/LaneZoom.h"
#include "chart/SpectrumBars.h"
#include "chart/StandardGeometry.h"

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
        if (!c.shown.empty()) {
            EXPECT_EQ(shown, c.shown);
        }
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

// A view whose plot is 800 x 300 pixels from (100, 0): 8 pixels a bp over
// 100..200 bp, 0.1 pixel an RFU up a band of 100 (stacked, 3 lanes).
LaneView laneView(LaneMode mode, LaneWindow window = {100, 200, 0, 1000}) {
    LaneView v{mode, window, 900, 400, {150.0, 156.0, 120.0, 300.0}, {}};
    v.style.marginLeft = 100;
    v.style.marginRight = 0;
    v.style.marginTop = 0;
    v.style.marginBottom = 100;
    return v;
}

std::vector<LaneData> threeLanes() {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    return {{1, "A01", {{150, 500, 10, SCORED}, {120, 2000, 20, DISCARDED}, {250, 100, 30}, {100.2, 40, 40, 9}}, {}, {}, {}},
            {2, "", {}, {}, {}, {}},
            {3, "C03", {{175, 0, 50, MAYBE}, {nan, 300, 60}, {160, -200, 70, SCORED}}, {}, {}, {}}};
}

// Stacked: a band per lane, labelled lane and sample; each peak at its size
// and height in its band, clipped at the top, coloured by its mark; ticks,
// lines inside the window, the marks' legend once anything is marked.
// Overlaid: one plot, a colour per lane and a legend naming the lanes.
TEST(LaneGeometryTest, WhatGoesWhere) {
    const std::vector<LaneData> lanes = threeLanes();
    const LaneFrame s = layLanes(lanes, laneView(LaneMode::Stacked));
    EXPECT_EQ(s.note, "");
    ASSERT_EQ(s.bands.size(), 3u);
    for (size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(std::tuple(s.bands[i].rect.top, s.bands[i].rect.height, s.bands[i].labelled), std::tuple(100.0 * i, 100.0, true));
        std::vector<double> at;
        for (const AxisTick& t : s.bands[i].heightTicks) at.push_back(t.at);
        EXPECT_EQ(at, (std::vector<double>{100.0 * i + 100, 100.0 * i + 50, 100.0 * i})) << i;  // 0, 500, 1000
    }
    EXPECT_EQ(s.bands[0].heightTicks[0].text + " " + s.bands[0].heightTicks[2].text, "0 1000");
    EXPECT_EQ(s.bands[0].label + "|" + s.bands[1].label + "|" + s.bands[2].label, "1 A01|2|3 C03");
    ASSERT_EQ(s.sizeTicks.size(), 11u);  // 100, 110 ... 200 at least 80 pixels apart
    EXPECT_EQ(std::tuple(s.sizeTicks[5].value, s.sizeTicks[5].at, s.sizeTicks[5].text), std::tuple(150.0, 500.0, "150"));

    const struct { size_t lane, peak; double x, apex, base; bool clipped; PeakMark mark; } peaks[] = {
        {0, 0, 500, 50, 100, false, PeakMark::Scored},     {0, 1, 260, 0, 100, true, PeakMark::Discarded},
        {0, 3, 101.6, 96, 100, false, PeakMark::Unmarked},  // a score code of no mark
        {2, 0, 700, 300, 300, false, PeakMark::Maybe},      {2, 2, 580, 300, 300, false, PeakMark::Scored}};  // below 0: at the floor
    ASSERT_EQ(s.peaks.size(), std::size(peaks));  // 250 bp is outside the window, NaN nowhere
    for (size_t k = 0; k < std::size(peaks); ++k) {
        const DrawnPeak& d = s.peaks[k];
        const auto& e = peaks[k];
        EXPECT_EQ(std::tuple(d.lane, d.peak, d.clipped, d.mark, d.colour, d.outlined), std::tuple(e.lane, e.peak, e.clipped, e.mark, markColour(e.mark), true)) << k;
        EXPECT_DOUBLE_EQ(d.apex.x, e.x) << k;
        EXPECT_DOUBLE_EQ(d.apex.y, e.apex) << k;
        EXPECT_DOUBLE_EQ(d.baseY, e.base) << k;
        EXPECT_DOUBLE_EQ(d.halfWidth, 2.0) << k;  // 0.25 bp is 2 pixels
    }
    const auto outline = peakOutline(s.peaks[0]);
    EXPECT_EQ(std::tuple(outline.front().x, outline.front().y, outline[4].x, outline[4].y, outline.back().x, outline.back().y),
              std::tuple(498.0, 100.0, 500.0, 50.0, 502.0, 100.0));
    ASSERT_EQ(s.lines.size(), 3u);  // high = 300 is outside the window
    for (const auto& [line, x, dashed] : {std::tuple{s.lines[0], 500.0, false}, {s.lines[1], 548.0, false}, {s.lines[2], 260.0, true}}) {
        EXPECT_DOUBLE_EQ(line.x, x);
        EXPECT_EQ(line.dashed, dashed);
    }
    EXPECT_EQ(std::string(s.lines[1].label) + s.lines[2].label, "P2low");
    std::vector<std::string> legend;
    for (const LegendEntry& e : s.legend) legend.push_back(e.text);
    EXPECT_EQ(legend, (std::vector<std::string>{"scored", "maybe", "discarded", "unmarked"}));
    EXPECT_TRUE(s.legendBox.right() <= s.plot.right() && s.legendBox.top >= s.plot.top);
    for (const LegendEntry& e : s.legend)  // swatch, then text, inside the box
        EXPECT_TRUE(e.swatchRect.left > s.legendBox.left && e.textAt.x > e.swatchRect.right() &&
                    e.textAt.x + static_cast<double>(e.text.size()) * LaneStyle{}.charWidth <= s.legendBox.right()) << e.text;

    const LaneFrame o = layLanes(lanes, laneView(LaneMode::Overlaid));
    ASSERT_EQ(o.peaks.size(), std::size(peaks));
    EXPECT_EQ(std::tuple(o.peaks[0].apex.y, o.peaks[3].apex.y, o.peaks[3].colour, o.bands[2].labelled), std::tuple(150.0, 300.0, laneColour(2), false));
    EXPECT_EQ(o.heightTicks.size(), 11u);  // 300 pixels, one tick per 28 at most: every 100 RFU
    legend.clear();
    for (const LegendEntry& e : o.legend) legend.push_back(e.text + (e.swatch == laneColour(1) ? "*" : ""));
    EXPECT_EQ(legend, (std::vector<std::string>{"1 A01", "2*", "3 C03", "scored", "maybe", "discarded", "unmarked"}));
    EXPECT_DOUBLE_EQ(o.legend[1].textAt.y - o.legend[0].textAt.y, LaneStyle{}.lineHeight);

    // Nothing marked yet: no marks' legend; overlaid lanes past twelve are counted.
    std::vector<LaneData> many(15, LaneData{7, "X", {{150, 10, 1}}, {}, {}, {}});
    legend.clear();
    for (const LegendEntry& e : layLanes(many, laneView(LaneMode::Overlaid)).legend) legend.push_back(e.text);
    EXPECT_EQ(legend.size(), 13u);
    EXPECT_EQ(legend.back(), "and 3 more lanes");
    // Stacked, bands of 20 pixels are too low for a height scale; of 28, two lines, not.
    const LaneFrame thin = layLanes(many, laneView(LaneMode::Stacked));
    EXPECT_TRUE(thin.bands[0].labelled && thin.bands[0].heightTicks.empty() && thin.bands[1].labelled);
    LaneView ten = laneView(LaneMode::Stacked);
    ten.height = 380;
    EXPECT_EQ(layLanes(std::vector<LaneData>(10, many[0]), ten).bands[0].heightTicks.size(), 2u);  // 0 and 1000
}

// Stacked bands with a least height over a plot of 300: lanes that fit
// share it whatever the scroll; more are a stack scrolled within its ends,
// of which only the bands in view are laid out (and tell whether the marks
// need a legend); a lane is brought into view moving the stack as little
// as it must.
TEST(LaneGeometryTest, TallStackScrolls) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const struct { size_t lanes; double least, scroll, band, scrolled; size_t first, end, show; double showing; } cases[] = {
        {3, 42, 500, 100, 0, 0, 3, 2, 0},          {100, 42, 0, 42, 0, 0, 8, 10, 162},
        {100, 42, 1000, 42, 1000, 23, 31, 5, 210}, {100, 42, 1e9, 42, 3900, 92, 100, 99, 3900},
        {100, 42, nan, 42, 0, 0, 8, 7, 36},        {10, 400, 0, 400, 0, 0, 1, 3, 1200},
        {0, 42, 10, 0, 0, 0, 0, 0, 0}};
    for (const auto& c : cases) {
        const LaneStack s = laneStack(c.lanes, 300, c.least, c.scroll);
        EXPECT_EQ(std::tuple(s.bandHeight, s.height, s.scroll, s.first, s.end, scrollShowing(s, 300, c.show)),
                  std::tuple(c.band, c.band * static_cast<double>(c.lanes), c.scrolled, c.first, c.end, c.showing)) << c.lanes << " " << c.scroll;
    }
    LaneView v = laneView(LaneMode::Stacked);
    v.minBandHeight = 42;
    v.scroll = 1000;
    const std::vector<LaneData> lanes(100, LaneData{7, "X", {{150, 500, 1}}, {}, {}, {}});
    const LaneFrame f = layLanes(lanes, v);
    ASSERT_EQ(f.bands.size(), 8u);
    ASSERT_EQ(f.peaks.size(), 8u);
    // The first band, half scrolled away, keeps its scale's 0 and loses its 1000.
    EXPECT_EQ(std::tuple(f.bands[0].lane, f.bands[0].rect.top, f.bands[0].heightTicks.size(), f.bands[7].lane, f.peaks[7].lane),
              std::tuple(23u, 23 * 42 - 1000.0, 1u, 30u, 30u));
    EXPECT_EQ(f.bandAt({500, 10})->top, 24 * 42 - 1000.0);
    EXPECT_EQ(peakAt(f, lanes, {500, 24 * 42 - 1000.0 + 30})->lane, 24u);
    // The marks' legend follows the bands in view.
    std::vector<LaneData> marked = lanes;
    marked[5].peaks[0].score = SCORED;
    EXPECT_TRUE(layLanes(marked, v).legend.empty());
    marked[30].peaks[0].score = MAYBE;
    EXPECT_EQ(layLanes(marked, v).legend.size(), 4u);
    v.mode = LaneMode::Overlaid;
    EXPECT_EQ(layLanes(lanes, v).bands.size(), 100u);
}

// The peak under a point, its text, and where each way of moving the window
// takes it.
TEST(LaneGeometryTest, PointingZoomAndPan) {
    const std::vector<LaneData> lanes = threeLanes();
    const LaneFrame s = layLanes(lanes, laneView(LaneMode::Stacked));
    const struct { PixelPoint at; const char* hit; } points[] = {
        {{500, 75}, "150.00 bp, 500 RFU, area 10; lane 1 A01; scored"}, {{504.9, 99}, "150.00 bp, 500 RFU, area 10; lane 1 A01; scored"},
        {{505.1, 99}, ""}, {{500, 46}, ""}, {{500, 47.5}, "150.00 bp, 500 RFU, area 10; lane 1 A01; scored"},
        {{700, 299}, "175.00 bp, 0 RFU, area 50; lane 3 C03; maybe"}, {{260, 5}, "120.00 bp, 2000 RFU, area 20; lane 1 A01; discarded"},
        {{500, 150}, ""}, {{50, 50}, ""}};
    for (const auto& p : points) {
        const std::optional<PeakHit> hit = peakAt(s, lanes, p.at);
        EXPECT_EQ(hit ? peakHitText(*hit) : "", p.hit) << p.at.x << "," << p.at.y;
    }
    // Overlaid, two peaks at one size: the shorter, drawn inside the taller.
    const std::vector<LaneData> two = {{1, "", {{150, 800, 1}}, {}, {}, {}}, {2, "", {{150, 200, 2, SCORED, true}}, {}, {}, {}}};
    EXPECT_FALSE(peakAt(s, {lanes[0], lanes[1]}, {700, 299}));  // a frame of other lanes
    const std::optional<PeakHit> inner = peakAt(layLanes(two, laneView(LaneMode::Overlaid)), two, {500, 290});
    ASSERT_TRUE(inner);
    EXPECT_EQ(std::tuple(inner->laneNumber, inner->lane, inner->peak), std::tuple(2, 1u, 0u));
    EXPECT_EQ(peakHitText(*inner), "150.00 bp, 200 RFU, area 2; lane 2; scored; off scale");
    const std::vector<LaneData> twins = {two[1], two[1]};  // of two alike, the first
    EXPECT_EQ(peakAt(layLanes(twins, laneView(LaneMode::Overlaid)), twins, {500, 290})->lane, 0u);

    const struct { LaneWindow got, expected; } moves[] = {
        {zoomSizes(s, 500, 2), {125, 175, 0, 1000}},        {zoomSizes(s, 180, 0.5), {90, 290, 0, 1000}},
        {zoomSizes(s, 500, 0), {100, 200, 0, 1000}},        {zoomSizes(s, 500, 1e9), {149.975, 150.025, 0, 1000}},
        {zoomSizes(s, 500, std::numeric_limits<double>::infinity()), {100, 200, 0, 1000}},
        {zoomHeights(s, 4), {100, 200, 0, 250}},
        {zoomToRect(s, {260, 90}, {500, 40}), {120, 150, 100, 600}},   // one band: heights too
        {zoomToRect(s, {500, 40}, {260, 190}), {120, 150, 0, 1000}},   // two bands: sizes only
        {zoomToRect(s, {20, 10}, {180, 12}), {100, 110, 0, 1000}},     // cut at the plot, too flat for heights
        {zoomToRect(s, {260, 10}, {263, 90}), {100, 200, 0, 1000}},    // too narrow
        {panBy(s, 80, -10), {90, 190, -100, 900}},
        {panBy(layLanes(lanes, laneView(LaneMode::Overlaid)), -800, 30), {200, 300, 100, 1100}},
        {panBy(layLanes(lanes, laneView(LaneMode::Stacked, {-999990, -999890, 0, 1000})), 800, 0), {-1e6, -999900, 0, 1000}}};
    for (size_t i = 0; i < std::size(moves); ++i) {
        const LaneWindow& g = moves[i].got;
        const LaneWindow& e = moves[i].expected;
        for (const auto& [a, b] : {std::pair{g.sizeLow, e.sizeLow}, {g.sizeHigh, e.sizeHigh}, {g.heightLow, e.heightLow}, {g.heightHigh, e.heightHigh}})
            EXPECT_NEAR(a, b, 1e-9) << i;
    }

    // The window zoomed to 120..150 bp, 100..600 RFU: peaks placed in it, and dragged there.
    const LaneFrame z = layLanes(lanes, laneView(LaneMode::Stacked, moves[6].got));
    EXPECT_EQ(std::tuple(z.peaks.at(0).apex.x, z.peaks.at(0).apex.y, z.peaks.at(0).baseY), std::tuple(900.0, 20.0, 100.0));
    EXPECT_EQ(panBy(z, 0, 10), (LaneWindow{120, 150, 150, 650}));

    // Reset: every size and height seen, the marker lines too, with margins.
    const LaneWindow full = fullWindow(lanes, {140.0, std::nullopt, std::nullopt, 600.0});
    EXPECT_EQ(full, (LaneWindow{100.2 - 0.02 * (600 - 100.2), 600 + 0.02 * (600 - 100.2), -200, 2000 + 0.05 * (2000.0 + 200)}));
    EXPECT_EQ(fullWindow({{1, "", {{150, 0, 0}}, {}, {}, {}}}, {}), (LaneWindow{145, 155, 0, 100}));
    EXPECT_EQ(fullWindow({{1, "", {{150, 100, 0}, {1e300, 5000, 0}}, {}, {}, {}}}, {}), (LaneWindow{145, 155, 0, 105}));  // unseen: its height too
    EXPECT_EQ(fullWindow({}, {}), LaneWindow{});
}

// Cut to the pixel columns, a trace keeps in every column the lowest and
// highest point of all its scans there, at most two points a column, and
// breaks where scans have no size; where it leaves the window it ends at
// the edge, at the height the line has there.
TEST(LaneGeometryTest, TraceKeepsEveryColumnsExtremes) {
    std::mt19937 random(7);
    auto signal = std::make_shared<SizedSignal>();
    for (int i = 0; i < 8000; ++i) {
        const bool gap = i >= 3000 && i < 3010;
        signal->size.push_back(gap ? std::numeric_limits<float>::quiet_NaN() : 90.0f + static_cast<float>(i) * 0.015f);
        signal->rfu.push_back(static_cast<float>(std::uniform_int_distribution<int>(0, 1000)(random)));
    }
    const std::vector<LaneData> lanes = {{1, "", {{150, 400, 1}}, signal, {}, {}}};
    const LaneFrame f = layLanes(lanes, laneView(LaneMode::Overlaid));
    ASSERT_EQ(f.traces.size(), 1u);
    EXPECT_FALSE(f.peaks.at(0).outlined);
    const auto& lines = f.traces[0].polylines;
    ASSERT_EQ(lines.size(), 2u);  // broken by the scans without a size
    // Scan 667 (100.005 bp) is the first inside; the line starts at 100 bp
    // between it and scan 666.
    const double t = (100.0 - signal->size[666]) / (signal->size[667] - signal->size[666]);
    EXPECT_DOUBLE_EQ(lines[0].front().x, 100.0);
    EXPECT_NEAR(lines[0].front().y, f.y(signal->rfu[666] + t * (signal->rfu[667] - signal->rfu[666]), f.plot), 1e-3);
    EXPECT_DOUBLE_EQ(lines[1].back().x, 900.0);

    // A line that leaves the window at the second scan ends at the edge.
    const std::vector<LaneData> early = {{1, "", {}, std::make_shared<SizedSignal>(SizedSignal{{150, 250}, {1000, 0}}), {}, {}}};
    const LaneFrame e = layLanes(early, laneView(LaneMode::Overlaid));
    ASSERT_EQ(e.traces.at(0).polylines.size(), 1u);
    const std::vector<PixelPoint>& exit = e.traces[0].polylines[0];
    ASSERT_EQ(exit.size(), 2u);
    EXPECT_EQ(std::tuple(exit[0].x, exit[0].y, exit[1].x, exit[1].y), std::tuple(500.0, 0.0, 900.0, 150.0));
    // A line that comes into the window at the last scan starts at the edge.
    const std::vector<LaneData> late = {{1, "", {}, std::make_shared<SizedSignal>(SizedSignal{{250, 300, 150}, {0, 500, 1000}}), {}, {}}};
    const LaneFrame g = layLanes(late, laneView(LaneMode::Overlaid));
    ASSERT_EQ(g.traces.at(0).polylines.size(), 1u);
    const std::vector<PixelPoint>& entry = g.traces[0].polylines[0];
    ASSERT_EQ(entry.size(), 2u);
    EXPECT_EQ(std::tuple(entry[0].x, entry[0].y, entry[1].x, entry[1].y), std::tuple(900.0, 50.0, 500.0, 0.0));  // 833 RFU where 200 bp lies

    std::map<int64_t, std::pair<double, double>> all, kept;  // per column: lowest and highest y
    auto note = [&f](std::map<int64_t, std::pair<double, double>>& m, PixelPoint p) {
        const int64_t c = std::min<int64_t>(static_cast<int64_t>(p.x - f.plot.left), 799);
        auto [it, fresh] = m.try_emplace(c, p.y, p.y);
        it->second = {std::min(it->second.first, p.y), std::max(it->second.second, p.y)};
    };
    for (size_t i = 0; i < signal->size.size(); ++i)
        if (signal->size[i] >= 100.0f && signal->size[i] <= 200.0f) note(all, {f.x(signal->size[i]), f.y(signal->rfu[i], f.plot)});
    size_t points = 0;
    for (const auto& line : lines)
        for (size_t k = 0; k < line.size(); ++k, ++points)
            if (line[k].x > 100.0 && line[k].x < 900.0) note(kept, line[k]);
    EXPECT_EQ(kept, all);
    EXPECT_LE(points, 2 * all.size() + 2);
    EXPECT_GT(points, all.size());
}

// Hostile lanes lay out: every coordinate finite and inside the plot's
// band, thin bands labelled one in so many, and nothing at all in a view
// too small to hold a plot.
TEST(LaneGeometryTest, HostileLanesLayOutSensibly) {
    constexpr double inf = std::numeric_limits<double>::infinity();
    const std::vector<LaneData> hostile = {
        {1, "empty", {}, {}, {}, {}},
        {2, "one", {{150, 100, 1}}, {}, {}, {}},
        {3, "tall", {{140, 0, 1}, {160, std::numeric_limits<int32_t>::max(), 1}, {170, std::numeric_limits<int32_t>::min(), 1}}, {}, {}, {}},
        {4, "sizes", {{-50, 10, 1}, {1e300, 10, 1}, {-1e300, 10, 1}, {inf, 10, 1}, {2e6, 10, 1}}, {}, {}, {}},
        {5, "signal", {}, std::make_shared<SizedSignal>(SizedSignal{{1.0f, NAN, 3e38f, 150.0f}, {5.0f, 6.0f, 7.0f}}), {}, {}}};
    const LaneWindow full = fullWindow(hostile, {});
    EXPECT_EQ(full, (LaneWindow{-50 - 5, 170 + 5, static_cast<double>(kMin), kMax + 0.05 * (double{kMax} - kMin)}));
    std::vector<LaneData> thousand(1000, hostile[2]);
    for (const auto& [lanes, window] : {std::pair{hostile, full}, {hostile, LaneWindow{inf, -inf, NAN, 5}},
                                        {hostile, LaneWindow{3, 3, 7, 7}}, {hostile, LaneWindow{2e6, 2e6, 7, 7}},
                                        {thousand, LaneWindow{100, 200, 0, 1000}}}) {
        for (const LaneMode mode : {LaneMode::Stacked, LaneMode::Overlaid}) {
            const LaneFrame f = layLanes(lanes, laneView(mode, window));
            EXPECT_TRUE(f.window.sizeHigh - f.window.sizeLow >= kMinSizeSpan * (1 - 1e-9) && f.window.heightHigh - f.window.heightLow >= kMinHeightSpan);
            EXPECT_TRUE(std::abs(f.window.sizeLow) <= kSizeLimit && f.window.sizeHigh <= kSizeLimit && std::abs(f.window.heightHigh) <= kHeightLimit);
            for (const DrawnPeak& d : f.peaks) {
                const PixelRect& band = f.bands.at(d.lane).rect;
                EXPECT_TRUE(std::isfinite(d.apex.x) && d.apex.y >= band.top && d.apex.y <= band.bottom() && d.baseY >= band.top && d.baseY <= band.bottom());
            }
            for (const TraceLine& t : f.traces)
                for (const auto& line : t.polylines)
                    for (const PixelPoint& p : line) EXPECT_TRUE(f.plot.contains(p)) << p.x << "," << p.y;
            double lastLabel = -inf;
            for (const LaneBand& b : f.bands)
                if (b.labelled) {
                    EXPECT_GE(b.labelAt.y - lastLabel, LaneStyle{}.lineHeight);
                    lastLabel = b.labelAt.y;
                }
        }
    }
    EXPECT_EQ(layLanes(thousand, laneView(LaneMode::Stacked)).bands[14].labelled, false);
    EXPECT_EQ(layLanes(thousand, laneView(LaneMode::Stacked)).bands[47].labelled, true);  // 0.3 pixels a band: one in 47
    for (const auto& [width, height] : {std::pair{0, 0}, {100, 500}, {-5, 400}}) {
        LaneView v = laneView(LaneMode::Stacked);
        v.width = width;
        v.height = height;
        const LaneFrame f = layLanes(hostile, v);
        EXPECT_TRUE(f.bands.empty() && f.peaks.empty() && f.sizeTicks.empty() && !f.note.empty());
        EXPECT_FALSE(peakAt(f, hostile, {0, 0}));
        EXPECT_EQ(panBy(f, 10, 10), f.window);
    }
}

// 1, 2 or 5 times a power of ten, as many as fit, none for what is no range.
TEST(LaneGeometryTest, NiceTicks) {
    const struct { double low, high; int64_t most; std::vector<double> ticks; } cases[] = {
        {100, 200, 10, {100, 110, 120, 130, 140, 150, 160, 170, 180, 190, 200}}, {101, 199, 5, {120, 140, 160, 180}},
        {0, 1000, 3, {0, 500, 1000}}, {-3, 7, 2, {0, 5}}, {0.13, 0.31, 5, {0.15, 0.2, 0.25, 0.3}},
        {0, 2147483647, 1, {0}}, {-1e6, 1e6, 2, {-1e6, 0, 1e6}},
        {5, 5, 3, {}}, {6, 5, 3, {}}, {0, NAN, 3, {}}, {0, 1, 0, {}}};
    for (const auto& c : cases) {
        const std::vector<double> got = niceTicks(c.low, c.high, c.most);
        ASSERT_EQ(got.size(), c.ticks.size()) << c.low << ".." << c.high;
        for (size_t i = 0; i < got.size(); ++i) EXPECT_NEAR(got[i], c.ticks[i], 1e-12) << c.low << ".." << c.high;
    }
}

// The size-standard view: a row per lane; the standard's peaks in the
// matched fragments' scans, labelled by size or greyed; the fit's points
// and the residual bars from their zero; a failure or a lane of no trace
// said in place of the plots; what does not fit said.
TEST(StandardGeometryTest, RowsPeaksFitAndResiduals) {
    LaneData trace{1, "A01", {}, std::make_shared<SizedSignal>(), StandardFit{}, {}};
    StandardFit& fit = *trace.standard;
    fit.standard = "GS500LIZ";
    fit.worstRSquared = 0.9995;
    fit.peaks = {{1000, 35, true, 0.1, 800, true},  {1300, 50, true, -0.2, 900, true}, {1320, 75, true, 0.05, 850, true},
                 {2300, 100, true, 0.0, 1000, false}, {0, 139, false, 0.0, 0.0, true}};
    fit.stray = {{900, 5000}, {1500, 300}};
    fit.signal = std::make_shared<const std::vector<float>>(3000, 20.0f);
    auto sized = std::make_shared<SizedSignal>();
    for (int scan = 0; scan < 3000; ++scan) {
        sized->size.push_back(scan < 1000 ? NAN : 35.0f + (scan - 1000) * 0.05f);
        sized->rfu.push_back(0.0f);
    }
    trace.signal = sized;
    const LaneData failed{2, "", {}, nullptr,
                          StandardFit{"GS500LIZ", "the size standard GS500LIZ could not be matched: 3 of its 16.", {},
                                      std::nullopt, nullptr, {}},
                          {}};
    const LaneData table{3, "C03", {}, nullptr, std::nullopt, {}};

    const StandardFrame f = layStandards({trace, failed, table}, {1000, 900, {}});
    EXPECT_EQ(f.note, "");
    ASSERT_EQ(f.rows.size(), 3u);
    EXPECT_EQ(std::tuple(f.rows[1].rect.top, f.rows[2].rect.height), std::tuple(300.0, 300.0));
    const StandardRow& r = f.rows[0];
    EXPECT_EQ(std::tuple(r.title, r.failure),
              std::tuple(std::string("1 A01: GS500LIZ, 3 of 4 fragments matched (not found: 139 bp)"), std::string()));
    EXPECT_EQ(f.rows[1].title + "|" + f.rows[1].failure,
              "2: GS500LIZ, failed|The size standard GS500LIZ could not be matched: 3 of its 16. No sizes are given.");
    EXPECT_EQ(f.rows[2].failure, "Not read from a trace file: no size standard.");
    EXPECT_TRUE(f.rows[1].marks.empty() && f.rows[2].points.empty());

    // Below the title the signal takes 58% of the width, the fit 62% of the
    // rest of the height over its residuals; the scans' scale under the residuals.
    const auto box = [](const PixelRect& p) { return std::array<double, 4>{p.left, p.top, p.width, p.height}; };
    EXPECT_EQ(box(r.signal.plot), (std::array<double, 4>{64, 32, 512, 236}));
    EXPECT_EQ(box(r.fit.plot), (std::array<double, 4>{644, 32, 348, 141}));
    EXPECT_EQ(box(r.residuals.plot), (std::array<double, 4>{644, 191, 348, 77}));
    std::vector<std::string> ticks;
    for (const auto* axis : {&r.signal.xTicks, &r.fit.xTicks, &r.residuals.xTicks, &r.fit.yTicks, &r.residuals.yTicks})
        for (const AxisTick& t : *axis) ticks.push_back(t.text);
    EXPECT_EQ(ticks, (std::vector<std::string>{"1000", "1500", "2000", "", "", "", "1000", "1500", "2000", "40", "60", "80",
                                               "100", "-0.5", "0.0", "0.5"}));

    // Scans 1000..2300 and 52 more each side; 1300 RFU, 1.3 times the tallest fragment.
    const PixelRect& sp = r.signal.plot;
    const auto x = [&](double scan) { return sp.left + (scan - 948) / 1404 * sp.width; };
    std::vector<std::string> labels;
    for (const StandardMark& m : r.marks) labels.push_back(m.label + (m.matched ? "" : "grey"));
    EXPECT_EQ(labels, (std::vector<std::string>{"35", "50", "75", "100", "grey"}));  // the stray at 900 is outside
    EXPECT_NEAR(r.marks[1].apex.x, x(1300), 1e-9);
    EXPECT_NEAR(r.marks[1].apex.y, sp.bottom() - 900.0 / 1300 * sp.height, 1e-9);
    EXPECT_NEAR(r.marks[4].apex.x, x(1500), 1e-9);
    // 75 bp's label would overlap 50 bp's: a line higher; the next one not.
    const std::tuple<double, double, double> above{4.0, 18.0, 4.0};
    EXPECT_EQ(std::tuple(r.marks[1].apex.y - r.marks[1].labelAt.y, r.marks[2].apex.y - r.marks[2].labelAt.y,
                         r.marks[3].apex.y - r.marks[3].labelAt.y), above);
    EXPECT_FALSE(r.signalLines.empty());
    for (const auto& line : r.signalLines)
        for (const PixelPoint& p : line) EXPECT_TRUE(sp.contains(p));
    EXPECT_EQ(r.fit.title, "Size (bp) against scan, worst three-point R-squared 0.99950");
    EXPECT_EQ(r.residuals.title, "Residual (bp), largest -0.20 at 50 bp");

    // The fit: sizes 35..100 and 3.25 more each side; the curve rising.
    const PixelRect& fp = r.fit.plot;
    ASSERT_EQ(r.points.size(), 4u);
    EXPECT_NEAR(r.points[2].at.y, fp.bottom() - (75 - 31.75) / 71.5 * fp.height, 1e-9);
    EXPECT_NEAR(r.points[2].at.x, fp.left + (1320.0 - 948) / 1404 * fp.width, 1e-9);
    ASSERT_GT(r.curve.size(), 100u);
    for (size_t i = 1; i < r.curve.size(); ++i) EXPECT_TRUE(r.curve[i].x > r.curve[i - 1].x && r.curve[i].y <= r.curve[i - 1].y);
    // Residuals within +-0.5 bp: -0.2 hangs below the zero, the fragment left out has none.
    const double half = r.residuals.plot.height / 2;
    EXPECT_NEAR(r.zeroY, r.residuals.plot.top + half, 1e-9);
    EXPECT_EQ(r.points[1].barTop, r.zeroY);
    EXPECT_NEAR(r.points[1].barBottom, r.zeroY + 0.4 * half, 1e-9);
    EXPECT_NEAR(r.points[0].barTop, r.zeroY - 0.2 * half, 1e-9);
    EXPECT_TRUE(!r.points[3].used && r.points[3].barTop == r.zeroY && r.points[3].barBottom == r.zeroY);

    EXPECT_EQ(layStandards(std::vector<LaneData>(10, trace), {1000, 900, {}}).note, "5 more lanes are not shown: choose fewer.");
    for (const StandardView& small : {StandardView{1000, 100, {}}, StandardView{180, 900, {}}})
        EXPECT_EQ(layStandards({trace}, small).note, "The view is too small to draw the size standard.");
    LaneData numbered = failed;
    numbered.standard->failure = "3 of 16 found.";
    EXPECT_EQ(layStandards({numbered}, {1000, 900, {}}).rows.at(0).failure, "3 of 16 found. No sizes are given.");
    EXPECT_EQ(layStandards({table}, {1000, 900, {}}).note, "The size standard is shown for lanes read from trace files.");
}

}  // namespace
}  // namespace lociview
