// The end of a di-nucleotide run: scoring log, result lists by allele and
// by lane, the lane counters; and the counters of the other locus types.
#include <gtest/gtest.h>

#include <ostream>

#include "scoring/ScoringHarness.h"

namespace lociview::scoringtest {
namespace {

// Lane 1 scores 100.2 (800) and 106.0 (500); lane 2 scores 99.8 (600);
// lane 3 has a MAYBE at 104.1 (100) beside a discarded 102.1.
const std::vector<Peak> kThreeLanes = {{1, 98.2, 200},  {1, 100.2, 800}, {1, 104.0, 200}, {1, 106.0, 500},
                                       {2, 97.8, 150},  {2, 99.8, 600},  {3, 104.1, 100}, {3, 102.1, 1000}};
constexpr double kSquares = 200.0 * 200 + 800.0 * 800 + 200.0 * 200 + 500.0 * 500 + 150.0 * 150 + 600.0 * 600 +
                            100.0 * 100 + 1000.0 * 1000;
constexpr double kHeights = 200 + 800 + 200 + 500 + 150 + 600 + 100 + 1000;
constexpr double kWeighted = kSquares / kHeights;

Params di(std::string low = "90", std::string high = "120") {
    Params p;
    p.p1 = "100";
    p.p2 = "106";
    p.low = std::move(low);
    p.high = std::move(high);
    return p;
}

struct MaybesCase {
    const char* name;
    int maybes;
    std::vector<int32_t> alleles;
    std::vector<int32_t> counts;
    std::vector<double> weights;
    std::string empty, ones, twos;
};
void PrintTo(const MaybesCase& c, std::ostream* os) { *os << c.name; }

class ByAllele : public ::testing::TestWithParam<MaybesCase> {};

TEST_P(ByAllele, ListsAndCountersFollowTheMaybesSwitch) {
    ScoringHarness h;
    h.load(kThreeLanes);
    h.set(di());
    h.tk.Maybes.setState(GetParam().maybes);
    const auto trace = h.score();
    const auto& c = h.controller;
    EXPECT_EQ(c.resultAlleles(), GetParam().alleles);
    EXPECT_EQ(c.resultCounts(), GetParam().counts);
    ASSERT_EQ(c.resultWeights().size(), GetParam().weights.size());
    for (size_t i = 0; i < c.resultWeights().size(); ++i)
        EXPECT_NEAR(c.resultWeights()[i], GetParam().weights[i], 1e-12);
    EXPECT_EQ(c.resultLanes(), (std::vector<int32_t>{1, 2, 3}));
    EXPECT_EQ(h.tk.datatext.text(), "marked allele 104.10 with height 100 in lane 3 as MAYBE\n");
    EXPECT_EQ(h.tk.numemptylanes.text(), GetParam().empty);
    EXPECT_EQ(h.tk.numones.text(), GetParam().ones);
    EXPECT_EQ(h.tk.numtwos.text(), GetParam().twos);

    const auto logs = tagged(trace, "log");
    EXPECT_TRUE(has(logs, "State of Maybe = " + std::to_string(GetParam().maybes)));
    EXPECT_TRUE(has(logs, "Allele 100 has 2 scored"));
    EXPECT_TRUE(has(logs, "Lane 1 had 2 alleles scored"));
    EXPECT_TRUE(has(logs, "Lane 2 had 1 alleles scored"));
    EXPECT_EQ(tagged(trace, "stdout"), (std::vector<std::string>{"100.20\t106.00\t", "99.80\t"}));
    EXPECT_EQ(trace.back(), "reload: tabl");
}

INSTANTIATE_TEST_SUITE_P(
    Maybes, ByAllele,
    ::testing::Values(MaybesCase{"Off", 0, {100, 106}, {2, 1}, {700 / kWeighted, 500 / kWeighted}, "1", "1", "1"},
                      MaybesCase{"On", 1, {100, 104, 106}, {2, 1, 1},
                                 {700 / kWeighted, 100 / kWeighted, 500 / kWeighted}, "0", "2", "1"}),
    [](const ::testing::TestParamInfo<MaybesCase>& info) { return std::string(info.param.name); });

TEST(ByAllele, SummaryLinesInOrder) {
    ScoringHarness h;
    h.load(kThreeLanes);
    h.set(di());
    auto logs = tagged(h.score(), "log");
    const auto from = std::find(logs.begin(), logs.end(), "***** Scorings *****");
    ASSERT_NE(from, logs.end());
    const std::vector<std::string> expected = {
        "***** Scorings *****",
        "State of Maybe = 0",
        "***** By Allele *****",
        format("weighted height of all alleles %lf and mean of alleles = %lf", kWeighted, 700.0),
        "Allele 100 has 2 scored",
        format("weighted height of all alleles %lf and mean of alleles = %lf", kWeighted, 500.0),
        "Allele 106 has 1 scored",
        "***** By Lane *****",
        "Lane 1 had 2 alleles scored",
        "Lane 2 had 1 alleles scored",
    };
    EXPECT_EQ(std::vector<std::string>(from, logs.end()), expected);
}

TEST(ByAllele, HalfBaseBelowKeepsListsParallel) {
    ScoringHarness h;
    h.load({{1, 98.5, 200}, {1, 100.5, 1000}});
    h.set(di());
    const auto logs = tagged(h.score(), "log");
    EXPECT_EQ(h.controller.resultAlleles(), std::vector<int32_t>{101});
    EXPECT_EQ(h.controller.resultCounts(), std::vector<int32_t>{0});
    EXPECT_EQ(h.controller.resultWeights(), std::vector<double>{0.0});
    EXPECT_FALSE(has(logs, "Allele 101 has 0 scored"));
}

TEST(ByAllele, EveryHeightZeroGivesZeroWeight) {
    ScoringHarness h;
    h.load({{1, 100, 0}, {1, 102, 0}});
    h.set(di());
    const auto logs = tagged(h.score(), "log");
    EXPECT_EQ(h.controller.resultAlleles(), std::vector<int32_t>{102});
    EXPECT_EQ(h.controller.resultCounts(), std::vector<int32_t>{1});
    EXPECT_EQ(h.controller.resultWeights(), std::vector<double>{0.0});
    EXPECT_TRUE(has(logs, "denominator = 0 in getWeightedHeightOfAllAlleles"));
}

struct LaneCountCase {
    const char* name;
    int column;
    std::vector<Peak> peaks;
    std::string empty, ones, twos;
    std::vector<int32_t> lanes;
};
void PrintTo(const LaneCountCase& c, std::ostream* os) { *os << c.name; }

class LaneCounters : public ::testing::TestWithParam<LaneCountCase> {};

TEST_P(LaneCounters, CountLanesByPeaksInRange) {
    ScoringHarness h;
    h.load(GetParam().peaks);
    Params p = di();
    p.locusColumn = GetParam().column;
    h.set(p);
    const auto trace = h.score();
    EXPECT_EQ(h.tk.numemptylanes.text(), GetParam().empty);
    EXPECT_EQ(h.tk.numones.text(), GetParam().ones);
    EXPECT_EQ(h.tk.numtwos.text(), GetParam().twos);
    EXPECT_EQ(h.controller.resultLanes(), GetParam().lanes);
    EXPECT_EQ(h.controller.resultAlleles().size(), h.controller.resultCounts().size());
    EXPECT_EQ(h.controller.resultAlleles().size(), h.controller.resultWeights().size());
    if (GetParam().column != 1) {
        EXPECT_TRUE(h.controller.resultAlleles().empty());
        EXPECT_EQ(h.tk.datatext.text(), "");
        EXPECT_TRUE(tagged(trace, "progress").empty());
    }
}

INSTANTIATE_TEST_SUITE_P(
    Lanes, LaneCounters,
    ::testing::Values(
        LaneCountCase{"TriScoresNothing", 2, kThreeLanes, "3", "0", "0", {}},
        LaneCountCase{"MonoScoresNothing", 0, kThreeLanes, "3", "0", "0", {}},
        // Lane 1 keeps three scored alleles, 20 bp apart.
        LaneCountCase{"ThreeScoredIsTwoOrMore", 1,
                      {{1, 96, 100}, {1, 98, 900}, {1, 114, 100}, {1, 116, 800}, {1, 106, 100}, {1, 108, 850}},
                      "0", "0", "1", {1}},
        LaneCountCase{"LaneOutsideRangeIsEmpty", 1, {{1, 98, 100}, {1, 100, 900}, {2, 50, 900}}, "1", "1", "0",
                      {1, 2}}),
    [](const ::testing::TestParamInfo<LaneCountCase>& info) { return std::string(info.param.name); });

TEST(Progress, OneStepPerLaneAlsoForEmptyLanes) {
    ScoringHarness h;
    h.load({{1, 98, 100}, {1, 100, 900}, {2, 50, 900}});
    h.set(di());
    const auto trace = h.score();
    EXPECT_EQ(tagged(trace, "progress"), (std::vector<std::string>{"1/2", "2/2"}));
    EXPECT_TRUE(has(tagged(trace, "log"), "lane 2 is an empty lane"));
}

TEST(ScoringLogView, MarkedMessageLine) {
    ScoringHarness h;
    h.controller.markedMessageToViewedLog(101.5, 230, 7, MAYBE);
    h.controller.markedMessageToViewedLog(99.996, 1, 12, 4);
    EXPECT_EQ(h.tk.datatext.text(),
              "marked allele 101.50 with height 230 in lane 7 as MAYBE\n"
              "marked allele 100.00 with height 1 in lane 12 as UNKNOWN VALUE PASSED TO stringScore(int x)\n");
}

}  // namespace
}  // namespace lociview::scoringtest
