// The preparation of a scoring run: allele-size count and list, ranges too
// large or too small to count, the size shift across runs, the range
// filter, merging of split peaks and removal of small peaks.
#include <gtest/gtest.h>

#include <cstdlib>
#include <ostream>

#include "scoring/ScoringHarness.h"

namespace lociview::scoringtest {
namespace {

const std::vector<Peak> kTwoPeaks = {{1, 150, 1000}, {1, 152, 900}};

Params range(std::string p1, std::string low, std::string high, int column = 1) {
    return Params{p1, p1, std::move(low), std::move(high), "1.5", column};
}

struct CountCase {
    const char* name;
    Params params;
    std::vector<std::string> lines;  // the count's log lines, up to "c="
    int32_t first, last;             // of allelesizelist
};
void PrintTo(const CountCase& c, std::ostream* os) { *os << c.name; }

class AlleleCount : public ::testing::TestWithParam<CountCase> {};

TEST_P(AlleleCount, CountsAndListsSizes) {
    ScoringHarness h;
    h.load(kTwoPeaks);
    const auto logs = tagged(h.score(GetParam().params), "log");
    const auto from = std::find_if(logs.begin(), logs.end(), [](auto& l) { return l.rfind("prog 1", 0) == 0; });
    const auto to = std::find_if(from, logs.end(), [](auto& l) { return l.rfind("c=", 0) == 0; });
    ASSERT_NE(to, logs.end());
    EXPECT_EQ(std::vector<std::string>(from + 1, to + 1), GetParam().lines);
    const auto& sizes = h.controller.alleleSizes();
    const int32_t step = std::vector<int32_t>{1, 2, 3, 5}[GetParam().params.locusColumn];
    ASSERT_EQ(static_cast<int32_t>(sizes.size()), h.controller.alleleCount());
    for (size_t i = 0; i < sizes.size(); ++i) ASSERT_EQ(sizes[i], GetParam().first + static_cast<int32_t>(i) * step);
    EXPECT_EQ(sizes.back(), GetParam().last);
}

INSTANTIATE_TEST_SUITE_P(
    Ranges, AlleleCount,
    ::testing::Values(
        CountCase{"WholeProgenitor", range("150", "120", "180"), {"x = 180", "x = 120", "30 alleles counted", "c=120"},
                  120, 178},
        CountCase{"FractionalProgenitorAdjustsBothEnds", range("151.7", "120", "180"),
                  {"x = 181", "x = 119", "31 alleles counted", "lowallelesize adjusted up",
                   "highallelesize adjusted down", "c=121"},
                  121, 181},
        CountCase{"MonoFractionalBounds", range("150", "145.5", "152.5", 0),
                  {"x = 153", "x = 145", "8 alleles counted", "highallelesize adjusted down", "c=145"}, 145, 152},
        CountCase{"PentaAdjustsOnWholeBounds", range("150", "141.5", "158.9", 3),
                  {"x = 160", "x = 140", "4 alleles counted", "lowallelesize adjusted up",
                   "highallelesize adjusted down", "c=145"},
                  145, 160},
        CountCase{"LargestCountAllowed", range("100000", "0", "100000", 0),
                  {"x = 100000", "x = 0", "100000 alleles counted", "c=0"}, 0, 99999}),
    [](const auto& info) { return std::string(info.param.name); });

struct StopCase {
    const char* name;
    Params params;
    std::string lastLog, alert;
    int32_t countAfter;  // numalleles after the refused run
    bool keepsLastScoring = false;  // both alerts end the run after the restore
};
void PrintTo(const StopCase& c, std::ostream* os) { *os << c.name; }

class CountRefused : public ::testing::TestWithParam<StopCase> {};

TEST_P(CountRefused, EndsRunAtItsAlert) {
    ScoringHarness h;
    h.load(kTwoPeaks);
    h.score(range("150", "120", "180"));
    const auto sizes = h.controller.alleleSizes();
    const auto alleles = alleleSizes(h.controller.result().alleles);
    std::vector<int32_t> scores;
    for (const auto& a : h.controller.store().workingList()) scores.push_back(a->getScore());
    Params p = GetParam().params;
    p.shift = "3";
    const auto trace = h.score(p);
    ASSERT_GE(trace.size(), 2u);
    EXPECT_EQ(trace[trace.size() - 2].rfind("log: " + GetParam().lastLog, 0), 0u) << trace[trace.size() - 2];
    EXPECT_EQ(trace.back(), "alert: " + GetParam().alert + " [Abort Scoring] -> Abort Scoring");
    EXPECT_EQ(h.controller.alleleCount(), GetParam().countAfter);
    EXPECT_EQ(h.controller.alleleSizes(), sizes);
    std::vector<int32_t> scoresAfter;
    for (const auto& a : h.controller.store().workingList()) scoresAfter.push_back(a->getScore());
    if (GetParam().keepsLastScoring) {
        EXPECT_EQ(alleleSizes(h.controller.result().alleles), alleles);
        EXPECT_FALSE(h.controller.result().tbllane.empty());
        EXPECT_EQ(scoresAfter, scores);
    } else {
        EXPECT_TRUE(alleleSizes(h.controller.result().alleles).empty() && h.controller.result().tbllane.empty());
        EXPECT_EQ(scoresAfter, std::vector<int32_t>(scoresAfter.size(), UNMARKED));
    }
    EXPECT_EQ(h.controller.store().workingList().front()->getSize(), 150);  // not shifted
}

const std::string kLarge = "Your range is too large to count the alleles in it.";

INSTANTIATE_TEST_SUITE_P(
    Ranges, CountRefused,
    ::testing::Values(
        StopCase{"ExponentHighBound", range("1", "0", "1e9"), "prog 1 = ", kLarge, 30},
        StopCase{"InfiniteHighBound", range("1", "0", "1e400"), "prog 1 = ", kLarge, 30},
        StopCase{"OneMoreThanLargest", range("100000", "0", "100001", 0), "prog 1 = ", kLarge, 30},
        StopCase{"CountPastLargestInteger", range("2147483647", "2147483646", "2147483647.5"), "prog 1 = ",
                 kLarge, 30},
        // Read as whole numbers the bounds lie a billion steps from the count.
        StopCase{"WholeBoundsFarFromCount", {"2000000000e-9", "2000000000", "1999999999e-9", "2000000001e-9"},
                 "prog 1 = ", kLarge, 30},
        StopCase{"NoSizeBetweenBounds", range("2", "1e2", "2"), "0 alleles counted",
                 "Your range is too small, and the number of alleles between them is 0", 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ShiftAcrossRuns, RecordsCarryTheShiftInTheField) {
    ScoringHarness h;
    h.load({{1, 150, 1000}, {1, 152, 900}, {2, 160, 500}});
    const std::vector<std::tuple<const char*, double, int8_t, long>> steps = {
        {"0", 0.0, 0, 0}, {"0.5", 0.5, 1, 1}, {"0.5", 0.5, 1, 0}, {"-1", -1.0, 1, 1},
        {"-0", 0.0, 1, 1}, {"-0.0", 0.0, 1, 0}, {"1e400", 0.0, 1, 0}, {"2.25", 2.25, 1, 1}};
    for (const auto& [shift, total, flag, lines] : steps) {
        Params p = range("150", "120", "180");
        p.shift = shift;
        const auto logs = tagged(h.score(p), "log");
        const auto& records = h.controller.store().backupList();
        EXPECT_EQ(records[0]->getSize(), 150 + total) << shift;
        EXPECT_EQ(records[2]->getSize(), 160 + total) << shift;
        EXPECT_EQ(h.controller.scoredFlag(), flag) << shift;
        EXPECT_EQ(h.controller.shiftValue(), total) << shift;
        EXPECT_EQ(countOf(logs, format("***** Shifting all data by %lf *****", std::strtod(shift, nullptr))), lines)
            << shift;
    }
}

struct CleanCase {
    const char* name;
    int column;
    std::vector<Peak> peaks;
    std::vector<std::pair<double, int32_t>> left;  // lane 1 after the run: size, height
    std::vector<std::string> lines;                // log lines that must appear
};
void PrintTo(const CleanCase& c, std::ostream* os) { *os << c.name; }

class Cleaning : public ::testing::TestWithParam<CleanCase> {};

TEST_P(Cleaning, LeavesTheseRecords) {
    ScoringHarness h;
    h.load(GetParam().peaks);
    const auto logs = tagged(h.score(range("150", "90.9", "180.9", GetParam().column)), "log");
    const auto lane = h.lane(1);
    ASSERT_EQ(lane.size(), GetParam().left.size());
    for (size_t i = 0; i < lane.size(); ++i) {
        EXPECT_NEAR(lane[i]->getSize(), GetParam().left[i].first, 1e-5);
        EXPECT_EQ(lane[i]->getHeight(), GetParam().left[i].second);
    }
    for (const auto& line : GetParam().lines) EXPECT_EQ(countOf(logs, line), 1) << line;
}

INSTANTIATE_TEST_SUITE_P(
    Lanes, Cleaning,
    ::testing::Values(
        CleanCase{"MergeChainCollapsesIntoLast", 1, {{1, 100.0, 400}, {1, 100.3, 300}, {1, 100.6, 100}},
                  {{100.375, 225}},
                  {"merged peak 100.000000 in lane 0 (1 in Real Lane)", "merged peak 100.150002 in lane 0 (1 in Real Lane)"}},
        CleanCase{"HalfBaseApartStaysForDi", 1, {{1, 100.0, 400}, {1, 100.5, 300}}, {{100.0, 400}, {100.5, 300}}, {}},
        CleanCase{"MonoToleranceIsQuarter", 0, {{1, 100.0, 400}, {1, 100.3, 300}}, {{100.0, 400}, {100.3, 300}}, {}},
        CleanCase{"MergedHeightDoesNotOverflow", 2, {{0, 150, 9}, {1, 100.0, 2147483647}, {1, 100.2, 2147483647}},
                  {{100.1, 2147483647}}, {"merged peak 100.000000 in lane 1 (1 in Real Lane)"}},
        CleanCase{"RangeBoundsReadAsWholeNumbers", 2,
                  {{1, 89.99, 500}, {1, 90.0, 500}, {1, 180.0, 500}, {1, 180.5, 500}},
                  {{90.0, 500}, {180.0, 500}}, {"2 alleles nodes removed. 2 alleles remaining"}},
        CleanCase{"SmallPeakBelowTenthOfWeighted", 2, {{1, 100, 1000}, {1, 104, 50}, {1, 110, 100}, {2, 150, 0}},
                  {{100, 1000}, {110, 100}},
                  {"lane 1 has a weighted height of 880.434783",
                   "REMOVING Allele size 104.000000 with height 50 in lane 1",
                   "denominator = 0 in getWeightedHeighOfLane 2", "lane 2 has a weighted height of 0.000000"}},
        CleanCase{"LaneEmptiedByRange", 2, {{1, 150, 10}, {2, 50, 10}}, {{150, 10}}, {"lane 2 has 0 data in it"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(AlleleSizeReport, PeaksUnderEachSize) {
    ScoringHarness h;
    h.load({{1, 150.3, 1000}, {2, 149.8, 800}, {1, 160.5, 700}});
    const auto logs = tagged(h.score(range("150", "146", "154")), "log");
    EXPECT_EQ(countOf(logs, "Allele size 150.300003 with height 1000 in lane 1"), 1);
    EXPECT_EQ(countOf(logs, "Allele size 149.800003 with height 800 in lane 2"), 1);
    EXPECT_EQ(countOf(logs, "3 alleles have 0 data under them"), 1);  // 146, 148, 152
}

}  // namespace
}  // namespace lociview::scoringtest
