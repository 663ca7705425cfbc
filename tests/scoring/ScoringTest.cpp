// Scoring runs through the Score action, one table: the allele-size count
// and its refusals, the checks, the size shift across runs, the cleaning of
// the peaks, the result lists and counters, and that a run leaves no trace
// in the next. The lane sweeps themselves are pinned by the score-ladders
// and score-shift golden traces. The progenitors suggested before scoring.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <sstream>
#include <string>
#include <vector>

#include "scoring/LaneScoring.h"
#include "export/ExportTables.h"
#include "scoring/ProgenitorSuggestion.h"
#include "scoring/ScoringLog.h"
#include "scoring/SizeMatches.h"
#include "support/ControllerHarness.h"
#include "support/RecordingLog.h"

namespace lociview {
namespace {

struct Peak {
    int32_t lane;
    double size;
    int32_t height;
};

struct Params {
    std::string p1 = "150", p2 = "150", low = "120", high = "180", stutter = "1.5";
    int locusColumn = 1;  // 0 mono, 1 di, 2 tri, 3 penta
    std::string shift = "0.0";
    int maybes = 0;
    bool alternate = false;  // answers an alert with its other button
};

Params range(std::string p1, std::string low, std::string high, int column = 1) {
    return Params{p1, p1, std::move(low), std::move(high), "1.5", column};
}
Params shifted(std::string shift, Params p = range("150", "120", "180")) { return p.shift = std::move(shift), p; }
Params refused(Params p) { return shifted("3", std::move(p)); }  // a refused run must not shift

std::string w(double weight) { return format("%.9g", weight); }

// The trace of one run, then what it left: allele sizes, result rows, lanes,
// counters, fields, shift, each lane's records and scores, the scoring log.
std::vector<std::string> scoreAndShow(ControllerHarness& h, const Params& p) {
    for (auto [field, text] : {std::pair{&h.tk.progenitor1, p.p1}, {&h.tk.progenitor2, p.p2}, {&h.tk.lowrange, p.low},
                               {&h.tk.highrange, p.high}, {&h.tk.stuttertol, p.stutter}, {&h.tk.shift, p.shift}})
        field->setText(text);
    h.tk.locusmatrix.select(p.locusColumn);
    h.tk.Maybes.setState(p.maybes);
    if (p.alternate) h.tk.dialogs.queueAnswer(true);
    h.takeTrace();
    h.controller.scoreData();
    std::vector<std::string> out;
    std::istringstream trace(h.takeTrace());
    for (std::string line; std::getline(trace, line);) out.push_back(line);
    const GeneController& g = h.controller;
    const auto& sizes = g.alleleSizes();
    out.push_back(format("count %d sizes ", g.alleleCount()) +
                  (sizes.size() < 2 ? "none" : format("%d %d .. %d (%zu)", sizes[0], sizes[1], sizes.back(), sizes.size())));
    for (size_t i = 2; i < sizes.size(); ++i)
        if (sizes[i] - sizes[i - 1] != sizes[1] - sizes[0]) out.push_back("uneven sizes");
    std::string results = "results", lanes = "lanes";
    for (const AlleleRow& r : g.result().alleles) results += format(" %d:%d:", r.size, r.count) + w(r.weight);
    for (const int32_t lane : g.result().tbllane) lanes += format(" %d", lane);
    out.insert(out.end(), {results, lanes, "counters " + h.tk.numemptylanes.text() + " " + h.tk.numones.text() + " " + h.tk.numtwos.text(),
                           format("fields %s %s locus %d", h.tk.progenitor1.text().c_str(), h.tk.progenitor2.text().c_str(), g.locusType()),
                           format("shift %g %d", g.shiftValue() + 0.0, g.scoredFlag())});
    for (const int32_t lane : g.lanes()) {
        std::string records = format("lane %d:", lane), scores = format("scores %d: ", lane);
        for (const auto& a : g.store().getLane(lane)) {
            records += format(" %g/%d", a->getSize(), a->getHeight());
            scores += "USMD"[std::clamp(a->getScore(), 0, 3)];
        }
        out.insert(out.end(), {records, scores});
    }
    std::string view = h.tk.datatext.text();
    std::replace(view.begin(), view.end(), '\n', '|');
    out.push_back("view " + view);
    return out;
}

// Facts are lines that must appear in this order; "x*" is any line that
// begins with x; "!x" is a line that must not appear before the next run.
::testing::AssertionResult inOrder(const std::vector<std::string>& lines, const std::vector<std::string>& facts) {
    const auto matches = [](const std::string& line, std::string fact) {
        if (fact.empty() || fact.back() != '*') return line == fact;
        fact.pop_back();
        return line.rfind(fact, 0) == 0;
    };
    size_t at = 0;
    for (const std::string& fact : facts) {
        if (fact.rfind("!", 0) == 0) {
            for (size_t i = at; i < lines.size() && lines[i].rfind("== run", 0) != 0; ++i)
                if (matches(lines[i], fact.substr(1))) return ::testing::AssertionFailure() << "unexpected " << lines[i];
            continue;
        }
        while (at < lines.size() && !matches(lines[at], fact)) ++at;
        if (at == lines.size()) return ::testing::AssertionFailure() << "missing in order: " << fact;
        ++at;
    }
    return ::testing::AssertionSuccess();
}

struct RunCase {
    const char* name;
    std::vector<Peak> peaks;  // none: the example plate
    std::vector<Params> runs;
    std::vector<std::string> facts;  // over every run, each led by "== run N"
    enum { Plain, KeepsPreviousRun, AsFreshRun } check = Plain;
};
void PrintTo(const RunCase& c, std::ostream* os) { *os << c.name; }

class ScoringTest : public ::testing::TestWithParam<RunCase> {};

// What a run left, without its trace and the fields as typed.
std::vector<std::string> stateOf(std::vector<std::string> dump) {
    std::erase_if(dump, [](auto& l) { return l.rfind("fields ", 0) == 0; });
    return {std::find_if(dump.begin(), dump.end(), [](auto& l) { return l.rfind("count ", 0) == 0; }), dump.end()};
}

TEST_P(ScoringTest, LeavesTheseFacts) {
    const RunCase& c = GetParam();
    const auto open = [&](ControllerHarness& h) {
        std::string text;  // lane, letter, comma, dataID, five numbers
        for (const Peak& p : c.peaks) text += format("%dA,1 1.0 %.4f %d 1.0 1.0\n", p.lane, p.size, p.height);
        if (!c.peaks.empty()) return h.openText(text);
        h.tk.dialogs.setOpenAnswer(LOCIVIEW_EXAMPLES_DIR "/di-locus-plate.txt");
        h.controller.openData();
    };
    ControllerHarness h;
    open(h);
    std::vector<std::string> all, before, last;
    for (size_t i = 0; i < c.runs.size(); ++i) {
        before = last;
        last = scoreAndShow(h, c.runs[i]);
        all.push_back(format("== run %zu", i + 1));
        all.insert(all.end(), last.begin(), last.end());
    }
    EXPECT_TRUE(inOrder(all, c.facts));
    EXPECT_TRUE(c.check != RunCase::KeepsPreviousRun || stateOf(last) == stateOf(before));
    if (c.check == RunCase::AsFreshRun) {
        ControllerHarness fresh;
        open(fresh);
        EXPECT_EQ(last, scoreAndShow(fresh, c.runs.back()));
    }
}

const std::vector<Peak> kTwoPeaks = {{1, 150, 1000}, {1, 152, 900}};
// Two lanes with a clear allele each, inside 120..180.
const std::vector<Peak> kTwoLanes = {{1, 148, 300}, {1, 150, 2000}, {2, 158, 250}, {2, 160, 1800}};
const Params kDi{"100", "106", "90", "120"};
const std::string kLarge = "alert: Your range is too large to count the alleles in it. [Abort Scoring] -> Abort Scoring";
const std::string kTryAgain = "alert: Progenitor 1 is smaller than your Low Range value. [Try Again] -> Try Again";

INSTANTIATE_TEST_SUITE_P(
    Runs, ScoringTest,
    ::testing::Values(
        // The allele-size count: the ends move onto the whole-number bounds.
        RunCase{"FractionalProgenitorAdjustsBothEnds", kTwoPeaks, {range("151.7", "120", "180")},
                {"log: x = 181", "log: x = 119", "log: 31 alleles counted", "log: lowallelesize adjusted up",
                 "log: highallelesize adjusted down", "log: c=121", "count 31 sizes 121 123 .. 181 (31)"}},
        RunCase{"MonoFractionalBounds", kTwoPeaks, {range("150", "145.5", "152.5", 0)},
                {"log: x = 153", "log: x = 145", "log: 8 alleles counted", "!log: lowallelesize adjusted up",
                 "log: highallelesize adjusted down", "log: c=145", "count 8 sizes 145 146 .. 152 (8)"}},
        RunCase{"PentaAdjustsOnWholeBounds", kTwoPeaks, {range("150", "141.5", "158.9", 3)},
                {"log: x = 160", "log: x = 140", "log: 4 alleles counted", "log: lowallelesize adjusted up",
                 "log: highallelesize adjusted down", "log: c=145", "count 4 sizes 145 150 .. 160 (4)"}},
        RunCase{"LargestCountAllowed", kTwoPeaks, {range("100000", "0", "100000", 0)},
                {"log: 100000 alleles counted", "count 100000 sizes 0 1 .. 99999 (100000)"}},
        // Ranges that cannot be counted end the run after the restore; the
        // sizes stay those of the last run, the records unshifted.
        RunCase{"ExponentHighBound", kTwoPeaks, {range("150", "120", "180"), refused(range("1", "0", "1e9"))},
                {"== run 2", "log: prog 1 = *", kLarge, "count 30 sizes 120 122 .. 178 (30)", "results", "lanes", "lane 1: 150/1000 152/900",
                 "scores 1: UU"}},
        RunCase{"OneMoreThanLargest", kTwoPeaks, {shifted("0"), refused(range("100000", "0", "100001", 0))}, {"== run 2", "log: prog 1 = *", kLarge}},
        RunCase{"CountPastLargestInteger", kTwoPeaks, {shifted("0"), refused(range("2147483647", "2147483646", "2147483647.5"))},
                {"== run 2", "log: prog 1 = *", kLarge, "count 30 *"}},
        // Read as whole numbers the bounds lie a billion steps from the count.
        RunCase{"WholeBoundsFarFromCount", kTwoPeaks,
                {shifted("0"), {"2000000000e-9", "2000000000", "1999999999e-9", "2000000001e-9", "1.5", 1, "3"}},
                {"== run 2", "log: prog 1 = *", kLarge, "count 30 *", "lane 1: 150/1000 152/900"}},
        RunCase{"NoSizeBetweenBounds", kTwoPeaks, {shifted("0"), refused(range("2", "1e2", "2"))},
                {"== run 2", "log: 0 alleles counted",
                 "alert: Your range is too small, and the number of alleles between them is 0 [Abort Scoring] -> Abort Scoring",
                 "count 0 sizes 120 122 .. 178 (30)", "results", "lanes", "scores 1: UU"}},
        // The checks: a refused run keeps the last one.
        RunCase{"StartUpValues", kTwoLanes, {Params{"150", "160"}, {"1.0", "2.0", "120.0", "180.0"}},
                {"== run 2", "log: locus = di", "log: 1 < 120", kTryAgain, "count *"}, RunCase::KeepsPreviousRun},
        RunCase{"EmptyP1AndLowP2ReportP1", kTwoLanes, {Params{"150", "160"}, {"", "100"}},
                {"== run 2", "log: 0 < 120", kTryAgain, "count *", "fields  100 locus 2"}, RunCase::KeepsPreviousRun},
        RunCase{"RangeOfZero", kTwoLanes, {Params{"150", "160"}, {"120", "120", "120.2", "120.8"}},
                {"== run 2", "log: 120 , 120", "alert: You have a range of 0 [Abort Scoring] -> Abort Scoring", "count *"},
                RunCase::KeepsPreviousRun},
        RunCase{"SwapAborted", kTwoLanes, {Params{"150", "160"}, {"150", "140", "120", "180", "0.9", 2, "0.0", 0, true}},
                {"== run 2", "log: locus = tri", "log: 150 > 140",
                 "alert: By convenience, Progenitor 2 needs to be equal to or larger than progenitor 1 [Swap Progenitors] "
                 "[Abort Scoring] -> Abort Scoring", "count *"},
                RunCase::KeepsPreviousRun},
        // Passing parameters: swapped as whole numbers; 180 is not above 180;
        // stutter is not tested for tri.
        RunCase{"SwappedAsWholeNumbers", kTwoLanes, {{"150.5", "140.7"}}, {"alert: *", "!alert: *", "lanes 1 2", "fields 140 150 locus 2"}},
        RunCase{"HighBoundNotAboveItself", kTwoLanes, {{"180.9", "180.9"}}, {"!alert: *", "lanes 1 2", "fields 180.9 180.9 locus 2"}},
        RunCase{"PentaStutterNotTested", kTwoLanes, {{"150", "150", "120", "180", "1e400", 3}}, {"!alert: *", "fields 150 150 locus 5"}},
        // The shift the records carry: new shifts move them, the same shift
        // again does not, 0 takes it away; shifts that are no number are 0.
        RunCase{"ShiftAcrossRuns", {{1, 150, 1000}, {1, 152, 900}, {2, 160, 500}},
                {shifted("0"), shifted("-1"), shifted("-0"), shifted("-0.0"), shifted("1e400"), shifted("2.25")},
                {"== run 1", "!log: ***** Shifting*", "shift 0 0", "lane 1: 150/1000 152/900",
                 "== run 2", "log: ***** Shifting all data by -1.000000 *****", "shift -1 1", "lane 1: 149/1000 151/900", "lane 2: 159/500",
                 "== run 3", "log: ***** Shifting all data by -0.000000 *****", "shift 0 1", "lane 1: 150/1000 152/900",
                 "== run 4", "!log: ***** Shifting*", "shift 0 1", "== run 5", "!log: ***** Shifting*", "shift 0 1",
                 "== run 6", "log: ***** Shifting all data by 2.250000 *****", "shift 2.25 1", "lane 2: 162.25/500"}},
        // Cleaning: split peaks merge into the second, small peaks go.
        RunCase{"MergeChainCollapsesIntoLast", {{1, 100.0, 400}, {1, 100.3, 300}, {1, 100.6, 100}}, {range("150", "90.9", "180.9")},
                {"log: merged peak 100.000000 in lane 0 (1 in Real Lane)", "log: merged peak 100.150002 in lane 0 (1 in Real Lane)",
                 "lane 1: 100.375/225"}},
        RunCase{"HalfBaseApartStaysForDi", {{1, 100.0, 400}, {1, 100.5, 300}}, {range("150", "90.9", "180.9")},
                {"!log: merged*", "lane 1: 100/400 100.5/300"}},
        RunCase{"MonoToleranceIsQuarter", {{1, 100.0, 400}, {1, 100.3, 300}}, {range("150", "90.9", "180.9", 0)},
                {"lane 1: 100/400 100.3/300"}},
        RunCase{"MergedHeightDoesNotOverflow", {{0, 150, 9}, {1, 100.0, 2147483647}, {1, 100.2, 2147483647}},
                {range("150", "90.9", "180.9", 2)}, {"log: merged peak 100.000000 in lane 1 (1 in Real Lane)", "lane 1: 100.1/2147483647"}},
        RunCase{"RangeBoundsReadAsWholeNumbers", {{1, 89.99, 500}, {1, 90.0, 500}, {1, 180.0, 500}, {1, 180.5, 500}},
                {range("150", "90.9", "180.9", 2)}, {"log: 2 alleles nodes removed. 2 alleles remaining", "lane 1: 90/500 180/500"}},
        RunCase{"SmallPeakBelowTenthOfWeighted", {{1, 100, 1000}, {1, 104, 50}, {1, 110, 100}, {2, 150, 0}},
                {range("150", "90.9", "180.9", 2)},
                {"log: lane 1 has a weighted height of 880.434783", "log: REMOVING Allele size 104.000000 with height 50 in lane 1",
                 "log: denominator = 0 in getWeightedHeighOfLane 2", "log: lane 2 has a weighted height of 0.000000",
                 "lane 1: 100/1000 110/100"}},
        // A peak a tenth or less of the last one on the way up is thrown out
        // (small peaks further up keep it above a tenth of the lane).
        RunCase{"WalkUpDropsTinyPeak",
                {{1, 100, 1000}, {1, 102, 900}, {1, 104, 90}, {1, 110, 95}, {1, 112, 95}, {1, 114, 95}, {1, 116, 95}, {1, 118, 95},
                 {1, 120, 95}, {1, 122, 95}, {1, 124, 95}, {1, 126, 95}, {1, 128, 95}},
                {{"100", "106", "90", "130"}}, {"lane 1: 100/1000 102/900 104/90*", "scores 1: DSD*"}},
        // 100.5 rounds to 101, which it is not within 0.5 of.
        RunCase{"HalfBaseBelowAllele", {{1, 98.5, 200}, {1, 100.5, 1000}}, {kDi}, {"results 101:0:0", "lanes 1", "counters 0 1 0"}},
        RunCase{"ThreeScoredCountAsTwoOrMore", {{1, 96, 100}, {1, 98, 900}, {1, 114, 100}, {1, 116, 800}, {1, 106, 100}, {1, 108, 850}},
                {kDi}, {"results 98:1:" + w(900 / (2202500.0 / 2850)) + " 108:1:" + w(850 / (2202500.0 / 2850)) + " 116:1:" +
                        w(800 / (2202500.0 / 2850)), "counters 0 0 1"}},
        // Scoring is a function of the file and the fields.
        RunCase{"DiSixTimes", {}, std::vector<Params>(6, {"150", "156", "100"}), {}, RunCase::AsFreshRun},
        RunCase{"MonoAfterDi", {}, {{"150", "156", "100"}, {"150", "156", "100", "180", "1.5", 0}}, {}, RunCase::AsFreshRun},
        RunCase{"DiAfterMonoAndTri", {}, {{"150", "156", "100", "180", "1.5", 0}, {"150", "156", "100", "180", "1.5", 2},
                                          {"150", "156", "100"}}, {}, RunCase::AsFreshRun}),
    [](const auto& info) { return std::string(info.param.name); });

// Each lane's tallest peak in range, rounded, leads the lanes within the
// locus tolerance of it; the two sizes leading most (the smaller on a tie)
// are suggested, the smaller as P1.
TEST(ProgenitorSuggestionTest, TheTwoSizesThatLeadMostLanes) {
    auto lanes = [](std::vector<std::vector<std::pair<double, int32_t>>> peaks) {
        std::vector<LaneData> out;
        for (auto& lane : peaks) {
            out.push_back({static_cast<int32_t>(out.size() + 1), "", {}, {}, {}, {}});
            for (const auto& [size, height] : lane) out.back().peaks.push_back({size, height, 1});
        }
        return out;
    };
    const std::vector<LaneData> plate = lanes({{{150.2, 900}, {148.1, 300}}, {{149.8, 500}}, {{150.4, 200}, {200, 5000}},
                                               {{156.1, 700}, {154, 700}}, {{155.7, 100}}, {{156.3, 80}}, {{152, 60}},
                                               {{150.1, 10}, {119, 9000}, {120, 8000}, {180, 7000}}, {{119.9, 4000}}, {}});
    const struct { std::vector<LaneData> lanes; int32_t locus; const char* text; int64_t withPeak; } cases[] = {
        {plate, 2, "P1\t150\t4\t\nP2\t156\t3\t\n", 8},
        {lanes({{{156.2, 1}}, {{156, 1}}, {{155.9, 1}}, {{149.6, 1}}, {{161.8, 1}}}), 2, "P1\t150\t1\t\nP2\t156\t3\t\n", 5},
        {lanes({{{150, 1}}, {{152, 1}}, {{156, 1}}, {{156.1, 1}}, {{152.2, 1}}, {{150, 1}}}), 2, "P1\t150\t2\t\nP2\t152\t2\t\n", 6},
        {lanes({{{150.3, 1}}, {{150.1, 1}}, {{160.5, 1}}}), 1, "P1\t150\t1\t\nP2\t\t0\tno second size leads a lane\n", 3},
        {lanes({{{160.5, 1}}, {{std::nan(""), 1}}}), 2, "P1\t\t0\tno size leads a lane\nP2\t\t0\tno size leads a lane\n", 1},
        {{}, 2, "P1\t\t0\tno lane has a peak in range\nP2\t\t0\tno lane has a peak in range\n", 0}};
    for (const auto& c : cases) {
        const ProgenitorSuggestion s = suggestProgenitors(c.lanes, 120, 180, c.locus);
        EXPECT_EQ(suggestionText(s), std::string("progenitor\tsize\tlanes\tnote\n") + c.text);
        EXPECT_EQ(s.lanesWithPeak, c.withPeak) << c.text;
    }
}

// The sizes from low to high in steps, as an allele size list.
std::vector<int32_t> ladder(int32_t low, int32_t high, int32_t step) {
    std::vector<int32_t> sizes;
    for (int32_t s = low; s <= high; s += step) sizes.push_back(s);
    return sizes;
}

// Matching peaks to allele sizes in one pass gives exactly what one store
// query per size gives: the same peaks, in working-list order.
TEST(SizeMatchesTest, GivesWhatAQueryPerSizeGives) {
    const double nan = std::nan(""), inf = std::numeric_limits<double>::infinity();
    const struct { std::vector<double> peaks; std::vector<int32_t> sizes; double tol; } cases[] = {
        {{150.4, 149.5, 150.5, 149.6, 152.2, 150.0}, {148, 150, 152}, 0.5}, {{120.1, 121.9, 120.0}, {118, 120, 120, 122}, 0.5},
        {{100.0, 103.0}, {99, 100, 101, 102, 104}, 1.5}, {{100.0}, {100}, nan},
        {{nan, inf, -inf, 1e300, -2147483648.0}, {-2147483647 - 1, 0, 2147483647}, 0.5}, {{100.1, 98.2, 104.0}, {104, 98, 100}, 0.5},
        {{99.6, 100.4, 101.2, 150.0, 151.5, 233.9, 297.5, 298.4, 299.0, 50.0, 400.0}, ladder(100, 298, 2), 0.5},
        {{100.0, 101.0, 102.0, 187.0, 200.5, 301.0}, ladder(101, 301, 3), 1.5},
        {{100.0, 104.9, 110.2, 93.5}, ladder(95, 115, 1), 4.0},  // more sizes to a window than are tried at once
        {{std::nextafter(99.5, 100.0), std::nextafter(100.5, 100.0), std::nextafter(99.5, 99.0), 2147483647.4, 1e15},
         {98, 100, 102, 2147483647}, 0.5}};  // a last place inside the tolerance, and outside
    for (const auto& c : cases) {
        NullLog log;
        AlleleDB db(log);
        for (const double size : c.peaks) db.addAlleleWithSize(size, 100, 10, 1);
        std::vector<std::pair<size_t, int32_t>> expected, got;
        for (size_t i = 0; i < c.sizes.size(); ++i)
            for (const auto& a : db.getAlleleSize(static_cast<double>(c.sizes[i]), c.tol)) expected.emplace_back(i, a->getKey());
        for (const SizeMatch& m : matchSizes(db.workingList(), c.sizes, c.tol)) got.emplace_back(m.sizeIndex, m.allele->getKey());
        EXPECT_EQ(got, expected) << ::testing::PrintToString(c.sizes);
    }
    EXPECT_EQ(scoringLogLine(99.996, 1, 12, 4), "marked allele 100.00 with height 1 in lane 12 as UNKNOWN VALUE PASSED TO stringScore(int x)\n");
    // Written as printf writes the line: ties, signs, extremes, not numbers.
    for (const double size : {0.125, 0.135, 2.675, -0.005, 0.0, -0.0, 150.005, 1e300, -1.7e308, 4.9e-324, inf, -inf, nan,
                              -nan})
        for (const int32_t n : {0, -1, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()})
            EXPECT_EQ(scoringLogLine(size, n, -n / 2, 1),
                      format("marked allele %.2lf with height %d in lane %d as %s\n", size, n, -n / 2, stringScore(1)));
}

// Walked for every repeat unit, a lane built as a di lane's ladder with the
// same heights, its peaks on the steps of its own unit, is marked exactly
// as the di lane is, sweep by sweep.
TEST(LaneWalkTest, EveryRepeatUnitMarksAsDi) {
    const std::vector<std::vector<std::pair<double, int32_t>>> diLanes = {
        {{98, 300}, {100, 2000}, {102, 200}},
        {{96, 100}, {98, 500}, {100, 2000}, {102, 1500}, {104, 300}, {106, 20}},
        {{98, 300}, {100, 2000}, {102, 200}, {106, 1200}, {104, 250}, {108, 90}},
        {{100, 2000}, {102, 300}},
        {{98, 400}, {100, 2000}, {96, 700}, {94, 500}},
        {{100, 2000}, {98, 300}, {120, 1500}, {118, 200}},
        {{100, 2000}, {102, 2000}},
    };
    // Marks and walked ranges in di sizes, as the di lane leaves them.
    const auto walk = [&](int32_t locus) {
        NullLog log;
        AlleleDB db(log);
        const double step = locus;
        const auto onSteps = [step](double diSize) { return 100 + (diSize - 100) / 2 * step; };
        for (size_t lane = 0; lane < diLanes.size(); ++lane)
            for (const auto& [size, height] : diLanes[lane]) db.addAlleleWithSize(onSteps(size), height, 1, static_cast<int32_t>(lane));
        ParameterTexts texts{"100", "100", "80", "140", "0", "1.5"};
        const ScoringParameters p = readParameters(texts, locus, 0, true);
        std::vector<std::string> marks;
        for (size_t lane = 0; lane < diLanes.size(); ++lane) {
            std::string line;
            for (const SweepRange& r : scoreLanePeaks(db, log, static_cast<int32_t>(lane), ladderWalkParams(p)))
                line += format("%g..%g ", 100 + (r.low - 100) / step * 2, 100 + (r.high - 100) / step * 2);
            for (const auto& a : db.getLane(static_cast<int32_t>(lane))) line += "USMD"[a->getScore()];
            marks.push_back(line);
        }
        return marks;
    };
    const std::vector<std::string> di = walk(kDiLocus);
    EXPECT_EQ(di[1], "94..108 DDDSMD") << "the lanes are not the ladders they should be";
    for (const int32_t locus : {kMonoLocus, kTriLocus, kTetraLocus, kPentaLocus, kHexaLocus})
        EXPECT_EQ(walk(locus), di) << locusName(locus);
}

// The switch walks every locus, so it checks every locus's stutter
// tolerance; a di locus is walked and checked either way.
TEST(LaneWalkTest, SwitchChecksStutterOfEveryWalkedLocus) {
    const struct { int32_t locus; bool walk; bool refused; } cases[] = {
        {kTriLocus, false, false}, {kTriLocus, true, true}, {kMonoLocus, true, true}, {kHexaLocus, true, true},
        {kDiLocus, false, true}, {kDiLocus, true, true}};
    for (const auto& c : cases) {
        RecordingLog log;
        const ScoringParameters p = readParameters({"150", "150", "120", "180", "0", "0.9"}, c.locus, 0, c.walk);
        EXPECT_EQ(checkParameters(p, log).has_value(), c.refused) << c.locus << " " << c.walk;
        EXPECT_EQ(p.walksLadder(), c.refused);
        EXPECT_EQ(log.lines, c.refused ? std::vector<std::string>{"stutter tol = 0.900000"} : std::vector<std::string>{});
    }
    const auto names = [](bool walk) {
        std::string text;
        for (const LocusKind& k : lociOffered(walk)) text += format("%.*s:%d:%g ", static_cast<int>(k.name.size()), k.name.data(), k.code, tolForLocus(k.code));
        return text;
    };
    EXPECT_EQ(names(false), "mono:1:0.25 di:2:0.5 tri:3:0.5 penta:5:0.5 ");
    EXPECT_EQ(names(true), "mono:1:0.25 di:2:0.5 tri:3:0.5 penta:5:0.5 tetra:4:0.5 hexa:6:0.5 ");
    EXPECT_EQ(locusColumnNamed("tetra"), std::nullopt);
    EXPECT_EQ(locusColumnNamed("hexa", true), 5);
    EXPECT_EQ(std::vector<int32_t>({locusCodeForColumn(-1), locusCodeForColumn(5), locusCodeForColumn(6)}),
              std::vector<int32_t>({kMonoLocus, kHexaLocus, kMonoLocus}));
    EXPECT_EQ(unwalkedLocusNote(kTriLocus, "add --walk-every-locus"),
              "No peak was scored: the ladder is walked for a di locus only; add --walk-every-locus to walk this tri locus.");
}

}  // namespace
}  // namespace lociview
