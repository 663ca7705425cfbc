// Start-up, and what every action shares: alerts and reading the scoring
// fields.
#include "app/GeneController.h"

#include "app/FieldNotes.h"
#include "app/ScoringFields.h"
#include "base/NumberText.h"
#include "scoring/Locus.h"

namespace lociview {

GeneController::GeneController(const Outlets& o)
    : outlets(o), log(o.devlog), dataSet(o.devlog), accumulation(o.devlog) {
    outlets.numemptylanes.setText("");
    outlets.progressbar.configure();
    outlets.tabl.setColumnResizing(ColumnResizing::Uniform);
    for (const ScoringField& f : scoringFields()) f.outlet(outlets).setText(formatDoubleField(f.startValue));
}

int GeneController::ask(AlertId id, const std::string& informative, std::optional<bool> alternate) {
    AlertRequest alert = alertRequest(id);
    alert.informative = informative;
    if (readingFields) alert.fieldNotes = readNotes;
    if (!alternate) return outlets.dialogs.runAlert(alert);
    outlets.dialogs.tellAnswered(alert, *alternate);
    return *alternate && alert.alternateButton ? 0 : 1;
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

}  // namespace lociview
