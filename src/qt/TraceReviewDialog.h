#pragma once
// The review of trace files (.fsa, .hid) before they replace the open data
// set: per file the sample, well, standard, fragments matched, fit quality,
// peaks per dye and messages; the least peak height and the size standard,
// which can be changed and the files sized again; and the dye to score.
#include <QDialog>
#include <vector>

#include "app/Toolkit.h"

class QComboBox;
class QDialogButtonBox;
class QDoubleSpinBox;
class QLabel;
class QTableWidget;

namespace lociview::qt {

class DialogMemory;

class TraceReviewDialog final : public QDialog {
    Q_OBJECT

public:
    // settings: where the user's own standards are kept (none in tests
    // that must leave the user's settings alone).
    TraceReviewDialog(TraceReview review, TraceResize resize, DialogMemory* settings, QWidget* parent = nullptr);

    // The letter of the dye chosen (0 when the last sizing gave no data set).
    char chosenDye() const;
    // The choice the files were last sized with.
    const TraceChoice& choice() const { return review.choice; }

    // Sizes the files again with the height and standard as they stand.
    void sizeAgain();
    // Keeps the sizes typed in the standard's box under a name, for this
    // and later openings.
    void saveStandard(const QString& name);

    QDoubleSpinBox* minHeightBox() const { return minHeight; }
    QComboBox* standardBox() const { return standard; }
    QTableWidget* fileTable() const { return files; }

private:
    void showReview(TraceReview next);
    TraceChoice typedChoice() const;

    TraceReview review;
    TraceResize sizeFiles;
    DialogMemory* settings;
    QTableWidget* files;
    QDoubleSpinBox* minHeight;
    QComboBox* standard;
    QComboBox* dye;
    QLabel* notes;
    QDialogButtonBox* buttons;
};

}  // namespace lociview::qt
