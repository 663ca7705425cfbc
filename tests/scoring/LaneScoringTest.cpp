// One lane of a di-nucleotide locus scored on its own: step 2, tolerance
// 0.5, stutter tolerance 1.5, the peaks in lane 1 in the order given.
#include "scoring/LaneScoring.h"

#include <gtest/gtest.h>

#include <cmath>
#include <ostream>

namespace lociview {
namespace {

struct LinesLog final : LogSink {
    void line(std::string_view text) override { lines.emplace_back(text); }
    std::vector<std::string> lines;
};

struct LaneCase {
    const char* name;
    std::vector<std::pair<double, int32_t>> peaks;  // size, height
    std::vector<int32_t> codes;                     // final code of each peak
    std::vector<double> spans;                      // high - low of each sweep
};
void PrintTo(const LaneCase& c, std::ostream* os) { *os << c.name; }

struct Lane {
    NullLog quiet;
    AlleleDB db{quiet};
    LinesLog log;
    std::vector<SweepRange> ranges;
    explicit Lane(const std::vector<std::pair<double, int32_t>>& peaks) {
        for (const auto& [size, height] : peaks) db.addAlleleWithSize(size, height, 0, 1);
        db.addAlleleWithSize(peaks.front().first, 9999, 0, 2);  // other lanes are never looked at
        ranges = scoreLanePeaks(db, log, 1, LaneScoringParams{});
    }
};

long countOf(const std::vector<std::string>& l, const std::string& s) { return std::count(l.begin(), l.end(), s); }

class LaneScoringTest : public ::testing::TestWithParam<LaneCase> {};

TEST_P(LaneScoringTest, FinalCodesAndWalkedRanges) {
    Lane lane(GetParam().peaks);
    std::vector<int32_t> codes;
    for (const auto& a : lane.db.getLane(1)) codes.push_back(a->getScore());
    EXPECT_EQ(codes, GetParam().codes);
    std::vector<double> spans;
    for (const auto& r : lane.ranges) spans.push_back(std::round((r.high - r.low) * 1e6) / 1e6);
    EXPECT_EQ(spans, GetParam().spans);
    EXPECT_EQ(lane.db.getLane(2).front()->getScore(), UNMARKED);
}

constexpr int32_t U = UNMARKED, S = SCORED, M = MAYBE, D = DISCARDED;

INSTANTIATE_TEST_SUITE_P(
    Lanes, LaneScoringTest,
    ::testing::Values(
        LaneCase{"SmallUpperIsMaybe", {{98, 300}, {100, 2000}, {102, 200}}, {D, S, M}, {8}},
        LaneCase{"StartDiscardedBesideTallUpper", {{96, 100}, {98, 500}, {100, 2000}, {102, 1500}, {104, 300}, {106, 20}},
                 {D, D, D, S, M, D}, {14}},
        LaneCase{"WalkUpReplacesSmaller",
                 {{98, 300}, {100, 2000}, {101.1, 150}, {102, 200}, {106, 1200}, {104, 250}, {108, 90}},
                 {D, S, U, D, S, D, D}, {14}},
        LaneCase{"WalkUpKeepsOrDropsPrevious", {{98, 300}, {100, 2000}, {102, 1000}, {104, 600}, {106, 500}},
                 {D, S, S, D, S}, {12}},
        LaneCase{"NothingBelowIsGarbage", {{100, 2000}, {102, 300}}, {D, M}, {6}},
        LaneCase{"WalkDownScoresTaller", {{98, 400}, {100, 2000}, {96, 700}, {94, 500}}, {D, S, S, D}, {10}},
        LaneCase{"WalkDownMaybesAndDiscards", {{98, 400}, {100, 2000}, {96, 540}, {94, 800}, {92, 900}},
                 {D, S, M, M, D}, {12}},
        LaneCase{"TwoSweeps", {{100, 2000}, {98, 300}, {120, 1500}, {118, 200}}, {S, D, S, D}, {6, 6}},
        LaneCase{"EquallyTallPair", {{100, 2000}, {102, 2000}}, {D, S}, {4, 6}},
        // 102.4, left off the ladder, is taller than the second start 104.3.
        LaneCase{"TallerLowerRescoresStart", {{100, 5000}, {101.6, 3000}, {102.4, 2000}, {104.3, 1000}}, {S, S, U, S},
                 {6, 8}},
        LaneCase{"TallerLowerKeepsDiscard", {{100, 5000}, {101.6, 3000}, {102.4, 1200}, {104.3, 1000}, {106.3, 900}},
                 {S, S, U, D, S}, {6, 10}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(LaneScoringLog, TallerLowerNeighbourLineFollowsScoredLineEvenWithoutRescore) {
    Lane lane({{100, 5000}, {101.6, 3000}, {102.4, 1200}, {104.3, 1000}, {106.3, 900}});
    const auto& l = lane.log.lines;
    const auto left = std::find(l.begin(), l.end(),
                                "possibly something wrong with finding largest peak. Investigate [left: 102.400000] "
                                "1200 > [all: 104.300000] 1000");
    ASSERT_NE(left, l.end());
    EXPECT_EQ(*(left - 1), "marked allele 104.30 in lane 1 as SCORED");
    EXPECT_EQ(*(left - 2), "marked allele 106.30 in lane 1 as SCORED");
    EXPECT_EQ(countOf(l, "garbage peak at 100.000000 in lane 1"), 1);
    EXPECT_EQ(countOf(l, "removing 1 off base alleles in the range of 98.000000 and 104.000000"), 1);
}

}  // namespace
}  // namespace lociview
