// The main window's own parts around the controller: the run log restored
// at start with clean-ups undone and redone, the import review, the hints
// on number fields, the tool windows closed without submitting, the menus
// as a keyboard user meets them, and the alert box answered from the keyboard.
#include <QCloseEvent>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QCategoryAxis>
#include <QChart>
#include <QDir>
#include <QHeaderView>
#include <QTableView>
#include <QAbstractButton>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QThread>
#include <QVBoxLayout>
#include <QStatusBar>
#include <QTableWidget>
#include <QWindow>
#include <map>

#include "WindowFixture.h"
#include "qt/InstabilityPlot.h"
#include "accum/RunLog.h"
#include "qt/ImportDialog.h"
#include "qt/QtControls.h"
#include "qt/chart/SpectrumChart.h"
#include "qt/StatisticsPanel.h"
#include "desktop/RunLogStart.h"

namespace lociview::qt::test {
namespace {

using LociviewWindowTest = WindowFixture;

TEST_F(LociviewWindowTest, RestoresTheRunLogAtStartAndUndoesCleanUps) {
    const QString log = dir.filePath(QStringLiteral("data/runs.sqlite"));
    ASSERT_TRUE(startRunLog(window, controller, dialogs, log));
    openAndScore();

    // Clean up, then undo, redo and undo: each the table and scores of its moment.
    const auto state = [this] {
        Cells seen = shownTable();
        seen.emplace_back();
        for (const AllelePtr& a : controller.store().backupList()) seen.back().push_back(std::to_string(a->getScore()));
        return seen;
    };
    const Cells scored = state();
    click("cleanUpButton");
    type("cuwlessthanfield", "2000");
    click("cuwlessthanbutton");
    const Cells cleaned = state();
    ASSERT_NE(cleaned, scored);
    for (const auto& [step, expected] :
         {std::pair{"actionUndo", &scored}, {"actionRedo", &cleaned}, {"actionUndo", &scored}}) {
        ASSERT_TRUE(action(step)->isEnabled()) << step;
        action(step)->trigger();
        EXPECT_EQ(state(), *expected) << step;
    }
    accumulate("10");
    accumulate("20");
    click("scoreButton");
    EXPECT_FALSE(action("actionUndo")->isEnabled());  // a new run: nothing to undo

    // The next start: another window and controller on the same log.
    AnsweringDialogs nextDialogs;
    LociviewWindow next{&nextDialogs};
    GeneController nextController{next.outlets()};
    ControllerLink nextLink{next, nextController};
    ASSERT_TRUE(startRunLog(next, nextController, nextDialogs, log));
    EXPECT_EQ(nextController.accumulator().exportText(), controller.accumulator().exportText());
    const auto* runs = next.accumulateWindow()->findChild<QTableWidget*>(QStringLiteral("accumruns"));
    ASSERT_EQ(runs->rowCount(), 2);
    EXPECT_EQ(runs->item(1, 0)->text() + QLatin1Char(' ') + runs->item(1, 1)->text(), "di-locus-plate.txt 20.00");
    // A reset asks first, and lasts.
    nextDialogs.expectAlert(AlertId::ConfirmResetAccumulator);
    next.findChild<QPushButton*>(QStringLiteral("resetAccumulatorButton"))->click();
    EXPECT_TRUE(RunLog::open(log.toStdString()).log->activeRuns().runs.empty());

    // A newer Lociview's log is read and said so; a run of it with values
    // no run can have is left out, and said.
    {
        sql::Status opened;
        sql::Database raw = sql::Database::open(log.toStdString(), SQLITE_OPEN_READWRITE, opened);
        ASSERT_TRUE(raw.exec("UPDATE run SET reset_at = NULL; UPDATE run SET locus = 7 WHERE id = 2; "
                             "PRAGMA user_version = 2")
                        .ok());
    }
    nextDialogs.expectAlert(AlertId::RunLogReadOnly);
    nextDialogs.expectAlert(AlertId::RunLogRunsLeftOut);
    ASSERT_TRUE(startRunLog(next, nextController, nextDialogs, log));
    EXPECT_EQ(nextController.accumulatedRunList().size(), 1u);
    EXPECT_NE(nextDialogs.shown.back().informative.find("its locus 7 is none of"), std::string::npos);

    // A file that is no run log is set aside, and the user told where.
    writeFile("garbled.sqlite", "not a database");
    nextDialogs.expectAlert(AlertId::RunLogSetAside);
    EXPECT_TRUE(startRunLog(next, nextController, nextDialogs, dir.filePath(QStringLiteral("garbled.sqlite"))));
    const QStringList setAside = QDir(dir.path()).entryList({QStringLiteral("garbled.damaged-*")});
    ASSERT_EQ(setAside.size(), 1);
    EXPECT_NE(nextDialogs.shown.back().informative.find(setAside[0].toStdString()), std::string::npos);
}

// What the import review showed, then the dye (and marker) it was left at
// and the button pressed.
struct Review {
    QString layout;
    QStringList dyes;
    QStringList markers;          // shown only for a Marker column
    QString defaultMarker;        // chosen when the dye was
    std::vector<qlonglong> peaks;  // by lane, of the dye chosen
};

void review(QObject* owner, Review& seen, char dye, QDialogButtonBox::StandardButton press, QString marker = {}) {
    whenShown<ImportDialog>(owner, [&seen, dye, press, marker](ImportDialog* dialog) {
        seen.layout = dialog->findChild<QLabel*>(QStringLiteral("layoutName"))->text();
        auto* dyes = dialog->findChild<QComboBox*>(QStringLiteral("dyeChoice"));
        for (int i = 0; i < dyes->count(); ++i) seen.dyes << dyes->itemText(i);
        dyes->setCurrentIndex(dyes->findData(static_cast<int>(dye)));
        auto* markers = dialog->findChild<QComboBox*>(QStringLiteral("markerChoice"));
        if (markers->isVisible()) {
            for (int i = 0; i < markers->count(); ++i) seen.markers << markers->itemText(i);
            seen.defaultMarker = markers->currentData().toString();
        }
        if (!marker.isEmpty()) {
            markers->setCurrentIndex(markers->findData(marker));
            Q_EMIT markers->activated(markers->currentIndex());
        }
        const QAbstractItemModel* samples = dialog->findChild<QTableView*>(QStringLiteral("sampleTable"))->model();
        for (int r = 0; r < samples->rowCount(); ++r) seen.peaks.push_back(samples->index(r, 3).data().toLongLong());
        dialog->findChild<QDialogButtonBox*>(QStringLiteral("buttonBox"))->button(press)->click();
    });
}

TEST_F(LociviewWindowTest, TheImportReviewShowsTheLayoutTakesTheDyeChosenOrCancels) {
    // Two per-sample files opened at once: two lanes; green chosen.
    Review first;
    review(&window, first, 'G', QDialogButtonBox::Open);
    dialogs.openFiles = {writeFile("s1.txt", "B,1\t1\t150\t800\t8000\t1\r\nB,2\t1\t148\t200\t2000\t2\r\nG,1\t1\t170\t400\t10\t3"),
                         writeFile("s2.txt", "B,1\t1\t156\t700\t7000\t1\r\nB,2\t1\t154\t250\t2500\t2")};
    click("openButton");
    EXPECT_EQ(first.layout, QStringLiteral("Per-sample peak files, one lane each"));
    EXPECT_EQ(first.dyes, (QStringList{QStringLiteral("B (blue): 4 rows"), QStringLiteral("G (green): 1 row")}));
    EXPECT_EQ(first.peaks, (std::vector<qlonglong>{1, 0}));
    EXPECT_EQ(controller.importedData().dye, 'G');
    EXPECT_EQ(controller.lanes(), (std::vector<int32_t>{1, 2}));
    // Scored and shown by lane, each lane names its sample.
    type("progenitor1", "150");
    type("progenitor2", "156");
    click("scoreButton");
    click("toggleTable");
    // After the controller's columns, the window's: the control check and
    // each lane's indices (none for s2, with no green peak).
    EXPECT_EQ(shownTable(), (Cells{{"Lane number", "Sample", "Control", "Instability index", "Expansion index",
                                    "Contraction index", "Flags"},
                                   {"1", "s1", "", "0.0000", "0.0000", "0.0000", ""},
                                   {"2", "s2", "", "", "", "", ""}}));
    // Checked, a lane is a control: the controls' mean is its main peak.
    QAbstractItemModel* model = child<QTableView>("tabl")->model();
    ASSERT_TRUE(model->flags(model->index(0, 2)) & Qt::ItemIsUserCheckable);
    ASSERT_TRUE(model->setData(model->index(0, 2), Qt::Checked, Qt::CheckStateRole));
    EXPECT_EQ(controller.instabilityChoices().controls, std::vector<std::string>{"1"});
    EXPECT_EQ(model->index(0, 2).data(Qt::CheckStateRole).toInt(), Qt::Checked);
    InstabilityChoices byControls = controller.instabilityChoices();
    byControls.index = IndexSizeChoice::ControlMean;
    controller.setInstabilityChoices(byControls);
    EXPECT_EQ(controller.runInstability(byControls)->lanes.at(0).indices->indexSize, 170.0);
    // The Instability dock draws the lanes with indices, counted once it is seen.
    window.findChild<QDockWidget*>(QStringLiteral("instabilityDock"))->raise();
    QCoreApplication::processEvents();
    ASSERT_EQ(window.instabilityView()->rows().size(), 1u);
    EXPECT_EQ(window.instabilityView()->rows()[0].lane, 1);
    EXPECT_EQ(std::pair(window.instabilityView()->lowestChange(), window.instabilityView()->highestChange()),
              std::pair(0, 0));
    // A threshold beyond 1 is refused in the dock's own words; the choice
    // of the controls' mean reaches the controller.
    auto* threshold = window.findChild<QLineEdit*>(QStringLiteral("instabilityThreshold"));
    threshold->setText(QStringLiteral("1.5"));
    Q_EMIT threshold->editingFinished();
    EXPECT_TRUE(window.instabilityView()->rows().empty());
    EXPECT_EQ(controller.instabilityChoices().threshold, 1.5);
    threshold->setText(QStringLiteral("0.2"));
    window.findChild<QComboBox*>(QStringLiteral("instabilityIndexSize"))->setCurrentIndex(2);
    EXPECT_EQ(controller.instabilityChoices().index, IndexSizeChoice::ControlMean);
    EXPECT_EQ(controller.instabilityChoices().threshold, 0.2);
    EXPECT_EQ(window.instabilityView()->rows().size(), 1u);
    click("toggleTable");

    // A sizing table over it, its review cancelled: the green data set
    // stays, rows, store and status alike.
    const std::vector<Row> rows = controller.rows();
    const QString status = window.statusText();
    Review second;
    review(&window, second, 'B', QDialogButtonBox::Cancel);
    dialogs.expectAlert(AlertId::ConfirmOpenAnother);
    open(writeFile("plate.csv", "Sample Name,Dye,Size,Height\nA,Blue,150,800\nA,Red,170,50\n"));
    EXPECT_EQ(second.layout, QStringLiteral("Sizing table (comma-separated)"));
    EXPECT_EQ(second.dyes.size(), 2);
    EXPECT_EQ(controller.rows(), rows);
    EXPECT_EQ(controller.store().count(), 1);
    EXPECT_EQ(window.statusText(), status);

    // A multiplex table: its markers listed with their rows by dye, the one
    // with most rows in the dye chosen until the user picks another; the
    // marker picked is scored, its samples the lanes.
    Review third;
    review(&window, third, 'B', QDialogButtonBox::Open, QStringLiteral("D2"));
    dialogs.expectAlert(AlertId::ConfirmOpenAnother);
    open(writeFile("multiplex.csv", "Sample,Marker,Dye,Size,Height\nA,D1,B,150,800\nA,D1,B,148,200\nA,D2,B,220,500\n"
                                    "B,D2,G,221,300\nC,D1,B,156,700\n"));
    EXPECT_EQ(third.markers, (QStringList{QStringLiteral("D1: B 3"), QStringLiteral("D2: B 1, G 1")}));
    EXPECT_EQ(third.defaultMarker, QStringLiteral("D1"));
    EXPECT_EQ(third.peaks, (std::vector<qlonglong>{1, 0}));  // A and B, of D2 in blue
    EXPECT_EQ(controller.importedData().tables.marker, "D2");
    EXPECT_EQ(controller.lanes(), (std::vector<int32_t>{1, 2}));
    EXPECT_TRUE(window.statusText().endsWith(QStringLiteral(", marker D2"))) << window.statusText().toStdString();
    // The statistics of the file scored before are not this file's.
    EXPECT_EQ(window.statisticsPanel()->findChild<QLabel*>(QStringLiteral("runSource"))->text(),
              QStringLiteral("Score this file to see its statistics"));
    EXPECT_EQ(window.statisticsPanel()->runTable()->rowCount(), 0);
}

// Each number field is the controller's field of that name, both ways; a
// text that does not read as the number it shows puts a hint on the field,
// by how that field is read, and stays as typed.
TEST_F(LociviewWindowTest, ANumberFieldIsTheControllersAndSaysWhatItsTextReadsAs) {
    const Outlets outlets = window.outlets();
    struct Case {
        const char* field;
        TextField& outlet;
        const char* text;
        const char* hint;  // "": the field's own tooltip and look
    };
    const Case cases[] = {
        {"progenitor1", outlets.progenitor1, "12abc", "Read as 12"},
        {"progenitor1", outlets.progenitor1, "1e3", "Read as 1000, and as 1 where a whole number is used"},
        {"progenitor2", outlets.progenitor2, "152", ""},
        {"lowrange", outlets.lowrange, "100", ""},
        {"highrange", outlets.highrange, "200", ""},
        {"shift", outlets.shift, "1e3", ""},  // read as a decimal only
        {"stuttertol", outlets.stuttertol, "nan", "Read as 0"},
        // The tool windows' fields, hidden: written by the controller.
        {"geforun", outlets.geforun, "12.5", ""},
        {"accumgeforun", outlets.accumgeforun, "10", ""},
        {"cuwlessthanfield", outlets.cuwlessthanfield, "700", ""},
        {"cuwgreaterthanfield", outlets.cuwgreaterthanfield, "5000", ""},
        {"cuwlanefield", outlets.cuwlanefield, "3.5", "Read as 3"},
        {"cuwallelefield", outlets.cuwallelefield, "150", ""},
    };
    std::map<std::string, QString> ownTips;
    for (const Case& c : cases) ownTips.emplace(c.field, child<QLineEdit>(c.field)->toolTip());
    for (const Case& c : cases) {
        QLineEdit* edit = child<QLineEdit>(c.field);
        if (edit->isVisible()) type(c.field, c.text);
        else c.outlet.setText(c.text);
        EXPECT_EQ(edit->text().toStdString() + " " + c.outlet.text(), std::string(c.text) + " " + c.text) << c.field;
        const QString tip = edit->toolTip();
        if (*c.hint) {
            EXPECT_TRUE(tip.startsWith(QString::fromLatin1(c.hint)) && tip.endsWith(ownTips[c.field])) << tip.toStdString();
        } else {
            EXPECT_EQ(tip, ownTips[c.field]) << c.text;
        }
        EXPECT_EQ(edit->styleSheet().isEmpty(), !*c.hint) << c.text;
        // Beside the field, the short form: "read as 1000".
        const QLabel* note = child<QLabel>((std::string(c.field) + "ReadAs").c_str());
        EXPECT_EQ(note->isVisibleTo(edit->window()), *c.hint != '\0') << c.field;
        if (*c.hint) {
            EXPECT_TRUE(tip.startsWith(note->text(), Qt::CaseInsensitive)) << note->text().toStdString();
        }
    }

    // The action that reads the fields says what it read them as, in its
    // alert and in the status bar.
    open(examplePlate);
    for (const auto& [field, typed] : {std::pair{"progenitor1", "15O"}, {"progenitor2", "156"}, {"lowrange", "120"},
                                       {"highrange", "180"}, {"shift", "0"}, {"stuttertol", "1,5"}})
        type(field, typed);
    dialogs.expectAlert(AlertId::Progenitor1BelowLow);
    click("scoreButton");
    EXPECT_EQ(dialogs.shown.back().fieldNotes, "P1 '15O' is read as 15; stutter tolerance '1,5' is read as 1");
    EXPECT_EQ(child<QStatusBar>("statusbar")->currentMessage(),
              "Read as typed: P1 '15O' is read as 15; stutter tolerance '1,5' is read as 1.");
}

// Escape, the title bar's close button or Cancel leave a tool window with
// nothing done, whatever was typed into it; a GE typed is not kept (it
// would become the run's GE).
TEST_F(LociviewWindowTest, ClosingAToolWindowWithoutSubmittingChangesNothing) {
    openAndScore();
    struct Case {
        const char* opener;
        QDialog* dialog;
        std::vector<std::pair<const char*, const char*>> typed;
        const char* cancel;
    };
    const Case cases[] = {
        {"cleanUpButton", window.cleanUpWindow(), {{"cuwlessthanfield", "5000"}, {"cuwlanefield", "3"}, {"cuwallelefield", "150"}},
         "cuwclosebutton"},
        {"addToAccumulatorButton", window.accumulateWindow(), {{"accumgeforun", "10"}}, "accumgecancelbutton"},
        {"exportButton", window.geWindow(), {{"geforun", "12.5"}}, "gecancelbutton"},
    };
    const Cells before = shownTable();
    for (const Case& c : cases)
        for (int closing = 0; closing < 3; ++closing) {
            SCOPED_TRACE(std::string(c.opener) + " closed by " + std::to_string(closing));
            click(c.opener);
            ASSERT_TRUE(c.dialog->isVisible());
            for (const auto& [field, value] : c.typed) type(field, value);
            if (closing == 0) {
                QTest::keyClick(c.dialog, Qt::Key_Escape);
            } else if (closing == 1) {
                QCloseEvent close;  // what the window manager sends for the title bar's button
                QApplication::sendEvent(c.dialog->windowHandle(), &close);
            } else {
                click(c.cancel);
            }
            EXPECT_FALSE(c.dialog->isVisible());
            EXPECT_EQ(shownTable(), before);
            EXPECT_EQ(controller.accumulator().currentRun(), 0);
            EXPECT_TRUE(child<QPlainTextEdit>("sppcrtext")->toPlainText().isEmpty());
            EXPECT_EQ(text("accumgeforun") + text("geforun"), "");
            EXPECT_FALSE(controller.runStatistics()->ge.has_value());
        }
}

// The real alert box: Escape takes the button that changes nothing, Return the default one.
// Every menu item has a shortcut of its own, and a menu item and its button
// bear one name.
TEST_F(LociviewWindowTest, MenusHaveAShortcutPerItemAndTheButtonsNames) {
    std::map<QString, QString> owners;  // shortcut -> item
    for (QAction* title : window.menuBar()->actions())
        for (QAction* item : title->menu()->actions()) {
            if (item->isSeparator() || item->menu()) continue;
            const QString keys = item->shortcut().toString();
            EXPECT_FALSE(keys.isEmpty()) << item->text().toStdString();
            const auto [at, added] = owners.emplace(keys, item->text());
            EXPECT_TRUE(added || keys.isEmpty()) << keys.toStdString() << " twice: " << at->second.toStdString();
        }
    const std::pair<const char*, const char*> named[] = {
        {"actionOpen", "openButton"},           {"actionScore", "scoreButton"},
        {"actionGraph", "graphButton"},         {"actionTableByLane", "toggleTable"},
        {"actionMaybes", "Maybes"},             {"actionCleanUp", "cleanUpButton"},
        {"actionAddToAccumulator", "addToAccumulatorButton"}, {"actionExportSPPCR", "exportButton"}};
    for (const auto& [item, button] : named)
        EXPECT_EQ(action(item)->text().remove(QLatin1Char('&')), child<QAbstractButton>(button)->text()) << item;
}

TEST(QtDialogsTest, EscapeAnswersWithTheButtonThatChangesNothing) {
    struct Case {
        AlertId id;
        Qt::Key key;
        int answer;
    };
    const Case cases[] = {
        {AlertId::ConfirmOpenAnother, Qt::Key_Escape, 0},    // Keep Scoring
        {AlertId::ConfirmOpenAnother, Qt::Key_Return, 1},    // Open Another
        {AlertId::DoubleProgenitorLoss, Qt::Key_Escape, 1},  // Abort Exporting, not Export Anyway
        {AlertId::NoDataInFile, Qt::Key_Escape, 1},          // the only button
    };
    QtDialogs dialogs;
    QObject owner;
    for (const Case& c : cases) {
        whenShown<QMessageBox>(&owner, [&c](QMessageBox* box) {
            QTest::keyClick(box, c.key);
            if (!box->isVisible()) return;
            ADD_FAILURE() << "the key left the alert open";
            box->buttons().first()->click();
        });
        EXPECT_EQ(dialogs.runAlert(alertRequest(c.id)), c.answer) << static_cast<int>(c.id) << ' ' << c.key;
    }
}

// A run that holds the thread shows its progress at frames only, the first
// a tenth of a second in; a frame lets a click on Cancel in and no other
// input, and the run then learns it was cancelled. The action's end takes
// the Cancel back.
TEST(ProgressBarIndicatorTest, AFrameTakesAClickOnCancelAndNothingElse) {
    QWidget panel;
    auto* bar = new QProgressBar(&panel);
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), &panel);
    auto* other = new QPushButton(QStringLiteral("Score"), &panel);
    auto* layout = new QVBoxLayout(&panel);
    for (QWidget* w : {static_cast<QWidget*>(bar), static_cast<QWidget*>(cancel), static_cast<QWidget*>(other)})
        layout->addWidget(w);
    panel.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&panel));
    int otherClicks = 0;
    QObject::connect(other, &QPushButton::clicked, [&otherClicks] { ++otherClicks; });

    ProgressBarIndicator progress(bar, cancel);
    ASSERT_TRUE(progress.cancellable());
    EXPECT_FALSE(cancel->isEnabled());
    progress.configure();
    progress.setMinValue(0.0);
    progress.setMaxValue(4.0);
    progress.setDoubleValue(0.0);
    progress.incrementBy(1.0);
    progress.displayNow();  // the run begins: no frame yet
    EXPECT_TRUE(cancel->isEnabled());
    progress.incrementBy(1.0);
    EXPECT_EQ(bar->value(), ProgressBarIndicator::steps / 4);
    QTimer::singleShot(0, other, [&] {
        QTest::mouseClick(other, Qt::LeftButton);
        QTest::mouseClick(cancel, Qt::LeftButton);
        QTest::keyClick(&panel, Qt::Key_Escape);
    });
    QThread::msleep(FrameRate::frameMs + 20);
    progress.displayNow();  // a frame
    EXPECT_TRUE(progress.cancelRequested());
    EXPECT_EQ(otherClicks, 0);
    EXPECT_TRUE(panel.isVisible());
    EXPECT_EQ(bar->value(), ProgressBarIndicator::steps / 2);

    progress.incrementBy(1.0);
    progress.displayNow();  // too soon for another frame
    EXPECT_EQ(bar->value(), ProgressBarIndicator::steps / 2);
    progress.incrementBy(1.0);
    progress.endRun();
    EXPECT_FALSE(progress.cancelRequested());
    EXPECT_FALSE(cancel->isEnabled());
    EXPECT_EQ(bar->value(), ProgressBarIndicator::steps);
    QTest::mouseClick(other, Qt::LeftButton);
    EXPECT_EQ(otherClicks, 1);
}

