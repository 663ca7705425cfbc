// The SP-PCR exports: the current scored run with the GE typed for it, and
// the accumulated runs.
#include "accum/SppcrExport.h"
#include "app/GeneController.h"
#include "base/NumberText.h"

namespace lociview {

Outcome GeneController::exportSPPCRData() {
    if (!scored.scoring.scored()) return refuse(AlertId::NotScoredExport);
    outlets.gewindow.showCentered();
    return Outcome::Done;
}

Outcome GeneController::exportSPPCR2() {
    outlets.gewindow.hide();
    return exportScoredRun(outlets.geforun.text(), Answers{}).outcome;
}

ExportedRun GeneController::exportRun(const std::string& geText, const Answers& answers) {
    if (!scored.scoring.scored()) return {refuse(AlertId::NotScoredExport), {}};
    return exportScoredRun(geText, answers);
}

ExportedRun GeneController::exportScoredRun(const std::string& geText, const Answers& answers) {
    const ReadingFields reading(*this, {{"geforun", geText},
                                        {"progenitor1", outlets.progenitor1.text()},
                                        {"progenitor2", outlets.progenitor2.text()}});
    const int32_t p1 = intValue(outlets.progenitor1.text());
    const int32_t p2 = intValue(outlets.progenitor2.text());
    if (findMissingProgenitors(scored.scoring.alleles, p1, p2).count == 2 &&
        ask(AlertId::DoubleProgenitorLoss, {}, answers.exportAnyway) == 1)
        return {Outcome::Cancelled, {}};
    outlets.sppcrwindow.showCentered();
    ExportedRun exported{Outcome::Done,
                         singleRunExportText(scored.scoring.alleles, p1, p2, floatValue(geText), dataSet.numlanes)};
    outlets.geforun.setText(formatIntField(0));
    outlets.sppcrtext.setText(exported.text);
    return exported;
}

Outcome GeneController::exportAccumulatedSPPCRData() {
    const std::string text = accumulation.raccumulator.exportText();
    outlets.sppcrwindow.showCentered();
    outlets.sppcrtext.setText(text);
    return Outcome::Done;
}

}  // namespace lociview
