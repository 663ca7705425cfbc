// The desktop application's unattended run: which arguments make one, and
// what it reports and saves when it drives the real window.
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

QStringList split(const char* arguments) {
    return QString::fromLatin1(arguments).split(QLatin1Char(' '), Qt::SkipEmptyParts);
}

TEST(ScriptedRunArgumentsTest, ScriptedOptionsAreReadWholeOrRefused) {
    struct Case {
        const char* arguments;
        bool scripted;
        const char* error;  // "" when accepted
    };
    const Case cases[] = {
        // An ordinary start ignores whatever it is given.
        {"", false, ""},
        {"peaks.txt --verbose", false, ""},
        // Scripted runs.
        {"--open a.txt", true, ""},
        {"--open=a.txt --p1=150 --p2 156 --by-lane --graph-rows 0,3 --size 800x600 --screenshot s.png", true, ""},
        {"--screenshot s.png", true, ""},
        // Refused, with the reason.
        {"--open", true, "--open needs a value"},
        {"--open a.txt extra", true, "unknown argument: extra"},
        {"--by-lane=yes", true, "--by-lane takes no value"},
        {"--graph-rows 0,-1", true, "--graph-rows wants row numbers from 0 separated by commas, not 0,-1"},
        {"--graph-rows 0,,1", true, "--graph-rows wants row numbers from 0 separated by commas, not 0,,1"},
        {"--graph-rows x", true, "--graph-rows wants row numbers from 0 separated by commas, not x"},
        {"--size 1200", true, "--size wants WIDTHxHEIGHT, each 200 to 10000, not 1200"},
        {"--size 100x800", true, "--size wants WIDTHxHEIGHT, each 200 to 10000, not 100x800"},
        {"--size 1200x99999", true, "--size wants WIDTHxHEIGHT, each 200 to 10000, not 1200x99999"},
    };
    for (const Case& c : cases) {
        const ParsedArguments parsed = parseArguments(split(c.arguments));
        EXPECT_EQ(parsed.error.toStdString(), c.error) << c.arguments;
        EXPECT_EQ(parsed.run.has_value(), c.scripted && *c.error == '\0') << c.arguments;
    }
}

TEST(ScriptedRunArgumentsTest, ValuesLandInTheirFields) {
    const ParsedArguments parsed =
        parseArguments(split("--open=a.txt --p1 150.5 --by-lane --graph-rows 2,0 --size 640x480 --screenshot s.png"));
    ASSERT_TRUE(parsed.run);
    const ScriptedRun& run = *parsed.run;
    EXPECT_EQ(run.open, "a.txt");
    EXPECT_EQ(run.p1, QStringLiteral("150.5"));
    EXPECT_FALSE(run.p2);  // untouched: the field keeps its start-up text
    EXPECT_TRUE(run.byLane);
    EXPECT_EQ(run.graphRows, (std::vector<int>{2, 0}));
    EXPECT_EQ(run.size, QSize(640, 480));
    EXPECT_EQ(run.screenshot, "s.png");
}

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
