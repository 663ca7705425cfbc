#include "qt/QtDialogs.h"

#include <QFile>
#include <QFileDialog>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>

#include "qt/ImportDialog.h"
#include "qt/DesktopSettings.h"

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

std::optional<std::string> QtDialogs::runOpenPanel() {
    const QString dialog = QStringLiteral("open");
    const QString folder = settings ? settings->dialogFolder(dialog) : QString();
    const QString path = QFileDialog::getOpenFileName(parent, QStringLiteral("Open Peak Table"), folder);
    if (path.isEmpty()) return std::nullopt;
    if (settings) settings->rememberDialogFolder(dialog, path);
    chosenFile = path;
    return QFile::encodeName(path).toStdString();
}

std::vector<std::string> QtDialogs::runOpenPanelForFiles() {
    const QStringList paths = QFileDialog::getOpenFileNames(
        parent, QStringLiteral("Open Peak Tables"), QString(),
        QStringLiteral("Peak tables (*.txt *.tsv *.csv);;All files (*)"));
    std::vector<std::string> chosen;
    for (const QString& path : paths) chosen.push_back(QFile::encodeName(path).toStdString());
    return chosen;
}

std::optional<std::string> QtDialogs::runImportReview(const PeakImport& tables, char suggestedDye) {
    ImportDialog dialog(tables, suggestedDye, parent);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return std::string(1, dialog.chosenDye());
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
