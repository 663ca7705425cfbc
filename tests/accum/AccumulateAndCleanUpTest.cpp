// What follows a scoring run: the SP-PCR export texts of one run and of the
// accumulated runs, clean-up by hand, and the results table's cells. Adding
// runs is pinned by the session-accumulate golden trace.
#include <gtest/gtest.h>

#include <limits>
#include <tuple>

#include "accum/accumdb.h"
#include "support/ControllerHarness.h"

namespace lociview {
namespace {

using Access = GeneControllerTestAccess;
using G = GeneController;

// The accumulated export pools runs by exact GE value, reps once per run;
// the sizes are every distinct one seen, sorted, whole; a size is counted
// only where a record lies exactly on it.
TEST(AccumdbTest, ExportPoolsRunsByGE) {
    using Runs = std::vector<std::tuple<double, int32_t, std::vector<std::pair<double, int>>>>;  // GE, reps, size x count
    const std::pair<Runs, const char*> cases[] = {
        {{{12.5, 8, {{147, 2}, {150, 5}, {156, 4}}}, {12.5, 6, {{150, 3}, {153, 1}, {156, 2}}}, {25, 4, {{150, 1}, {156, 1}}}},
         "7 2 4 147 150 153 156 \n150 156\n12.50 14 2 8 1 6 \n25.00 4 0 1 0 1 \n"},
        {{{25, 4, {{150, 1}}}, {10, 8, {{150, 3}}}, {10.001, 6, {{150, 1}}}, {10, 6, {{152, 1}}}, {9, 5, {}}},
         "7 3 2 150 152 \n150 156\n25.00 4 1 0 \n10.00 14 3 1 \n10.00 6 1 0 \n"},
        {{{1.0, 1, {{150.9, 1}, {-3.7, 1}, {150, 1}}}}, "7 1 2 -3 150 \n150 156\n1.00 1 0 1 \n"}};
    for (const auto& [runs, text] : cases) {
        NullLog log;
        accumdb db(log);
        EXPECT_TRUE(db.setP1(150, 156) && !db.setP1(150, 157));  // the pair latches until a reset
        for (const auto& [ge, reps, sizes] : runs) {
            for (const auto& [size, count] : sizes)
                for (int k = 0; k < count; ++k) db.addAccAlle(accumallele(size, db.currentRun(), ge, reps));
            db.incRuns();
        }
        EXPECT_EQ(db.exportText(), text);
        db.reset();
        EXPECT_EQ(db.exportText(), "7 0 0 \n-1 -1\n");
        EXPECT_TRUE(db.setP1(150, 157) && db.currentRun() == 0);
    }
}

// A lost progenitor gets a column of 0 before the first larger size, once
// the user exports all the same; fields read as whole numbers, GE as typed.
TEST(SppcrExportTest, SingleRunText) {
    const struct { std::vector<int32_t> sizes, counts; int32_t lanes; const char *p1, *p2, *ge; bool anyway; const char* text; } cases[] = {
        {{147, 150, 156}, {2, 5, 4}, 8, "150", "153", "12.5", false, "0|7 1 4 147 150 153 156 \n150 153\n12.50 8 2 5 0 4 "},
        {{147, 153}, {3, 1}, 6, "150", "156", "10", true, "0|7 1 4 147 150 153 156 \n150 156\n10.00 6 3 0 1 0 "},
        {{150, 156}, {5, 4}, 3, "150", "156.9", "0.1", false, "0|7 1 2 150 156 \n150 156\n0.10 3 5 4 "},
        {{147, 150}, {1, 2}, 2, "150", "160", "", false, "0|7 1 3 147 150 160 \n150 160\n0.00 2 1 2 0 "},
        {{147, 160}, {1, -1}, 2, "150", "153", "x", true, "0|7 1 4 147 150 153 160 \n150 153\n0.00 2 1 0 0 -1 "},
        {{147, 150, 156}, {2, 5, 4}, 8, "150", "150", "1e400", false, "0|7 1 4 147 150 150 156 \n150 150\ninf 8 2 5 0 4 "},
        {{147, 153}, {3, 1}, 6, "150", "156", "10", false, "10|"}};  // aborted: nothing changes
    for (const auto& c : cases) {
        ControllerHarness h;
        Access::setAlleles(h.controller, c.sizes, c.counts);
        Access::numlanes(h.controller) = c.lanes;
        for (auto [field, text] : {std::pair{&h.tk.progenitor1, c.p1}, {&h.tk.progenitor2, c.p2}, {&h.tk.geforun, c.ge}}) field->setText(text);
        if (c.anyway) h.tk.dialogs.queueAnswer(true);
        h.controller.exportSPPCR2();
        EXPECT_EQ(h.tk.geforun.text() + "|" + h.tk.sppcrtext.text(), c.text);  // the GE field empties on export
        EXPECT_EQ(h.tk.sppcrwindow.isVisible(), !h.tk.sppcrtext.text().empty());
    }
}

// A di run counting 150 three times and 152 once; clean-up throws peaks out
// by height, lane, allele or both, and lowers the counts they lay at.
TEST(CleanUpTest, DiscardsAndLowersCounts) {
    const std::tuple<double, int32_t, int32_t, int32_t> peaks[] = {
        {150.0, 99, 1, SCORED}, {150.4, 100, 3, SCORED}, {149.6, 501, 3, SCORED}, {150.5, 500, 3, SCORED},
        {152.0, 50, 3, MAYBE},  {120.0, 300, 3, SCORED}, {150.2, 900, 3, DISCARDED}};
    const struct { Outcome (G::*action)(); const char *less, *greater, *lane, *allele; bool maybes; std::vector<int32_t> scores, counts; } cases[] = {
        {&G::cleanUpLessThan, "100", "", "", "", false, {3, 1, 1, 1, 2, 1, 3}, {2, 1}},
        {&G::cleanUpLessThan, "100", "", "", "", true, {3, 1, 1, 1, 3, 1, 3}, {2, 0}},
        {&G::cleanUpGreaterThan, "", "500", "", "", false, {1, 1, 3, 1, 2, 1, 3}, {2, 1}},
        {&G::cleanUpLessThan, "99999999999999", "", "", "", false, {3, 3, 3, 3, 2, 3, 3}, {0, 1}},
        {&G::cleanUpLaneAndOrAllele, "", "", "", "150", true, {3, 3, 3, 1, 2, 1, 3}, {0, 1}},
        {&G::cleanUpLaneAndOrAllele, "", "", "3", "", false, {1, 3, 3, 3, 2, 1, 3}, {1, 1}},
        {&G::cleanUpLaneAndOrAllele, "", "", " ", "", true, {1, 1, 1, 1, 2, 1, 3}, {3, 1}},
        // The tallest peak within tolerance, although already discarded.
        {&G::cleanUpLaneAndOrAllele, "", "", "3", "150", false, {1, 1, 1, 1, 2, 1, 3}, {2, 1}}};
    for (const auto& c : cases) {
        ControllerHarness h;
        AlleleDB& db = Access::database(h.controller);
        for (const auto& [size, height, lane, score] : peaks) {
            db.addAlleleWithSize(size, height, 0, lane);
            db.workingList().back()->changeScore(score);
        }
        Access::locustype(h.controller) = 2;
        Access::setAlleles(h.controller, {150, 152}, {3, 1});
        for (auto [field, text] : {std::pair{&h.tk.cuwlessthanfield, c.less}, {&h.tk.cuwgreaterthanfield, c.greater},
                                   {&h.tk.cuwlanefield, c.lane}, {&h.tk.cuwallelefield, c.allele}})
            field->setText(text);
        h.tk.Maybes.setState(c.maybes);
        (h.controller.*c.action)();
        std::vector<int32_t> scores;
        for (const auto& a : db.workingList()) scores.push_back(a->getScore());
        EXPECT_EQ(scores, c.scores) << c.less << c.greater << c.lane << c.allele;
        EXPECT_EQ(alleleCounts(h.controller.result().alleles), c.counts) << c.less << c.greater << c.lane << c.allele;
        EXPECT_NE(h.takeTrace().find("reload: tabl"), std::string::npos);
    }
}

TEST(CleanUpTest, RepeatedPickGoesBelowZeroAndSaturates) {
    ControllerHarness h;
    G& g = h.controller;
    Access::database(g).addAlleleWithSize(150.1, 10, 0, 4);
    Access::setAlleles(g, {150, 151}, {1});
    h.tk.cuwlanefield.setText("4");
    h.tk.cuwallelefield.setText("150");
    g.cleanUpLaneAndOrAllele();
    g.cleanUpLaneAndOrAllele();
    EXPECT_EQ(alleleCounts(g.result().alleles), (std::vector<int32_t>{-1, 0}));
    Access::setAlleles(g, {150}, {std::numeric_limits<int32_t>::min()});
    g.clean(g.store().workingList(), {});
    EXPECT_EQ(alleleCounts(g.result().alleles)[0], std::numeric_limits<int32_t>::min());
}

// The table's cells in both modes; rows and columns past the lists are empty.
TEST(ResultsTableTest, Cells) {
    ControllerHarness h;
    GeneController& g = h.controller;
    for (const auto& [size, height, lane, score] : {std::tuple{150.1, 400, 1, SCORED}, {152.0, 90, 1, MAYBE}, {154.0, 70, 1, DISCARDED},
                                                    {149.8, 300, 2, SCORED}, {150.3, 310, 2, SCORED}, {154.2, 60, 2, UNMARKED}}) {
        Access::database(g).addAlleleWithSize(size, height, 0, lane);
        Access::database(g).workingList().back()->changeScore(score);
    }
    Access::locustype(g) = 2;
    Access::setAlleles(g, {150, 152, 154}, {3, 1}, {0.5, 0.25, 0.125});
    Access::tbllane(g) = {1, 2};
    const std::string none;
    const struct { const char* column; int32_t row; bool maybes; CellValue value; } cases[] = {
        {"as", 2, false, 154},       {"nump", 1, false, 1},      {"nump", 3, false, none},   {"perc", 0, false, 0.5},
        {"lane", 1, false, 2},       {"lane", 2, false, none},   {"as", -1, false, none},    {"alle150", 0, false, 400},
        {"alle150", 1, false, 310},  {"alle152", 0, false, none}, {"alle152", 0, true, 90},  {"alle154", 0, true, none},
        {"alle154", 1, true, none},  {"alle156", 0, true, none}, {"alle150", 2, true, none}, {"Lane number", 0, true, none}};
    for (const auto& c : cases) {
        h.tk.Maybes.setState(c.maybes);
        EXPECT_EQ(g.tableView(c.column, c.row), c.value) << c.column << " row " << c.row << " maybes " << c.maybes;
    }
}

}  // namespace
}  // namespace lociview
