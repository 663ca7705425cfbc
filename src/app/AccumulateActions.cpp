// Adding the current scored run to the run accumulator, and emptying it.
#include "accum/SppcrExport.h"
#include "app/GeneController.h"
#include "base/NumberText.h"

namespace lociview {

Outcome GeneController::preAddToAccumulator() {
    if (!scored.scoring.scored()) return refuse(AlertId::NotScoredExport);
    outlets.accwindow.showCentered();
    return Outcome::Done;
}

Outcome GeneController::addToAccumulator() {
    outlets.accwindow.hide();
    return addRun(outlets.accumgeforun.text(), Answers{}).outcome;
}

AddedRun GeneController::accumulate(const std::string& geText, const Answers& answers) {
    if (!scored.scoring.scored()) return {refuse(AlertId::NotScoredExport), {}};
    // The GE window shows what was added: the statistics and export headers read it.
    if (outlets.accumgeforun.text() != geText) outlets.accumgeforun.setText(geText);
    return addRun(geText, answers);
}

AddedRun GeneController::addRun(const std::string& geText, const Answers& answers) {
    const ReadingFields reading(*this, {{"accumgeforun", geText},
                                        {"progenitor1", outlets.progenitor1.text()},
                                        {"progenitor2", outlets.progenitor2.text()}});
    const int32_t p1 = intValue(outlets.progenitor1.text());
    const int32_t p2 = intValue(outlets.progenitor2.text());
    if (findMissingProgenitors(scored.scoring.alleles, p1, p2).count == 2 &&
        ask(AlertId::DoubleProgenitorLoss, {}, answers.exportAnyway) == 1)
        return {Outcome::Cancelled, {}};
    if (accumulation.runlog) return addToRunLog(p1, p2, geText, answers.addAgain);
    if (!accumulation.raccumulator.setP1(p1, p2)) return {refuse(AlertId::ProgenitorsDiffer), {}};

    noteUnloggedRun(p1, p2, accumulation.raccumulator.currentRun(), geText);
    accumulation.raccumulator.addRun(scored.scoring.alleles, doubleValue(geText), dataSet.numlanes,
                                     scored.scoring.counters.value_or(LaneCounters{}), scored.scoredLocus);
    if (log.enabled()) logf(log, "%s", accumulation.raccumulator.exportText().c_str());
    return {Outcome::Done, {}};
}

Outcome GeneController::resetAccumulator() {
    // The log first: if it cannot mark the runs, the accumulator keeps them.
    if (accumulation.runlog) {
        if (const ResetOutcome reset = accumulation.runlog->reset(); !reset.message.empty()) {
            ask(AlertId::RunLogNotWritten, reset.message);
            return Outcome::Refused;
        }
    }
    accumulation.raccumulator.reset();
    accumulation.loggedRuns.clear();
    return Outcome::Done;
}

}  // namespace lociview
