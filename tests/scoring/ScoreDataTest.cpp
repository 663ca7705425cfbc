// The scoring action's checks: their order, their log lines and alerts, and
// that a refused run leaves the previous run's results alone.
#include <gtest/gtest.h>

#include <ostream>

#include "scoring/ScoringHarness.h"

namespace lociview::scoringtest {
namespace {

// Two lanes with a clear allele each, inside 120..180.
const std::vector<Peak> kPeaks = {{1, 148, 300}, {1, 150, 2000}, {2, 158, 250}, {2, 160, 1800}};

struct CheckCase {
    const char* name;
    Params params;
    std::string logLine;
    std::string alert;  // the alert trace text
};
void PrintTo(const CheckCase& c, std::ostream* os) { *os << c.name; }

class ScoreDataChecks : public ::testing::TestWithParam<CheckCase> {};

Params with(std::string p1, std::string p2, std::string low = "120", std::string high = "180",
            std::string stutter = "1.5", int column = 1) {
    Params p;
    p.p1 = std::move(p1);
    p.p2 = std::move(p2);
    p.low = std::move(low);
    p.high = std::move(high);
    p.stutter = std::move(stutter);
    p.locusColumn = column;
    return p;
}

TEST_P(ScoreDataChecks, StopsWithItsAlertAndKeepsPreviousRun) {
    ScoringHarness h;
    h.load(kPeaks);
    h.set(with("150", "160"));
    h.score();
    const auto alleles = h.controller.resultAlleles();
    const auto lanes = h.controller.resultLanes();
    const std::string counters = h.tk.numemptylanes.text() + h.tk.numones.text() + h.tk.numtwos.text();
    std::vector<int32_t> codes;
    for (const auto& a : h.controller.store().workingList()) codes.push_back(a->getScore());
    ASSERT_FALSE(alleles.empty());

    h.set(GetParam().params);
    const auto trace = h.score();
    const auto logs = tagged(trace, "log");
    ASSERT_EQ(logs.size(), 2u);
    EXPECT_EQ(logs[0], GetParam().params.locusColumn == 1 ? "locus = di" : "locus = tri");
    EXPECT_EQ(logs[1], GetParam().logLine);
    EXPECT_EQ(tagged(trace, "alert"), std::vector<std::string>{GetParam().alert});
    EXPECT_EQ(trace.back(), "alert: " + GetParam().alert);  // the line comes before the alert

    EXPECT_EQ(h.controller.resultAlleles(), alleles);
    EXPECT_EQ(h.controller.resultLanes(), lanes);
    EXPECT_EQ(h.tk.numemptylanes.text() + h.tk.numones.text() + h.tk.numtwos.text(), counters);
    std::vector<int32_t> after;
    for (const auto& a : h.controller.store().workingList()) after.push_back(a->getScore());
    EXPECT_EQ(after, codes);
}

const char* const kSmall1 = "Progenitor 1 is smaller than your Low Range value. [Try Again] -> Try Again";
const char* const kSmall2 = "Progenitor 2 is smaller than your Low Range value. [Try Again] -> Try Again";
const char* const kLarge1 = "Progenitor 1 is larger than your High Range value. [Try Again] -> Try Again";
const char* const kLarge2 = "Progenitor 2 is larger than your High Range value. [Try Again] -> Try Again";

INSTANTIATE_TEST_SUITE_P(
    Checks, ScoreDataChecks,
    ::testing::Values(
        CheckCase{"StartUpValues", with("1.0", "2.0", "120.0", "180.0"), "1 < 120", kSmall1},
        CheckCase{"P1JustBelowLow", with("119.9", "150"), "119 < 120", kSmall1},
        CheckCase{"BothBelowLowReportsP1", with("100", "100"), "100 < 120", kSmall1},
        CheckCase{"P2BelowLow", with("150", "100"), "100 < 120", kSmall2},
        CheckCase{"P1AboveHigh", with("181", "150"), "181 > 180", kLarge1},
        CheckCase{"P2AboveHigh", with("150", "190"), "190 > 180", kLarge2},
        CheckCase{"NoTextReadsAsZero", with("", "150"), "0 < 120", kSmall1},
        CheckCase{"RangeOfZero", with("120", "120", "120.2", "120.8"), "120 , 120",
                  "You have a range of 0 [Abort Scoring] -> Abort Scoring"},
        CheckCase{"StutterTooLowForDi", with("150", "160", "120", "180", "0.9"), "stutter tol = 0.900000",
                  "Your stutter tolerance is too low. [Abort Scoring] -> Abort Scoring"}),
    [](const ::testing::TestParamInfo<CheckCase>& info) { return std::string(info.param.name); });

TEST(ScoreData, NoFileShowsOnlyItsAlert) {
    ScoringHarness h;
    const auto trace = h.score();
    EXPECT_EQ(trace, std::vector<std::string>{
                         "alert: You are not currently working on a file. [Okie Dokie] -> Okie Dokie"});
    EXPECT_EQ(h.controller.locusType(), 0);
}

TEST(ScoreData, SwapAbortChangesNothing) {
    ScoringHarness h;
    h.load(kPeaks);
    h.set(with("150", "140"));
    h.tk.dialogs.queueAnswer(true);
    const auto trace = h.score();
    EXPECT_TRUE(has(trace, "log: 150 > 140"));
    EXPECT_TRUE(has(trace,
                    "alert: By convenience, Progenitor 2 needs to be equal to or larger than progenitor 1 "
                    "[Swap Progenitors] [Abort Scoring] -> Abort Scoring"));
    EXPECT_EQ(h.tk.progenitor1.text(), "150");
    EXPECT_EQ(h.tk.progenitor2.text(), "140");
    EXPECT_EQ(tagged(trace, "log").size(), 2u);
}

TEST(ScoreData, SwapWritesWholeNumbersAndScores) {
    ScoringHarness h;
    h.load(kPeaks);
    h.set(with("150.5", "140.7"));
    const auto trace = h.score();
    EXPECT_TRUE(has(trace, "log: 150 > 140"));
    EXPECT_EQ(h.tk.progenitor1.text(), "140");
    EXPECT_EQ(h.tk.progenitor2.text(), "150");
    EXPECT_EQ(h.controller.resultAlleles(), (std::vector<int32_t>{150, 160}));
}

TEST(ScoreData, EqualWholeProgenitorsDoNotAskToSwap) {
    ScoringHarness h;
    h.load(kPeaks);
    h.set(with("150.7", "150.2"));
    const auto trace = h.score();
    EXPECT_TRUE(tagged(trace, "alert").empty());
    EXPECT_FALSE(h.controller.resultLanes().empty());
}

struct PassCase {
    const char* name;
    Params params;
    int32_t locustype;
};
void PrintTo(const PassCase& c, std::ostream* os) { *os << c.name; }

class ScoreDataPasses : public ::testing::TestWithParam<PassCase> {};

TEST_P(ScoreDataPasses, RunsToTheEnd) {
    ScoringHarness h;
    h.load(kPeaks);
    h.set(GetParam().params);
    if (GetParam().params.locusColumn < 0) h.tk.locusmatrix.select(-1);
    const auto trace = h.score();
    EXPECT_TRUE(tagged(trace, "alert").empty());
    EXPECT_EQ(h.controller.locusType(), GetParam().locustype);
    EXPECT_EQ(trace.back(), "reload: tabl");
}

INSTANTIATE_TEST_SUITE_P(
    Checks, ScoreDataPasses,
    ::testing::Values(PassCase{"P1FractionAboveHigh", with("180.9", "180.9"), 2},
                      PassCase{"LowStutterForTri", with("150", "150", "120", "180", "0.9", 2), 3},
                      PassCase{"NoCellOnIsMono", with("150", "150", "120", "180", "1.5", -1), 1},
                      PassCase{"Penta", with("150", "150", "120", "180", "1.5", 3), 5},
                      PassCase{"HugeStutter", with("150", "150", "120", "180", "1e400"), 2}),
    [](const ::testing::TestParamInfo<PassCase>& info) { return std::string(info.param.name); });

TEST(ScoreData, RunStartsAfresh) {
    ScoringHarness h;
    h.load(kPeaks);
    h.set(with("150", "160"));
    h.score();
    h.controller.markedMessageToViewedLog(1.0, 2, 3, MAYBE);  // stale log text
    h.tk.numemptylanes.setText("stale");
    h.set(with("150", "160", "120", "180", "1.5", 2));  // tri: nothing is scored
    h.score();
    EXPECT_EQ(h.tk.datatext.text(), "");
    EXPECT_TRUE(h.controller.resultAlleles().empty());
    EXPECT_TRUE(h.controller.resultLanes().empty());
    for (const auto& a : h.controller.store().workingList()) EXPECT_EQ(a->getScore(), UNMARKED);
    EXPECT_EQ(h.tk.numemptylanes.text(), "2");
}

}  // namespace
}  // namespace lociview::scoringtest
