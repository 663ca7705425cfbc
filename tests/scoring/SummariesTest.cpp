// The end of a di-nucleotide run: scoring log, result lists by allele and by
// lane, lane counters; and the counters of the other locus types.
#include <gtest/gtest.h>

#include <ostream>

#include "scoring/ScoringHarness.h"

namespace lociview::scoringtest {
namespace {

// Lane 1 scores 100.2 (800) and 106.0 (500); lane 2 scores 99.8 (600);
// lane 3 has a MAYBE at 104.1 (100) beside a discarded 102.1.
const std::vector<Peak> kThreeLanes = {{1, 98.2, 200}, {1, 100.2, 800}, {1, 104.0, 200}, {1, 106.0, 500},
                                       {2, 97.8, 150}, {2, 99.8, 600},  {3, 104.1, 100}, {3, 102.1, 1000}};
// The weighted height of the whole working list.
constexpr double kW = (4e4 + 64e4 + 4e4 + 25e4 + 2.25e4 + 36e4 + 1e4 + 1e6) / 3550.0;
const Params kDi{"100", "106", "90", "120"};

struct MaybesCase {
    int maybes;
    std::vector<int32_t> alleles, counts;
    std::vector<double> weights;
    std::string counters;  // empty ones twos
};
void PrintTo(const MaybesCase& c, std::ostream* os) { *os << "Maybes " << c.maybes; }

class ByAllele : public ::testing::TestWithParam<MaybesCase> {};

TEST_P(ByAllele, ListsLogsAndCountersFollowTheMaybesSwitch) {
    ScoringHarness h;
    h.load(kThreeLanes);
    h.tk.Maybes.setState(GetParam().maybes);
    const auto trace = h.score(kDi);
    const auto& c = h.controller;
    EXPECT_EQ(alleleSizes(c.result().alleles), GetParam().alleles);
    EXPECT_EQ(alleleCounts(c.result().alleles), GetParam().counts);
    EXPECT_EQ(alleleWeights(c.result().alleles), GetParam().weights);
    EXPECT_EQ(c.result().tbllane, (std::vector<int32_t>{1, 2, 3}));
    EXPECT_EQ(h.tk.numemptylanes.text() + " " + h.tk.numones.text() + " " + h.tk.numtwos.text(), GetParam().counters);
    EXPECT_EQ(h.tk.datatext.text(), "marked allele 104.10 with height 100 in lane 3 as MAYBE\n");
    EXPECT_EQ(tagged(trace, "stdout"), (std::vector<std::string>{"100.20\t106.00\t", "99.80\t"}));
    EXPECT_EQ(trace.back(), "reload: tabl");

    auto logs = tagged(trace, "log");
    logs.erase(logs.begin(), std::find(logs.begin(), logs.end(), "***** Scorings *****"));
    std::vector<std::string> expected = {"***** Scorings *****", "State of Maybe = " + std::to_string(GetParam().maybes),
                                         "***** By Allele *****"};
    for (size_t i = 0; i < GetParam().alleles.size(); ++i) {
        expected.push_back(format("weighted height of all alleles %lf and mean of alleles = %lf", kW,
                                  GetParam().weights[i] * kW));
        expected.push_back(format("Allele %d has %d scored", GetParam().alleles[i], GetParam().counts[i]));
    }
    for (const char* line : {"***** By Lane *****", "Lane 1 had 2 alleles scored", "Lane 2 had 1 alleles scored"})
        expected.emplace_back(line);
    EXPECT_EQ(logs, expected);
}

INSTANTIATE_TEST_SUITE_P(Maybes, ByAllele,
                         ::testing::Values(MaybesCase{0, {100, 106}, {2, 1}, {700 / kW, 500 / kW}, "1 1 1"},
                                           MaybesCase{1, {100, 104, 106}, {2, 1, 1}, {700 / kW, 100 / kW, 500 / kW},
                                                      "0 2 1"}));

struct EdgeCase {
    const char* name;
    Params params;
    std::vector<Peak> peaks;
    std::vector<int32_t> alleles, counts;
    std::vector<double> weights;
    std::vector<int32_t> lanes;
    std::string counters, logLine;
};
void PrintTo(const EdgeCase& c, std::ostream* os) { *os << c.name; }

class ResultEdges : public ::testing::TestWithParam<EdgeCase> {};

TEST_P(ResultEdges, ListsStayParallel) {
    ScoringHarness h;
    h.load(GetParam().peaks);
    const auto trace = h.score(GetParam().params);
    EXPECT_EQ(alleleSizes(h.controller.result().alleles), GetParam().alleles);
    EXPECT_EQ(alleleCounts(h.controller.result().alleles), GetParam().counts);
    EXPECT_EQ(alleleWeights(h.controller.result().alleles), GetParam().weights);
    EXPECT_EQ(h.controller.result().tbllane, GetParam().lanes);
    EXPECT_EQ(h.tk.numemptylanes.text() + " " + h.tk.numones.text() + " " + h.tk.numtwos.text(), GetParam().counters);
    if (!GetParam().logLine.empty()) {
        EXPECT_EQ(countOf(trace, GetParam().logLine), 1);
    }
}

constexpr double kW3 = 2202500.0 / 2850;  // heights 100, 900, 100, 800, 100, 850
const Params kTri{"100", "106", "90", "120", "1.5", 2};

INSTANTIATE_TEST_SUITE_P(
    Runs, ResultEdges,
    ::testing::Values(
        // 100.5 rounds to 101, which it is not within 0.5 of.
        EdgeCase{"HalfBaseBelowAllele", kDi, {{1, 98.5, 200}, {1, 100.5, 1000}}, {101}, {0}, {0.0}, {1}, "0 1 0",
                 "log: ***** By Lane *****"},
        EdgeCase{"EveryHeightZero", kDi, {{1, 100, 0}, {1, 102, 0}}, {102}, {1}, {0.0}, {1}, "0 1 0",
                 "log: denominator = 0 in getWeightedHeightOfAllAlleles"},
        EdgeCase{"ThreeScoredCountAsTwoOrMore", kDi,
                 {{1, 96, 100}, {1, 98, 900}, {1, 114, 100}, {1, 116, 800}, {1, 106, 100}, {1, 108, 850}},
                 {98, 108, 116}, {1, 1, 1}, {900 / kW3, 850 / kW3, 800 / kW3},
                 {1}, "0 0 1", ""},
        EdgeCase{"LaneEmptiedByRangeIsListedAndEmpty", kDi, {{1, 98, 100}, {1, 100, 900}, {2, 50, 900}}, {100}, {1},
                 {900 / (820000.0 / 1000)}, {1, 2}, "1 1 0", "log: lane 2 is an empty lane"},
        EdgeCase{"TriScoresNothing", kTri, kThreeLanes, {}, {}, {}, {}, "3 0 0", ""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Progress, OneStepPerLaneAlsoForEmptyLanes) {
    ScoringHarness h;
    h.load({{1, 98, 100}, {1, 100, 900}, {2, 50, 900}});
    EXPECT_EQ(tagged(h.score(kDi), "progress"), (std::vector<std::string>{"1/2", "2/2"}));
    EXPECT_TRUE(tagged(h.score(kTri), "progress").empty());
    EXPECT_EQ(h.tk.datatext.text(), "");
}

TEST(ScoringLogView, MarkedMessageLines) {
    ScoringHarness h;
    h.controller.markedMessageToViewedLog(101.5, 230, 7, MAYBE);
    h.controller.markedMessageToViewedLog(99.996, 1, 12, 4);
    EXPECT_EQ(h.tk.datatext.text(),
              "marked allele 101.50 with height 230 in lane 7 as MAYBE\n"
              "marked allele 100.00 with height 1 in lane 12 as UNKNOWN VALUE PASSED TO stringScore(int x)\n");
}

}  // namespace
}  // namespace lociview::scoringtest
