#pragma once
// The desktop main window: builds every window from its form, hands the
// controller its outlets, and turns menu items and buttons into actions.
#include <QImage>
#include <QMainWindow>
#include <QStringList>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "app/GeneController.h"
#include "qt/QtControls.h"
#include "qt/QtDialogs.h"
#include "chart/ChartModel.h"
#include "chart/LaneGeometry.h"

class QAbstractButton;
class QDialog;
class QDockWidget;
class QLineEdit;
class QMenu;
class QPrinter;

namespace lociview::qt {
class CleanUpHistory;
}

namespace Ui {
class MainWindow;
}

namespace lociview::qt {

class StatisticsPanel;
class InstabilityPlot;
class ExportMenu;
class LanePanel;

// A user action of the controller, as the window sends it.
using ControllerAction = Outcome (GeneController::*)();

class LociviewWindow final : public QMainWindow, public lociview::MainWindow {
    Q_OBJECT

public:
    // dialogs: the alert/open/print answers; the window's own Qt dialogs when null.
    explicit LociviewWindow(QtDialogs* dialogs = nullptr, QWidget* parent = nullptr);
    ~LociviewWindow() override;

    // Everything the controller reads and writes, by its field names.
    Outlets outlets();
    // Makes the controller the receiver of every action and the table's data
    // source; detach() lets go of it. ControllerLink pairs the two.
    void attach(GeneController& controller);
    void detach();

    std::string title() const override;
    void setTitle(const std::string& title) override;
    void print() override;
    // Draws the whole window, scaled to fit and centred, onto one page of printer.
    bool printOnto(QPrinter& printer);
    // The window as it is, scale times its size on screen, the chart drawn
    // into it (an OpenGL view's pixels need not reach a copy of the window).
    QImage windowPicture(qreal scale = 2.0);

    // The chart the controller draws into. The view that draws it takes the
    // place of chartPlaceholder: installChartView(new Chartview(chart, ...)).
    ChartModel& chartModel() { return chart; }
    void installChartView(QWidget* view);

    QDialog* geWindow() const { return geDialog; }
    QDialog* accumulateWindow() const { return accDialog; }
    QDialog* cleanUpWindow() const { return cleanupDialog; }
    QDialog* exportWindow() const { return exportDialog; }

    // The files the open data set was read from, as given; none when
    // nothing is open.
    QStringList openedFiles() const;
    // Opens files as the Open action does, without its open-file dialog
    // (the files the program is started with, dropped or recent ones).
    Outcome openFiles(const QStringList& files);

    // "peaks.txt — 523 peaks in 12 lanes", with the layout and dye of
    // sizing tables, genotype tables and per-sample files, or that nothing
    // is open.
    QString statusText() const;
    // The results' provenance, the accumulated runs' list and the status,
    // as the controller has them now.
    void refreshViews();

    // SP-PCR statistics: the panel in its dock, refreshed after every action.
    StatisticsPanel* statisticsPanel() const { return statistics; }
    QDockWidget* statisticsDock() const { return statisticsDockWidget; }
    // The repeat instability of the scored run, in its own dock.
    InstabilityPlot* instabilityView() const { return instabilityPlot; }

    // The lane view in its dock, beside the statistics, following every action.
    LanePanel* lanePanel() const { return lanes; }
    QDockWidget* laneDock() const { return laneDockWidget; }
    // The lines the lane view draws: P1, P2 and the range as typed.
    LaneMarkers laneMarkers() const;
    // The quality flags' levels as typed in the lane dock.
    void setQualityLevels(const QString& saturation, const QString& lowSignal);

    // What the last action sent from a menu item or button answered
    // (actionFinished says so as it ends).
    Outcome lastOutcome() const { return outcome; }

    // The controls of the scoring choices: a scoring field by its name
    // (app/ScoringFields.h), else null; a locus cell by column; the Maybes
    // switch. And the File menu with its Print… item, which the recent
    // files go before.
    QLineEdit* scoringField(std::string_view name) const;
    QAbstractButton* locusCell(int column) const;
    QAbstractButton* walkEveryLocusSwitch() const;
    QAbstractButton* maybesSwitch() const;
    QMenu* fileMenu() const;
    QAction* printAction() const;

Q_SIGNALS:
    // An action sent from a menu item, button or shortcut has ended, and
    // how; the views are up to date by then.
    void actionFinished(lociview::qt::ControllerAction action, lociview::Outcome outcome);

public:
    // File › Export, the report, printing and Edit › Copy and Select All.
    ExportMenu* exportMenu() const { return exports; }

private:
    struct Controls;

    void buildAuxiliaryWindows();
    void connectActions();
    Outcome perform(ControllerAction action);
    // perform, doing action's work through run.
    Outcome perform(ControllerAction action, const std::function<Outcome()>& run);
    void performCleanUp(ControllerAction action);
    void updateStatus();
    void buildStatisticsDock();
    void updateStatistics();
    void buildLaneDock();
    // A dock on the right, its switch in the Results menu with a shortcut.
    QDockWidget* addResultsDock(QWidget* content, const QString& title, const char* name, const char* toggleName,
                                const char* keys);
    void updateLanes();

    std::unique_ptr<Ui::MainWindow> ui;
    std::unique_ptr<QtDialogs> ownDialogs;
    QtDialogs* dialogs;
    StderrLog devlog;
    StdoutSink standardOutput;
    ChartModel chart{devlog};
    QDialog* geDialog = nullptr;
    QDialog* accDialog = nullptr;
    QDialog* cleanupDialog = nullptr;
    QDialog* exportDialog = nullptr;
    std::unique_ptr<Controls> controls;
    CleanUpHistory* history = nullptr;
    GeneController* controller = nullptr;
    StatisticsPanel* statistics = nullptr;
    QDockWidget* statisticsDockWidget = nullptr;
    InstabilityPlot* instabilityPlot = nullptr;
    QDockWidget* instabilityDockWidget = nullptr;
    void updateInstability();
    Outcome outcome = Outcome::Cancelled;
    QString fieldNotes;  // of the last action
    ExportMenu* exports = nullptr;
    LanePanel* lanes = nullptr;
    QDockWidget* laneDockWidget = nullptr;
    std::optional<uint32_t> lanesOf;  // the data set the lane view shows, by its store's next key
};

// Attaches a controller to the window for the link's lifetime. Declared
// after the controller, it detaches first, so a window that outlives its
// controller (and repaints while closing) never asks a dead one for rows.
class ControllerLink {
public:
    ControllerLink(LociviewWindow& window, GeneController& controller) : window(window) {
        window.attach(controller);
    }
    ~ControllerLink() { window.detach(); }
    ControllerLink(const ControllerLink&) = delete;
    ControllerLink& operator=(const ControllerLink&) = delete;

private:
    LociviewWindow& window;
};

}  // namespace lociview::qt
