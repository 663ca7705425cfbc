#include <gtest/gtest.h>

#include "support/ControllerHarness.h"

namespace lociview {
namespace {

using Access = GeneControllerTestAccess;

struct Scored {
    std::vector<int32_t> sizes, counts;
    int32_t lanes;
    const char *p1, *p2, *ge;
};

void load(ControllerHarness& h, const Scored& s, bool alternate = false) {
    Access::setAlleles(h.controller, s.sizes, s.counts);
    Access::numlanes(h.controller) = s.lanes;
    h.tk.progenitor1.setText(s.p1);
    h.tk.progenitor2.setText(s.p2);
    h.tk.geforun.setText(s.ge);
    h.tk.accumgeforun.setText(s.ge);
    if (alternate) h.tk.dialogs.queueAnswer(true);
}

TEST(SppcrExportTest, SingleRunText) {
    const struct { Scored data; bool anyway; const char* text; } cases[] = {
        {{{147, 150, 156}, {2, 5, 4}, 8, "150", "153", "12.5"}, false, "7 1 4 147 150 153 156 \n150 153\n12.50 8 2 5 0 4 "},
        {{{147, 153}, {3, 1}, 6, "150", "156", "10"}, true, "7 1 4 147 150 153 156 \n150 156\n10.00 6 3 0 1 0 "},
        {{{150, 156}, {5, 4}, 3, "150", "156.9", "0.1"}, false, "7 1 2 150 156 \n150 156\n0.10 3 5 4 "},
        {{{147, 150}, {1, 2}, 2, "150", "160", ""}, false, "7 1 3 147 150 160 \n150 160\n0.00 2 1 2 0 "},
        {{{147, 160}, {1, -1}, 2, "150", "153", "x"}, true, "7 1 4 147 150 153 160 \n150 153\n0.00 2 1 0 0 -1 "},
        {{{147, 150, 156}, {2, 5, 4}, 8, "150", "150", "1e400"}, false, "7 1 4 147 150 150 156 \n150 150\ninf 8 2 5 0 4 "},
    };
    for (const auto& c : cases) {
        ControllerHarness h;
        load(h, c.data, c.anyway);
        h.controller.exportSPPCR2();
        EXPECT_EQ(h.tk.sppcrtext.text(), c.text);
        EXPECT_EQ(h.tk.geforun.text(), "0");
        EXPECT_TRUE(h.tk.sppcrwindow.isVisible());
    }
}

TEST(SppcrExportTest, RefusalsLeaveEverythingAsItWas) {
    ControllerHarness h;
    h.controller.exportSPPCRData();
    h.controller.preAddToAccumulator();
    h.controller.cleanUpWindow();
    load(h, {{147, 153}, {3, 1}, 6, "150", "156", "10"});
    h.controller.exportSPPCR2();  // double loss, aborted
    h.controller.addToAccumulator();
    const auto& shown = h.tk.dialogs.shown;
    ASSERT_EQ(shown.size(), 5u);
    EXPECT_EQ(shown[0].message + shown[1].defaultButton + shown[2].defaultButton,
              "You have not scored this data set yet.Abort ExportAbort Cleaning");
    EXPECT_EQ(shown[4].message, "You have double Progenitor loss and SPPCR cannot handle that.");
    EXPECT_EQ(h.tk.geforun.text() + h.tk.sppcrtext.text(), "10");
    EXPECT_FALSE(h.tk.sppcrwindow.isVisible() || h.tk.gewindow.isVisible() || h.tk.accwindow.isVisible());
    EXPECT_EQ(h.controller.accumulator().getP1(), -1);  // not latched by an aborted add
}

TEST(AccumulateTest, LatchesPairRefusesAnotherAndResets) {
    ControllerHarness h;
    load(h, {{147, 150, 156}, {2, 5, 4}, 8, "150", "156", "12.5"});
    h.controller.addToAccumulator();
    const accumdb& acc = h.controller.accumulator();
    ASSERT_EQ(acc.records().size(), 11u);
    EXPECT_EQ(acc.records()[1].getSize() + acc.records()[2].getSize(), 147 + 150);
    for (const accumallele& r : acc.records()) EXPECT_TRUE(r.getRun() == 0 && r.getGE() == 12.5 && r.getReps() == 8);
    EXPECT_EQ(acc.currentRun(), 1);

    h.tk.progenitor2.setText("157");
    h.controller.addToAccumulator();
    ASSERT_EQ(h.tk.dialogs.shown.size(), 1u);
    EXPECT_EQ(h.tk.dialogs.shown[0].defaultButton, "Sorry");
    EXPECT_EQ(acc.records().size(), 11u);
    EXPECT_EQ(acc.currentRun(), 1);

    h.controller.resetAccumulator();
    h.controller.exportAccumulatedSPPCRData();
    EXPECT_EQ(h.tk.sppcrtext.text(), "7 0 0 \n-1 -1\n");
    h.controller.addToAccumulator();
    EXPECT_EQ(acc.getP2(), 157);
}

TEST(AccumulateTest, ProgenitorLossAndZeroCounts) {
    const struct { std::vector<int32_t> sizes; bool anyway; size_t alerts; int32_t run; } cases[] = {
        {{147, 153}, false, 1, 0}, {{147, 153}, true, 1, 1}, {{150}, false, 0, 1}, {{}, true, 1, 1}};
    for (const auto& c : cases) {
        ControllerHarness h;
        load(h, {c.sizes, std::vector<int32_t>(c.sizes.size(), 0), 4, "150", "156", ""}, c.anyway);
        h.controller.addToAccumulator();
        EXPECT_EQ(h.tk.dialogs.shown.size(), c.alerts);
        EXPECT_EQ(h.controller.accumulator().currentRun(), c.run);
        EXPECT_TRUE(h.controller.accumulator().records().empty());
    }
    ControllerHarness h;  // a size whose count is 0 adds no record; empty GE reads 0
    load(h, {{147, 150, 156}, {1, 2}, 3, "150", "150", ""});
    h.controller.addToAccumulator();
    EXPECT_EQ(h.controller.accumulator().getAlleleSizes(), (std::vector<int32_t>{147, 150}));
    EXPECT_EQ(h.controller.accumulator().records()[0].getGE(), 0.0);
}

}  // namespace
}  // namespace lociview