// At its first size the window, title bar and a panel fit a 1366x768
// screen, and with a plate scored no button, label or column title is cut;
// a spectrum of many bars labels as many as fit, never one cut short.
TEST(WindowSizeTest, TheFirstSizeFitsASmallScreenAndCutsNoLabel) {
    AnsweringDialogs dialogs;
    // Before the window: the chart it owns logs to them as it goes.
    NullLog log;
    RecordingOutput output;
    LociviewWindow window{&dialogs};
    window.installChartView(new ChartArea(window.chartModel(), log, output));
    GeneController controller{window.outlets()};
    ControllerLink link{window, controller};
    EXPECT_LE(window.width(), 1366);
    EXPECT_LE(window.height() + 70, 768);  // a title bar and a panel
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    dialogs.openFiles = {examplePlate};
    window.findChild<QAction*>(QStringLiteral("actionOpen"))->trigger();
    window.findChild<QLineEdit*>(QStringLiteral("progenitor1"))->setText(QStringLiteral("150"));
    window.findChild<QLineEdit*>(QStringLiteral("progenitor2"))->setText(QStringLiteral("156"));
    window.findChild<QAction*>(QStringLiteral("actionScore"))->trigger();
    QTest::qWait(100);

    for (const QAbstractButton* button : window.findChildren<QAbstractButton*>()) {
        if (button->isVisible() && !button->text().isEmpty()) {
            EXPECT_GE(button->width(), button->sizeHint().width()) << button->text().toStdString();
        }
    }
    for (const QLabel* label : window.findChildren<QLabel*>()) {
        if (label->isVisible() && !label->text().isEmpty() && !label->wordWrap()) {
            EXPECT_GE(label->width(), label->sizeHint().width()) << label->text().toStdString();
        }
    }
    const QHeaderView* header = window.findChild<QTableView*>(QStringLiteral("tabl"))->horizontalHeader();
    const QFontMetrics metrics(header->font());
    for (int i = 0; i < header->count(); ++i) {
        const QString title = header->model()->headerData(i, Qt::Horizontal).toString();
        const QRect needed = metrics.boundingRect(QRect(0, 0, header->sectionSize(i) - 8, 10000), Qt::TextWordWrap, title);
        EXPECT_LE(needed.height(), header->height()) << title.toStdString();
        EXPECT_LE(needed.width(), header->sectionSize(i)) << title.toStdString();
    }

    SpectrumBars many;
    for (int change = -60; change <= 60; ++change) many.labels.push_back(changeLabel(change));
    many.progenitorCategory = 60;
    many.series = {{"P1 150 bp", std::vector<int64_t>(many.labels.size(), 1)}};
    many.largestCount = 1;
    SpectrumChartView view;
    view.resize(320, 240);
    view.show();
    view.showSpectrum(many, QStringLiteral("Allele spectrum"));
    auto* axis = qobject_cast<QCategoryAxis*>(view.chart()->axes(Qt::Horizontal).value(0));
    ASSERT_NE(axis, nullptr);
    const QStringList labels = axis->categoriesLabels();
    EXPECT_TRUE(labels.contains(QStringLiteral("0")));
    int widths = 0;
    for (const QString& label : labels) widths += QFontMetrics(axis->labelsFont()).horizontalAdvance(label);
    EXPECT_LT(widths, view.width() - 90) << labels.join(QLatin1Char(' ')).toStdString();
    EXPECT_GT(labels.size(), 2);
}

}  // namespace
}  // namespace lociview::qt::test
