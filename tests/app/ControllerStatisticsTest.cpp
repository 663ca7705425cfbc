// The controller's statistics of the example plate agree with the core
// functions given what the user did: the lanes and counters the window
// shows, the result rows, P1 and P2 as typed (the latched pair for the
// accumulated runs), the GE of the accumulate window and the di repeat unit
// of the scoring, whatever was typed or refused afterwards.
#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "base/NumberText.h"
#include "scoring/Locus.h"
#include "stats/StatsText.h"
#include "support/ControllerHarness.h"

namespace lociview {
namespace {

const std::string kPlate = std::string(LOCIVIEW_EXAMPLES_DIR) + "/di-locus-plate.txt";

// Everything the statistics print, so one comparison covers every row and bar.
std::string printed(const RunStatistics& s) { return statsText(statRows(s)) + spectrumText(s.spectrum); }
std::string printed(const AccumulatedStatistics& s) { return statsText(statRows(s)) + spectrumText(s.spectrum); }

struct Case {
    const char* name;
    std::vector<const char*> geTexts;  // accumgeforun for each run added, in order
    std::optional<double> runGE;       // what the current run's statistics should use
    bool refusedTriScoring;            // a later Score with the tri cell on, refused
    bool runLog = false;               // the runs go through a run log, read again after a restart
};

class ControllerStatistics : public testing::TestWithParam<Case> {
protected:
    ControllerHarness h;
    ScratchDir scratch{"statistics"};

    void attachLog(GeneController& controller) {
        RunLogOpening opening = RunLog::open(scratch.path / "runs.sqlite");
        ASSERT_TRUE(opening.log) << opening.message;
        EXPECT_EQ(controller.attachRunLog(std::move(*opening.log)).message, "");
    }

