#include <gtest/gtest.h>

#include <limits>

#include "support/ControllerHarness.h"

namespace lociview {
namespace {

using Access = GeneControllerTestAccess;
using G = GeneController;

TEST(CleanUpTest, DiscardsAndLowersCounts) {
    // Sizes, heights, lanes and scores of a di run counting 150 three times and 152 once.
    const struct { double size; int32_t height, lane, score; } peaks[] = {
        {150.0, 99, 1, SCORED}, {150.4, 100, 3, SCORED}, {149.6, 501, 3, SCORED}, {150.5, 500, 3, SCORED},
        {152.0, 50, 3, MAYBE},  {120.0, 300, 3, SCORED}, {150.2, 900, 3, DISCARDED}};
    const struct {
        Outcome (G::*action)();
        const char *less, *greater, *lane, *allele;
        bool maybes;
        std::vector<int32_t> scores, counts;
    } cases[] = {
        {&G::cleanUpLessThan, "100", "", "", "", false, {3, 1, 1, 1, 2, 1, 3}, {2, 1}},
        {&G::cleanUpLessThan, "100", "", "", "", true, {3, 1, 1, 1, 3, 1, 3}, {2, 0}},
        {&G::cleanUpGreaterThan, "", "500", "", "", false, {1, 1, 3, 1, 2, 1, 3}, {2, 1}},
        {&G::cleanUpLessThan, "99999999999999", "", "", "", false, {3, 3, 3, 3, 2, 3, 3}, {0, 1}},
        {&G::cleanUpLaneAndOrAllele, "", "", "", "150", true, {3, 3, 3, 1, 2, 1, 3}, {0, 1}},
        {&G::cleanUpLaneAndOrAllele, "", "", "3", "", false, {1, 3, 3, 3, 2, 1, 3}, {1, 1}},
        {&G::cleanUpLaneAndOrAllele, "", "", " ", "", true, {1, 1, 1, 1, 2, 1, 3}, {3, 1}},
        // The tallest peak within tolerance, although already discarded.
        {&G::cleanUpLaneAndOrAllele, "", "", "3", "150", false, {1, 1, 1, 1, 2, 1, 3}, {2, 1}},
    };
    for (size_t i = 0; i < std::size(cases); ++i) {
        const auto& c = cases[i];
        ControllerHarness h;
        AlleleDB& db = Access::database(h.controller);
        for (const auto& p : peaks) {
            db.addAlleleWithSize(p.size, p.height, 0, p.lane);
            db.workingList().back()->changeScore(p.score);
        }
        Access::locustype(h.controller) = 2;
        Access::setAlleles(h.controller, {150, 152}, {3, 1});
        h.tk.cuwlessthanfield.setText(c.less);
        h.tk.cuwgreaterthanfield.setText(c.greater);
        h.tk.cuwlanefield.setText(c.lane);
        h.tk.cuwallelefield.setText(c.allele);
        h.tk.Maybes.setState(c.maybes);
        (h.controller.*c.action)();
        std::vector<int32_t> scores;
        for (const auto& a : db.workingList()) scores.push_back(a->getScore());
        EXPECT_EQ(scores, c.scores) << "case " << i;
        EXPECT_EQ(alleleCounts(h.controller.result().alleles), c.counts) << "case " << i;
        EXPECT_NE(h.takeTrace().find("reload: tabl"), std::string::npos) << "case " << i;
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
    EXPECT_NE(h.takeTrace().find("log: hatd = true, hltd = true\nlog: decrementing 1 at 0\n"), std::string::npos);
    Access::setAlleles(g, {150}, {std::numeric_limits<int32_t>::min()});
    g.clean(g.store().workingList(), {});
    EXPECT_EQ(alleleCounts(g.result().alleles)[0], std::numeric_limits<int32_t>::min());
}

TEST(CleanUpTest, NoCriterionAlertsWithoutReload) {
    ControllerHarness h;
    h.controller.cleanUpLaneAndOrAllele();
    ASSERT_EQ(h.tk.dialogs.shown.size(), 1u);
    EXPECT_EQ(h.tk.dialogs.shown[0].message + "/" + h.tk.dialogs.shown[0].defaultButton,
              "Nothing was deleted/Okie Dokie");
    EXPECT_EQ(h.takeTrace().find("reload"), std::string::npos);
}

}  // namespace
}  // namespace lociview
