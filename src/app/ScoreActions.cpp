// The scoring action: the checks with their alerts, the fresh start, and
// the run from the allele-size count to the lane counters.
#include <algorithm>
#include <optional>

#include "app/GeneController.h"
#include "app/ScoringFields.h"
#include "base/NumberText.h"
#include "scoring/AlleleCount.h"
#include "scoring/LaneScoring.h"
#include "scoring/Locus.h"
#include "scoring/ScoringLog.h"
#include "scoring/Summaries.h"

namespace lociview {

namespace {

AlertId alertFor(ParameterProblem problem) {
    switch (problem) {
        case ParameterProblem::Progenitor1BelowLow: return AlertId::Progenitor1BelowLow;
        case ParameterProblem::Progenitor2BelowLow: return AlertId::Progenitor2BelowLow;
        case ParameterProblem::Progenitor1AboveHigh: return AlertId::Progenitor1AboveHigh;
        case ParameterProblem::Progenitor2AboveHigh: return AlertId::Progenitor2AboveHigh;
        case ParameterProblem::RangeOfZero: return AlertId::RangeOfZero;
        case ParameterProblem::StutterTooLow: return AlertId::StutterTooLow;
        case ParameterProblem::ShiftTooLarge: return AlertId::ShiftTooLarge;
    }
    return AlertId::RangeOfZero;
}

}  // namespace

Outcome GeneController::scoreData() { return score(scoringChoices()); }

ScoringChoices GeneController::scoringChoices() const {
    return ScoringChoices{scoringTexts(outlets), selectedLocusColumn(), maybesOn(), walkEvery};
}

void GeneController::showScoringChoices(const ScoringChoices& choices) {
    for (const ScoringField& f : scoringFields()) {
        TextField& field = f.outlet(outlets);
        if (field.text() != choices.texts.*f.text) field.setText(choices.texts.*f.text);
    }
    // The switch first: it decides which loci the matrix offers.
    walkEvery = choices.walkEveryLocus;
    if (selectedLocusColumn() != choices.locusColumn) outlets.locusmatrix.selectCell(choices.locusColumn);
    if (maybesOn() != choices.maybes) {
        // A click on the check box: its state, then its action.
        outlets.Maybes.setState(choices.maybes ? 1 : 0);
        toggleMaybes();
    }
}

Outcome GeneController::score(const ScoringChoices& chosen) {
    if (!dataSet.isWorkingOnFile) return refuse(AlertId::NotWorkingOnFile);
    showScoringChoices(chosen);
    // Where the user can cancel the run, what it changes is kept until it ends.
    std::optional<ScoringSnapshot> before;
    if (outlets.progressbar.cancellable()) before = scoringSnapshot();

    // The locus as the matrix shows it: a cell the switch does not offer reads as the first.
    scored.locustype = selectedLocus();
    logf(log, "%s", locusLogLine(scored.locustype));
    ParameterTexts texts = chosen.texts;
    std::vector<std::pair<std::string_view, std::string>> read;
    for (const ScoringField& f : scoringFields()) read.emplace_back(f.number.name, texts.*f.text);
    const ReadingFields reading(*this, std::move(read));

    const int maybesState = chosen.maybes ? 1 : 0;
    ScoringParameters p = readParameters(texts, scored.locustype, maybesState, walkEvery);
    if (const std::optional<ParameterProblem> problem = checkParameters(p, log)) return refuse(alertFor(*problem));
    if (progenitorsNeedSwap(p, log)) {
        if (ask(AlertId::SwapProgenitors) == 0) return Outcome::Cancelled;
        texts.progenitor1 = formatIntField(p.p2Int);
        texts.progenitor2 = formatIntField(p.p1Int);
        outlets.progenitor1.setText(texts.progenitor1);
        outlets.progenitor2.setText(texts.progenitor2);
        p = readParameters(texts, scored.locustype, maybesState, walkEvery);
    }

    // A merge lasts for its run only: scoring the same data again gives the
    // same results however often Score is pressed.
    undoMerges(scored.merges);
    dataSet.database.restore();
    ++scored.cleanUpEpoch;
    scored.scoring = ScoringResult();
    scored.resultSource = ResultProvenance{dataSet.fileName, dataSet.fileSha256, texts, scored.locustype, p.maybes(), false};
    outlets.datatext.setText("");
    scored.scoringLog.clear();
    outlets.numemptylanes.setText("");
    const Outcome outcome = scoreAlleles(p);
    if (outcome == Outcome::Cancelled && before) restoreScoring(*before);
    updateQualityFlags();
    return outcome;
}

Outcome GeneController::scoreAlleles(const ScoringParameters& p) {
    const std::optional<AlleleCount> count = countAlleles(p, log);
    // A range that could never be counted ends the run here, as a count of 0 does.
    if (!count) return refuse(AlertId::RangeTooLargeToCount);
    scored.numalleles = count->count;
    if (scored.numalleles <= 0) return refuse(AlertId::NoAllelesInRange);

    AlleleSizes sizes = buildAlleleSizeList(p, *count, dataSet.database, log);
    scored.allelesizelist = std::move(sizes.allelesizelist);
    shiftSizes(dataSet.database, dataSet.lanelist, p.shift, scored.shiftState, log);
    filterRange(dataSet.database, dataSet.lanelist, p.lowInt, p.highInt, log);
    // Held in single precision, as both tolerances are exact there.
    const double tol = static_cast<float>(tolForLocus(scored.locustype));
    mergeSplitPeaks(dataSet.database, dataSet.lanelist, tol, scored.merges, log);
    removeSmallPeaks(dataSet.database, dataSet.lanelist, log);

    if (p.walksLadder()) {
        logf(log, "%s", walkLogLine(scored.locustype));
        ProgressIndicator& progress = outlets.progressbar;
        progress.setMinValue(0.0);
        progress.setMaxValue(static_cast<double>(dataSet.numlanes));
        progress.setDoubleValue(0.0);
        const bool swept = scoreLanes(dataSet.database, dataSet.lanelist, ladderWalkParams(p), log, [&progress] {
            progress.incrementBy(1.0);
            progress.displayNow();
            return !progress.cancelRequested();
        });
        if (!swept) {
            logf(log, "Scoring cancelled");
            return Outcome::Cancelled;
        }
        summarize(dataSet.database, dataSet.lanelist, p, sizes, scored.scoring, log, outlets.standardOutput);
        for (const auto& a : dataSet.database.getAllAllelesWithScore(MAYBE))
            markedMessageToViewedLog(a->getSize(), a->getHeight(), a->getLane(), MAYBE);
    }

    // The chart takes the range once the run can no longer be cancelled (the
    // checks have made it a valid one: nothing to log).
    outlets.chart.setRange(p.lowInt, p.highInt);
    const LaneCounters counters = countLanes(dataSet.database, dataSet.lanelist, p.lowInt, p.highInt, p.maybes());
    scored.scoring.counters = counters;
    scored.scoredLocus = scored.locustype;
    scored.unwalkedRun = !p.walksLadder();
    outlets.numemptylanes.setText(formatIntField(counters.empty));
    outlets.numones.setText(formatIntField(counters.ones));
    outlets.numtwos.setText(formatIntField(counters.twos));
    outlets.tabl.reloadData();
    return Outcome::Done;
}

void GeneController::sendTextLog(const std::string& text) {
    scored.scoringLog += text;
    outlets.datatext.insertText(text);
    outlets.datatext.redraw();
}

void GeneController::markedMessageToViewedLog(double size, int32_t height, int32_t lane, int32_t mark) {
    sendTextLog(scoringLogLine(size, height, lane, mark));
}

ScoringSnapshot GeneController::scoringSnapshot() const {
    ScoringSnapshot s;
    s.records.reserve(dataSet.database.backupList().size());
    for (const AllelePtr& a : dataSet.database.backupList())
        s.records.push_back({a, a->getSize(), a->getHeight(), a->getScore()});
    s.working = dataSet.database.workingList();
    s.run = scored;
    s.texts = {outlets.progenitor1.text(),   outlets.progenitor2.text(), outlets.numemptylanes.text(),
               outlets.numones.text(),       outlets.numtwos.text(),     outlets.datatext.text()};
    return s;
}

void GeneController::restoreScoring(const ScoringSnapshot& s) {
    for (const RecordValues& v : s.records) {
        v.record->changeSize(v.size);
        v.record->changeHeight(v.height);
        v.record->changeScore(v.score);
    }
    dataSet.database.restoreWorkingList(s.working);
    scored = s.run;
    outlets.progenitor1.setText(s.texts[0]);
    outlets.progenitor2.setText(s.texts[1]);
    outlets.numemptylanes.setText(s.texts[2]);
    outlets.numones.setText(s.texts[3]);
    outlets.numtwos.setText(s.texts[4]);
    outlets.datatext.setText(s.texts[5]);
    outlets.tabl.reloadData();
}

}  // namespace lociview
