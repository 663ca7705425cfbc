#include <gtest/gtest.h>

#include "support/ControllerHarness.h"

namespace lociview {
namespace {

using Access = GeneControllerTestAccess;
using Ids = std::vector<std::string>;

struct ResultsTableTest : ::testing::Test {
    ControllerHarness h;
    GeneController& g = h.controller;

    void SetUp() override {
        const struct { double size; int32_t height, lane, score; } peaks[] = {
            {150.1, 400, 1, SCORED}, {152.0, 90, 1, MAYBE}, {154.0, 70, 1, DISCARDED},
            {149.8, 300, 2, SCORED}, {150.3, 310, 2, SCORED}, {154.2, 60, 2, UNMARKED}};
        for (const auto& p : peaks) {
            Access::database(g).addAlleleWithSize(p.size, p.height, 0, p.lane);
            Access::database(g).workingList().back()->changeScore(p.score);
        }
        Access::locustype(g) = 2;
        Access::setAlleles(g, {150, 152, 154}, {3, 1}, {0.5, 0.25, 0.125});
        Access::tbllane(g) = {1, 2};
    }
};

TEST_F(ResultsTableTest, TogglingRebuildsColumns) {
    h.takeTrace();
    h.tk.toggleTable.setState(1);
    g.toggleTable();
    EXPECT_EQ(h.takeTrace(),
              "log: table toggled to on, by lane\nlog: removing column as\nlog: removing column nump\n"
              "log: removing column perc\nreload: tabl\n");
    EXPECT_EQ(h.tk.tabl.columnTitles(), (Ids{"Lane number", "alle150", "alle152", "alle154"}));
    EXPECT_EQ(h.tk.tabl.columnIdentifiers(), (Ids{"lane", "alle150", "alle152", "alle154"}));
    EXPECT_EQ(h.tk.tabl.columnResizing(), ColumnResizing::None);
    EXPECT_EQ(g.numberOfRowsInTableView(), 2);

    h.tk.toggleTable.setState(0);
    g.toggleTable();
    EXPECT_EQ(h.tk.tabl.columnTitles(), (Ids{"Allele Size", "# of peaks at this size", "% of weighted height"}));
    EXPECT_EQ(h.tk.tabl.columnResizing(), ColumnResizing::Uniform);
    EXPECT_EQ(g.numberOfRowsInTableView(), 3);

    ControllerHarness fresh;  // nothing scored: no rows, only the lane column
    fresh.tk.toggleTable.setState(1);
    fresh.controller.toggleTable();
    EXPECT_EQ(fresh.tk.tabl.columnIdentifiers(), (Ids{"lane"}));
    EXPECT_EQ(fresh.controller.numberOfRowsInTableView(), 0);
}

TEST_F(ResultsTableTest, Cells) {
    const std::string none;
    const struct { const char* column; int32_t row; bool maybes; CellValue value; } cases[] = {
        {"as", 2, false, 154},         {"nump", 1, false, 1},       {"nump", 3, false, none},
        {"perc", 0, false, 0.5},       {"lane", 1, false, 2},       {"lane", 2, false, none},
        {"as", -1, false, none},       {"alle150", 0, false, 400},  {"alle150", 1, false, 310},
        {"alle152", 0, false, none},   {"alle152", 0, true, 90},    {"alle154", 0, true, none},
        {"alle154", 1, true, none},    {"alle156", 0, true, none},  {"alle150", 2, true, none},
        {"Lane number", 0, true, none}};
    for (const auto& c : cases) {
        h.tk.Maybes.setState(c.maybes);
        EXPECT_EQ(g.tableView(c.column, c.row), c.value) << c.column << " row " << c.row << " maybes " << c.maybes;
    }
}

}  // namespace
}  // namespace lociview
