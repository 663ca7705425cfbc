// The desktop session around the real window: yesterday's scoring choices
// and layout come back from a temporary settings file, files dropped on
// the window open, and the developer log file turns over at its limit.
#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QListView>
#include <QMenu>
#include <QDropEvent>
#include <QMimeData>
#include <QRadioButton>
#include <QSplitter>
#include <QStatusBar>
#include <QUrl>

#include "WindowFixture.h"
#include "desktop/DesktopSession.h"
#include "desktop/DesktopSettings.h"
#include "desktop/DevLogFile.h"
#include "qt/ImportDialog.h"
#include "qt/QtControls.h"
#include "desktop/RecentFilesMenu.h"
#include "qt/TraceReviewDialog.h"
#include "qt/chart/LaneView.h"
#include "qt/chart/StandardView.h"
#include "support/AbifWriter.h"

namespace lociview::qt::test {
namespace {

class DesktopSessionTest : public WindowFixture {
protected:
    // Opens as the desktop application does: the window's openFiles.
    DesktopSession::Opener opener(AnsweringDialogs&, LociviewWindow& target) {
        return [&target, this](const QStringList& files) {
            opened << files;
            target.openFiles(files);
        };
    }
    // Two per-sample peak files, which open together as two lanes.
    QStringList sampleFiles() {
        return {QString::fromStdString(writeFile("s1.txt", "B,1\t1\t150\t800\t8000\t1\r\nB,2\t1\t148\t200\t2000\t2")),
                QString::fromStdString(writeFile("s2.txt", "B,1\t1\t156\t700\t7000\t1"))};
    }

    const QString plate = QString::fromStdString(examplePlate);
    DesktopSettings settings{dir.filePath(QStringLiteral("settings.ini"))};
    QStringList opened;
};

TEST_F(DesktopSessionTest, TheNextStartScoresWithTheLastChoicesInTheLastLayout) {
    QList<int> splitterSizes;
    {
        DesktopSession session(window, dialogs, settings, opener(dialogs, window));
        session.openFiles({plate});
        for (const auto& [field, typed] : {std::pair{"progenitor1", "150"}, {"progenitor2", "152.5"}, {"lowrange", "100"},
                                           {"highrange", "200"}, {"shift", "0.25"}, {"stuttertol", "1.3"}})
            type(field, typed);
        child<QRadioButton>("locusTri")->click();
        child<QCheckBox>("Maybes")->click();
        click("scoreButton");
        // Not walked, the tri locus marks no peak, which the status bar says.
        EXPECT_EQ(window.statusBar()->currentMessage(),
                  QStringLiteral("No peak was scored: the ladder is walked for a di locus only; turn on \"Walk the "
                                 "ladder for every repeat unit\" to walk this tri locus."));
        // Tetra and hexa are offered only with the walk on.
        EXPECT_FALSE(child<QRadioButton>("locusHexa")->isVisibleTo(&window));
        child<QCheckBox>("walkEveryLocus")->click();
        child<QRadioButton>("locusHexa")->click();
        click("scoreButton");
        // A refused Score is no choice to keep.
        type("progenitor1", "1");
        dialogs.expectAlert(AlertId::Progenitor1BelowLow);
        click("scoreButton");

        window.resize(1000, 700);
        QCoreApplication::processEvents();
        child<QSplitter>("lowerSplitter")->setSizes({500, 200});
        splitterSizes = child<QSplitter>("lowerSplitter")->sizes();
        // Files opened together (dropped, or named on the command line) are
        // one entry of Open Recent, and their folder the open dialog's.
        dialogs.expectAlert(AlertId::ConfirmOpenAnother);
        whenShown<ImportDialog>(&window, [](ImportDialog* review) { review->accept(); });
        session.openFiles(sampleFiles());
        window.close();
    }
    settings.sync();
    // The next start on the same settings file, read afresh.
    DesktopSettings reread(dir.filePath(QStringLiteral("settings.ini")));
    AnsweringDialogs nextDialogs;
    LociviewWindow next{&nextDialogs};
    GeneController nextController{next.outlets()};
    ControllerLink nextLink{next, nextController};
    DesktopSession session(next, nextDialogs, reread, opener(nextDialogs, next));
    EXPECT_EQ(scoringChoicesOf(next), (ScoringChoices{"150", "152.5", "100", "200", "0.25", "1.3", 5, true, true}));
    EXPECT_EQ(next.chartModel().getMaybes(), 1);  // the switch's action was sent
    EXPECT_EQ(next.size(), QSize(1000, 700));
    next.show();
    QCoreApplication::processEvents();
    EXPECT_EQ(next.findChild<QSplitter*>(QStringLiteral("lowerSplitter"))->sizes(), splitterSizes);
    EXPECT_EQ(reread.recentFiles(), (QList<QStringList>{sampleFiles(), {plate}}));
    EXPECT_EQ(reread.dialogFolder(QStringLiteral("open")), dir.path());
    QMenu* recent = session.recentFiles()->menu();
    session.recentFiles()->rebuild();
    ASSERT_GE(recent->actions().size(), 2);
    EXPECT_EQ(recent->actions()[0]->text(), QStringLiteral("&1 s1.txt and 1 more (%1)").arg(dir.path()));
    // No alert: yesterday's values pass the checks.
    session.openFiles({plate});
    next.findChild<QAction*>(QStringLiteral("actionScore"))->trigger();
    EXPECT_EQ(next.lastOutcome(), Outcome::Done);
    EXPECT_EQ(nextController.locusType(), 6);
}

TEST_F(DesktopSessionTest, FilesDroppedAnywhereOnTheWindowOpenOtherDragsAreLeftAlone) {
    DesktopSession session(window, dialogs, settings, opener(dialogs, window));
    QLineEdit* field = child<QLineEdit>("progenitor1");
    const QString before = field->text();
    const auto drop = [&](QWidget* target, const QMimeData& data) {
        const QPoint at = target->rect().center();
        QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &enter);
        QDropEvent dropped(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &dropped);
        QCoreApplication::processEvents();
        return enter.isAccepted();
    };
    const QString other = dir.filePath(QStringLiteral("b.txt"));
    QMimeData files;  // as a file manager drags them: links and their paths as text
    files.setUrls({QUrl::fromLocalFile(plate), QUrl::fromLocalFile(other)});
    files.setText(plate);
    QMimeData one;
    one.setUrls({QUrl::fromLocalFile(plate)});
    QMimeData link;
    link.setUrls({QUrl::fromLocalFile(plate), QUrl(QStringLiteral("https://example.org/p.txt"))});

