// Throwing scored (and, with Maybes on, maybe) peaks out by hand.
#include "app/GeneController.h"
#include "base/Describe.h"
#include "base/NumberText.h"
#include "results/CleanUp.h"
#include "scoring/Locus.h"

namespace lociview {

namespace {

const char* yesNo(bool value) { return value ? "true" : "false"; }

}  // namespace

Outcome GeneController::cleanUpWindow() {
    if (!scored.scoring.scored()) return refuse(AlertId::NotScoredCleaning);
    outlets.cleanupwindow.showCentered();
    return Outcome::Done;
}

// Both height removals throw out the scored peaks on one side of a height
// (and the maybes while they take part), log the lists they found and
// reload the table.
Outcome GeneController::cleanByHeight(const std::string& text, const char* fieldName,
                                      AlleleList (AlleleDB::*select)(int32_t, int32_t) const, const char* side) {
    const ReadingFields reading(*this, {{fieldName, text}});
    const int32_t height = intValue(text);
    // Scored peaks first: the queries log what they select, in this order.
    const AlleleList first = (dataSet.database.*select)(height, SCORED);
    const AlleleList maybes = (dataSet.database.*select)(height, MAYBE);
    noteCleanUp(format("%s height %d", side, height), first, maybes);
    if (log.enabled()) {
        logf(log, "%s", describe(first).c_str());
        if (maybesOn()) logf(log, "%s", describe(maybes).c_str());
    }
    clean(first, maybes);
    outlets.tabl.reloadData();
    return Outcome::Done;
}

Outcome GeneController::cleanUpLessThan() {
    outlets.cleanupwindow.hide();
    return cleanUpChosen({CleanUpKind::Below, outlets.cuwlessthanfield.text(), {}, {}});
}

Outcome GeneController::cleanUpGreaterThan() {
    outlets.cleanupwindow.hide();
    return cleanUpChosen({CleanUpKind::Above, outlets.cuwgreaterthanfield.text(), {}, {}});
}

Outcome GeneController::cleanUpLaneAndOrAllele() {
    outlets.cleanupwindow.hide();
    return cleanUpChosen({CleanUpKind::LaneAndOrAllele, {}, outlets.cuwallelefield.text(), outlets.cuwlanefield.text()});
}

Outcome GeneController::cleanUp(const CleanUpChoice& choice) {
    if (!scored.scoring.scored()) return refuse(AlertId::NotScoredCleaning);
    return cleanUpChosen(choice);
}

Outcome GeneController::cleanUpChosen(const CleanUpChoice& choice) {
    switch (choice.kind) {
        case CleanUpKind::Below:
            return cleanByHeight(choice.height, "cuwlessthanfield", &AlleleDB::getAllAllelesWithHeightLessThan, "below");
        case CleanUpKind::Above:
            return cleanByHeight(choice.height, "cuwgreaterthanfield", &AlleleDB::getAllAllelesWithHeightGreaterThan,
                                 "above");
        case CleanUpKind::LaneAndOrAllele: break;
    }
    // Only a field with no text at all is empty; a blank reads as 0.
    const std::string& alleleText = choice.allele;
    const std::string& laneText = choice.lane;
    const bool byAllele = !alleleText.empty();
    const bool byLaneField = !laneText.empty();
    logf(log, "hatd = %s, hltd = %s", yesNo(byAllele), yesNo(byLaneField));
    std::vector<std::pair<std::string_view, std::string>> read;
    if (byAllele) read.emplace_back("cuwallelefield", alleleText);
    if (byLaneField) read.emplace_back("cuwlanefield", laneText);
    if (byLaneField && !byAllele) {
        read.emplace_back("lowrange", outlets.lowrange.text());
        read.emplace_back("highrange", outlets.highrange.text());
    }
    const ReadingFields reading(*this, std::move(read));
    if (!byAllele && !byLaneField) return refuse(AlertId::NothingDeleted);

    const CleanUpLists lists = selectByLaneAndOrAllele(
        dataSet.database, byAllele, byLaneField, intValue(alleleText), intValue(laneText), intValue(outlets.lowrange.text()),
        intValue(outlets.highrange.text()), tolForLocus(scored.locustype));
    const std::string at = byAllele ? format("at allele %d", intValue(alleleText)) : std::string();
    const std::string in = byLaneField ? format(byAllele ? "in lane %d" : "of lane %d", intValue(laneText)) : std::string();
    noteCleanUp(byAllele && byLaneField ? at + " " + in : at + in, lists.first, lists.maybes);
    clean(lists.first, lists.maybes);
    outlets.tabl.reloadData();
    return Outcome::Done;
}

void GeneController::clean(const AlleleList& first, const AlleleList& maybes) {
    const double tol = tolForLocus(scored.locustype);
    discardPeaks(first, scored.scoring.alleles, tol, log);
    if (!first.empty()) scored.scoring.cleanedUp = true;
    if (maybesOn()) {
        discardPeaks(maybes, scored.scoring.alleles, tol, log);
        if (!maybes.empty()) scored.scoring.cleanedUp = true;
    }
    updateQualityFlags();
}

}  // namespace lociview
