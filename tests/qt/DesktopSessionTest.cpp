// The desktop session over the real window: yesterday's scoring choices,
// recent files and layout come back from a temporary settings file, and
// files dropped on the window open.
#include <QAction>
#include <QCheckBox>
#include <QDropEvent>
#include <QMenu>
#include <QMimeData>
#include <QRadioButton>
#include <QSplitter>
#include <QTableView>
#include <QUrl>
#include <gtest/gtest.h>

#include "WindowFixture.h"
#include "qt/DesktopSession.h"
#include "qt/DesktopSettings.h"
#include "qt/RecentFilesMenu.h"

namespace lociview::qt::test {
namespace {

class DesktopSessionTest : public WindowFixture {
protected:
    // Opens as the command line does: the window's Open action, answered.
    DesktopSession::Opener opener(AnsweringDialogs& answering, LociviewWindow& target) {
        return [&answering, &target, this](const QStringList& files) {
            opened << files;
            answering.openAnswer = files.first().toStdString();
            target.findChild<QAction*>(QStringLiteral("actionOpen"))->trigger();
        };
    }

    QString iniFile() const { return dir.filePath(QStringLiteral("settings.ini")); }

    // A second start of the application on the same settings.
    struct NextStart {
        NextStart(DesktopSessionTest& test, DesktopSettings& settings)
            : session(window, dialogs, settings, test.opener(dialogs, window)) {}
        AnsweringDialogs dialogs;
        LociviewWindow window{&dialogs};
        GeneController controller{window.outlets()};
        ControllerLink link{window, controller};
        DesktopSession session;
    };

    QStringList opened;
};

TEST_F(DesktopSessionTest, TheFirstScoreOfTheNextStartUsesTheLastChoices) {
    const QString plate = QString::fromStdString(writeFile("plate.txt", threePeaks));
    QList<int> splitterSizes;
    {
        DesktopSettings settings(iniFile());
        DesktopSession session(window, dialogs, settings, opener(dialogs, window));
        session.openFiles({plate});
        const std::vector<std::pair<const char*, const char*>> typed = {
            {"progenitor1", "150"}, {"progenitor2", "152.5"}, {"lowrange", "100"}, {"highrange", "200"},
            {"shift", "0.25"},      {"stuttertol", "1.3"}};
        for (const auto& [field, text] : typed) typeInto(child<QLineEdit>(field), QString::fromLatin1(text));
        child<QRadioButton>("locusTri")->click();
        child<QCheckBox>("Maybes")->click();
        child<QPushButton>("scoreButton")->click();

        // A refused Score is no choice to keep.
        typeInto(child<QLineEdit>("progenitor1"), QStringLiteral("1"));
        dialogs.expectAlert("Progenitor 1 is smaller than your Low Range value.");
        action("actionScore")->trigger();

        window.resize(1000, 700);
        QCoreApplication::processEvents();
        child<QSplitter>("lowerSplitter")->setSizes({500, 200});
        splitterSizes = child<QSplitter>("lowerSplitter")->sizes();
        window.close();
    }
    DesktopSettings settings(iniFile());
    NextStart next(*this, settings);
    const ScoringChoices expected{"150", "152.5", "100", "200", "0.25", "1.3", 2, true};
    EXPECT_EQ(scoringChoicesOf(next.window), expected);
    EXPECT_EQ(next.window.chartModel().getMaybes(), 1);  // the switch's action was sent
    EXPECT_EQ(next.window.size(), QSize(1000, 700));
    next.window.show();
    QCoreApplication::processEvents();
    EXPECT_EQ(next.window.findChild<QSplitter*>(QStringLiteral("lowerSplitter"))->sizes(), splitterSizes);
    EXPECT_EQ(settings.recentFiles(), QStringList{plate});

    // No alert: yesterday's values pass the checks.
    next.session.openFiles({plate});
    next.window.findChild<QAction*>(QStringLiteral("actionScore"))->trigger();
    EXPECT_EQ(next.window.lastOutcome(), Outcome::Done);
    EXPECT_EQ(next.controller.locusType(), 3);
}

TEST_F(DesktopSessionTest, RecentFilesKeepTenGreyTheMissingAndClear) {
    DesktopSettings settings(iniFile());
    DesktopSession session(window, dialogs, settings, opener(dialogs, window));
    QStringList written;
    for (int i = 0; i < 12; ++i) {
        written << QString::fromStdString(writeFile("p" + std::to_string(i) + ".txt", threePeaks));
        settings.addRecentFile(written.back());
    }
    settings.addRecentFile(written[5]);  // again: to the top, once
    QFile::remove(written[11]);

    RecentFilesMenu* recent = session.recentFiles();
    ASSERT_NE(recent, nullptr);
    recent->rebuild();
    QStringList shown;
    for (QAction* entry : recent->menu()->actions()) {
        if (!entry->data().isValid()) continue;
        shown << entry->data().toString();
        EXPECT_EQ(entry->isEnabled(), entry->data() != written[11]) << entry->text().toStdString();
    }
    EXPECT_EQ(shown, (QStringList{written[5], written[11], written[10], written[9], written[8], written[7],
                                  written[6], written[4], written[3], written[2]}));

    recent->menu()->actions().first()->trigger();  // opens the entry
    EXPECT_EQ(opened, QStringList{written[5]});
    EXPECT_EQ(window.windowTitle(), "Lociview: p5.txt");

    child<QAction>("actionClearRecent")->trigger();
    EXPECT_TRUE(settings.recentFiles().isEmpty());
}

TEST_F(DesktopSessionTest, FilesDroppedAnywhereOnTheWindowOpenOtherDragsAreLeftAlone) {
    DesktopSettings settings(iniFile());
    DesktopSession session(window, dialogs, settings, opener(dialogs, window));
    const QString plate = QString::fromStdString(writeFile("plate.txt", threePeaks));
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
    QMimeData files;  // as a file manager drags them: links and their paths as text
    files.setUrls({QUrl::fromLocalFile(plate), QUrl::fromLocalFile(dir.filePath(QStringLiteral("b.txt")))});
    files.setText(plate);
    QMimeData one;
    one.setUrls({QUrl::fromLocalFile(plate)});
    QMimeData link;
    link.setUrls({QUrl::fromLocalFile(plate), QUrl(QStringLiteral("https://example.org/p.txt"))});

    EXPECT_TRUE(drop(field, files));  // on a field: opened, not pasted
    EXPECT_EQ(opened, (QStringList{plate, dir.filePath(QStringLiteral("b.txt"))}));
    EXPECT_EQ(field->text(), before);
    EXPECT_EQ(window.windowTitle(), "Lociview: plate.txt");
    EXPECT_TRUE(settings.recentFiles().isEmpty());  // several are one data set

    dialogs.expectAlert("Are you sure you wish to stop scoring this data?");
    EXPECT_TRUE(drop(child<QTableView>("tabl")->viewport(), one));
    EXPECT_EQ(settings.recentFiles(), QStringList{plate});

    opened.clear();
    drop(field, link);
    EXPECT_TRUE(opened.isEmpty());
}

}  // namespace
}  // namespace lociview::qt::test
