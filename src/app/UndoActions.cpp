// Clean-up undo: the state a clean-up changes, taken and put back whole, and
// the one line that says what a clean-up did.
#include "app/GeneController.h"
#include "base/DevLog.h"

namespace lociview {

CleanUpSnapshot GeneController::cleanUpSnapshot() const {
    CleanUpSnapshot s;
    s.epoch = scored.cleanUpEpoch;
    // The backup list holds every record of the data set, the working list
    // only those scoring kept.
    s.scores.reserve(dataSet.database.backupList().size());
    for (const AllelePtr& a : dataSet.database.backupList()) s.scores.emplace_back(a, a->getScore());
    s.working = dataSet.database.workingList();
    s.result = scored.scoring;
    s.counterFields = {outlets.numemptylanes.text(), outlets.numones.text(), outlets.numtwos.text()};
    s.summary = scored.lastCleanUp;
    return s;
}

Outcome GeneController::restoreCleanUp(const CleanUpSnapshot& s) {
    if (s.epoch != scored.cleanUpEpoch) return Outcome::Refused;
    for (const auto& [allele, score] : s.scores) allele->changeScore(score);
    dataSet.database.restoreWorkingList(s.working);
    scored.scoring = s.result;
    outlets.numemptylanes.setText(s.counterFields[0]);
    outlets.numones.setText(s.counterFields[1]);
    outlets.numtwos.setText(s.counterFields[2]);
    scored.lastCleanUp = s.summary;
    updateQualityFlags();
    outlets.tabl.reloadData();
    return Outcome::Done;
}

// "Removed 3 peaks (1 maybe) below height 1300": the peaks thrown out,
// maybes counted only while they take part.
void GeneController::noteCleanUp(const std::string& what, const AlleleList& first, const AlleleList& maybes) {
    const size_t fromMaybes = maybesOn() ? maybes.size() : 0;
    const size_t total = first.size() + fromMaybes;
    std::string text = "Removed ";
    text += total == 0 ? "no peaks" : total == 1 ? "1 peak" : format("%zu peaks", total);
    if (fromMaybes > 0) text += fromMaybes == 1 ? " (1 maybe)" : format(" (%zu maybes)", fromMaybes);
    scored.lastCleanUp = text + " " + what;
}

}  // namespace lociview
