#pragma once
// Modal alerts, the open-file dialog and the print dialog. Each is a
// virtual call so a test can answer it without a person at the screen.
#include <QString>
#include <QStringList>
#include <optional>
#include <string>
#include <vector>

#include "app/Toolkit.h"
#include "trace/SizeStandard.h"

class QPrinter;
class QWidget;

namespace lociview::qt {

// What the dialogs remember between runs: by file dialog ("open"), the
// folder of the file last chosen ("" for none) and the filter last shown;
// and the size standards the user saved in the trace review.
class DialogMemory {
public:
    virtual ~DialogMemory() = default;
    virtual QString dialogFolder(const QString& dialog) const = 0;
    virtual void rememberDialogFolder(const QString& dialog, const QString& chosenFile) = 0;
    virtual QString dialogFilter(const QString& dialog) const = 0;
    virtual void rememberDialogFilter(const QString& dialog, const QString& filter) = 0;
    virtual std::vector<SizeStandard> sizeStandards() const = 0;
    virtual void saveSizeStandard(const SizeStandard& standard) = 0;
};

class QtDialogs : public Dialogs {
public:
    QtDialogs() = default;
    QtDialogs(const QtDialogs&) = delete;
    QtDialogs& operator=(const QtDialogs&) = delete;

    // The window the dialogs are modal to.
    void setParentWindow(QWidget* window) { parent = window; }
    QWidget* parentWindow() const { return parent; }

    int runAlert(const AlertRequest& alert) override;
    std::optional<std::string> runOpenPanel() override;
    // Peak tables: the many-file open dialog (a subclass that answers
    // runOpenPanel answers this with Dialogs::runOpenPanelForFiles), and
    // the import review (ImportDialog).
    std::vector<std::string> runOpenPanelForFiles() override;
    std::optional<ImportAnswer> runImportReview(const PeakImport& tables, char suggestedDye) override;
    // Trace files: their review (TraceReviewDialog), where they can be sized again.
    std::optional<ImportAnswer> runTraceReview(const TraceReview& review, const TraceResize& resize) override;
    // True when the user confirmed printing onto the (configured) printer.
    virtual bool runPrintDialog(QPrinter& printer);
    // Exports: the save dialog offering filters ("CSV, comma-separated
    // (*.csv)"), the first chosen; the path and the filter the user left
    // chosen, or an empty path when cancelled.
    struct SaveChoice {
        QString path;
        QString filter;
    };
    virtual SaveChoice runSaveDialog(const QString& title, const QString& suggestedName, const QStringList& filters);

    // Where the file dialogs remember their folders and the open dialog its
    // filter (the desktop application's settings); none (the default) for
    // runs that must not read or change the user's settings.
    void setSettings(DialogMemory* remembered) { settings = remembered; }

    // The open dialog's filters: peak tables (.txt, .tsv, .csv, and files
    // without an extension, as per-sample files often are), or every file.
    static const QString peakTablesFilter;
    static const QString allFilesFilter;
    static const QString tracesFilter;  // "Instrument traces (*.fsa *.hid)"
    // Whether the peak tables filter shows a file of this name.
    static bool looksLikePeakTable(const QString& fileName);
    static bool looksLikeTrace(const QString& fileName);

private:
    QWidget* parent = nullptr;
    DialogMemory* settings = nullptr;
};

}  // namespace lociview::qt
