// The preparation of a scoring run: allele-size count and list, the
// too-large range, the size shift across runs, range filter, merging of
// split peaks and removal of small peaks.
#include <gtest/gtest.h>

#include <ostream>

#include <cmath>

#include "scoring/ScoringHarness.h"

namespace lociview::scoringtest {
namespace {

const std::vector<Peak> kOnePeak = {{1, 150, 1000}, {1, 152, 900}};

std::vector<int32_t> ladder(int32_t from, int32_t to, int32_t step) {
    std::vector<int32_t> out;
    for (int32_t v = from; v <= to; v += step) out.push_back(v);
    return out;
}

struct CountCase {
    const char* name;
    Params params;
    int32_t count;
    std::vector<int32_t> sizes;
    std::vector<std::string> countLines;  // from "prog 1" up to "c="
};
void PrintTo(const CountCase& c, std::ostream* os) { *os << c.name; }

class AlleleCount : public ::testing::TestWithParam<CountCase> {};

TEST_P(AlleleCount, CountsAndListsSizes) {
    ScoringHarness h;
    h.load(kOnePeak);
    h.set(GetParam().params);
    const auto logs = tagged(h.score(), "log");
    EXPECT_EQ(h.controller.alleleCount(), GetParam().count);
    EXPECT_EQ(h.controller.alleleSizes(), GetParam().sizes);
    const auto first = std::find_if(logs.begin(), logs.end(), [](const std::string& l) { return l.rfind("prog 1", 0) == 0; });
    const auto last = std::find_if(logs.begin(), logs.end(), [](const std::string& l) { return l.rfind("c=", 0) == 0; });
    ASSERT_NE(last, logs.end());
    EXPECT_EQ(std::vector<std::string>(first, last + 1), GetParam().countLines);
}

Params range(std::string p1, std::string low, std::string high, int column = 1) {
    Params p;
    p.p1 = p.p2 = std::move(p1);
    p.low = std::move(low);
    p.high = std::move(high);
    p.locusColumn = column;
    return p;
}

INSTANTIATE_TEST_SUITE_P(
    Ranges, AlleleCount,
    ::testing::Values(
        CountCase{"WholeProgenitor", range("150", "120", "180"), 30, ladder(120, 178, 2),
                  {"prog 1 = 150.000000 and prog 2 = 150.000000", "x = 180", "x = 120", "30 alleles counted",
                   "c=120"}},
        CountCase{"FractionalProgenitorAdjustsBothEnds", range("151.7", "120", "180"), 31, ladder(121, 181, 2),
                  {"prog 1 = 151.700000 and prog 2 = 151.700000", "x = 181", "x = 119", "31 alleles counted",
                   "lowallelesize adjusted up", "highallelesize adjusted down", "c=121"}},
        CountCase{"MonoCountsEverySize", range("150", "145", "152", 0), 7, ladder(145, 151, 1),
                  {"prog 1 = 150.000000 and prog 2 = 150.000000", "x = 152", "x = 145", "7 alleles counted",
                   "c=145"}},
        CountCase{"FractionalBoundsCountedAsTyped", range("150", "145.5", "154.5", 2), 4, ladder(147, 156, 3),
                  {"prog 1 = 150.000000 and prog 2 = 150.000000", "x = 156", "x = 144", "4 alleles counted",
                   "lowallelesize adjusted up", "highallelesize adjusted down",
                   "c=147"}},
        CountCase{"LargestAcceptedCount", range("100000", "0", "100000", 0), 100000, ladder(0, 99999, 1),
                  {"prog 1 = 100000.000000 and prog 2 = 100000.000000", "x = 100000", "x = 0",
                   "100000 alleles counted", "c=0"}}),
    [](const ::testing::TestParamInfo<CountCase>& info) { return std::string(info.param.name); });

struct StopCase {
    const char* name;
    Params params;
    std::string alert;
    std::string lastLog;  // the start of the log line just before the alert
    int32_t countAfter;   // numalleles after the refused run
};
void PrintTo(const StopCase& c, std::ostream* os) { *os << c.name; }

class CountRefused : public ::testing::TestWithParam<StopCase> {};

const char* const kTooLarge = "Your range is too large to count the alleles in it. [Abort Scoring] -> Abort Scoring";

TEST_P(CountRefused, EndsRunAtItsAlert) {
    ScoringHarness h;
    h.load(kOnePeak);
    h.set(range("150", "120", "180"));
    h.score();
    const auto sizes = h.controller.alleleSizes();
    const double before = h.controller.store().workingList().front()->getSize();

    h.set(GetParam().params);
    h.tk.shift.setText("3");
    const auto trace = h.score();
    ASSERT_GE(trace.size(), 2u);
    EXPECT_EQ(trace.back(), "alert: " + GetParam().alert);
    EXPECT_EQ(trace[trace.size() - 2].rfind("log: " + GetParam().lastLog, 0), 0u) << trace[trace.size() - 2];
    EXPECT_EQ(h.controller.alleleCount(), GetParam().countAfter);
    EXPECT_EQ(h.controller.alleleSizes(), sizes);
    EXPECT_TRUE(h.controller.resultAlleles().empty());
    EXPECT_TRUE(h.controller.resultLanes().empty());
    EXPECT_EQ(h.controller.store().workingList().front()->getSize(), before);  // no shift
    for (const auto& a : h.controller.store().workingList()) EXPECT_EQ(a->getScore(), UNMARKED);
}

INSTANTIATE_TEST_SUITE_P(
    Ranges, CountRefused,
    ::testing::Values(
        StopCase{"ExponentHighBound", range("1", "0", "1e9"), kTooLarge, "prog 1 = ", 30},
        StopCase{"InfiniteHighBound", range("1", "0", "1e400"), kTooLarge, "prog 1 = ", 30},
        StopCase{"WholeIntegerRange", range("1", "0", "2147483647"), kTooLarge, "prog 1 = ", 30},
        StopCase{"OneMoreThanLargest", range("100000", "0", "100001", 0), kTooLarge, "prog 1 = ", 30},
        StopCase{"ProgenitorBeyondIntegers", range("2147483647", "2147483646", "2147483647.5"), kTooLarge, "prog 1 = ", 30},
        // The bounds read as whole numbers lie a billion steps from where
        // the count ends.
        StopCase{"EndsFarFromWholeBounds",
                 Params{"2000000000e-9", "2000000000", "1999999999e-9", "2000000001e-9", "1.5", "0.0", 1},
                 kTooLarge, "prog 1 = ", 30},
        StopCase{"NoSizeBetweenBounds", range("2", "1e2", "2"),
                 "Your range is too small, and the number of alleles between them is 0 [Abort Scoring] -> Abort "
                 "Scoring",
                 "0 alleles counted", 0}),
    [](const ::testing::TestParamInfo<StopCase>& info) { return std::string(info.param.name); });

TEST(ShiftAcrossRuns, MovesByTheChangeOfShift) {
    ScoringHarness h;
    h.load({{1, 150, 1000}, {1, 152, 900}, {2, 160, 500}});
    Params p = range("150", "120", "180");
    const std::vector<double> original = {150, 152, 160};
    struct Step {
        const char* shift;
        double total;
        int8_t flag;
        bool logged;
    };
    const std::vector<Step> steps = {{"0", 0.0, 0, false},   {"0.5", 0.5, 1, true},  {"0.5", 0.5, 1, false},
                                     {"-1", -1.0, 1, true},  {"-0", 0.0, 1, true},   {"-0.0", 0.0, 1, false},
                                     {"1e400", 0.0, 1, false}, {"2.25", 2.25, 1, true}};
    for (const Step& s : steps) {
        SCOPED_TRACE(s.shift);
        p.shift = s.shift;
        h.set(p);
        const auto logs = tagged(h.score(), "log");
        const auto& records = h.controller.store().backupList();
        for (size_t i = 0; i < records.size(); ++i) EXPECT_NEAR(records[i]->getSize(), original[i] + s.total, 1e-12);
        EXPECT_EQ(h.controller.scoredFlag(), s.flag);
        EXPECT_EQ(h.controller.shiftValue(), s.total);
        const bool logged = std::any_of(logs.begin(), logs.end(), [](const std::string& l) {
            return l.rfind("***** Shifting all data by", 0) == 0;
        });
        EXPECT_EQ(logged, s.logged);
    }
}

TEST(RangeFilter, WholeNumberBoundsKeepEqualSizes) {
    ScoringHarness h;
    h.load({{1, 119.99, 500}, {1, 120.0, 500}, {1, 180.0, 500}, {1, 180.5, 500}});
    Params p = range("150", "120.9", "180.9", 2);
    h.set(p);
    const auto logs = tagged(h.score(), "log");
    const auto lane = h.lane(1);
    ASSERT_EQ(lane.size(), 2u);
    EXPECT_EQ(lane[0]->getSize(), 120.0);
    EXPECT_EQ(lane[1]->getSize(), 180.0);
    EXPECT_TRUE(has(logs, "2 alleles nodes removed. 2 alleles remaining"));
}

struct MergeCase {
    const char* name;
    int column;
    std::vector<Peak> peaks;
    std::vector<std::pair<double, int32_t>> left;  // size, height after the run
    long mergeLines;
};
void PrintTo(const MergeCase& c, std::ostream* os) { *os << c.name; }

class MergeSplitPeaks : public ::testing::TestWithParam<MergeCase> {};

TEST_P(MergeSplitPeaks, NeighboursWithinTolerance) {
    ScoringHarness h;
    h.load(GetParam().peaks);
    h.set(range("150", "90", "180", GetParam().column));
    const auto logs = tagged(h.score(), "log");
    const auto lane = h.lane(1);
    ASSERT_EQ(lane.size(), GetParam().left.size());
    for (size_t i = 0; i < lane.size(); ++i) {
        EXPECT_NEAR(lane[i]->getSize(), GetParam().left[i].first, 1e-5);
        EXPECT_EQ(lane[i]->getHeight(), GetParam().left[i].second);
    }
    EXPECT_EQ(std::count_if(logs.begin(), logs.end(),
                            [](const std::string& l) { return l.rfind("merged peak", 0) == 0; }),
              GetParam().mergeLines);
}

INSTANTIATE_TEST_SUITE_P(
    Lanes, MergeSplitPeaks,
    ::testing::Values(MergeCase{"ChainCollapsesIntoLast", 1, {{1, 100.0, 400}, {1, 100.3, 300}, {1, 100.6, 100}},
                                {{100.375, 225}}, 2},
                      MergeCase{"HalfBaseApartStaysForDi", 1, {{1, 100.0, 400}, {1, 100.5, 300}},
                                {{100.0, 400}, {100.5, 300}}, 0},
                      MergeCase{"MonoToleranceIsQuarter", 0, {{1, 100.0, 400}, {1, 100.3, 300}},
                                {{100.0, 400}, {100.3, 300}}, 0},
                      MergeCase{"OnlyNeighboursInListOrder", 2, {{1, 100.0, 400}, {1, 110.0, 300}, {1, 100.2, 500}},
                                {{100.0, 400}, {110.0, 300}, {100.2, 500}}, 0},
                      MergeCase{"HeightsAveragedWithoutOverflow", 2,
                                {{1, 100.0, 2147483647}, {1, 100.2, 2147483647}},
                                {{100.1, 2147483647}}, 1}),
    [](const ::testing::TestParamInfo<MergeCase>& info) { return std::string(info.param.name); });

TEST(MergeSplitPeaks, LogsPositionAndRealLane) {
    ScoringHarness h;
    h.load({{3, 150, 500}, {7, 100.0, 400}, {7, 100.25, 300}});
    h.set(range("150", "90", "180", 2));
    const auto logs = tagged(h.score(), "log");
    EXPECT_TRUE(has(logs, "merged peak 100.000000 in lane 1 (7 in Real Lane)"));
}

TEST(SmallPeaks, RemovedBelowATenthOfWeightedHeight) {
    ScoringHarness h;
    h.load({{1, 100, 1000}, {1, 104, 50}, {1, 110, 100}, {2, 100, 0}, {2, 104, 0}});
    h.set(range("150", "90", "180", 2));
    const auto logs = tagged(h.score(), "log");
    EXPECT_TRUE(has(logs, "lane 1 has a weighted height of 880.434783"));
    EXPECT_TRUE(has(logs, "REMOVING Allele size 104.000000 with height 50 in lane 1"));
    EXPECT_EQ(h.lane(1).size(), 2u);
    EXPECT_TRUE(has(logs, "denominator = 0 in getWeightedHeighOfLane 2"));
    EXPECT_TRUE(has(logs, "lane 2 has a weighted height of 0.000000"));
    EXPECT_EQ(h.lane(2).size(), 2u);
}

TEST(SmallPeaks, LaneEmptiedByRangeIsReported) {
    ScoringHarness h;
    h.load({{1, 150, 1000}, {2, 50, 1000}});
    h.set(range("150", "120", "180", 2));
    const auto logs = tagged(h.score(), "log");
    EXPECT_TRUE(has(logs, "lane 2 has 0 data in it"));
}

TEST(AlleleSizeReport, SizesWithAndWithoutPeaks) {
    ScoringHarness h;
    h.load({{1, 150.3, 1000}, {2, 149.8, 800}, {1, 160.5, 700}});
    h.set(range("150", "146", "154"));
    const auto trace = h.score();
    const auto logs = tagged(trace, "log");
    EXPECT_TRUE(has(logs, "Allele size 150.300003 with height 1000 in lane 1"));
    EXPECT_TRUE(has(logs, "Allele size 149.800003 with height 800 in lane 2"));
    EXPECT_TRUE(has(logs, "3 alleles have 0 data under them"));  // 146, 148, 152
}

}  // namespace
}  // namespace lociview::scoringtest
