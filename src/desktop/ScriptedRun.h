#pragma once
// A non-interactive run of the desktop window, for pictures of it and for
// checking a start-up on a given machine: open a peak table, type the
// progenitors, score, graph some rows, report what the window shows and
// save a picture of it. Every dialog is answered without a person.
//
//   lociview --open FILE [--p1 TEXT] [--p2 TEXT] [--by-lane]
//            [--graph-rows 0,1] [--size 1200x800] [--screenshot OUT.png]
//            [--report OUT.pdf]
//
// These options are not advertised: a user starts the program without any.
// CommandLine.h reads them.
#include <QSize>
#include <QString>
#include <optional>
#include <utility>
#include <vector>

#include "qt/QtDialogs.h"

class QTextStream;

namespace lociview::qt {

class ChartArea;
class LociviewWindow;

struct ScriptedRun {
    QString open;                // the peak table the open-file dialog is answered with
    std::optional<QString> p1;   // typed into the progenitor fields when given
    std::optional<QString> p2;
    bool byLane = false;         // show the results table by lane before graphing
    std::vector<int> graphRows;  // table rows selected for the Graph button
    QSize size{1200, 800};       // the main window's size for the picture
    QString screenshot;          // PNG written of the main window ("" for none)
    QString report;              // the PDF report written ("" for none)
};

// Answers the open-file dialog with one path and every alert with its
// default button, writing each alert's message to standard error.
class UnattendedDialogs final : public QtDialogs {
public:
    explicit UnattendedDialogs(QString path) : path(std::move(path)) {}
    int runAlert(const AlertRequest& alert) override;
    std::optional<std::string> runOpenPanel() override;
    std::vector<std::string> runOpenPanelForFiles() override { return Dialogs::runOpenPanelForFiles(); }
    // Sizing tables, genotype tables and per-sample files are scored in their default dye.
    std::optional<ImportAnswer> runImportReview(const PeakImport&, char) override { return ImportAnswer{}; }
    // Trace files likewise, sized as the file names its standard.
    std::optional<ImportAnswer> runTraceReview(const TraceReview&, const TraceResize&) override { return ImportAnswer{}; }
    bool runPrintDialog(QPrinter& printer) override;

private:
    QString path;
};

// Drives the shown window through its own widgets, then writes what it
// shows to report: title, lane counters, table rows, scoring-log lines and
// the chart's state. Returns the exit status (0, or 1 when the picture
// could not be saved).
int runScripted(LociviewWindow& window, const ChartArea& chart, const ScriptedRun& run, QTextStream& report);

}  // namespace lociview::qt
