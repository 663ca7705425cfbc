// Start-up, and what every action shares: alerts and reading the scoring
// fields.
#include "app/GeneController.h"

#include "app/FieldNotes.h"
#include "base/NumberText.h"
#include "scoring/Locus.h"

namespace lociview {

GeneController::GeneController(const Outlets& o)
    : outlets(o), log(o.devlog), raccumulator(o.devlog), database(o.devlog) {
    outlets.numemptylanes.setText("");
    outlets.progressbar.configure();
    outlets.tabl.setColumnResizing(ColumnResizing::Uniform);
    outlets.progenitor1.setText(formatDoubleField(1.0));
    outlets.progenitor2.setText(formatDoubleField(2.0));
    outlets.stuttertol.setText(formatDoubleField(1.5));
    outlets.shift.setText(formatDoubleField(0.0));
    outlets.lowrange.setText(formatDoubleField(120.0));
    outlets.highrange.setText(formatDoubleField(180.0));
}

int GeneController::ask(AlertId id) {
    AlertRequest alert = alertRequest(id);
    if (readingFields) alert.fieldNotes = readNotes;
    return outlets.dialogs.runAlert(alert);
}

GeneController::ReadingFields::ReadingFields(GeneController& c,
                                             std::vector<std::pair<std::string_view, std::string>> texts)
    : controller(c) {
    controller.readNotes = fieldNotes(texts);
    controller.readingFields = true;
}

Outcome GeneController::refuse(AlertId id) {
    ask(id);
    return Outcome::Refused;
}

ScoringParameters GeneController::readScoringParameters() const {
    const ParameterTexts texts{outlets.progenitor1.text(), outlets.progenitor2.text(), outlets.lowrange.text(),
                               outlets.highrange.text(),   outlets.shift.text(),       outlets.stuttertol.text()};
    return readParameters(texts, locustype, outlets.Maybes.state(), walkEvery);
}

}  // namespace lociview
