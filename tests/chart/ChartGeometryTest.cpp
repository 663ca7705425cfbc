#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>

#include "chart/ChartGeometry.h"

namespace lociview {
namespace {

constexpr double sqrtTwoPi = 2.5066282746310002;

struct Peak {
    double size;
    int32_t height;
    int32_t score;
};

class ChartGeometryTest : public ::testing::Test {
protected:
    NullLog log;
    ChartModel chart{log};
    int32_t nextKey = 0;

    AllelePtr add(double size, int32_t height = 100, int32_t score = SCORED) {
        auto a = std::make_shared<Allele>(size, height, 10, 1);
        a->assignKey(nextKey++);
        a->changeScore(score);
        chart.addAllele(a);
        return a;
    }
    void addAll(std::initializer_list<Peak> peaks) {
        for (const auto& p : peaks) add(p.size, p.height, p.score);
    }
};

// Labels and pitch of an even range are pinned by the session-review golden trace.
TEST_F(ChartGeometryTest, CurvesSitAtTheirRoundedDistanceFromLow) {
    chart.setRange(150, 170);
    addAll({{152, 100, SCORED}, {152.6, 10, SCORED}, {152.4, 10, SCORED}});
    const ChartFrame f = ChartGeometry::frame(chart);
    const double p = 800.0 / 12 + 1;  // 11 labels, 150 to 170
    EXPECT_DOUBLE_EQ(f.curves[0].x0, 2 * p - 12);    // the middle of label 152's text
    EXPECT_DOUBLE_EQ(f.curves[1].x0, 2.5 * p - 12);  // 2.6 from low rounds to 3: between 152 and 154
    EXPECT_DOUBLE_EQ(f.curves[2].x0, 2 * p - 12);
}

TEST_F(ChartGeometryTest, OddPeaksRaiseLowAndKeepIt) {
    chart.setRange(150, 170);
    addAll({{151, 100, SCORED}, {153, 100, SCORED}, {160, 100, SCORED}});
    const ChartFrame f = ChartGeometry::frame(chart);
    EXPECT_EQ(chart.getLow(), 151);
    EXPECT_EQ(chart.getHigh(), 170);
    ASSERT_EQ(f.labels.size(), 10u);  // n = 19 / 2 = 9
    EXPECT_EQ(f.labels.front().text, "151");
    EXPECT_EQ(f.labels.back().text, "169");
    EXPECT_DOUBLE_EQ(f.pitch, 800.0 / 11 + 1);

    ChartGeometry::frame(chart);  // already on the odd parity: no second step
    EXPECT_EQ(chart.getLow(), 151);
}

TEST_F(ChartGeometryTest, ParityStep) {
    struct Case {
        const char* name;
        int32_t low;
        std::vector<double> sizes;
        int32_t expectedLow;
    };
    const Case cases[] = {
        {"tie goes to even", 151, {150, 151}, 152},
        {"even peaks, even low", 150, {150, 152}, 150},
        {"halves round away from zero", 150, {150.5, 152.5}, 151},  // 151 and 153
        {"negative odd low, even peaks", -3, {-2, 4}, -2},
        {"negative even low, odd peaks", -4, {-3, 5}, -3},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ChartModel model(log);
        model.setRange(c.low, c.low + 40);
        for (double s : c.sizes) model.addAllele(std::make_shared<Allele>(s, 10, 10, 1));
        ChartGeometry::frame(model);
        EXPECT_EQ(model.getLow(), c.expectedLow);
    }
}

TEST_F(ChartGeometryTest, AmplitudeRelativeToTallest) {
    chart.setRange(150, 170);
    addAll({{150, 900, SCORED}, {152, 450, SCORED}, {154, 300, SCORED}, {156, 600, SCORED}, {158, -90, SCORED}});
    const ChartFrame f = ChartGeometry::frame(chart);
    const int32_t expected[] = {1000, 500, 333, 666, -100};  // truncated, never rounded up
    for (size_t i = 0; i < f.curves.size(); ++i) EXPECT_EQ(f.curves[i].amplitude, expected[i]) << i;
}

TEST_F(ChartGeometryTest, CurveVerticesFollowWidthAndSpread) {
    struct Case {
        int32_t high;
        int64_t columns;
        double width, spread;
    };
    // Ranges from low 150: one column and ten columns.
    const Case cases[] = {{151, 1, 685.44, 200.29}, {168, 10, 75.30, 26.49}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.columns);
        ChartModel model(log);
        model.setRange(150, c.high);
        auto a = std::make_shared<Allele>(150, 200, 10, 1);
        a->changeScore(SCORED);
        model.addAllele(a);
        const ChartFrame f = ChartGeometry::frame(model);
        ASSERT_EQ(f.columns, c.columns);
        const ChartCurve& k = f.curves.at(0);
        EXPECT_NEAR(k.width, c.width, 0.01);
        EXPECT_NEAR(k.spread, c.spread, 0.01);
        EXPECT_EQ(k.vertices.size(), static_cast<size_t>(std::floor(2 * k.width)) + 1);
        // t = -W + i; x = t / 2; y = A/sqrt(2 pi) * e^(-(t/S)^2 / 2) + 50
        for (size_t i : {size_t{0}, k.vertices.size() / 3, k.vertices.size() - 1}) {
            const double t = -k.width + static_cast<double>(i);
            EXPECT_DOUBLE_EQ(k.vertices[i].x, t * 0.5);
            EXPECT_NEAR(k.vertices[i].y, 1000 / sqrtTwoPi * std::exp(-0.5 * (t / k.spread) * (t / k.spread)) + 50,
                        1e-9);
        }
        EXPECT_LE(k.vertices.back().x, k.width / 2);
    }
}

TEST_F(ChartGeometryTest, ColoursFollowScoreAndMaybeFlag) {
    struct Case {
        int32_t score;
        int8_t maybes;
        CurveColour colour;
    };
    const Case cases[] = {
        {SCORED, 0, CurveColour::Black},    {SCORED, 1, CurveColour::Black},
        {MAYBE, 0, CurveColour::Grey},      {MAYBE, 1, CurveColour::Black},
        {DISCARDED, 0, CurveColour::Grey},  {DISCARDED, 1, CurveColour::Grey},
        {UNMARKED, 1, CurveColour::Grey},
    };
    for (const auto& c : cases) {
        ChartModel model(log);
        model.setRange(150, 170);
        model.setMaybeCheck(c.maybes);
        auto a = std::make_shared<Allele>(150, 10, 10, 1);
        a->changeScore(c.score);
        model.addAllele(a);
        const ChartFrame f = ChartGeometry::frame(model);
        EXPECT_EQ(f.curves.at(0).colour, c.colour) << "score " << c.score << " maybes " << int{c.maybes};
        EXPECT_EQ(f.axis, c.colour);
    }
}

TEST_F(ChartGeometryTest, SharedRecordsRecolourWithoutRefill) {
    chart.setRange(150, 170);
    auto maybe = add(150, 100, MAYBE);
    auto scored = add(152, 100, SCORED);
    EXPECT_EQ(ChartGeometry::frame(chart).curves[0].colour, CurveColour::Grey);
    chart.setMaybeCheck(1);
    EXPECT_EQ(ChartGeometry::frame(chart).curves[0].colour, CurveColour::Black);
    scored->changeScore(DISCARDED);  // clean-up elsewhere: the axis follows the last curve
    const ChartFrame f = ChartGeometry::frame(chart);
    EXPECT_EQ(f.curves[1].colour, CurveColour::Grey);
    EXPECT_EQ(f.axis, CurveColour::Grey);
}

TEST_F(ChartGeometryTest, EmptyChartDrawsNothingAndKeepsLow) {
    chart.setRange(151, 170);
    const ChartFrame f = ChartGeometry::frame(chart);
    EXPECT_TRUE(f.empty());
    EXPECT_TRUE(f.labels.empty());
    EXPECT_FALSE(f.axis.has_value());
    EXPECT_EQ(chart.getLow(), 151);
}

TEST_F(ChartGeometryTest, AbsurdRangesStayBounded) {
    struct Case {
        const char* name;
        int32_t low, high;
        int64_t columns;
        const char* firstLabel;
    };
    const int32_t lo = std::numeric_limits<int32_t>::min();
    const int32_t hi = std::numeric_limits<int32_t>::max();
    const Case cases[] = {
        {"whole int32", lo, hi, 2147483648LL, "-2147483648"},
        {"top end", hi - 1, hi, 1, "2147483646"},
        {"bottom end", lo, lo + 3, 2, "-2147483648"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ChartModel model(log);
        model.setRange(c.low, c.high);
        model.addAllele(std::make_shared<Allele>(0, 10, 10, 1));  // even
        const ChartFrame f = ChartGeometry::frame(model);
        EXPECT_EQ(f.columns, c.columns);
        EXPECT_LE(static_cast<int64_t>(f.labels.size()), ChartGeometry::maxLabels);
        EXPECT_EQ(f.labels.front().text, c.firstLabel);
        EXPECT_GE(f.curves.at(0).vertices.size(), 1u);
        EXPECT_LE(f.curves.at(0).vertices.size(), 1371u);
        EXPECT_TRUE(std::isfinite(f.pitch));
    }
}

TEST_F(ChartGeometryTest, ParityChangesNeverOverflowOrBreakTheFrame) {
    const int32_t hi = std::numeric_limits<int32_t>::max();
    chart.setRange(hi - 1, hi);
    auto a = add(1, 100, SCORED);  // odd: low goes to the largest int32
    ChartGeometry::frame(chart);
    EXPECT_EQ(chart.getLow(), hi);
    a->changeSize(2);  // even: the step would pass the largest int32
    ChartGeometry::frame(chart);
    EXPECT_EQ(chart.getLow(), hi);

    // A list whose parity keeps changing walks low past high; the frame
    // then still has one column and a finite curve.
    ChartModel model(log);
    model.setRange(150, 151);
    auto b = std::make_shared<Allele>(151, 10, 10, 1);
    model.addAllele(b);
    for (int i = 0; i < 6; ++i) {
        b->changeSize(b->getSize() + 1);
        const ChartFrame f = ChartGeometry::frame(model);
        EXPECT_EQ(f.columns, 1);
        EXPECT_EQ(f.labels.size(), 1u);
        EXPECT_EQ(f.curves.at(0).vertices.size(), 1371u);
    }
    EXPECT_GT(model.getLow(), model.getHigh());
}

}  // namespace
}  // namespace lociview
