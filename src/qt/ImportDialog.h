#pragma once
// The review of peak tables in today's layouts before they replace the open
// data set: the layout recognised, the dye to score with the rows of each
// dye, the samples as lanes with their peaks of that dye, and what was
// skipped and why.
#include <QDialog>
#include <memory>

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

private:
    void showDye(int index);

    std::unique_ptr<Ui::ImportDialog> ui;
    const PeakImport& tables;
    SampleLaneModel* samples;
};

}  // namespace lociview::qt
