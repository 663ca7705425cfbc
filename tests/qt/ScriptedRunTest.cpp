// The desktop application's unattended run: what it reports and saves when
// it drives the real window.
#include <QImage>
#include <QTemporaryDir>
#include <QTextStream>
#include <gtest/gtest.h>

#include "GLSupport.h"
#include "app/GeneController.h"
#include "qt/ChartArea.h"
#include "qt/LociviewWindow.h"
#include "qt/ScriptedRun.h"

namespace lociview::qt::test {
namespace {

class ScriptedRunTest : public ::testing::Test {
protected:
    ScriptedRunTest() : dialogs(QString::fromLatin1(LOCIVIEW_EXAMPLES_DIR "/di-locus-plate.txt")) {
        chart = new ChartArea(window.chartModel(), log, output);
        window.installChartView(chart);
    }

    std::string run(const ScriptedRun& scripted, int expectedStatus) {
        QString report;
        QTextStream stream(&report);
        EXPECT_EQ(runScripted(window, *chart, scripted, stream), expectedStatus);
        return report.toStdString();
    }

    RecordingLog log;
    RecordingOutput output;
    ScriptedDialogs dialogs;
    LociviewWindow window{&dialogs};
    ChartArea* chart = nullptr;
    GeneController controller{window.outlets()};
    ControllerLink link{window, controller};
    QTemporaryDir dir;
};

TEST_F(ScriptedRunTest, ScoresGraphsReportsAndSavesThePicture) {
    ScriptedRun scripted;
    scripted.open = QString::fromLatin1(LOCIVIEW_EXAMPLES_DIR "/di-locus-plate.txt");
    scripted.p1 = QStringLiteral("150");
    scripted.p2 = QStringLiteral("156");
    scripted.byLane = true;
    scripted.graphRows = {0, 1, 99};  // no row 99: left out
    scripted.size = QSize(900, 700);
    scripted.screenshot = dir.filePath(QStringLiteral("window.png"));

    const std::string report = run(scripted, 0);
    for (const char* line : {"title: Lociview: di-locus-plate.txt\n",
                             "lanes: 1 empty, 6 with one allele, 5 with two or more\n",
                             "table: 12 rows; Lane number | alle146 | alle150 | alle156 | alle158 | alle162\n",
                             "selected rows: 0 1\n",
                             "scoring log: marked allele 157.96 with height 151 in lane 2 as MAYBE\n"}) {
        EXPECT_NE(report.find(line), std::string::npos) << line << "in\n" << report;
    }
    const std::string chartLine = chart->view() && chart->view()->problem().isEmpty()
                                      ? "chart: 7 peaks, drawn with OpenGL\n"
                                      : "chart: The chart is empty: ";
    EXPECT_NE(report.find(chartLine), std::string::npos) << report;

    const QImage picture(scripted.screenshot);
    ASSERT_FALSE(picture.isNull());
    EXPECT_EQ(picture.size(), window.size());
    EXPECT_EQ(window.size(), QSize(900, 700));
}

TEST_F(ScriptedRunTest, APictureThatCannotBeSavedFailsTheRun) {
    ScriptedRun scripted;
    scripted.screenshot = dir.filePath(QStringLiteral("no-such-folder/window.png"));
    const std::string report = run(scripted, 1);
    // Nothing opened: the window as it starts.
    EXPECT_NE(report.find("title: Lociview\n"), std::string::npos) << report;
    EXPECT_NE(report.find("table: 0 rows;"), std::string::npos) << report;
    EXPECT_EQ(report.find("screenshot:"), std::string::npos);
}

}  // namespace
}  // namespace lociview::qt::test
