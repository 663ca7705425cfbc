#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "model/AlleleDB.h"
#include "support/RecordingLog.h"

namespace lociview {
namespace {

struct Peak {
    double size;
    int32_t height;
    int32_t lane;
    int32_t score = UNMARKED;
};

// A store holding these peaks in order (keys 0, 1, ...), with a fresh log.
struct Store {
    RecordingLog log;
    AlleleDB db{log};
    explicit Store(const std::vector<Peak>& peaks = {}) {
        for (const Peak& p : peaks) {
            db.addAlleleWithSize(p.size, p.height, 0, p.lane);
            db.workingList().back()->changeScore(p.score);
        }
        log.lines.clear();
    }
};

std::vector<int32_t> keys(const AlleleList& list) {
    std::vector<int32_t> out;
    for (const auto& a : list) out.push_back(a->getKey());
    return out;
}

// Keys running on over a new data set are checked in OpenFileTest.
TEST(AlleleDBTest, RestoreBringsRecordsBackUnmarkedKeepingChanges) {
    Store s({{150, 100, 1, SCORED}, {152, 200, 1, MAYBE}, {154, 300, 2, DISCARDED}});
    s.db.getAlleleWithKey(1)->changeSize(152.5);
    s.db.getAlleleWithKey(1)->changeHeight(250.7);
    s.db.removeAlleleWithKey(1);
    EXPECT_EQ(s.db.count(), 2);
    EXPECT_EQ(s.db.getAlleleWithKey(1), nullptr);
    EXPECT_EQ(s.db.backupList().size(), 3u);
    s.db.restore();
    ASSERT_EQ(keys(s.db.workingList()), (std::vector<int32_t>{0, 1, 2}));
    for (const auto& a : s.db.workingList()) EXPECT_EQ(a->getScore(), UNMARKED);
    EXPECT_EQ(s.db.getAlleleWithKey(1)->getSize(), 152.5);
    EXPECT_EQ(s.db.getAlleleWithKey(1)->getHeight(), 250);
    // Both lists hold the very same records.
    EXPECT_EQ(s.db.workingList()[2].get(), s.db.backupList()[2].get());
}

TEST(AlleleDBTest, ChangeHeightTruncatesAndSaturates) {
    const std::pair<double, int32_t> cases[] = {{250.7, 250},
                                                {-99.9, -99},
                                                {1e12, std::numeric_limits<int32_t>::max()},
                                                {-1e12, std::numeric_limits<int32_t>::min()},
                                                {std::nan(""), 0}};
    for (const auto& [in, out] : cases) {
        Allele a(150, 1, 1, 1);
        a.changeHeight(in);
        EXPECT_EQ(a.getHeight(), out) << in;
    }
}

// Order, ties and removal by size are checked against a plain list in
// AlleleDBOrderTest; here only what that does not see.
TEST(AlleleDBTest, RemovalBySizeThatMissesLogs) {
    Store s({{150.5, 1, 1}});
    s.db.removeAlleleSize(150.5, 2, 0.5);
    EXPECT_EQ(s.db.count(), 1);
    EXPECT_EQ(s.log.lines, std::vector<std::string>{format(
                               "didn't find (and thus remove) Allele with size %lf in lane %d", 150.5, 2)});
}

// Queries over one fixed store.
const std::vector<Peak> kPeaks = {
    {149.5, 100, 1, SCORED},   // 0
    {149.6, 500, 1, MAYBE},    // 1
    {150.4, 800, 1, SCORED},   // 2
    {150.5, 800, 1, UNMARKED}, // 3
    {150.2, 500, 2, SCORED},   // 4
    {150.3, 500, 2, MAYBE},    // 5
    {120.0, 99, 3, SCORED},    // 6
    {180.0, 101, 3, SCORED},   // 7
    {150.0, 100, 3, SCORED},   // 8
};

struct QueryCase {
    const char* name;
    std::vector<int32_t> (*run)(const AlleleDB&);
    std::vector<int32_t> expected;
};

class AlleleDBQueryTest : public ::testing::TestWithParam<QueryCase> {};

TEST_P(AlleleDBQueryTest, SelectsInWorkingListOrder) {
    Store s(kPeaks);
    EXPECT_EQ(GetParam().run(s.db), GetParam().expected) << GetParam().name;
}

INSTANTIATE_TEST_SUITE_P(
    Selections, AlleleDBQueryTest,
    ::testing::Values(
        QueryCase{"size tol 0", [](const AlleleDB& d) { return keys(d.getAlleleSize(150.0, 0.0)); }, {}},
        QueryCase{"range excludes bounds", [](const AlleleDB& d) { return keys(d.getAllelesInLane(3, 120.0, 180.0, SCORED)); }, {8}},
        QueryCase{"scored only", [](const AlleleDB& d) { return keys(d.getAllScoreAllelesWithMaybes(false)); }, {0, 2, 4, 6, 7, 8}},
        QueryCase{"scored and maybes", [](const AlleleDB& d) { return keys(d.getAllScoreAllelesWithMaybes(true)); }, {0, 1, 2, 4, 5, 6, 7, 8}},
        QueryCase{"with score", [](const AlleleDB& d) { return keys(d.getAllAllelesWithScore(UNMARKED)); }, {3}},
        QueryCase{"size and score", [](const AlleleDB& d) { return keys(d.getAllelesWithSize(150.0, 0.5, MAYBE)); }, {1, 5}}));

TEST(AlleleDBTest, EmptyRangeLogsAndSelectsNothing) {
    const std::pair<double, double> ranges[] = {{150.0, 150.0}, {150.0, 149.0}, {-0.7, -3.9}};
    for (const auto& [low, high] : ranges) {
        Store s(kPeaks);
        EXPECT_TRUE(s.db.getAllelesInLane(1, low, high, SCORED).empty());
        EXPECT_EQ(s.log.lines, std::vector<std::string>{format(
                                   "range for getAllelesInLane: inRangeLow: high: withScore:  is borked (%d, %d)",
                                   static_cast<int>(low), static_cast<int>(high))});
    }
}

TEST(AlleleDBTest, HeightFiltersExcludeTheBoundAndLogEachPick) {
    Store s(kPeaks);
    EXPECT_EQ(keys(s.db.getAllAllelesWithHeightLessThan(100, SCORED)), std::vector<int32_t>{6});
    EXPECT_EQ(keys(s.db.getAllAllelesWithHeightGreaterThan(100, SCORED)), (std::vector<int32_t>{2, 4, 7}));
    EXPECT_EQ(s.log.lines, (std::vector<std::string>{"adding (120.00, 99) as < than 100", "adding (150.40, 800) as > than 100",
                                                     "adding (150.20, 500) as > than 100", "adding (180.00, 101) as > than 100"}));
}

struct WeightCase {
    std::vector<Peak> peaks;
    double (*run)(const AlleleDB&);
    double expected;
    std::vector<std::string> log;
};

class AlleleDBWeightTest : public ::testing::TestWithParam<WeightCase> {};

TEST_P(AlleleDBWeightTest, WeightsByHeight) {
    Store s(GetParam().peaks);
    EXPECT_DOUBLE_EQ(GetParam().run(s.db), GetParam().expected);
    EXPECT_EQ(s.log.lines, GetParam().log);
}

const std::vector<Peak> kLane = {{150, 100, 1, SCORED}, {152, 300, 1, MAYBE}, {150, 700, 2, DISCARDED}};

INSTANTIATE_TEST_SUITE_P(
    Heights, AlleleDBWeightTest,
    ::testing::Values(
        WeightCase{kLane, [](const AlleleDB& d) { return d.getWeightedHeightOfLane(1); }, 250.0, {}},
        WeightCase{kLane, [](const AlleleDB& d) { return d.getWeightedHeightOfLane(5); }, -1.0, {"lane 5 doesn't exist"}},
        WeightCase{{{150, 0, 4}, {151, 0, 4}}, [](const AlleleDB& d) { return d.getWeightedHeightOfLane(4); }, 0.0,
                   {"denominator = 0 in getWeightedHeighOfLane 4"}},
        WeightCase{{}, [](const AlleleDB& d) { return d.getWeightedHeightOfAllAlleles(); }, 0.0,
                   {"denominator = 0 in getWeightedHeightOfAllAlleles"}},
        WeightCase{kLane, [](const AlleleDB& d) { return d.getWeightedHeightOfAllAlleles(); }, 590000.0 / 1100.0, {}},
        WeightCase{kLane, [](const AlleleDB& d) { return d.getWeightedHeightOfSize(150.0, 0.5); }, 500000.0 / 800.0, {}},
        WeightCase{kLane, [](const AlleleDB& d) { return d.getWeightedHeightOfSize(160.0, 0.5); }, 0.0,
                   {"denominator = 0 in getWeightedHeighOfSize 160.000000"}},
        WeightCase{kLane, [](const AlleleDB& d) { return d.getWeightedHeightOfAllScoredAlleleMaybes(false); }, 100.0, {}},
        WeightCase{kLane, [](const AlleleDB& d) { return d.getWeightedHeightOfAllScoredAlleleMaybes(true); }, 250.0, {}},
        WeightCase{{{150, 9, 1, MAYBE}}, [](const AlleleDB& d) { return d.getWeightedHeightOfAllScoredAlleleMaybes(false); },
                   0.0, {"denominator = 0 in getWeightedHeightOfAllScoredAlleleMaybes"}}));

}  // namespace
}  // namespace lociview