    dialogs.expectAlert(AlertId::ImportRefused);  // b.txt is not there
    EXPECT_TRUE(drop(field, files));  // on a field: opened, not pasted
    EXPECT_EQ(opened, (QStringList{plate, other}));
    EXPECT_EQ(field->text(), before);
    EXPECT_EQ(window.statusText(), "No peak table open");  // a classic table cannot be a lane
    EXPECT_TRUE(settings.recentFiles().isEmpty());

    EXPECT_TRUE(drop(child<QTableView>("tabl")->viewport(), one));
    EXPECT_EQ(settings.recentFiles(), QList<QStringList>{{plate}});

    opened.clear();
    drop(field, link);
    EXPECT_TRUE(opened.isEmpty());
}

// The open dialog lists the peak tables of a folder, files without an
// extension among them (per-sample files often have none), or every file;
// it opens where the last file was chosen, with the filter chosen last,
// also after a restart.
TEST_F(DesktopSessionTest, TheOpenDialogShowsFilesWithoutAnExtensionAndKeepsItsFolderAndFilter) {
    QDir(dir.path()).mkdir(QStringLiteral("runs"));
    const QString runs = dir.filePath(QStringLiteral("runs"));
    for (const char* name : {"runs/a.txt", "runs/B.CSV", "runs/s01", "runs/notes.pdf"}) writeFile(name, "B,1\t1\t150\t800\t1\t1");
    settings.rememberDialogFolder(QStringLiteral("open"), runs + QStringLiteral("/a.txt"));
    QtDialogs real;
    real.setParentWindow(&window);
    real.setSettings(&settings);

    // The names the dialog lists once its folder is read.
    const auto listed = [](QFileDialog* dialog) {
        auto* view = dialog->findChild<QListView*>(QStringLiteral("listView"));
        QStringList names;
        for (int tries = 0; view && tries < 100 && names.isEmpty(); ++tries) {
            QTest::qWait(20);
            for (int r = 0; r < view->model()->rowCount(view->rootIndex()); ++r)
                names << view->model()->index(r, 0, view->rootIndex()).data().toString();
        }
        names.sort();
        return names;
    };
    QObject owner;
    QStringList first, second;
    QString filterShown;
    whenShown<QFileDialog>(&owner, [&](QFileDialog* dialog) {
        first = listed(dialog);
        auto* types = dialog->findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
        if (!types) {
            ADD_FAILURE() << "no filter list";
            return dialog->reject();
        }
        EXPECT_EQ(dialog->nameFilters().value(1), QStringLiteral("Instrument traces (*.fsa *.hid)"));
        types->setCurrentIndex(2);
        Q_EMIT types->activated(2);  // All files, as a click chooses it
        dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText(QStringLiteral("s01"));
        QMetaObject::invokeMethod(dialog, "accept");
    });
    const std::vector<std::string> chosen = real.runOpenPanelForFiles();
    EXPECT_EQ(first, (QStringList{QStringLiteral("B.CSV"), QStringLiteral("a.txt"), QStringLiteral("s01")}));
    EXPECT_EQ(chosen, std::vector<std::string>{(runs + QStringLiteral("/s01")).toStdString()});

    settings.sync();
    DesktopSettings restarted(dir.filePath(QStringLiteral("settings.ini")));
    real.setSettings(&restarted);
    whenShown<QFileDialog>(&owner, [&](QFileDialog* dialog) {
        second = listed(dialog);
        filterShown = dialog->selectedNameFilter();
        dialog->reject();
    });
    EXPECT_TRUE(real.runOpenPanelForFiles().empty());
    EXPECT_TRUE(QtDialogs::allFilesFilter.startsWith(filterShown)) << filterShown.toStdString();
    EXPECT_EQ(second.size(), 4) << second.join(QLatin1Char(' ')).toStdString();
    EXPECT_EQ(restarted.dialogFolder(QStringLiteral("open")), runs);
}

// Two trace files open together through their review, which sizes them
// again with a higher least height and a standard saved under a name;
// the data set is the second sizing's, and it scores.
TEST_F(DesktopSessionTest, TracesOpenThroughTheirReviewSizedAgain) {
    DesktopSession session(window, dialogs, settings, opener(dialogs, window));
    const auto trace = [&](const char* name, const char* sample, std::vector<std::pair<double, double>> blue) {
        lociview::testing::SyntheticRun r;
        r.sample = sample;
        for (const auto& [size, height] : blue) r.peaks.push_back({0, r.mobility.scan(size), height, 2.0});
        return QString::fromStdString(writeFile(name, lociview::testing::writeRun(r)));
    };
    const QStringList files = {trace("a.fsa", "S1", {{150, 800}, {148, 200}}),
                               trace("b.fsa", "S2", {{156, 700}, {154, 250}, {170, 120}})};
    QStringList first, second;
    whenShown<TraceReviewDialog>(&window, [&](TraceReviewDialog* review) {
        const auto shown = [review] {
            QStringList cells;
            for (int r = 0; r < review->fileTable()->rowCount(); ++r)
                for (const int c : {1, 3, 4, 6}) cells << review->fileTable()->item(r, c)->text();
            return cells;
        };
        first = shown();
        review->minHeightBox()->setValue(300);
        review->standardBox()->setEditText(QStringLiteral("35,50,75,100,139,150,160,200,300,340,350,400,450,490,500"));
        review->saveStandard(QStringLiteral("Lab 13"));
        second = shown();
        review->accept();
    });
    session.openFiles(files);
    EXPECT_EQ(first, (QStringList{"S1", "GS500LIZ", "16 of 16", "B 2, O 16",
                                  "S2", "GS500LIZ", "16 of 16", "B 3, O 16"}));
    EXPECT_EQ(second, (QStringList{"S1", "Lab 13", "15 of 15", "B 1, O 16", "S2", "Lab 13", "15 of 15", "B 1, O 16"}));
    ASSERT_EQ(settings.sizeStandards().size(), 1u);
    EXPECT_EQ(settings.sizeStandards().front().name, "Lab 13");
    EXPECT_EQ(controller.traceSizing().minHeight, 300.0);
    // The lanes draw their sized signal; the standard's tab has their fits.
    const LanePanel* panel = window.lanePanel();
    ASSERT_EQ(panel->canvas()->lanes().size(), 2u);
    EXPECT_TRUE(panel->canvas()->lanes()[1].signal);
    ASSERT_EQ(panel->standardCanvas()->lanes().size(), 2u);
    const StandardFit& fit = panel->standardCanvas()->lanes()[1].standard.value();
    EXPECT_EQ(std::tuple(fit.standard, fit.peaks.size(), fit.failed()), std::tuple(std::string("Lab 13"), size_t{15}, false));
    type("progenitor1", "150");
    type("progenitor2", "156");
    click("scoreButton");
    EXPECT_EQ(window.lastOutcome(), Outcome::Done);
    EXPECT_EQ(controller.result().tbllane, (std::vector<int32_t>{1, 2}));
    EXPECT_EQ(controller.importedData().traces.size(), 2u);
}

std::string contents(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return "(none)";
    return file.readAll().toStdString();
}

// Lines written through the desktop's log reach the file whole and in
// order; past its limit the file becomes PATH.1, never a third file.
TEST(DevLogFileTest, LinesReachTheFileWhichTurnsOverAtItsLimit) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("log/lociview.log"));  // the folder is made
    DevLogFile file(path, 40);
    RedirectedStderr toFile(&file);
    const auto logLines = [](std::initializer_list<const char*> lines) {
        StderrLog log;
        for (const char* line : lines) log.line(line);
        QCoreApplication::processEvents();
    };
    logLines({"lane # 1", "bob== (6, 5)"});  // 22 bytes
    EXPECT_EQ(contents(path), "lane # 1\nbob== (6, 5)\n");
    logLines({"marked allele 150.00 in lane 1 as SCORED"});
    EXPECT_EQ(contents(path + ".1"), "lane # 1\nbob== (6, 5)\n");
    EXPECT_EQ(contents(path), "marked allele 150.00 in lane 1 as SCORED\n");
    logLines({"lane # 2"});
    EXPECT_EQ(contents(path + ".1"), "marked allele 150.00 in lane 1 as SCORED\n");
    EXPECT_EQ(contents(path), "lane # 2\n");
    EXPECT_EQ(contents(path + ".2"), "(none)");
}

}  // namespace
}  // namespace lociview::qt::test
