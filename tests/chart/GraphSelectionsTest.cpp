#include <gtest/gtest.h>

#include <vector>

#include "support/ControllerHarness.h"
#include "chart/ChartGeometry.h"

namespace lociview {
namespace {

using Access = GeneControllerTestAccess;

struct StorePeak {
    double size;
    int32_t lane;
    int32_t score;
};

// Keys 0..8 in store order.
const StorePeak storePeaks[] = {
    {150.0, 1, SCORED},  {150.3, 1, MAYBE},     {150.5, 2, SCORED},  {149.8, 2, DISCARDED}, {152.0, 2, SCORED},
    {149.9, 3, SCORED},  {150.2, 3, UNMARKED},  {152.1, 1, MAYBE},   {151.4, 3, SCORED},
};

class GraphSelectionsTest : public ::testing::Test {
protected:
    ControllerHarness h;

    void SetUp() override {
        // Selections are checked against the lists, not against the table's row count.
        h.tk.tabl.setRowCount([] { return 100; });
        AlleleDB& db = Access::database(h.controller);
        for (const auto& p : storePeaks) db.addAlleleWithSize(p.size, 100, 10, p.lane);
        for (size_t i = 0; i < std::size(storePeaks); ++i) db.workingList()[i]->changeScore(storePeaks[i].score);
        Access::isWorkingOnFile(h.controller) = 1;
        Access::setAlleles(h.controller, {150, 152});
        Access::tbllane(h.controller) = {1, 2, 3};
        h.tk.lowrange.setText("140.9");
        h.tk.highrange.setText("160");
        h.takeTrace();
    }

    std::vector<int32_t> chartKeys() const {
        std::vector<int32_t> keys;
        for (const auto& a : h.tk.chart.peaks()) keys.push_back(a->getKey());
        return keys;
    }
};

TEST_F(GraphSelectionsTest, ByAlleleAddsCountedPeaksWithinTolerance) {
    struct Case {
        const char* name;
        int32_t locustype;
        int maybes;
        std::vector<long long> rows;
        std::vector<int32_t> keys;
    };
    const Case cases[] = {
        {"di, maybes off", 2, 0, {0}, {0, 5}},
        {"di, maybes on", 2, 1, {0}, {0, 1, 5}},
        {"before scoring takes the di tolerance", 0, 1, {0}, {0, 1, 5}},
        {"mono tolerance is a quarter", 1, 1, {0}, {0, 5}},
        {"tri", 3, 0, {0}, {0, 5}},
        {"two rows in selection order", 2, 1, {0, 1}, {0, 1, 5, 4, 7}},
        {"second row only", 5, 0, {1}, {4}},
        {"rows past the list add nothing", 2, 0, {1, 2, 7}, {4}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Access::locustype(h.controller) = c.locustype;
        h.tk.Maybes.setState(c.maybes);
        h.tk.tabl.select(c.rows);
        h.controller.graphSelections();
        EXPECT_EQ(chartKeys(), c.keys);
        EXPECT_EQ(h.tk.chart.getLocusType(), c.locustype);
    }
}

TEST_F(GraphSelectionsTest, ByLaneAddsEveryPeakOfTheLane) {
    h.tk.toggleTable.setState(1);
    h.tk.tabl.select({1, 2, 5});
    h.controller.graphSelections();
    EXPECT_EQ(chartKeys(), (std::vector<int32_t>{2, 3, 4, 5, 6, 8}));

    // The discarded and unmarked peaks are on the chart, drawn grey.
    const ChartFrame f = ChartGeometry::frame(h.tk.chart);
    ASSERT_EQ(f.curves.size(), 6u);
    EXPECT_EQ(f.curves[1].key, 3);
    EXPECT_EQ(f.curves[1].colour, CurveColour::Grey);
    EXPECT_EQ(f.curves[4].colour, CurveColour::Grey);
    EXPECT_EQ(f.curves[0].colour, CurveColour::Black);
}

TEST_F(GraphSelectionsTest, RangeComesFromTheFieldsAndRefillReplaces) {
    h.tk.tabl.select({0});
    h.controller.graphSelections();
    h.controller.graphSelections();
    EXPECT_EQ(chartKeys(), (std::vector<int32_t>{0, 5}));  // cleared before each fill
    EXPECT_EQ(h.tk.chart.getLow(), 140);
    EXPECT_EQ(h.tk.chart.getHigh(), 160);

    h.tk.lowrange.setText("200");
    h.controller.graphSelections();
    EXPECT_EQ(h.tk.chart.getLow(), 140);  // refused range: the chart keeps its own
    EXPECT_NE(h.takeTrace().find("log: Chartview -> SetRange: Low is less than high\n"), std::string::npos);
}

TEST_F(GraphSelectionsTest, WithoutAFileOnlyLogs) {
    h.tk.tabl.select({0});
    h.controller.graphSelections();
    h.takeTrace();
    Access::isWorkingOnFile(h.controller) = 0;
    Access::setAlleles(h.controller, {152});
    h.controller.graphSelections();
    EXPECT_EQ(h.takeTrace(), "log: not working on a file, not graphing data doodads\n");
    EXPECT_EQ(chartKeys(), (std::vector<int32_t>{0, 5}));
}

}  // namespace
}  // namespace lociview
