// A scored run from a peak file through the table, a clean-up, both exports
// and a rescoring.
#include <gtest/gtest.h>

#include "scoring/ScoringHarness.h"

namespace lociview::scoringtest {
namespace {

TEST(ScoredRunTest, CleanUpReachesTableAndExports) {
    ScoringHarness h;
    h.load({{1, 98.2, 200}, {1, 100.2, 800}, {1, 104.0, 200}, {1, 106.0, 500}, {2, 97.8, 150}, {2, 99.8, 600},
            {3, 104.1, 100}, {3, 102.1, 1000}});
    h.score({"100", "106", "90", "120"});
    GeneController& g = h.controller;
    ASSERT_EQ(g.resultCounts(), (std::vector<int32_t>{2, 1}));
    h.tk.toggleTable.setState(1);
    g.toggleTable();
    EXPECT_EQ(g.tableView("alle100", 1), CellValue(600));

    h.tk.cuwlanefield.setText("2");
    h.tk.cuwallelefield.setText("100");
    g.cleanUpLaneAndOrAllele();
    EXPECT_EQ(g.tableView("alle100", 1), CellValue(std::string()));
    h.tk.geforun.setText("12.5");
    g.exportSPPCR2();
    EXPECT_EQ(h.tk.sppcrtext.text(), "7 1 2 100 106 \n100 106\n12.50 3 1 1 ");
    h.tk.accumgeforun.setText("12.5");
    g.addToAccumulator();
    g.exportAccumulatedSPPCRData();
    EXPECT_EQ(h.tk.sppcrtext.text(), "7 1 2 100 106 \n100 106\n12.50 3 1 1 \n");

    h.score({"100", "106", "90", "120"});
    EXPECT_EQ(g.resultCounts(), (std::vector<int32_t>{2, 1}));
    EXPECT_EQ(g.accumulator().records().size(), 2u);
}

}  // namespace
}  // namespace lociview::scoringtest
