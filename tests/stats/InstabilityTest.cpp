// The instability indices of bulk PCR: a hand-worked lane, each choice of
// index size, the threshold's edges, an independent sum on random lanes,
// the group intervals against their closed forms, bad input, and the TSV
// blocks reading back exactly.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "base/DevLog.h"
#include "export/InstabilityTables.h"
#include "model/AlleleDB.h"
#include "stats/Instability.h"

namespace lociview {
namespace {

InstabilitySettings settings(double unit = 3.0) {
    InstabilitySettings s;
    s.low = 100;
    s.high = 200;
    s.unit = unit;
    return s;
}

// Peaks 3 bp apart around a main peak at 150; 144 and 156 stand exactly at
// a fifth of its height, 159 just under; 250, the tallest, lies beyond the
// range. Kept: 144..156 with shares 0.08, 0.2, 0.4, 0.24, 0.08.
const LanePeaks kFive{1, "A1", {{153, 600}, {144, 200}, {150, 1000}, {159, 199}, {147, 500}, {156, 200}, {250, 5000}}};
const std::vector<LanePeaks> kPlate = {kFive,
                                       {2, "ctrl-1", {{150, 800}, {153, 100}}},
                                       {3, "ctrl-2", {{153, 900}}},
                                       {4, "empty", {{90, 500}}},
                                       {5, "flat", {{150, 0}, {153, 0}}}};

// The listed lanes, each once, with their records in store order; records
// of lanes not listed are left out.
TEST(InstabilityTest, LanePeaksGathersEachListedLane) {
    NullLog log;
    AlleleDB db(log);
    const struct { double size; int32_t height, lane; } records[] = {
        {150, 10, 0}, {152, 20, 3}, {151, 30, 0}, {160, 40, 9}, {153, 50, 3}, {154, 60, 0}};
    for (const auto& r : records) db.addAlleleWithSize(r.size, r.height, 1, r.lane);
    std::string got;
    for (const LanePeaks& lane : lanePeaks(db.workingList(), {3, 0, 3, 5}, {"c", "a", "again", "e"})) {
        got += format("%d %s:", lane.lane, lane.sample.c_str());
        for (const IndexPeak& p : lane.peaks) got += format(" %g/%g", p.size, p.height);
        got += "|";
    }
    EXPECT_EQ(got, "3 c: 152/20 153/50|0 a: 150/10 151/30 154/60|5 e:|");
}

LaneInstability first(const InstabilitySettings& s) {
    const InstabilityResult r = laneInstability(kPlate, s);
    EXPECT_FALSE(r.problem) << r.problem->message;
    return r.lanes.empty() ? LaneInstability{} : r.lanes[0];
}

TEST(InstabilityTest, HandWorkedFivePeaks) {
    const LaneInstability lane = first(settings());
    ASSERT_TRUE(lane.indices) << lane.note;
    const LaneIndices& x = *lane.indices;
    EXPECT_EQ(x.peaksKept, 5);
    EXPECT_EQ(x.mainSize, 150);
    EXPECT_EQ(x.indexSize, 150);
    EXPECT_EQ(x.mainChange, 0);
    // expansion 0.24 x 1 + 0.08 x 2, contraction 0.2 x 1 + 0.08 x 2.
    EXPECT_NEAR(x.expansion, 0.40, 1e-15);
    EXPECT_NEAR(x.contraction, 0.36, 1e-15);
    EXPECT_NEAR(x.instability, 0.04, 1e-15);
    EXPECT_NEAR(x.meanSize, 150.12, 1e-12);
    std::string shape;
    for (const KeptPeak& k : lane.distribution)
        shape += format("%g:%g:%.2f%s ", k.size, k.change, k.share, k.main ? "*" : "");
    EXPECT_EQ(shape, "144:-2:0.08 147:-1:0.20 150:0:0.40* 153:1:0.24 156:2:0.08 ");
}

// The same lane from each index size: the changes move, the mean size does not.
TEST(InstabilityTest, EachChoiceOfIndexSize) {
    const struct {
        const char* name;
        IndexSizeChoice choice;
        double typed, unit;
        double index, mainChange, instability, expansion, contraction;
    } cases[] = {
        {"own main peak", IndexSizeChoice::OwnMainPeak, 0, 3, 150, 0, 0.04, 0.40, 0.36},
        {"P1", IndexSizeChoice::Progenitor1, 147, 3, 147, 1, 1.04, 1.12, 0.08},
        {"typed", IndexSizeChoice::Typed, 151.5, 3, 151.5, -0.5, -0.46, 0.24, 0.70},
        {"typed unit", IndexSizeChoice::Typed, 151.5, 1.5, 151.5, -1, -0.92, 0.48, 1.40},
        // Controls by name and by lane number: main peaks 150 and 153.
        {"control mean", IndexSizeChoice::ControlMean, 0, 3, 151.5, -0.5, -0.46, 0.24, 0.70},
    };
    for (const auto& c : cases) {
        InstabilitySettings s = settings(c.unit);
        s.index = c.choice;
        s.indexSize = c.typed;
        s.controls = {"ctrl-1", " 3 ", "empty"};
        const LaneInstability lane = first(s);
        ASSERT_TRUE(lane.indices) << c.name;
        EXPECT_EQ(lane.indices->indexSize, c.index) << c.name;
        EXPECT_NEAR(lane.indices->mainChange, c.mainChange, 1e-14) << c.name;
        EXPECT_NEAR(lane.indices->instability, c.instability, 1e-14) << c.name;
        EXPECT_NEAR(lane.indices->expansion, c.expansion, 1e-14) << c.name;
        EXPECT_NEAR(lane.indices->contraction, c.contraction, 1e-14) << c.name;
        EXPECT_NEAR(lane.indices->meanSize, 150.12, 1e-12) << c.name;
    }
}

// A peak exactly at the threshold's fraction of the main height is kept.
TEST(InstabilityTest, ThresholdEdges) {
    const struct { std::string text; int64_t kept; } cases[] = {
        {"0", 6}, {"0.199", 6}, {" 0.2 ", 5}, {"0.2000001", 3}, {"0.6", 2}, {"1", 1}};
    for (const auto& c : cases) {
        InstabilitySettings s = settings();
        s.threshold = thresholdValue(c.text);
        const LaneInstability lane = first(s);
        ASSERT_TRUE(lane.indices) << c.text;
        EXPECT_EQ(lane.indices->peaksKept, c.kept) << c.text;
    }
}

// Every figure against a sum written straight from the definitions, in
// long double, on random lanes and settings.
TEST(InstabilityTest, MatchesAnIndependentSumOnRandomLanes) {
    std::mt19937_64 rng(27);
    std::uniform_real_distribution<double> size(90, 210), unit01(0, 1);
    std::uniform_int_distribution<int> count(1, 30), height(0, 5000);
    for (int trial = 0; trial < 300; ++trial) {
        LanePeaks lane{trial, "", {}};
        for (int i = count(rng); i > 0; --i) lane.peaks.push_back({size(rng), static_cast<double>(height(rng))});
        InstabilitySettings s = settings(std::vector<double>{1, 2, 3, 4.5}[trial % 4]);
        s.threshold = unit01(rng);
        if (trial % 3 == 0) s.index = IndexSizeChoice::Typed, s.indexSize = size(rng);

        const IndexPeak* main = nullptr;
        for (const IndexPeak& p : lane.peaks)
            if (p.size >= s.low && p.size <= s.high && (!main || p.height > main->height)) main = &p;
        const InstabilityResult r = laneInstability({&lane, 1}, s);
        ASSERT_EQ(r.lanes.size(), 1u);
        if (!main || main->height == 0) {
            EXPECT_FALSE(r.lanes[0].indices);
            continue;
        }
        const long double index = s.index == IndexSizeChoice::Typed ? s.indexSize : main->size;
        long double sum = 0, instability = 0, expansion = 0, contraction = 0, mean = 0;
        int64_t kept = 0;
        for (const IndexPeak& p : lane.peaks)
            if (p.size >= s.low && p.size <= s.high && p.height >= static_cast<long double>(s.threshold) * main->height)
                sum += p.height, ++kept;
        for (const IndexPeak& p : lane.peaks) {
            if (!(p.size >= s.low && p.size <= s.high && p.height >= static_cast<long double>(s.threshold) * main->height))
                continue;
            const long double share = p.height / sum, change = (p.size - index) / s.unit;
            instability += share * change;
            (change > 0 ? expansion : contraction) += share * std::fabs(change);
            mean += share * p.size;
        }
        ASSERT_TRUE(r.lanes[0].indices) << trial;
        const LaneIndices& x = *r.lanes[0].indices;
        const auto close = [](double got, long double want, long double scale) {
            return std::fabs(got - want) <= 1e-12L * scale;
        };
        EXPECT_EQ(x.peaksKept, kept) << trial;
        EXPECT_EQ(x.mainSize, main->size) << trial;
        EXPECT_EQ(x.instability, x.expansion - x.contraction) << trial;
        EXPECT_TRUE(close(x.expansion, expansion, expansion)) << trial;
        EXPECT_TRUE(close(x.contraction, contraction, contraction)) << trial;
        // Near 0 the difference is only as exact as its parts.
        EXPECT_TRUE(close(x.instability, instability, expansion + contraction)) << trial;
        EXPECT_TRUE(close(x.meanSize, mean, mean)) << trial;
    }
}

LaneInstability withIndex(int32_t lane, std::string sample, double instability) {
    LaneInstability l;
    l.lane = lane;
    l.sample = std::move(sample);
    l.indices = LaneIndices{};
    l.indices->instability = l.indices->expansion = instability;
    return l;
}

// One-group intervals at 1 and 2 degrees of freedom, where the t quantile
// has a closed form, and Welch's difference of two equal-variance pairs
// (2 degrees of freedom) and of unequal groups (49/17).
TEST(InstabilityTest, GroupIntervalsAgainstClosedForms) {
    const double p = 0.975;
    const double t1 = std::tan(std::numbers::pi * (p - 0.5));
    const double t2 = (2 * p - 1) / std::sqrt(2 * p * (1 - p));
    const std::vector<LaneInstability> lanes = {withIndex(1, "ctrl-1", 1), withIndex(2, "ctrl-2", 3),
                                                withIndex(3, "trt-1", 4),  withIndex(4, "trt-2", 6),
                                                withIndex(5, "trt-3", 8),  {6, "none", {}, {}, {}, "no peak"}};
    const GroupsResult r = groupInstability(lanes, {{"pair", "", {"trt-1", "4"}}, {"trt", "trt-", {}}}, {"ctrl-1", "2"});
    ASSERT_FALSE(r.problem);
    ASSERT_EQ(r.groups.size(), 4u);
    const auto near = [](std::optional<double> got, double want) {
        return got && std::fabs(*got - want) <= 1e-12 * std::fabs(want);
    };
    const GroupInstability &all = r.groups[0], &control = r.groups[1], &pair = r.groups[2], &trt = r.groups[3];
    EXPECT_EQ(all.name + control.name + pair.name + trt.name, "allcontrolpairtrt");
    EXPECT_EQ(all.lanes, 6);
    EXPECT_EQ(all.instability.lanes, 5);
    EXPECT_TRUE(near(all.instability.mean.value, 4.4));
    EXPECT_TRUE(near(all.instability.sd.value, std::sqrt(7.3)));
    EXPECT_FALSE(all.instability.difference.value || control.instability.difference.value);

    EXPECT_TRUE(near(control.instability.mean.lower, 2 - t1));
    EXPECT_TRUE(near(pair.instability.mean.upper, 5 + t1));
    EXPECT_TRUE(near(pair.instability.difference.value, 3));
    EXPECT_TRUE(near(pair.instability.welchDf, 2));
    EXPECT_TRUE(near(pair.instability.difference.lower, 3 - t2 * std::sqrt(2.0)));
    EXPECT_TRUE(near(pair.instability.difference.upper, 3 + t2 * std::sqrt(2.0)));
    EXPECT_TRUE(near(trt.instability.mean.lower, 6 - t2 * 2 / std::sqrt(3.0)));
    EXPECT_TRUE(near(trt.instability.welchDf, 49.0 / 17));
    EXPECT_TRUE(near(trt.expansion.difference.value, 4));
    // No contraction anywhere: no spread, so no interval.
    EXPECT_EQ(trt.contraction.mean.upper, 0.0);
    EXPECT_EQ(trt.contraction.difference.value, 0.0);
    EXPECT_FALSE(trt.contraction.difference.lower);

    const GroupsResult alone = groupInstability(lanes, {{"one", "trt-3", {}}}, {});
    EXPECT_EQ(alone.groups[1].instability.difference.note, "not estimable: no control lane is marked");
    EXPECT_EQ(alone.groups[1].instability.mean.value, 8);
    EXPECT_FALSE(alone.groups[1].instability.mean.lower || alone.groups[1].instability.sd.value);
    EXPECT_EQ(groupInstability(lanes, {{"typo", "", {"trt-9"}}}, {}).problem->kind, InstabilityProblemKind::NamesNoLane);
    const GroupsResult huge = groupInstability({withIndex(1, "a", 1e308), withIndex(2, "b", -1e308)}, {}, {});
    EXPECT_EQ(huge.groups[0].instability.mean.note, "not estimable: the numbers are out of range");
}

// Bad settings refuse with a message before any lane; bad lanes get empty
// indices with their reason.
TEST(InstabilityTest, BadInputGetsAReason) {
    const struct {
        const char* name;
        void (*change)(InstabilitySettings&);
        std::optional<InstabilityProblemKind> problem;
        std::string firstLaneNote;
    } cases[] = {
        {"threshold text", [](InstabilitySettings& s) { s.threshold = thresholdValue("0.2x"); }, InstabilityProblemKind::ThresholdNotANumber, ""},
        {"threshold above 1", [](InstabilitySettings& s) { s.threshold = 1.01; }, InstabilityProblemKind::ThresholdOutsideRange, ""},
        {"threshold below 0", [](InstabilitySettings& s) { s.threshold = -0.01; }, InstabilityProblemKind::ThresholdOutsideRange, ""},
        {"unit 0", [](InstabilitySettings& s) { s.unit = 0; }, InstabilityProblemKind::UnitNotPositive, ""},
        {"unit NaN", [](InstabilitySettings& s) { s.unit = std::nan(""); }, InstabilityProblemKind::UnitNotPositive, ""},
        {"typed size NaN", [](InstabilitySettings& s) { s.index = IndexSizeChoice::Typed, s.indexSize = std::nan(""); },
         InstabilityProblemKind::IndexSizeNotANumber, ""},
        {"no controls", [](InstabilitySettings& s) { s.index = IndexSizeChoice::ControlMean; }, InstabilityProblemKind::NoControls, ""},
        {"control typo", [](InstabilitySettings& s) { s.index = IndexSizeChoice::ControlMean, s.controls = {"ctrl-1", "ctrl-9"}; },
         InstabilityProblemKind::NamesNoLane, ""},
        {"controls without peaks", [](InstabilitySettings& s) { s.index = IndexSizeChoice::ControlMean, s.controls = {"4", "flat"}; },
         std::nullopt, "no control lane has a main peak"},
        {"range misses the peaks", [](InstabilitySettings& s) { s.low = 160; }, std::nullopt, "no peak from 160 to 200 bp"},
    };
    for (const auto& c : cases) {
        InstabilitySettings s = settings();
        c.change(s);
        const InstabilityResult r = laneInstability(kPlate, s);
        ASSERT_EQ(r.problem.has_value(), c.problem.has_value()) << c.name;
        if (r.problem) {
            EXPECT_EQ(r.problem->kind, *c.problem) << c.name;
            EXPECT_FALSE(r.problem->message.empty()) << c.name;
            EXPECT_TRUE(r.lanes.empty()) << c.name;
            continue;
        }
        EXPECT_FALSE(r.lanes[0].indices) << c.name;
        EXPECT_EQ(r.lanes[0].note, c.firstLaneNote) << c.name;
    }
    InstabilitySettings typo = settings();
    typo.index = IndexSizeChoice::ControlMean;
    typo.controls = {"x"};
    EXPECT_NE(laneInstability(kPlate, typo).problem->message.find("'x'"), std::string::npos);
}

std::vector<std::vector<std::string>> cells(const std::string& text) {
    std::vector<std::vector<std::string>> rows;
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
        rows.emplace_back();
        std::istringstream fields(line + '\t');
        for (std::string f; std::getline(fields, f, '\t');) rows.back().push_back(f);
    }
    return rows;
}

// The blocks print every number so that it reads back as the same double,
// and a missing one as an empty cell, never as "nan".
TEST(InstabilityTest, TextBlocksReadBackExactly) {
    InstabilitySettings s = settings();
    s.index = IndexSizeChoice::Typed;
    s.indexSize = 150.1;
    const InstabilityResult r = laneInstability(kPlate, s);
    const std::string text = instabilityText(r.lanes);
    const auto rows = cells(text);
    ASSERT_EQ(rows.size(), 6u);
    EXPECT_EQ(text.substr(0, text.find('\n')),
              "lane\tsample\tindex_size\tmain_size\tpeaks_kept\tinstability_index\texpansion_index\tcontraction_index\t"
              "mean_size\tmain_change\tnote");
    const LaneIndices& x = *r.lanes[0].indices;
    const double values[] = {x.indexSize, x.mainSize, x.instability, x.expansion, x.contraction, x.meanSize, x.mainChange};
    const size_t columns[] = {2, 3, 5, 6, 7, 8, 9};
    for (size_t i = 0; i < std::size(values); ++i) EXPECT_EQ(std::stod(rows[1][columns[i]]), values[i]) << columns[i];
    EXPECT_EQ(rows[1][4], "5");
    EXPECT_EQ(rows[4], (std::vector<std::string>{"4", "empty", "", "", "", "", "", "", "", "", "no peak from 100 to 200 bp"}));
    EXPECT_EQ(rows[5], (std::vector<std::string>{"5", "flat", "", "150", "", "", "", "", "", "", "the main peak has height 0"}));

    const GroupsResult g = groupInstability(r.lanes, {{"A", "A", {}}}, {"ctrl-1", "ctrl-2"});
    const std::string groups = instabilityGroupsText(g.groups);
    EXPECT_EQ(groups.find("nan"), std::string::npos);
    const auto grows = cells(groups);
    ASSERT_EQ(grows.size(), 1u + 3 * 3);
    EXPECT_EQ(grows[0].size(), 12u);
    // Group A holds one lane: its mean, and the difference without an interval.
    EXPECT_EQ(grows[7][0] + grows[7][1] + grows[7][2], "Ainstability1");
    EXPECT_EQ(std::stod(grows[7][3]), x.instability);
    EXPECT_EQ(grows[7][4] + grows[7][5] + grows[7][6] + grows[7][8] + grows[7][10], "");
    EXPECT_EQ(grows[7][11], "one lane: no spread and no interval; an interval needs two lanes in the group and two controls");
    EXPECT_EQ(std::stod(grows[7][7]), x.instability - g.groups[1].instability.mean.value.value());
}

}  // namespace
}  // namespace lociview
