#include "qt/QtDialogs.h"

#include <QFile>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QSortFilterProxyModel>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>

#include "qt/ImportDialog.h"
#include "qt/TraceReviewDialog.h"

namespace lociview::qt {

int QtDialogs::runAlert(const AlertRequest& alert) {
    QMessageBox box(parent);
    box.setWindowTitle(QStringLiteral("Lociview"));
    box.setIcon(QMessageBox::Warning);
    box.setTextFormat(Qt::PlainText);  // the message is shown letter for letter
    box.setText(QString::fromStdString(alert.message));
    // What the action read its fields as, where a text is not one plain number.
    QString informative = QString::fromStdString(alert.informative);
    if (!alert.fieldNotes.empty()) {
        if (!informative.isEmpty()) informative += QStringLiteral("\n\n");
        informative += QStringLiteral("Read as typed: %1.").arg(QString::fromStdString(alert.fieldNotes));
    }
    box.setInformativeText(informative);
    // Action buttons are laid out in the order they are added, whatever the
    // desktop's convention. Escape gives the answer that changes nothing.
    QPushButton* defaultButton =
        box.addButton(QString::fromStdString(alert.defaultButton), QMessageBox::ActionRole);
    QPushButton* alternateButton = nullptr;
    if (alert.alternateButton)
        alternateButton = box.addButton(QString::fromStdString(*alert.alternateButton), QMessageBox::ActionRole);
    box.setDefaultButton(defaultButton);
    box.setEscapeButton(alternateButton && alert.escapeAnswer == 0 ? alternateButton : defaultButton);
    box.exec();
    return alternateButton && box.clickedButton() == alternateButton ? 0 : 1;
}

namespace {

const QString openDialog = QStringLiteral("open");

// The peak tables filter cannot be a pattern (no pattern matches "no
// extension"): the dialog's files pass through this.
class PeakTableFilter final : public QSortFilterProxyModel {
public:
    using QSortFilterProxyModel::QSortFilterProxyModel;
    void show(const QString& filter) {
        shown = filter;
        invalidateFilter();
    }

protected:
    bool filterAcceptsRow(int row, const QModelIndex& parent) const override {
        const auto* files = qobject_cast<const QFileSystemModel*>(sourceModel());
        if (shown == QtDialogs::allFilesFilter || !files) return true;
        const QModelIndex index = files->index(row, 0, parent);
        if (files->isDir(index)) return true;
        if (shown == QtDialogs::tracesFilter) return QtDialogs::looksLikeTrace(files->fileName(index));
        return QtDialogs::looksLikePeakTable(files->fileName(index));
    }

private:
    QString shown = QtDialogs::peakTablesFilter;
};

}  // namespace

const QString QtDialogs::peakTablesFilter = QStringLiteral("Peak tables: .txt, .tsv, .csv or no extension (*)");
const QString QtDialogs::allFilesFilter = QStringLiteral("All files (*)");
const QString QtDialogs::tracesFilter = QStringLiteral("Instrument traces (*.fsa *.hid)");

bool QtDialogs::looksLikeTrace(const QString& fileName) {
    return fileName.endsWith(QLatin1String(".fsa"), Qt::CaseInsensitive) ||
           fileName.endsWith(QLatin1String(".hid"), Qt::CaseInsensitive);
}

bool QtDialogs::looksLikePeakTable(const QString& fileName) {
    const qsizetype dot = fileName.lastIndexOf(QLatin1Char('.'));
    if (dot <= 0) return true;  // no extension (".name" is a hidden name, not an extension)
    const QString extension = fileName.mid(dot + 1).toLower();
    return extension == QLatin1String("txt") || extension == QLatin1String("tsv") ||
           extension == QLatin1String("csv");
}

std::optional<std::string> QtDialogs::runOpenPanel() {
    std::vector<std::string> paths = QtDialogs::runOpenPanelForFiles();
    if (paths.empty()) return std::nullopt;
    return std::move(paths.front());
}

std::vector<std::string> QtDialogs::runOpenPanelForFiles() {
    QFileDialog dialog(parent, QStringLiteral("Open Peak Tables"),
                       settings ? settings->dialogFolder(openDialog) : QString());
    dialog.setObjectName(QStringLiteral("openDialog"));
    dialog.setFileMode(QFileDialog::ExistingFiles);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    // The filter of files by name needs the dialog's own file list.
    dialog.setOptions(QFileDialog::DontUseNativeDialog | QFileDialog::HideNameFilterDetails);
    const QStringList filters = {peakTablesFilter, tracesFilter, allFilesFilter};
    dialog.setNameFilters(filters);
    auto* filter = new PeakTableFilter(&dialog);
    dialog.setProxyModel(filter);
    // The filter shown is named without its pattern.
    const auto named = [filters](const QString& shown) {
        for (const QString& f : filters)
            if (f.startsWith(shown.trimmed())) return f;
        return peakTablesFilter;
    };
    QObject::connect(&dialog, &QFileDialog::filterSelected, filter,
                     [filter, named](const QString& chosen) { filter->show(named(chosen)); });
    if (const QString kept = settings ? settings->dialogFilter(openDialog) : QString(); filters.contains(kept)) {
        dialog.selectNameFilter(kept);
        filter->show(kept);
    }
    if (dialog.exec() != QDialog::Accepted) return {};
    const QStringList paths = dialog.selectedFiles();
    if (settings && !paths.isEmpty()) {
        settings->rememberDialogFolder(openDialog, paths.front());
        settings->rememberDialogFilter(openDialog, named(dialog.selectedNameFilter()));
    }
    std::vector<std::string> chosen;
    for (const QString& path : paths) chosen.push_back(QFile::encodeName(path).toStdString());
    return chosen;
}

std::optional<ImportAnswer> QtDialogs::runImportReview(const PeakImport& tables, char suggestedDye) {
    ImportDialog dialog(tables, suggestedDye, parent);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return ImportAnswer{std::string(1, dialog.chosenDye()), dialog.chosenMarker()};
}

std::optional<ImportAnswer> QtDialogs::runTraceReview(const TraceReview& review, const TraceResize& resize) {
    TraceReviewDialog dialog(review, resize, settings, parent);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return ImportAnswer{std::string(1, dialog.chosenDye()), {}};
}

bool QtDialogs::runPrintDialog(QPrinter& printer) {
    QPrintDialog dialog(&printer, parent);
    dialog.setWindowTitle(QStringLiteral("Print %1").arg(printer.docName()));
    return dialog.exec() == QDialog::Accepted;
}

QtDialogs::SaveChoice QtDialogs::runSaveDialog(const QString& title, const QString& suggestedName,
                                               const QStringList& filters) {
    // Exports go to the folder of the last export.
    const QString dialog = QStringLiteral("save");
    const QString folder = settings ? settings->dialogFolder(dialog) : QString();
    SaveChoice choice;
    choice.filter = filters.value(0);
    choice.path = QFileDialog::getSaveFileName(parent, title, folder.isEmpty() ? suggestedName : folder + '/' + suggestedName,
                                               filters.join(QStringLiteral(";;")), &choice.filter);
    if (settings && !choice.path.isEmpty()) settings->rememberDialogFolder(dialog, choice.path);
    return choice;
}

}  // namespace lociview::qt
