// The SP-PCR statistics against figures computed elsewhere, their edge cases
// and how rows print and show, and a seeded check that every interval holds
// its estimate and narrows as the lanes grow. The lanes' quality flags as a
// table of small lanes, each with the flags it must raise.
#include <gtest/gtest.h>

#include <cmath>
#include <iomanip>
#include <optional>
#include <random>
#include <tuple>

#include "base/DevLog.h"
#include "stats/ExactIntervals.h"
#include "stats/QualityFlags.h"
#include "stats/RunStatistics.h"
#include "stats/StatDisplay.h"
#include "stats/StatsText.h"

namespace lociview {
namespace {

// The reference figures are given to 8 significant digits.
testing::AssertionResult sameTo8Digits(const std::optional<double>& value, double expected) {
    if (!value) return testing::AssertionFailure() << "no value, expected " << expected;
    const double unit = expected == 0.0 ? 1e-300 : std::pow(10.0, std::floor(std::log10(std::abs(expected))) - 7);
    if (std::abs(*value - expected) <= 0.5 * unit * (1 + 1e-6)) return testing::AssertionSuccess();
    return testing::AssertionFailure() << std::setprecision(12) << *value << " is not " << expected;
}

const std::vector<RunLanes> kThreeGE = {{{96, 50, 30, 16}, 5.0}, {{96, 28, 40, 28}, 10.0}, {{48, 5, 13, 30}, 20.0}};

TEST(StatisticsReference, MatchesTheFiguresTo8Digits) {
    const Estimate cp5 = clopperPearson(5, 100), cp10 = clopperPearson(10, 96), cp0 = clopperPearson(0, 96);
    const LaneCounts run{96, 10, 30, 56};
    const Estimate lambda = moleculesPerReaction(run);
    const PoissonFit fit = poissonFit(run);
    const Estimate seven = poissonInterval(7);
    const Estimate k = singleHitFit(kThreeGE).moleculesPerGE;
    const SingleHitFit saturated = singleHitFit({{{96, 50, 46, 0}, 5.0}, {{48, 5, 43, 0}, 20.0}});
    const double upper0 = 0.037696922;  // of 0 in 96, as above
    const struct { const char* what; std::optional<double> value; double expected; } table[] = {
        {"cp 5/100", cp5.lower, 0.016431879}, {"cp 5/100", cp5.upper, 0.11283491},
        {"cp 10/96", cp10.lower, 0.051094201}, {"cp 10/96", cp10.upper, 0.18323317},
        {"cp 0/96", cp0.lower, 0.0}, {"cp 0/96", cp0.upper, upper0},
        {"lambda", lambda.value, 2.2617631}, {"lambda, all empty", moleculesPerReaction({96, 96, 0, 0}).value, 0.0},
        {"lambda", lambda.lower, 1.6969958}, {"lambda", lambda.upper, 2.9740843},
        {"expected", fit.expectedEmpty.value, 10.0}, {"expected", fit.expectedOne.value, 22.617631},
        {"expected", fit.expectedTwoOrMore.value, 63.382369},
        {"chi-square", fit.chiSquare.value, 3.2694475}, {"chi-square", fit.pValue.value, 0.070581390},
        {"poisson 7", seven.lower, 2.8143631}, {"poisson 7", seven.upper, 14.422675},
        {"k", k.value, 0.12321774}, {"k", k.lower, 0.10383353}, {"k", k.upper, 0.14622070},
        // Closed forms: n0 = N and one lane (upper bounds), n0 = 0 (lower bound only).
        {"all empty", moleculesPerReaction({96, 96, 0, 0}).upper, -std::log(0.025) / 96},
        {"one lane", moleculesPerReaction({1, 1, 0, 0}).upper, -std::log(0.025)},
        {"none empty", moleculesPerReaction({96, 0, 40, 56}).lower, -std::log(upper0)},
        {"one lane, none empty", moleculesPerReaction({1, 0, 1, 0}).lower, -std::log(0.975)},
        {"per GE", moleculesPerGE(lambda, 4.0).lower, 1.6969958 / 4},
        // One GE: the pooled empty fraction, and the run's exact bounds.
        {"one GE", singleHitFit({{{96, 10, 40, 46}, 4.0}, {{48, 5, 20, 23}, 4.0}}).moleculesPerGE.value, -std::log(15.0 / 144) / 4},
        {"one GE, none empty", singleHitFit({{{96, 0, 40, 56}, 2.0}}).moleculesPerGE.lower, -std::log(upper0) / 2},
        {"all empty", singleHitFit({{{96, 96, 0, 0}, 2.0}, {{4, 4, 0, 0}, 5.0}}).moleculesPerGE.upper, -std::log(0.025) / 212},
        // Two GE values: the free slope meets both exactly.
        {"saturated slope", saturated.slope.value, (std::log(-std::log(5.0 / 48)) - std::log(-std::log(50.0 / 96))) / std::log(4.0)},
        // Its Wald interval: var = (1/w1 + 1/w2) / log(4)^2, w = N lambda^2 p / (1 - p) at p = n0 / N.
        {"saturated slope", saturated.slope.lower, 0.55773925}, {"saturated slope", saturated.slope.upper, 1.2360453},
    };
    for (const auto& row : table) EXPECT_TRUE(sameTo8Digits(row.value, row.expected)) << row.what;
}

struct EdgeCase {
    const char* what;
    RunInput run;
    bool lambda, fit, perGE, fraction, frequency;
};


class StatisticsEdge : public testing::TestWithParam<EdgeCase> {};

TEST_P(StatisticsEdge, SaysWhatItCannotEstimate) {
    const EdgeCase& c = GetParam();
    const RunStatistics s = runStatistics(c.run);
    EXPECT_EQ(s.moleculesPerReaction.estimable(), c.lambda);
    EXPECT_EQ(s.poissonFit.pValue.estimable(), c.fit);
    EXPECT_EQ(s.moleculesPerGE.estimable(), c.perGE);
    EXPECT_EQ(s.mutants.mutantFraction.estimable(), c.fraction);
    EXPECT_EQ(s.mutants.mutationFrequency.estimable(), c.frequency);
    // Every missing value says why, and the panel gives each row a title of
    // its own; golden traces pin how rows print.
    for (const StatLine& line : statLines(statRows(s))) {
        EXPECT_TRUE(!line.value.empty() || line.note.rfind("not estimable: ", 0) == 0) << line.title;
        EXPECT_EQ(line.title.find('_'), std::string::npos) << line.title;
    }
}

const std::vector<AlleleRow> kAlleles = {{150, 5}, {152, 1}, {156, 4}};

INSTANTIATE_TEST_SUITE_P(
    Runs, StatisticsEdge,
    testing::Values(
        EdgeCase{"usual", {{96, 10, 30, 56}, 12.5, kAlleles, 150, 156, 2}, true, true, true, true, true},
        EdgeCase{"no_empty_lane", {{96, 0, 30, 66}, 12.5, kAlleles, 150, 156, 2}, false, false, false, true, false},
        EdgeCase{"all_empty", {{96, 96, 0, 0}, 12.5, {}, 150, 156, 2}, true, false, true, false, false},
        EdgeCase{"one_lane", {{1, 1, 0, 0}, 1.0, {}, 150, 156, 2}, true, false, true, false, false},
        EdgeCase{"no_allele", {{96, 10, 30, 56}, 12.5, {}, 150, 156, 2}, true, true, true, false, true},
        EdgeCase{"ge_0", {{96, 10, 30, 56}, 0.0, kAlleles, 150, 156, 2}, true, true, false, true, true},
        EdgeCase{"ge_absent", {{96, 10, 30, 56}, std::nullopt, kAlleles, 150, 156, 2}, true, true, false, true, true},
        EdgeCase{"ge_nan", {{96, 10, 30, 56}, std::nan(""), kAlleles, 150, 156, 2}, true, true, false, true, true},
        EdgeCase{"no_lanes", {{0, 0, 0, 0}, 1.0, kAlleles, 150, 156, 2}, false, false, false, true, false},
        EdgeCase{"classes_do_not_add_up", {{96, 10, 30, 50}, 1.0, kAlleles, 150, 156, 2}, true, false, true, true, true},
        EdgeCase{"no_progenitors", {{96, 10, 30, 56}, 1.0, kAlleles, -1, -1, 2}, true, true, true, false, false}),
    [](const auto& info) { return std::string(info.param.what); });

// Range 120..180, the default levels: each lane sits on one side of a
// level. Of 17 lanes 4 are empty, so lambda = ln(17/4) and five alleles
// (P = 0.016) are likely enough, six (P = 0.0038) not.
TEST(QualityFlagsTest, EachLaneRaisesItsFlags) {
    const double nan = std::nan("");
    const StandardFit failed{"GS500 LIZ", "9 of 16 standard peaks found", {}, std::nullopt, nullptr, {}};
    auto fit = [](double r2) {
        return StandardFit{"GS500 LIZ", "", {{1200, 35, true, 0.02, 900, true}, {1500, 50, false, 0, 0, true}}, r2, nullptr, {}};
    };
    const LanePeak one{150, 500, 1, SCORED};
    auto lane = [](int32_t n, std::vector<LanePeak> peaks) { return LaneData{n, "S" + std::to_string(n), std::move(peaks), {}, {}, {}}; };
    std::vector<LaneData> lanes = {
        lane(1, {{150, 30000, 1, SCORED}, {152, 31000, 1, UNMARKED}}),  // two at or above the saturation level
        lane(2, {{150, 29999, 1, SCORED}, {180, 90000, 1}}),            // below it; a taller one at the bound is outside
        lane(3, {{150, 500, 1, SCORED, true}}),                         // off scale in its trace
        lane(4, {{120, 40000, 1}, {150, 200, 1, SCORED}}),              // at the range's bound: outside it
        lane(5, {{150, 99, 1, SCORED}, {152, 99, 1}}),                  // the first of the tallest is named
        lane(6, {{150, 100, 1, SCORED}, {nan, 50000, 1}}),              // a peak without a size is not read
        lane(7, {}),
        lane(8, {{150, 800, 1, DISCARDED}}),
        lane(9, {{150, 900, 1, SCORED}, {152, 900, 1, SCORED}, {154, 900, 1, SCORED}, {156, 900, 1, SCORED},
                 {158, 900, 1, SCORED}, {160, 900, 1, MAYBE}}),
        lane(10, {one}), lane(11, {one}), lane(12, {one}), lane(13, {one}), lane(14, {one}), lane(15, {one}),
        lane(16, {}), lane(17, {})};
    lanes[9].standard = failed;
    lanes[10].standard = fit(0.99791234);
    lanes[11].standard = fit(0.998);
    lanes[12].spikes = {{3120, 152.314}, {4410, std::nullopt}};
    lanes[12].standard = fit(0.99);
    lanes[13].spikes = {{77, std::nullopt}};
    const std::vector<std::string> always = {"1 off-scale", "2 outside-range", "3 off-scale", "4 outside-range", "5 low-signal",
                                             "10 standard-failed", "11 standard-poor", "13 standard-poor", "13 spike", "14 spike"};
    std::vector<std::string> withMaybes = always;
    withMaybes.insert(withMaybes.begin() + 5, "9 improbable-alleles");
    const struct { bool scored, maybes; std::vector<std::string> flags; } runs[] = {
        {false, false, always}, {false, true, always}, {true, false, always}, {true, true, withMaybes}};
    for (const auto& run : runs) {
        const std::vector<QualityFlag> flags = qualityFlags(lanes, {120, 180, {}, run.scored, run.maybes});
        std::vector<std::string> names;
        for (const QualityFlag& f : flags) {
            names.push_back(std::to_string(f.lane) + " " + qualityFlagName(f.kind));
            EXPECT_EQ(f.sample, "S" + std::to_string(f.lane));
        }
        EXPECT_EQ(names, run.flags) << run.scored << run.maybes;
    }
    const std::vector<QualityFlag> flags = qualityFlags(lanes, {120, 180, {}, true, true});
    const std::vector<std::string> details = {
        "2 peaks in range at or above 30000 RFU or off scale, the tallest 31000 RFU at 152.00 bp",
        "tallest peak 90000 RFU at 180.00 bp, outside 120..180 bp",
        "1 peak in range at or above 30000 RFU or off scale, the tallest 500 RFU at 150.00 bp",
        "tallest peak 40000 RFU at 120.00 bp, outside 120..180 bp",
        "tallest peak in range 99 RFU at 150.00 bp, below 100 RFU",
        "6 alleles where the empty lanes give 1.45 molecules per reaction: P(X >= 6) = 0.0038",
        "GS500 LIZ: 9 of 16 standard peaks found",
        "GS500 LIZ: worst three-point R-squared 0.997912, below 0.998",
        "GS500 LIZ: worst three-point R-squared 0.99, below 0.998",
        "2 spikes left out, at scans 3120 (152.31 bp), 4410",
        "1 spike left out, at scan 77"};
    ASSERT_EQ(flags.size(), details.size());
    for (size_t i = 0; i < details.size(); ++i) EXPECT_EQ(flags[i].detail, details[i]) << i;
    EXPECT_EQ(laneFlagsText(flags, 13), "standard-poor: " + details[8] + "; spike: " + details[9]);
    EXPECT_EQ(laneFlagsText(flags, 6), "");

    // Other levels move the flags; no empty lane leaves nothing improbable.
    QualityLevels levels;
    levels.saturation = 900;
    levels.lowSignal = 501;
    levels.improbable = 0.02;
    std::vector<std::string> names;
    for (const QualityFlag& f : qualityFlags({lanes[2], lanes[8], lanes[8], lanes[6], lanes[6]}, {120, 180, levels, true, false}))
        names.push_back(std::to_string(f.lane) + " " + qualityFlagName(f.kind));
    EXPECT_EQ(names, (std::vector<std::string>{"3 off-scale", "3 low-signal", "9 off-scale", "9 improbable-alleles",
                                               "9 off-scale", "9 improbable-alleles"}));
    EXPECT_TRUE(qualityFlags({lanes[8], lanes[8]}, {120, 180, levels, true, true}).size() == 2);  // off-scale only
}

// The panel's numbers are short; an interval with one bound says which.
TEST(StatDisplay, NumbersAndIntervals) {
    const std::tuple<Estimate, const char*, const char*> cases[] = {
        {{2.2617631, 1.6969958, 2.9740843, ""}, "2.262", "1.697 – 2.974"}, {{96.0, {}, {}, ""}, "96", ""},
        {{1.2345678e-7, 0.0, 3.0e-6, ""}, "1.235e-07", "0 – 3e-06"}, {{{}, 0.50689231, {}, "not estimable"}, "", "≥ 0.5069"},
        {{-0.5, {}, 0.25, ""}, "-0.5", "≤ 0.25"}};
    for (const auto& [estimate, value, interval] : cases) {
        const std::vector<StatLine> lines = statLines({{"molecules_per_reaction", estimate}});
        ASSERT_EQ(lines.size(), 1u);
        EXPECT_EQ(lines[0].value + "|" + lines[0].interval + "|" + lines[0].note, std::string(value) + "|" + interval + "|" + estimate.note);
    }
    // Negative zero prints as 0; whole numbers up to 2^53 in full.
    EXPECT_EQ(statNumber(-0.0) + " " + statNumber(9007199254740992.0) + " " + statNumber(-123456789.0), "0 9007199254740992 -123456789");
    const AccumulatedStatistics acc = accumulatedStatistics({{{{96, 50, 20, 26}, 5.0}}, {{150, 3, 0}}, 150, 156, 2, {}});
    for (const StatLine& line : statLines(statRows(acc))) EXPECT_EQ(line.title.find('_'), std::string::npos) << line.title;
}

// The slope is tested where it can be: three GE values; empty lanes falling
// far faster than one hit per molecule allows; empty lanes only at the low GE
// (no finite slope, the score test stands); one GE, or GE missing or 0 on the
// others (k stands, the slope does not).
TEST(StatisticsSingleHit, TestsTheSlopeWhereItCan) {
    const auto facts = [](const SingleHitFit& f) {
        return std::tuple(f.moleculesPerGE.estimable(), f.slope.estimable(), f.slopePValue.estimable(), f.notSingleHit, f.runsUsed);
    };
    EXPECT_EQ(facts(singleHitFit(kThreeGE)), std::tuple(true, true, true, false, 3));
    const SingleHitFit steep = singleHitFit({{{96, 90, 6, 0}, 5.0}, {{96, 40, 56, 0}, 10.0}, {{96, 2, 94, 0}, 20.0}});
    EXPECT_EQ(facts(steep), std::tuple(true, true, true, true, 3));
    EXPECT_GT(*steep.slope.lower, 1.0);
    EXPECT_EQ(facts(singleHitFit({{{48, 48, 0, 0}, 1.0}, {{48, 0, 48, 0}, 100.0}})), std::tuple(true, false, true, false, 2));
    const SingleHitFit oneGE =
        singleHitFit({{{96, 10, 86, 0}, 4.0}, {{96, 20, 76, 0}, 0.0}, {{96, 30, 66, 0}, std::nullopt}, {{96, 40, 56, 0}, 4.0}});
    EXPECT_EQ(facts(oneGE), std::tuple(true, false, false, false, 2));
    EXPECT_TRUE(sameTo8Digits(oneGE.moleculesPerGE.value, -std::log(50.0 / 192) / 4));
    EXPECT_FALSE(singleHitFit({{{96, 10, 86, 0}, 0.0}}).moleculesPerGE.estimable());
}

// Intervals contain their estimates and narrow when every count grows tenfold.
TEST(StatisticsProperty, IntervalsHoldTheirEstimatesAndNarrowWithMoreLanes) {
    std::mt19937 random(20240614);
    auto width = [](const Estimate& e) { return *e.upper - *e.lower; };
    auto holds = [](const Estimate& e) { return e.estimable() && *e.lower <= *e.value && *e.value <= *e.upper; };
    for (int round = 0; round < 200; ++round) {
        const int64_t n = std::uniform_int_distribution<int64_t>(2, 300)(random);
        const int64_t k = std::uniform_int_distribution<int64_t>(0, n)(random);
        const int64_t n0 = std::uniform_int_distribution<int64_t>(1, n - 1)(random);
        const double ge = std::uniform_real_distribution<double>(0.5, 50.0)(random);
        const LaneCounts lanes{n, n0, n - n0, 0};
        const LaneCounts more{10 * n, 10 * n0, 10 * (n - n0), 0};
        std::vector<RunLanes> runs, moreRuns;
        for (int r = 0; r < 3; ++r) {
            const int64_t e = std::uniform_int_distribution<int64_t>(1, n - 1)(random);
            runs.push_back({{n, e, n - e, 0}, ge * (r + 1)});
            moreRuns.push_back({{10 * n, 10 * e, 10 * (n - e), 0}, ge * (r + 1)});
        }
        const std::pair<Estimate, Estimate> pairs[] = {
            {clopperPearson(k, n), clopperPearson(10 * k, 10 * n)},
            {poissonInterval(k), scaled(poissonInterval(10 * k), 0.1)},
            {moleculesPerReaction(lanes), moleculesPerReaction(more)},
            {moleculesPerGE(moleculesPerReaction(lanes), ge), moleculesPerGE(moleculesPerReaction(more), ge)},
            {singleHitFit(runs).moleculesPerGE, singleHitFit(moreRuns).moleculesPerGE}};
        for (const auto& [few, many] : pairs) {
            ASSERT_TRUE(holds(few) && holds(many)) << "n " << n << " k " << k << " n0 " << n0;
            EXPECT_LT(width(many), width(few)) << "n " << n << " k " << k << " n0 " << n0;
        }
    }
}

}  // namespace
}  // namespace lociview
