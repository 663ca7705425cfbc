#pragma once
// File › Export (the tables as CSV or TSV, the chart and the spectrum chart
// as PNG or SVG), Export Report…, Print… (the report through the print
// dialog) and Print Window…, and Edit › Copy and Select All over the
// results table. What is written comes from the controller; the format
// from the file name's extension, else from the filter chosen.
#include <QObject>
#include <QString>
#include <vector>

#include "chart/ChartModel.h"
#include "export/ExportTables.h"
#include "qt/export/ReportDocument.h"

class QAction;
class QMenu;
class QPagedPaintDevice;
class QTableView;

namespace lociview {
class GeneController;
}

namespace lociview::qt {

class QtDialogs;
class LanePanel;
class StatisticsPanel;

class ExportMenu final : public QObject {
    Q_OBJECT

public:
    // Adds the Export submenu and Export Report… to fileMenu before print,
    // Print Window… after it, and Copy and Select All to editMenu (to
    // window without one). chart is the chart's model the pictures draw.
    ExportMenu(QWidget& window, ChartModel& chart, QMenu* fileMenu, QAction* print, QMenu* editMenu,
               QTableView* table, QtDialogs& dialogs);

    void setController(const GeneController* source) { controller = source; }
    // The spectra the Spectrum Chart picture is saved from: the tab shown.
    void setStatisticsPanel(const StatisticsPanel* panel) { statistics = panel; }
    // The lane view Export Lanes Picture draws, as shown.
    void setLanePanel(const LanePanel* panel) { lanes = panel; }

    // Sends GeneController::printMyWindow through the window.
    QAction* printWindowAction() const { return printWindow; }

    // Each asks for a file and writes it; false when nothing was written.
    bool exportTable(ExportTable which);
    bool exportChart();
    bool exportSpectrumChart();
    bool exportLanes();  // the lane view as it is, PNG, SVG or PDF
    bool exportReport();
    // The report as a PDF file at path, without asking: empty when written, else why not.
    QString writeReport(const QString& path);
    void printReport();
    // The report as it would be written now, and its pictures.
    Report report() const;
    ReportPictures reportPictures() const;

    // The selected rows of the results table as TSV under its column
    // titles, onto the clipboard (a text field with the focus copies its
    // own text); Select All selects every row.
    void copy();
    void selectAll();

Q_SIGNALS:
    // What was written or copied, for the status bar.
    void done(const QString& message);

protected:
    // The table's own Copy key would copy one cell: rows it is.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void updateEnabled();
    // The path the user chose, its extension one of the filters'; empty when cancelled.
    QString chosenPath(const QString& title, const QString& suffix, const QStringList& filters);
    QString suggestedName(const QString& suffix, const QString& extension) const;
    // Says what happened: saved in the status bar, else an alert naming the file and why.
    bool written(const QString& problem, const QString& path);

    ChartModel& chartModel;
    const StatisticsPanel* statistics = nullptr;
    const LanePanel* lanes = nullptr;
    QTableView* table;
    QtDialogs& dialogs;
    const GeneController* controller = nullptr;
    std::vector<std::pair<ExportTable, QAction*>> tableActions;
    QAction* chart = nullptr;
    QAction* spectrum = nullptr;
    QAction* lanesPicture = nullptr;
    QAction* reportAction = nullptr;
    QAction* printWindow = nullptr;
};

}  // namespace lociview::qt
