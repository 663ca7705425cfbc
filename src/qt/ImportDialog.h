#pragma once
// The review of sizing tables, genotype tables and per-sample files before they replace the open
// data set: the layout recognised, the dye to score with the rows of each
// dye, for a table with a Marker column the marker to score with its rows
// by dye, the samples as lanes with their peaks of that dye (and marker),
// and what was skipped and why.
#include <QDialog>
#include <memory>
#include <string>

#include "input/PeakImport.h"

namespace Ui {
class ImportDialog;
}

namespace lociview::qt {

class SampleLaneModel;

class ImportDialog final : public QDialog {
    Q_OBJECT

public:
    // tables must outlive the dialog; suggestedDye is chosen at first.
    ImportDialog(const PeakImport& tables, char suggestedDye, QWidget* parent = nullptr);
    ~ImportDialog() override;

    // The letter of the dye chosen.
    char chosenDye() const;
    // The marker chosen; "" when the table has no Marker column.
    std::string chosenMarker() const;

private:
    void showDye(int index);
    void showSamples();

    std::unique_ptr<Ui::ImportDialog> ui;
    const PeakImport& tables;
    SampleLaneModel* samples;
    bool markerChosen = false;  // by the user: a new dye keeps it
};

}  // namespace lociview::qt
