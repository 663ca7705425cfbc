// The scoring action's checks: their order, log lines and alerts, and that a
// refused run leaves the previous run's results as they were.
#include <gtest/gtest.h>

#include <ostream>

#include "scoring/ScoringHarness.h"

namespace lociview::scoringtest {
namespace {

// Two lanes with a clear allele each, inside 120..180. Each check's alert
// and the order of the checks are pinned by the score-checks golden trace;
// here a refusal must also keep the previous run.
const std::vector<Peak> kPeaks = {{1, 148, 300}, {1, 150, 2000}, {2, 158, 250}, {2, 160, 1800}};

struct CheckCase {
    const char* name;
    Params params;
    std::vector<std::string> trace;  // after the locus line
};
void PrintTo(const CheckCase& c, std::ostream* os) { *os << c.name; }

class ScoreDataChecks : public ::testing::TestWithParam<CheckCase> {};

TEST_P(ScoreDataChecks, StopWithTheirAlertAndKeepPreviousRun) {
    ScoringHarness h;
    h.load(kPeaks);
    h.score(Params{"150", "160"});
    const auto results = std::tuple(alleleSizes(h.controller.result().alleles), alleleCounts(h.controller.result().alleles),
                                    h.controller.result().tbllane, h.tk.numemptylanes.text(), h.tk.datatext.text());
    std::vector<int32_t> codes;
    for (const auto& a : h.controller.store().workingList()) codes.push_back(a->getScore());
    h.tk.dialogs.queueAnswer(true);  // answers the swap alert with "Abort Scoring"

    auto trace = h.score(GetParam().params);
    ASSERT_FALSE(trace.empty());
    EXPECT_EQ(trace.front(), GetParam().params.locusColumn == 1 ? "log: locus = di" : "log: locus = tri");
    EXPECT_EQ(std::vector<std::string>(trace.begin() + 1, trace.end()), GetParam().trace);
    EXPECT_EQ(std::tuple(alleleSizes(h.controller.result().alleles), alleleCounts(h.controller.result().alleles), h.controller.result().tbllane,
                         h.tk.numemptylanes.text(), h.tk.datatext.text()),
              results);
    for (size_t i = 0; i < codes.size(); ++i) EXPECT_EQ(h.controller.store().workingList()[i]->getScore(), codes[i]);
    EXPECT_EQ(h.tk.progenitor1.text(), GetParam().params.p1);
}

INSTANTIATE_TEST_SUITE_P(
    Checks, ScoreDataChecks,
    ::testing::Values(
        CheckCase{"StartUpValues", {"1.0", "2.0", "120.0", "180.0"},
                  {"log: 1 < 120", "alert: Progenitor 1 is smaller than your Low Range value. [Try Again] -> Try Again"}},
        CheckCase{"EmptyP1AndLowP2ReportP1", {"", "100"},
                  {"log: 0 < 120", "alert: Progenitor 1 is smaller than your Low Range value. [Try Again] -> Try Again"}},
        CheckCase{"RangeOfZero", {"120", "120", "120.2", "120.8"},
                  {"log: 120 , 120", "alert: You have a range of 0 [Abort Scoring] -> Abort Scoring"}},
        CheckCase{"SwapAborted", {"150", "140", "120", "180", "0.9", 2},
                  {"log: 150 > 140",
                   "alert: By convenience, Progenitor 2 needs to be equal to or larger than progenitor 1 "
                   "[Swap Progenitors] [Abort Scoring] -> Abort Scoring"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ScoreData, PassingParametersScore) {
    const std::vector<std::tuple<Params, int32_t, std::string, std::string>> cases = {
        {{"150.5", "140.7"}, 2, "140", "150"},                           // swapped as whole numbers
        {{"180.9", "180.9"}, 2, "180.9", "180.9"},                       // 180 is not above 180
        {{"150", "150", "120", "180", "0.9", 2}, 3, "150", "150"},       // stutter not tested for tri
        {{"150", "150", "120", "180", "1e400", 3}, 5, "150", "150"}};
    for (const auto& [params, locus, p1, p2] : cases) {
        ScoringHarness h;
        h.load(kPeaks);
        const auto trace = h.score(params);
        EXPECT_EQ(tagged(trace, "alert").size(), params.p1 == "150.5" ? 1u : 0u) << p1;
        EXPECT_EQ(h.controller.locusType(), locus);
        EXPECT_EQ(h.tk.progenitor1.text() + " " + h.tk.progenitor2.text(), p1 + " " + p2);
        EXPECT_EQ(trace.back(), "reload: tabl");
        EXPECT_EQ(h.controller.result().tbllane.size(), locus == 2 ? 2u : 0u);
    }
}

}  // namespace
}  // namespace lociview::scoringtest
