// The real main window and controller under a display: what the user types
// and clicks is what the controller reads and does.
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QDialog>
#include <QFile>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QStatusBar>
#include <QTableView>
#include <QTableWidget>
#include <QTemporaryDir>
#include <deque>
#include <fstream>
#include <gtest/gtest.h>

#include "app/GeneController.h"
#include "qt/LociviewWindow.h"
#include "qt/RunLogStart.h"
#include "support/ControllerHarness.h"
#include "WindowFixture.h"

namespace lociview::qt {
namespace {

using LociviewWindowTest = test::WindowFixture;
using test::threePeaks;
using test::typeInto;

std::vector<std::string> headerTitles(const QTableView* table) {
    std::vector<std::string> titles;
    for (int c = 0; c < table->model()->columnCount(); ++c)
        titles.push_back(table->model()->headerData(c, Qt::Horizontal).toString().toStdString());
    return titles;
}

TEST_F(LociviewWindowTest, StartsWithTheLayoutStatesAndFieldValues) {
    const std::vector<std::pair<const char*, const char*>> fields = {
        {"progenitor1", "1.0"}, {"progenitor2", "2.0"}, {"lowrange", "120.0"},
        {"highrange", "180.0"}, {"shift", "0.0"},       {"stuttertol", "1.5"},
        {"numemptylanes", ""},  {"numones", ""},         {"numtwos", ""},
        {"geforun", ""},        {"accumgeforun", ""},    {"cuwlanefield", ""}};
    for (const auto& [name, text] : fields) EXPECT_EQ(child<QLineEdit>(name)->text().toStdString(), text) << name;

    EXPECT_TRUE(child<QRadioButton>("locusDi")->isChecked());
    EXPECT_FALSE(child<QCheckBox>("Maybes")->isChecked());
    EXPECT_FALSE(child<QPushButton>("toggleTable")->isChecked());
    EXPECT_TRUE(child<QPlainTextEdit>("datatext")->isReadOnly());
    for (QDialog* aux : {window.geWindow(), window.accumulateWindow(), window.cleanUpWindow(), window.exportWindow()})
        EXPECT_FALSE(aux->isVisible());
    EXPECT_EQ(outlets.tabl.columnIdentifiers(), (std::vector<std::string>{"as", "nump", "perc"}));
    EXPECT_EQ(child<QTableView>("tabl")->horizontalHeader()->sectionResizeMode(0), QHeaderView::Stretch);
    EXPECT_EQ(window.statusBar()->currentMessage(), "No peak table open");
}

TEST_F(LociviewWindowTest, OpensAPeakTableThroughTheOpenButton) {
    open("peaks.txt", threePeaks);

    EXPECT_EQ(window.windowTitle(), "Lociview: peaks.txt");
    EXPECT_EQ(controller.store().count(), 3);
    EXPECT_EQ(controller.lanes(), (std::vector<int32_t>{1, 2}));
    EXPECT_EQ(child<QTableView>("tabl")->model()->rowCount(), 0);  // nothing scored yet
    EXPECT_EQ(window.statusBar()->currentMessage(), QString::fromUtf8("peaks.txt — 3 peaks in 2 lanes"));

    // A second opening asks first; keeping on scoring changes nothing.
    dialogs.expectAlert("Are you sure you wish to stop scoring this data?", true);
    dialogs.openAnswer = writeFile("other.txt", "1A,1 1.0 150.0 800 1000.0 1.0\n");
    action("actionOpen")->trigger();
    EXPECT_EQ(window.windowTitle(), "Lociview: peaks.txt");
    EXPECT_EQ(controller.store().count(), 3);
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.shown[0].defaultButton, "Open Another");
    EXPECT_EQ(dialogs.shown[0].informative, "");
}

TEST_F(LociviewWindowTest, OpeningTurnsTheByLaneSwitchAndItsMenuItemOff) {
    child<QPushButton>("toggleTable")->click();
    EXPECT_TRUE(action("actionTableByLane")->isChecked());
    EXPECT_EQ(outlets.tabl.columnIdentifiers(), (std::vector<std::string>{"lane"}));
    EXPECT_EQ(child<QTableView>("tabl")->horizontalHeader()->sectionResizeMode(0), QHeaderView::Interactive);

    open("peaks.txt", threePeaks);
    EXPECT_FALSE(child<QPushButton>("toggleTable")->isChecked());
    EXPECT_FALSE(action("actionTableByLane")->isChecked());
    EXPECT_EQ(outlets.tabl.columnIdentifiers(), (std::vector<std::string>{"as", "nump", "perc"}));
}

TEST_F(LociviewWindowTest, TypedTextIsWhatTheControllerReads) {
    struct Case {
        const char* widget;
        TextField& outlet;
    };
    const std::vector<Case> cases = {
        {"progenitor1", outlets.progenitor1},   {"progenitor2", outlets.progenitor2},
        {"lowrange", outlets.lowrange},         {"highrange", outlets.highrange},
        {"shift", outlets.shift},               {"stuttertol", outlets.stuttertol},
        {"geforun", outlets.geforun},           {"accumgeforun", outlets.accumgeforun},
        {"cuwlessthanfield", outlets.cuwlessthanfield}, {"cuwgreaterthanfield", outlets.cuwgreaterthanfield},
        {"cuwlanefield", outlets.cuwlanefield}, {"cuwallelefield", outlets.cuwallelefield},
    };
    // Each field gets a different text, so a field wired to the wrong
    // outlet shows up as a mismatch.
    int n = 0;
    for (const Case& c : cases) {
        const QString typed = QStringLiteral("%1.5 x").arg(100 + n++);
        typeInto(child<QLineEdit>(c.widget), typed);
        EXPECT_EQ(c.outlet.text(), typed.toStdString()) << c.widget;
    }
    n = 0;
    for (const Case& c : cases)
        EXPECT_EQ(c.outlet.text(), QStringLiteral("%1.5 x").arg(100 + n++).toStdString()) << c.widget;
}

TEST_F(LociviewWindowTest, ClickingALocusCellSelectsOnlyThatColumn) {
    const std::vector<std::pair<const char*, int>> cells = {
        {"locusTri", 2}, {"locusDi", 1}, {"locusPenta", 3}, {"locusMono", 0}};
    ASSERT_EQ(outlets.locusmatrix.numberOfColumns(), 4);
    for (const auto& [name, column] : cells) {
        child<QRadioButton>(name)->click();
        for (int c = 0; c < 4; ++c) EXPECT_EQ(outlets.locusmatrix.cellState(0, c), c == column ? 1 : 0) << name;
        EXPECT_EQ(outlets.locusmatrix.cellState(1, column), 0);
    }
}

TEST_F(LociviewWindowTest, MaybesSendsItsActionOnAClickOnly) {
    ChartModel& chart = window.chartModel();
    outlets.Maybes.setState(1);
    EXPECT_EQ(chart.getMaybes(), 0);  // setting the state is not a click
    EXPECT_TRUE(action("actionMaybes")->isChecked());

    outlets.Maybes.setState(0);
    child<QCheckBox>("Maybes")->click();
    EXPECT_EQ(outlets.Maybes.state(), 1);
    EXPECT_EQ(chart.getMaybes(), 1);

    action("actionMaybes")->trigger();  // the menu item turns it off and sends
    EXPECT_EQ(outlets.Maybes.state(), 0);
    EXPECT_EQ(chart.getMaybes(), 0);
}

TEST_F(LociviewWindowTest, TableAsksTheControllerForRowsAndCells) {
    setScoredResults();
    QTableView* table = child<QTableView>("tabl");
    const QAbstractItemModel* model = table->model();
    ASSERT_EQ(model->rowCount(), 2);
    EXPECT_EQ(model->index(1, 0).data(), QVariant(152));
    EXPECT_EQ(model->index(0, 1).data(), QVariant(3));
    EXPECT_EQ(model->index(0, 2).data(), QVariant(0.75));

    // Counts changed behind the view's back show at the next ask.
    GeneControllerTestAccess::setAlleles(controller, {150, 152}, {2, 1}, {0.75, 0.5});
    EXPECT_EQ(model->index(0, 1).data(), QVariant(2));

    table->selectionModel()->select(model->index(1, 0),
                                    QItemSelectionModel::Select | QItemSelectionModel::Rows);
    table->selectionModel()->select(model->index(0, 2),
                                    QItemSelectionModel::Select | QItemSelectionModel::Rows);
    EXPECT_EQ(outlets.tabl.selectedRows(), (std::vector<int>{0, 1}));
    outlets.tabl.reloadData();
    EXPECT_TRUE(outlets.tabl.selectedRows().empty());

    // Rows the lists no longer have are never asked for.
    GeneControllerTestAccess::setAlleles(controller, {150});
    EXPECT_FALSE(model->index(1, 0).data().isValid());
}

// The by-lane menu item and the graph menu item; the buttons are clicked
// in EndToEndTest.
TEST_F(LociviewWindowTest, ByLaneAndGraphMenuItemsShowTheSelectedLane) {
    open("peaks.txt", threePeaks);
    setScoredResults();
    action("actionTableByLane")->trigger();
    EXPECT_TRUE(child<QPushButton>("toggleTable")->isChecked());
    QTableView* table = child<QTableView>("tabl");
    EXPECT_EQ(headerTitles(table), (std::vector<std::string>{"Lane number", "alle150", "alle152"}));
    table->selectRow(1);  // lane 2: two peaks
    action("actionGraph")->trigger();
    EXPECT_EQ(window.chartModel().peaks().size(), 2u);
}

TEST_F(LociviewWindowTest, CleanUpWindowOpensOnlyAfterScoringCentred) {
    dialogs.expectAlert("You have not scored this data set yet.");
    child<QPushButton>("cleanUpButton")->click();
    EXPECT_FALSE(window.cleanUpWindow()->isVisible());
    EXPECT_EQ(dialogs.shown.back().defaultButton, "Abort Cleaning");

    setScoredResults();
    action("actionCleanUp")->trigger();
    QDialog* cleanup = window.cleanUpWindow();
    ASSERT_TRUE(cleanup->isVisible());
    const QPoint centre = cleanup->screen()->availableGeometry().center();
    EXPECT_LE((cleanup->frameGeometry().center() - centre).manhattanLength(), 4);
}

// Closing these windows without submitting is played in EndToEndTest.
TEST_F(LociviewWindowTest, MenuItemsRunTheSubmitWindowsCopyAndReset) {
    setScoredResults();
    typeInto(child<QLineEdit>("progenitor1"), "150");
    typeInto(child<QLineEdit>("progenitor2"), "152");

    action("actionExportSPPCR")->trigger();
    ASSERT_TRUE(window.geWindow()->isVisible());
    typeInto(child<QLineEdit>("geforun"), "12.5");
    child<QPushButton>("gesubmitbutton")->click();
    EXPECT_FALSE(window.geWindow()->isVisible());
    ASSERT_TRUE(window.exportWindow()->isVisible());
    const std::string text = "7 1 2 150 152 \n150 152\n12.50 2 3 1 ";
    EXPECT_EQ(child<QPlainTextEdit>("sppcrtext")->toPlainText().toStdString(), text);
    EXPECT_TRUE(child<QPlainTextEdit>("sppcrtext")->isReadOnly());
    child<QPushButton>("sppcrcopybutton")->click();
    EXPECT_EQ(QGuiApplication::clipboard()->text().toStdString(), text);

    action("actionAddToAccumulator")->trigger();
    typeInto(child<QLineEdit>("accumgeforun"), "10");
    child<QPushButton>("accumgesubmitbutton")->click();
    EXPECT_FALSE(window.accumulateWindow()->isVisible());
    EXPECT_EQ(controller.accumulator().currentRun(), 1);
    action("actionExportAccumulated")->trigger();
    EXPECT_EQ(outlets.sppcrtext.text(), controller.accumulator().exportText());
    // The desktop asks before a reset, naming the runs.
    dialogs.expectAlert("Reset the accumulator?", true);
    child<QPushButton>("resetAccumulatorButton")->click();
    EXPECT_EQ(controller.accumulator().currentRun(), 1);
    EXPECT_EQ(dialogs.shown.back().informative, "Its 1 run will leave the accumulator.");
    dialogs.expectAlert("Reset the accumulator?");
    child<QPushButton>("resetAccumulatorButton")->click();
    EXPECT_EQ(controller.accumulator().currentRun(), 0);
}

// A day's runs come back at the next start, said in the status bar and
// listed in the accumulate window; each clean-up is a step of Edit › Undo
// and Redo; the results panel names what the results come from.
TEST_F(LociviewWindowTest, RestoresTheRunLogAtStartAndUndoesCleanUps) {
    const QString log = dir.filePath(QStringLiteral("data/runs.sqlite"));
    ASSERT_TRUE(startRunLog(window, controller, dialogs, log));
    for (const auto& [field, text] : {std::pair{"progenitor1", "150"}, {"progenitor2", "152"}, {"lowrange", "140"},
                                      {"highrange", "160"}})
        typeInto(child<QLineEdit>(field), QString::fromLatin1(text));
    open("peaks.txt", threePeaks);
    action("actionScore")->trigger();
    EXPECT_EQ(child<QLabel>("provenanceLabel")->text().toStdString(),
              "peaks.txt: P1 150, P2 152, range 140 to 160, shift 0.0, stutter tolerance 1.5, di, Maybes off");

    // Clean up, then undo, redo and undo: each the table and scores of its moment.
    const auto state = [this] {
        std::vector<int32_t> seen = {child<QTableView>("tabl")->model()->index(0, 1).data().toInt()};
        for (const AllelePtr& a : controller.store().backupList()) seen.push_back(a->getScore());
        return seen;
    };
    const auto scored = state();
    action("actionCleanUp")->trigger();
    typeInto(child<QLineEdit>("cuwlessthanfield"), "700");
    child<QPushButton>("cuwlessthanbutton")->click();
    EXPECT_EQ(window.statusBar()->currentMessage(), "Removed 1 peak below height 700");
    const auto cleaned = state();
    ASSERT_NE(cleaned, scored);
    EXPECT_EQ(action("actionUndo")->shortcut(), QKeySequence(QStringLiteral("Ctrl+Z")));
    EXPECT_EQ(action("actionRedo")->shortcut(), QKeySequence(QStringLiteral("Ctrl+Shift+Z")));
    for (const auto& [step, expected] : {std::pair{"actionUndo", &scored}, {"actionRedo", &cleaned},
                                         {"actionUndo", &scored}}) {
        ASSERT_TRUE(action(step)->isEnabled()) << step;
        action(step)->trigger();
        EXPECT_EQ(state(), *expected) << step;
    }
    EXPECT_EQ(window.statusBar()->currentMessage(), "Undone: Removed 1 peak below height 700");

    for (const char* ge : {"10", "20"}) {
        action("actionAddToAccumulator")->trigger();
        typeInto(child<QLineEdit>("accumgeforun"), QString::fromLatin1(ge));
        child<QPushButton>("accumgesubmitbutton")->click();
    }
    action("actionScore")->trigger();
    EXPECT_FALSE(action("actionUndo")->isEnabled());  // a new run: nothing to undo
    dialogs.expectAlert("Are you sure you wish to stop scoring this data?");
    open("other.txt", "1A,1 1.0 150.0 800 1000.0 1.0\n");
    EXPECT_TRUE(child<QLabel>("provenanceLabel")->text().startsWith("Previous file's results, peaks.txt: P1 150"));

    // The next start: another window and controller on the same log.
    test::AnsweringDialogs nextDialogs;
    LociviewWindow next{&nextDialogs};
    GeneController nextController{next.outlets()};
    ControllerLink nextLink{next, nextController};
    ASSERT_TRUE(startRunLog(next, nextController, nextDialogs, log));
    EXPECT_EQ(next.statusBar()->currentMessage(), "Restored 2 accumulated runs");
    EXPECT_EQ(nextController.accumulator().exportText(), controller.accumulator().exportText());
    const auto* runs = next.accumulateWindow()->findChild<QTableWidget*>(QStringLiteral("accumruns"));
    ASSERT_EQ(runs->rowCount(), 2);
    EXPECT_EQ(runs->item(1, 0)->text() + " " + runs->item(1, 1)->text(), "peaks.txt 20.00");
    // A reset lasts.
    nextDialogs.expectAlert("Reset the accumulator?");
    next.findChild<QPushButton*>(QStringLiteral("resetAccumulatorButton"))->click();
    EXPECT_EQ(nextDialogs.shown.back().informative, "Its 2 runs will leave the accumulator. The run log keeps them, marked reset.");
    EXPECT_TRUE(RunLog::open(log.toStdString()).log->activeRuns().runs.empty());

    // A file that is no run log is set aside, and the user told where.
    writeFile("garbled.sqlite", "not a database");
    nextDialogs.expectAlert("The run log could not be read and was set aside.");
    EXPECT_TRUE(startRunLog(next, nextController, nextDialogs, dir.filePath(QStringLiteral("garbled.sqlite"))));
    EXPECT_NE(nextDialogs.shown.back().informative.find("It was kept as " + dir.path().toStdString() + "/garbled.damaged-"),
              std::string::npos);
}

TEST_F(LociviewWindowTest, ChartViewTakesThePlaceholdersPlace) {
    QWidget* placeholder = child<QWidget>("chartPlaceholder");
    const QSize minimum = placeholder->minimumSize();
    auto* view = new QWidget;
    window.installChartView(view);
    EXPECT_EQ(window.findChild<QWidget*>("chartPlaceholder"), nullptr);
    EXPECT_EQ(view->window(), &window);
    EXPECT_TRUE(view->isVisible());
    EXPECT_EQ(view->minimumSize(), minimum);
    auto* second = new QWidget(&window);
    window.installChartView(second);  // only one chart: a second is ignored
    EXPECT_TRUE(view->isVisible());
    EXPECT_FALSE(second->isVisible());
}

TEST_F(LociviewWindowTest, PrintsTheWindowToAPdfFile) {
    dialogs.pdfPath = dir.filePath("window.pdf");
    action("actionPrintWindow")->trigger();
    QFile pdf(dialogs.pdfPath);
    ASSERT_TRUE(pdf.open(QIODevice::ReadOnly));
    EXPECT_TRUE(pdf.read(5) == "%PDF-");
    EXPECT_GT(pdf.size(), 1000);

    // A cancelled print dialog prints nothing.
    dialogs.pdfPath.clear();
    action("actionPrintWindow")->trigger();
}

}  // namespace
}  // namespace lociview::qt