    LaneCounts shownLanes() const {
        return {h.controller.laneCount(), intValue(h.tk.numemptylanes.text()), intValue(h.tk.numones.text()),
                intValue(h.tk.numtwos.text())};
    }
};

TEST_P(ControllerStatistics, AgreeWithTheCoreOnTheExamplePlate) {
    const Case& c = GetParam();
    EXPECT_FALSE(h.controller.runStatistics().has_value());  // nothing scored yet
    if (c.runLog) attachLog(h.controller);

    h.tk.progenitor1.setText("150");
    h.tk.progenitor2.setText("156.9");  // read as the integer 156, as scoring and export read it
    h.tk.dialogs.setOpenAnswer(kPlate);
    h.controller.openData();
    ASSERT_EQ(h.controller.scoreData(), Outcome::Done);
    const std::vector<AlleleRow> rows = h.controller.result().alleles;
    const LaneCounts lanes = shownLanes();
    ASSERT_EQ(lanes.lanes, 12);
    ASSERT_EQ(lanes.empty + lanes.one + lanes.twoOrMore, 12);

    AccumulatedInput accumulated{{}, {}, -1, -1, 0, {}};  // the accumulator's pair before a run latches one
    for (const char* ge : c.geTexts) {
        accumulated.p1 = 150;
        accumulated.p2 = 156;
        accumulated.repeatUnit = kDiLocus;
        ASSERT_EQ(h.controller.preAddToAccumulator(), Outcome::Done);
        h.tk.accumgeforun.setText(ge);
        ASSERT_EQ(h.controller.addToAccumulator(), Outcome::Done);
        accumulated.runs.push_back({lanes, doubleValue(ge)});
        accumulated.alleles.insert(accumulated.alleles.end(), rows.begin(), rows.end());
    }
    // The export's GE field is not the run's GE, and P1 typed after adding
    // changes the run's P1 but not the latched pair.
    h.tk.geforun.setText("99");
    h.tk.progenitor1.setText("148");
    if (c.refusedTriScoring) {
        h.tk.locusmatrix.select(2);
        h.tk.lowrange.setText("152");  // P1 below the range: refused, the result stays
        ASSERT_EQ(h.controller.scoreData(), Outcome::Refused);
    }

    const std::optional<RunStatistics> run = h.controller.runStatistics();
    ASSERT_TRUE(run.has_value());
    EXPECT_EQ(printed(*run), printed(runStatistics({lanes, c.runGE, rows, 148, 156, kDiLocus})));
    EXPECT_EQ(printed(h.controller.accumulatedStatistics()), printed(accumulatedStatistics(accumulated)));
    if (c.runLog) {
        ControllerHarness restarted;
        attachLog(restarted.controller);
        EXPECT_EQ(printed(restarted.controller.accumulatedStatistics()), printed(accumulatedStatistics(accumulated)));
        EXPECT_NE(restarted.controller.exportText(ExportTable::AccumulatedStatistics, Delimiter::Tab).find("# locus: di\n"),
                  std::string::npos);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Runs, ControllerStatistics,
    testing::Values(Case{"NothingAccumulated", {}, std::nullopt, false},
                    Case{"ThreeRunsAtTwoGEs", {"5", "10", "5"}, 5.0, false},
                    Case{"BlankGEThenTyped", {" ", "12.5 GE"}, 12.5, true},
                    Case{"RefusedTriScoringKeepsTheDiUnit", {"10", "20"}, 20.0, true},
                    Case{"ThroughTheRunLog", {"5", "10"}, 10.0, true, true}),
    [](const testing::TestParamInfo<Case>& info) { return std::string(info.param.name); });

// Runs of different loci share no repeat unit: their alleles make no one
// spectrum, and the exports name both loci.
TEST(ControllerStatisticsLoci, RunsOfDifferentLociAreNotPooled) {
    const ScratchDir scratch("statistics");
    RunLogOpening opening = RunLog::open(scratch.path / "runs.sqlite");
    ASSERT_TRUE(opening.log) << opening.message;
    RunRecord run{.fileName = "di.txt", .fileSha256 = "0", .fields = {"150", "156", "100", "300", "0", "1.5", "5"},
                  .locus = kDiLocus, .maybes = false, .p1 = 150, .p2 = 156, .ge = 5.0, .lanes = 4, .emptyLanes = 1,
                  .oneLanes = 2, .twoOrMoreLanes = 1, .alleles = {{150, 2}, {154, 1}}};
    ASSERT_EQ(opening.log->add(run).status, AddStatus::Added);
    run.fileName = "tri.txt";
    run.locus = kTriLocus;
    ASSERT_EQ(opening.log->add(run).status, AddStatus::Added);

    ControllerHarness h;
    EXPECT_EQ(h.controller.attachRunLog(std::move(*opening.log)).runs, 2);
    const AccumulatedStatistics stats = h.controller.accumulatedStatistics();
    EXPECT_EQ(stats.spectrum.note, "not estimable: runs of different loci (di, tri) are not pooled");
    EXPECT_EQ(stats.mutants.mutants.note, stats.spectrum.note);
    EXPECT_NE(h.controller.exportText(ExportTable::AccumulatedStatistics, Delimiter::Tab).find("# locus: di, tri (not pooled)\n"),
              std::string::npos);
}

// The run's statistics come from one state and say which: the scored run
// of the open file, the same after clean-up (counted from the records'
// marks, the window's counters left as scoring set them, undo giving the
// statistics of before), or none once another file is open.
struct SourceCase {
    const char* name;
    std::function<void(ControllerHarness&)> step;
    StatisticsSource source;
    std::optional<LaneCounts> lanes;  // what the statistics then count; none: no statistics
    int64_t scoredAlleles;
};

class ControllerStatisticsSource : public testing::TestWithParam<SourceCase> {};

TEST_P(ControllerStatisticsSource, StatisticsComeFromOneStateAndSayWhich) {
    const SourceCase& c = GetParam();
    ControllerHarness h;
    h.tk.progenitor1.setText("150");
    h.tk.progenitor2.setText("156");
    h.tk.dialogs.setOpenAnswer(kPlate);
    h.controller.openData();
    ASSERT_EQ(h.controller.scoreData(), Outcome::Done);
    const std::string scored = printed(*h.controller.runStatistics());
    const CleanUpSnapshot before = h.controller.cleanUpSnapshot();
    const std::string counters = h.tk.numemptylanes.text() + h.tk.numones.text() + h.tk.numtwos.text();
    EXPECT_EQ(h.controller.runStatisticsSourceText(), "Scored run of di-locus-plate.txt");

    c.step(h);
    EXPECT_EQ(h.controller.runStatisticsSource(), c.source);
    const std::optional<RunStatistics> now = h.controller.runStatistics();
    ASSERT_EQ(now.has_value(), c.lanes.has_value());
    EXPECT_EQ(h.controller.hasExportTable(ExportTable::RunStatistics), c.lanes.has_value());
    if (now) {
        EXPECT_EQ(now->lanes.lanes, c.lanes->lanes);
        EXPECT_EQ(now->lanes.empty, c.lanes->empty);
        EXPECT_EQ(now->lanes.one, c.lanes->one);
        EXPECT_EQ(now->lanes.twoOrMore, c.lanes->twoOrMore);
        EXPECT_EQ(now->mutants.scoredAlleles.value, static_cast<double>(c.scoredAlleles));
    }
    if (c.source != StatisticsSource::AfterCleanUp) return;
    EXPECT_EQ(h.tk.numemptylanes.text() + h.tk.numones.text() + h.tk.numtwos.text(), counters);
    EXPECT_NE(h.controller.exportText(ExportTable::RunStatistics, Delimiter::Comma).find(
                  "# statistics of: Scored run of di-locus-plate.txt, after clean-up\n"),
              std::string::npos);
    ASSERT_EQ(h.controller.restoreCleanUp(before), Outcome::Done);
    EXPECT_EQ(h.controller.runStatisticsSource(), StatisticsSource::ScoredRun);
    EXPECT_EQ(printed(*h.controller.runStatistics()), scored);
}

void cleanUp(ControllerHarness& h, TextField& field, const char* text, Outcome (GeneController::*action)()) {
    h.controller.cleanUpWindow();
    field.setText(text);
    (h.controller.*action)();
}

INSTANTIATE_TEST_SUITE_P(
    Steps, ControllerStatisticsSource,
    testing::Values(
        SourceCase{"Scored", [](ControllerHarness&) {}, StatisticsSource::ScoredRun, LaneCounts{12, 1, 6, 5}, 16},
        // Lane 1 holds one allele: it becomes an empty lane.
        SourceCase{"LaneThrownOut",
                   [](ControllerHarness& h) {
                       cleanUp(h, h.tk.cuwlanefield, "1", &GeneController::cleanUpLaneAndOrAllele);
                   },
                   StatisticsSource::AfterCleanUp, LaneCounts{12, 2, 5, 5}, 15},
        SourceCase{"EveryPeakThrownOut",
                   [](ControllerHarness& h) {
                       cleanUp(h, h.tk.cuwgreaterthanfield, "0", &GeneController::cleanUpGreaterThan);
                   },
                   StatisticsSource::AfterCleanUp, LaneCounts{12, 12, 0, 0}, 0},
        SourceCase{"NothingMatched",
                   [](ControllerHarness& h) {
                       cleanUp(h, h.tk.cuwlessthanfield, "1", &GeneController::cleanUpLessThan);
                   },
                   StatisticsSource::ScoredRun, LaneCounts{12, 1, 6, 5}, 16},
        SourceCase{"AnotherFileOpened",
                   [](ControllerHarness& h) { h.openText("1A,1\t1\t150.1\t900\t1\t1\n2A,1\t1\t156\t800\t1\t1\n"); },
                   StatisticsSource::OtherFile, std::nullopt, 0}),
    [](const testing::TestParamInfo<SourceCase>& info) { return std::string(info.param.name); });

// The lanes' flags are worked out again at every step that changes the
// marks: none of a run before it is scored, improbable-alleles once lane 8's
// three alleles are counted against six empty lanes, gone when a clean-up
// leaves it two, back on undo; a field typed meanwhile changes nothing.
// Six lanes with one peak at 145, lane 7 one allele at 150, lane 8 three.
std::string flagPlate() {
    std::string plate;
    for (int lane = 1; lane <= 6; ++lane) {
        plate += std::to_string(lane);
        plate += "A,1 1.0 145.0 500 5000 1\n";
    }
    plate += "7A,1 1.0 150.0 800 8000 1\n7A,2 1.0 148.0 200 2000 1\n";
    for (const char* peak : {"150.0 900", "148.0 200", "156.0 800", "154.0 200", "162.0 700", "160.0 200"})
        plate += std::string("8A,1 1.0 ") + peak + " 1000 1\n";
    return plate;
}

TEST(ControllerLaneFlags, FollowScoringCleanUpAndUndo) {
    ControllerHarness h;
    h.tk.progenitor1.setText("150");
    h.tk.progenitor2.setText("156");
    h.tk.lowrange.setText("140");
    h.tk.highrange.setText("170");
    h.openText(flagPlate());
    // The lane view's lanes are those the flags were read from, as they stand now.
    const auto marks = [](const std::vector<LaneData>& lanes) {
        std::string text;
        for (const LaneData& lane : lanes)
            for (const LanePeak& p : lane.peaks)
                text += std::to_string(p.score) + " " + std::to_string(p.size) + " " + std::to_string(p.height) + ";";
        return text;
    };
    const auto kinds = [&h, &marks] {
        std::string text;
        EXPECT_EQ(marks(*h.controller.flaggedFrom()), marks(h.controller.laneData()));
        for (const QualityFlag& f : h.controller.qualityFlags())
            text += std::to_string(f.lane) + " " + qualityFlagName(f.kind) + ";";
        return text;
    };
    h.tk.lowrange.setText("160");  // typed after opening, before the flags are read
    EXPECT_EQ(kinds(), "");
    h.tk.lowrange.setText("140");
    ASSERT_EQ(h.controller.scoreData(), Outcome::Done);
    EXPECT_EQ(kinds(), "8 improbable-alleles;");
    EXPECT_EQ(h.controller.qualityFlags().front().detail,
              "3 alleles where the empty lanes give 0.288 molecules per reaction: P(X >= 3) = 0.0032");

    const CleanUpSnapshot before = h.controller.cleanUpSnapshot();
    cleanUp(h, h.tk.cuwallelefield, "162", &GeneController::cleanUpLaneAndOrAllele);
    EXPECT_EQ(kinds(), "");
    h.tk.lowrange.setText("150");  // the run's range stays the flags' range
    ASSERT_EQ(h.controller.restoreCleanUp(before), Outcome::Done);
    EXPECT_EQ(kinds(), "8 improbable-alleles;");

    // The levels are the user's; they raise flags but move no counter.
    QualityLevels levels;
    levels.lowSignal = 600;
    h.controller.setQualityLevels(levels);
    EXPECT_EQ(kinds(), "1 low-signal;2 low-signal;3 low-signal;4 low-signal;5 low-signal;6 low-signal;8 improbable-alleles;");
    EXPECT_EQ(h.tk.numemptylanes.text() + h.tk.numones.text() + h.tk.numtwos.text(), "611");
}

// "Suggest progenitors" says what it found and fills both fields only when
// accepted; a peak's size from the view is filled as whole bp.
TEST(ControllerLaneFlags, SuggestionFillsTheProgenitorsOnlyWhenAccepted) {
    ControllerHarness h;
    EXPECT_EQ(h.controller.suggestProgenitorsAction(), Outcome::Refused);  // nothing open
    h.tk.lowrange.setText("140");
    h.tk.highrange.setText("170");
    h.openText(flagPlate());
    h.tk.dialogs.queueAnswer(true);  // Cancel
    EXPECT_EQ(h.controller.suggestProgenitorsAction(), Outcome::Cancelled);
    EXPECT_EQ(h.tk.progenitor1.text() + " " + h.tk.progenitor2.text(), "1.0 2.0");
    EXPECT_EQ(h.tk.dialogs.shown.back().informative,
              "P1 145 bp, the tallest peak in range of 6 lanes; P2 150 bp, the tallest peak in range of 2 lanes.");
    h.tk.dialogs.queueAnswer(false);  // Fill P1 and P2
    EXPECT_EQ(h.controller.suggestProgenitorsAction(), Outcome::Done);
    EXPECT_EQ(h.tk.progenitor1.text() + " " + h.tk.progenitor2.text(), "145 150");

    h.controller.fillProgenitor(2, 155.5);
    EXPECT_EQ(h.tk.progenitor2.text(), "156");
    // A range holding one lane's tallest peak has no second size.
    h.tk.lowrange.setText("155");
    EXPECT_EQ(h.controller.suggestProgenitorsAction(), Outcome::Refused);
    EXPECT_EQ(h.tk.dialogs.shown.back().id, AlertId::NoProgenitorsToSuggest);
    EXPECT_EQ(h.tk.progenitor1.text() + " " + h.tk.progenitor2.text(), "145 156");
}

}  // namespace
}  // namespace lociview
