#pragma once
// The desktop main window: builds every window from its form, hands the
// controller its outlets, and turns menu items and buttons into actions.
#include <QImage>
#include <QMainWindow>
#include <QStringList>
#include <memory>
#include <string>

#include "app/GeneController.h"
#include "qt/QtControls.h"
#include "qt/QtDialogs.h"
#include "chart/ChartModel.h"

class QDialog;
class QDockWidget;
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

    // "peaks.txt — 523 peaks in 12 lanes", with the layout and dye of tables
    // in today's layouts, or that nothing is open.
    QString statusText() const;
    // The results' provenance, the accumulated runs' list and the status,
    // as the controller has them now.
    void refreshViews();

    // SP-PCR statistics: the panel in its dock, refreshed after every action.
    StatisticsPanel* statisticsPanel() const { return statistics; }
    QDockWidget* statisticsDock() const { return statisticsDockWidget; }
    // The repeat instability of the scored run, in its own dock.
    InstabilityPlot* instabilityView() const { return instabilityPlot; }

    // What the last action sent from a menu item or button answered; a
    // slot connected after the window's own sees the action's outcome.
    Outcome lastOutcome() const { return outcome; }
    // File › Export, the report, printing and Edit › Copy and Select All.
    ExportMenu* exportMenu() const { return exports; }

private:
    struct Controls;

    void buildAuxiliaryWindows();
    void connectActions();
    Outcome perform(Outcome (GeneController::*action)());
    void performCleanUp(Outcome (GeneController::*action)());
    void updateStatus();
    void buildStatisticsDock();
    void updateStatistics();

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
