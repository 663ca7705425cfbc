// The desktop application as a scientist uses it: the real main window with
// its chart, driven only through its widgets (keys typed into fields, clicks
// on buttons, radio cells and table rows) from opening the example plate to
// exporting the accumulated runs. Only dialogs are answered by the test.
#include <QAbstractItemModel>
#include <QAction>
#include <QClipboard>
#include <QPrinter>
#include <QProcess>
#include <QRegularExpression>
#include <QCloseEvent>
#include <QDialog>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>
#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QDockWidget>
#include <QTableView>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QWindow>
#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <string>
#include <vector>

#include "GLSupport.h"
#include "app/GeneController.h"
#include "qt/ChartArea.h"
#include "qt/ExportMenu.h"
#include "qt/LociviewWindow.h"
#include "qt/SpectrumChart.h"
#include "qt/StatisticsPanel.h"
#include "chart/ChartGeometry.h"

namespace lociview::qt::test {
namespace {

const std::string examplePlate = std::string(LOCIVIEW_EXAMPLES_DIR) + "/di-locus-plate.txt";

// Answers the open-file dialog; any alert on this road but the one
// expected is a failure.
class RoadDialogs final : public QtDialogs {
public:
    int runAlert(const AlertRequest& alert) override {
        if (expectedAlert != alert.id) ADD_FAILURE() << "unexpected alert: " << alert.message;
        expectedAlert.reset();
        informative = alert.informative;
        return 1;
    }
    std::optional<std::string> runOpenPanel() override { return openAnswer; }
    std::vector<std::string> runOpenPanelForFiles() override { return Dialogs::runOpenPanelForFiles(); }
    // Prints into a PDF file when one is named, else cancels.
    bool runPrintDialog(QPrinter& printer) override {
        if (pdfPath.isEmpty()) return false;
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdfPath);
        return true;
    }
    // The save dialog's answers, in turn.
    SaveChoice runSaveDialog(const QString&, const QString&, const QStringList&) override {
        if (saveAnswers.empty()) {
            ADD_FAILURE() << "unexpected save dialog";
            return {};
        }
        SaveChoice answer = saveAnswers.front();
        saveAnswers.pop_front();
        return answer;
    }

    std::optional<std::string> openAnswer;
    std::optional<AlertId> expectedAlert;
    std::string informative;  // of the last alert
    QString pdfPath;
    std::deque<SaveChoice> saveAnswers;
};

class EndToEndTest : public ::testing::Test {
protected:
    EndToEndTest() {
        chartArea = new ChartArea(window.chartModel(), chartLog, chartOutput);
        window.installChartView(chartArea);
        window.resize(1200, 800);
        window.show();
    }

    void SetUp() override { ASSERT_TRUE(QTest::qWaitForWindowExposed(&window)); }

    template <class T>
    T* child(const char* name) {
        T* found = window.findChild<T*>(QString::fromLatin1(name));
        if (!found) ADD_FAILURE() << "no widget " << name;
        return found;
    }

    void click(const char* button) { QTest::mouseClick(child<QPushButton>(button), Qt::LeftButton); }

    // Select the field's text with the keyboard and type over it.
    void type(const char* field, const char* text) {
        QLineEdit* edit = child<QLineEdit>(field);
        QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(edit, QString::fromLatin1(text));
        EXPECT_EQ(edit->text().toStdString(), text) << field;
    }

    // A click on the radio cell's indicator, at its left edge.
    void clickCell(const char* cell) {
        QRadioButton* radio = child<QRadioButton>(cell);
        QTest::mouseClick(radio, Qt::LeftButton, Qt::NoModifier, QPoint(7, radio->height() / 2));
    }

    void clickRow(int row, Qt::KeyboardModifiers modifiers) {
        QTableView* table = child<QTableView>("tabl");
        const QRect cell = table->visualRect(table->model()->index(row, 0));
        QTest::mouseClick(table->viewport(), Qt::LeftButton, modifiers, cell.center());
    }

    std::string text(const char* field) { return child<QLineEdit>(field)->text().toStdString(); }

    std::vector<std::vector<std::string>> tableCells() {
        const QAbstractItemModel* model = child<QTableView>("tabl")->model();
        std::vector<std::vector<std::string>> cells;
        for (int r = 0; r < model->rowCount(); ++r) {
            std::vector<std::string> row;
            for (int c = 0; c < model->columnCount(); ++c)
                row.push_back(model->index(r, c).data().toString().toStdString());
            cells.push_back(row);
        }
        return cells;
    }

    std::vector<std::string> headers() {
        const QAbstractItemModel* model = child<QTableView>("tabl")->model();
        std::vector<std::string> titles;
        for (int c = 0; c < model->columnCount(); ++c)
            titles.push_back(model->headerData(c, Qt::Horizontal).toString().toStdString());
        return titles;
    }

    std::vector<int32_t> scores() const {
        std::vector<int32_t> all;
        for (const auto& peak : controller.store().backupList()) all.push_back(peak->getScore());
        return all;
    }

    void openAndScore() {
        dialogs.openAnswer = examplePlate;
        click("openButton");
        type("progenitor1", "150");
        type("progenitor2", "156");
        click("scoreButton");
    }

    RecordingLog chartLog;
    RecordingOutput chartOutput;
    RoadDialogs dialogs;
    LociviewWindow window{&dialogs};
    ChartArea* chartArea = nullptr;
    GeneController controller{window.outlets()};
    ControllerLink link{window, controller};
};

// The darkest grey level in a band of pixel columns around a drawing-area x,
// above the axis line (whose colour follows the last curve).
int darkestAbove(const QImage& frame, double areaX) {
    const int centre = static_cast<int>(areaX / ChartGeometry::areaWidth * frame.width());
    const int lowest = frame.height() - 1 - static_cast<int>(90.0 / ChartGeometry::areaHeight * frame.height());
    int least = 255;
    for (int x = std::max(0, centre - 2); x <= std::min(frame.width() - 1, centre + 2); ++x)
        for (int y = 0; y < lowest; ++y) least = std::min(least, qGray(frame.pixel(x, y)));
    return least;
}

TEST_F(EndToEndTest, OneDataSetFromOpeningToTheAccumulatedExport) {
    // Open: the dialog's answer becomes the data set; nothing scored yet.
    dialogs.openAnswer = examplePlate;
    QTest::mouseClick(child<QPushButton>("openButton"), Qt::LeftButton);
    EXPECT_EQ(window.windowTitle().toStdString(), "Lociview: di-locus-plate.txt");
    EXPECT_EQ(headers(), (std::vector<std::string>{"Allele Size", "# of peaks at this size", "% of weighted height"}));
    EXPECT_TRUE(tableCells().empty());
    EXPECT_EQ(controller.lanes().size(), 12u);

    // Parameters: the progenitors typed, the di cell clicked after another.
    type("progenitor1", "150");
    type("progenitor2", "156");
    clickCell("locusTri");
    EXPECT_TRUE(child<QRadioButton>("locusTri")->isChecked());
    clickCell("locusDi");
    EXPECT_TRUE(child<QRadioButton>("locusDi")->isChecked());
    EXPECT_FALSE(child<QRadioButton>("locusTri")->isChecked());

    // Score: counters, the table by allele, the scoring log, the progress bar.
    click("scoreButton");
    EXPECT_EQ(controller.locusType(), 2);
    EXPECT_EQ(text("numemptylanes"), "1");
    EXPECT_EQ(text("numones"), "6");
    EXPECT_EQ(text("numtwos"), "5");
    struct AlleleRow {
        int size;
        int count;
        double weight;
    };
    const std::vector<AlleleRow> byAllele = {
        {146, 1, 0.943598}, {150, 7, 1.425948}, {156, 6, 1.213576}, {158, 1, 0.742183}, {162, 1, 0.803218}};
    const QAbstractItemModel* model = child<QTableView>("tabl")->model();
    ASSERT_EQ(model->rowCount(), static_cast<int>(byAllele.size()));
    for (int r = 0; r < model->rowCount(); ++r) {
        const AlleleRow& want = byAllele[static_cast<size_t>(r)];
        EXPECT_EQ(model->index(r, 0).data().toInt(), want.size) << r;
        EXPECT_EQ(model->index(r, 1).data().toInt(), want.count) << r;
        EXPECT_NEAR(model->index(r, 2).data().toDouble(), want.weight, 1e-6) << r;
    }
    EXPECT_EQ(child<QPlainTextEdit>("datatext")->toPlainText().toStdString(),
              "marked allele 157.96 with height 151 in lane 2 as MAYBE\n"
              "marked allele 157.91 with height 190 in lane 11 as MAYBE\n");
    const QProgressBar* progress = child<QProgressBar>("progressbar");
    EXPECT_EQ(progress->value(), progress->maximum());
    EXPECT_EQ(window.statusBar()->currentMessage(), QString::fromUtf8("di-locus-plate.txt — 49 peaks in 12 lanes"));

    // By lane: one column per scored size, one row per lane, heights of
    // the scored peaks only (lane 2's maybe at 158 stays empty).
    QTest::mouseClick(child<QPushButton>("toggleTable"), Qt::LeftButton);
    EXPECT_EQ(headers(),
              (std::vector<std::string>{"Lane number", "alle146", "alle150", "alle156", "alle158", "alle162"}));
    using Cells = std::vector<std::vector<std::string>>;
    Cells byLane = {
        {"1", "", "2424", "", "", ""},  {"2", "", "", "1944", "", ""},     {"3", "", "2196", "1858", "", ""},
        {"4", "", "2429", "", "", ""},  {"5", "", "", "", "", ""},         {"6", "1546", "", "", "", ""},
        {"7", "", "", "2193", "", "1316"}, {"8", "", "2006", "1944", "", ""}, {"9", "", "3062", "", "", ""},
        {"10", "", "2613", "", "1216", ""}, {"11", "", "", "2384", "", ""}, {"12", "", "1624", "1607", "", ""}};
    EXPECT_EQ(tableCells(), byLane);

    // Two lanes selected by clicks, then graphed: every peak of both lanes.
    clickRow(0, Qt::NoModifier);
    clickRow(1, Qt::ControlModifier);
    EXPECT_EQ(window.outlets().tabl.selectedRows(), (std::vector<int>{0, 1}));
    click("graphButton");
    const AlleleList& onChart = window.chartModel().peaks();
    ASSERT_EQ(onChart.size(), 7u);
    std::vector<int32_t> lanes;
    for (const auto& peak : onChart) lanes.push_back(peak->getLane());
    EXPECT_EQ(lanes, (std::vector<int32_t>{1, 1, 1, 2, 2, 2, 2}));

    // The drawn chart: grey background, the two scored peaks black, the
    // stutter peaks grey, and nothing lighter than the background once the
    // window composes the chart.
    Chartview* view = chartArea->view();
    if (!view) GTEST_SKIP() << "no OpenGL here: " << Chartview::openGLProblem().toStdString();
    QImage frame = view->grabFramebuffer();
    ASSERT_FALSE(frame.isNull());
    EXPECT_EQ(qGray(frame.pixel(frame.width() / 20, frame.height() / 20)), 191);
    const ChartFrame geometry = ChartGeometry::frame(window.chartModel());
    ASSERT_EQ(geometry.curves.size(), 7u);
    for (const ChartCurve& curve : geometry.curves) {
        const int darkest = darkestAbove(frame, curve.x0);
        if (curve.colour == CurveColour::Black) {
            EXPECT_LT(darkest, 60) << "scored peak " << curve.key;
        } else {
            EXPECT_GE(darkest, 80) << "peak " << curve.key;
            EXPECT_LE(darkest, 160) << "peak " << curve.key;
        }
    }
    const QImage composed = chartArea->grab().toImage();
    int lightest = 0;
    for (int y = 0; y < composed.height(); y += 2)
        for (int x = 0; x < composed.width(); ++x) lightest = std::max(lightest, qGray(composed.pixel(x, y)));
    EXPECT_LE(lightest, 192);

    // Clean-up: lane 1's peak at 150 thrown out through the window's fields.
    click("cleanUpButton");
    ASSERT_TRUE(window.cleanUpWindow()->isVisible());
    type("cuwlanefield", "1");
    type("cuwallelefield", "150");
    click("cuwlaneallelebutton");
    EXPECT_FALSE(window.cleanUpWindow()->isVisible());
    byLane[0][2] = "";
    EXPECT_EQ(tableCells(), byLane);
    EXPECT_EQ(text("numones"), "6");  // clean-up leaves the lane counters
    // The chart holds the same records: that curve turns grey.
    frame = view->grabFramebuffer();
    const auto thrownOut = std::find_if(geometry.curves.begin(), geometry.curves.end(),
                                        [](const ChartCurve& c) { return c.colour == CurveColour::Black; });
    ASSERT_NE(thrownOut, geometry.curves.end());
    EXPECT_GE(darkestAbove(frame, thrownOut->x0), 80);

    QTest::mouseClick(child<QPushButton>("toggleTable"), Qt::LeftButton);
    EXPECT_EQ(model->index(1, 1).data().toInt(), 6);  // 150 counted once less

    // Accumulate with a GE typed into the accumulator window.
    click("addToAccumulatorButton");
    ASSERT_TRUE(window.accumulateWindow()->isVisible());
    type("accumgeforun", "10");
    click("accumgesubmitbutton");
    EXPECT_FALSE(window.accumulateWindow()->isVisible());
    EXPECT_EQ(controller.accumulator().currentRun(), 1);

    // Export of the single run through the GE window.
    click("exportButton");
    ASSERT_TRUE(window.geWindow()->isVisible());
    type("geforun", "12.5");
    click("gesubmitbutton");
    EXPECT_FALSE(window.geWindow()->isVisible());
    ASSERT_TRUE(window.exportWindow()->isVisible());
    const QPlainTextEdit* exported = child<QPlainTextEdit>("sppcrtext");
    EXPECT_EQ(exported->toPlainText().toStdString(), "7 1 5 146 150 156 158 162 \n150 156\n12.50 12 1 6 6 1 1 ");

    // And the accumulated text, with the accumulator's GE.
    click("exportAccumulatedButton");
    EXPECT_TRUE(window.exportWindow()->isVisible());
    EXPECT_EQ(exported->toPlainText().toStdString(), "7 1 5 146 150 156 158 162 \n150 156\n10.00 12 1 6 6 1 1 \n");
}

TEST_F(EndToEndTest, ClosingAWindowWithoutItsSubmitButtonChangesNothing) {
    openAndScore();
    ASSERT_EQ(text("numones"), "6");

    enum class Closing { TitleBar, EscapeKey, CancelButton };
    struct Case {
        const char* opener;
        QDialog* (LociviewWindow::*dialog)() const;
        std::vector<std::pair<const char*, const char*>> typed;
        const char* cancel;
    };
    const std::vector<Case> cases = {
        {"cleanUpButton",
         &LociviewWindow::cleanUpWindow,
         {{"cuwlessthanfield", "5000"}, {"cuwgreaterthanfield", "10"}, {"cuwlanefield", "3"}, {"cuwallelefield", "150"}},
         "cuwclosebutton"},
        {"addToAccumulatorButton", &LociviewWindow::accumulateWindow, {{"accumgeforun", "10"}}, "accumgecancelbutton"},
        {"exportButton", &LociviewWindow::geWindow, {{"geforun", "12.5"}}, "gecancelbutton"},
    };
    const std::vector<int32_t> countsBefore = alleleCounts(controller.result().alleles);
    const std::vector<int32_t> scoresBefore = scores();
    const auto cellsBefore = tableCells();

    for (const Case& c : cases) {
        for (const Closing closing : {Closing::TitleBar, Closing::EscapeKey, Closing::CancelButton}) {
            SCOPED_TRACE(std::string(c.opener) + " closed by " +
                         (closing == Closing::TitleBar    ? "the title bar"
                          : closing == Closing::EscapeKey ? "Escape"
                                                          : c.cancel));
            click(c.opener);
            QDialog* dialog = (window.*c.dialog)();
            ASSERT_TRUE(dialog->isVisible());
            for (const auto& [field, value] : c.typed) type(field, value);

            switch (closing) {
            case Closing::TitleBar: {
                // What the window manager sends for the title bar's close button.
                QCloseEvent close;
                QApplication::sendEvent(dialog->windowHandle(), &close);
                break;
            }
            case Closing::EscapeKey:
                QTest::keyClick(dialog, Qt::Key_Escape);
                break;
            case Closing::CancelButton:
                click(c.cancel);
                break;
            }

            EXPECT_FALSE(dialog->isVisible());
            EXPECT_EQ(alleleCounts(controller.result().alleles), countsBefore);
            EXPECT_EQ(scores(), scoresBefore);
            EXPECT_EQ(tableCells(), cellsBefore);
            EXPECT_EQ(controller.accumulator().currentRun(), 0);
            EXPECT_FALSE(window.exportWindow()->isVisible());
            EXPECT_TRUE(child<QPlainTextEdit>("sppcrtext")->toPlainText().isEmpty());
        }
    }
    EXPECT_EQ(text("numemptylanes"), "1");
    EXPECT_EQ(text("numones"), "6");
    EXPECT_EQ(text("numtwos"), "5");
}


// A cell of the Statistics panel by its row's title: value 1, interval 2,
// and 3 for the note in the row below.
std::string statCell(const QTableWidget* table, const char* title, int column) {
    for (int r = 0; r < table->rowCount(); ++r) {
        if (table->item(r, 0)->text() != QString::fromUtf8(title)) continue;
        if (column < 3) return table->item(r, column)->text().toStdString();
        return r + 1 < table->rowCount() && table->columnSpan(r + 1, 0) == 3
                   ? table->item(r + 1, 0)->text().toStdString()
                   : "";
    }
    return "no row " + std::string(title);
}

TEST_F(EndToEndTest, StatisticsPanelFollowsScoringCleanUpAndAccumulationAndSavesItsChart) {
    StatisticsPanel* panel = window.statisticsPanel();
    ASSERT_TRUE(window.statisticsDock()->isVisible());
    EXPECT_EQ(panel->runTable()->rowCount(), 0);  // nothing scored yet

    openAndScore();
    const QTableWidget* run = panel->runTable();
    EXPECT_EQ(statCell(run, "Lanes (N)", 1), "12");
    EXPECT_EQ(statCell(run, "Molecules per reaction (λ)", 1), "2.485");
    EXPECT_EQ(statCell(run, "Molecules per reaction (λ)", 2), "0.955 – 6.162");
    EXPECT_EQ(statCell(run, "GE per reaction", 3), "not estimable: no GE value");
    EXPECT_EQ(statCell(run, "Mutants (m)", 1), "3");

    // One bar set per progenitor over every change from -2 to +3 units.
    const auto bars = [](const SpectrumChartView* view) {
        std::vector<std::vector<int>> counts;
        for (QAbstractSeries* series : view->chart()->series())
            for (const QBarSet* set : static_cast<QBarSeries*>(series)->barSets()) {
                counts.emplace_back();
                for (int i = 0; i < set->count(); ++i) counts.back().push_back(static_cast<int>(set->at(i)));
            }
        return counts;
    };
    auto* axis = static_cast<QBarCategoryAxis*>(panel->runChart()->chart()->axes(Qt::Horizontal).front());
    EXPECT_EQ(axis->categories(), (QStringList{"-2", "-1", "0", "+1", "+2", "+3"}));
    EXPECT_EQ(bars(panel->runChart()), (std::vector<std::vector<int>>{{1, 0, 7, 0, 0, 0}, {0, 0, 6, 1, 0, 1}}));

    // Clean-up: the 162 expansion thrown out leaves the run with two mutants.
    click("cleanUpButton");
    type("cuwallelefield", "162");
    click("cuwlaneallelebutton");
    EXPECT_EQ(statCell(run, "Mutants (m)", 1), "2");
    EXPECT_EQ(bars(panel->runChart())[1], (std::vector<int>{0, 0, 6, 1}));

    // Adding the run: its GE comes from the accumulate window, the
    // accumulated runs hold it.
    click("addToAccumulatorButton");
    type("accumgeforun", "10");
    click("accumgesubmitbutton");
    EXPECT_EQ(statCell(run, "GE per reaction", 1), "10");
    EXPECT_EQ(statCell(run, "Molecules per GE", 1), "0.2485");
    const QTableWidget* accumulated = panel->accumulatedTable();
    EXPECT_EQ(statCell(accumulated, "Runs", 1), "1");
    EXPECT_EQ(statCell(accumulated, "Mutants (m)", 1), "2");
    EXPECT_EQ(bars(panel->accumulatedChart()), bars(panel->runChart()));

    // The saved picture is the chart, bars painted, also from the hidden tab.
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("spectrum.png"));
    ASSERT_TRUE(panel->accumulatedChart()->savePng(path));
    const QImage saved(path);
    ASSERT_EQ(saved.size(), panel->accumulatedChart()->size().expandedTo(SpectrumChartView::kPictureSize));
    int blue = 0;  // P1's colour
    for (int y = 0; y < saved.height(); ++y)
        for (int x = 0; x < saved.width(); ++x) {
            const QColor c = saved.pixelColor(x, y);
            if (c.blue() > 150 && c.red() < 40 && c.green() > 90 && c.green() < 140) ++blue;
        }
    EXPECT_GT(blue, 50);
    EXPECT_FALSE(panel->accumulatedChart()->savePng(dir.filePath(QStringLiteral("no-such-folder/spectrum.png"))));
}

// The rows of an exported table with its "# " header lines left out, quoted
// cells read as RFC 4180 has them.
std::vector<std::vector<std::string>> readTable(const QString& path, char separator) {
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
    const std::string text = file.readAll().toStdString();
    std::vector<std::vector<std::string>> rows(1);
    std::string cell;
    bool quoted = false;
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (quoted) {
            if (c != '"') cell += c;
            else if (i + 1 < text.size() && text[i + 1] == '"') cell += text[++i];
            else quoted = false;
        } else if (c == '#' && rows.back().empty() && cell.empty()) {
            i = text.find('\n', i);
        } else if (c == '"') {
            quoted = true;
        } else if (c == separator || c == '\n') {
            rows.back().push_back(std::move(cell));
            cell.clear();
            if (c == '\n') rows.emplace_back();
        } else {
            cell += c;
        }
    }
    rows.pop_back();
    return rows;
}

// Cells equal as texts, or as numbers to the six decimals a file keeps.
bool sameCells(const std::vector<std::vector<std::string>>& a, const std::vector<std::vector<std::string>>& b) {
    if (a.size() != b.size()) return false;
    for (size_t r = 0; r < a.size(); ++r) {
        if (a[r].size() != b[r].size()) return false;
        for (size_t c = 0; c < a[r].size(); ++c) {
            bool numbers = false, other = false;
            const double x = QString::fromStdString(a[r][c]).toDouble(&numbers);
            const double y = QString::fromStdString(b[r][c]).toDouble(&other);
            if (numbers && other ? std::abs(x - y) > 1e-6 : a[r][c] != b[r][c]) return false;
        }
    }
    return true;
}

// Pixels of an image at least as dark as a scored curve.
int darkPixels(const QImage& image, const QRect& area) {
    int dark = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x) dark += qGray(image.pixel(x, y)) < 60;
    return dark;
}

// What a poppler tool prints; the test fails when it cannot run.
QString poppler(const QString& tool, const QStringList& arguments) {
    QProcess process;
    process.start(tool, arguments);
    if (!process.waitForFinished(60000) || process.exitCode() != 0) {
        ADD_FAILURE() << tool.toStdString() << " failed (scripts/setup installs poppler-utils)";
        return {};
    }
    return QString::fromUtf8(process.readAllStandardOutput());
}

int pdfPages(const QString& path) {
    const QString info = poppler(QStringLiteral("pdfinfo"), {path});
    return QRegularExpression(QStringLiteral("Pages:\\s+(\\d+)")).match(info).captured(1).toInt();
}

TEST_F(EndToEndTest, ExportsTablesAndChartsAndCopiesTheSelectedRows) {
    openAndScore();
    QTemporaryDir dir;
    const QString csv = QStringLiteral("CSV, comma-separated (*.csv)");
    const QString tsv = QStringLiteral("TSV, tab-separated (*.tsv)");
    const auto exportTo = [&](const char* action, const QString& name, const QString& filter) {
        dialogs.saveAnswers.push_back({dir.filePath(name), filter});
        child<QAction>(action)->trigger();
    };

    // Each table read back is the table the window shows; without an
    // extension typed, the filter chosen gives the format.
    struct Case {
        const char* action;
        const char* answered;
        const QString& filter;
        const char* written;
        char separator;
        bool byLane;
    };
    for (const Case& c : {Case{"actionExportByAllele", "alleles", tsv, "alleles.tsv", '\t', false},
                          Case{"actionExportByLane", "lanes.csv", tsv, "lanes.csv", ',', true}}) {
        SCOPED_TRACE(c.action);
        if (child<QPushButton>("toggleTable")->isChecked() != c.byLane) click("toggleTable");
        exportTo(c.action, QString::fromLatin1(c.answered), c.filter);
        QFile file(dir.filePath(QString::fromLatin1(c.written)));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        const QByteArray text = file.readAll();
        EXPECT_TRUE(text.startsWith("# Lociview ")) << text.left(40).toStdString();
        EXPECT_TRUE(text.contains("\n# file: di-locus-plate.txt\n"));
        std::vector<std::vector<std::string>> shown = {headers()};
        for (const auto& row : tableCells()) shown.push_back(row);
        EXPECT_TRUE(sameCells(readTable(file.fileName(), c.separator), shown));
    }

    // Copy: the selected rows under the column titles, as the TSV export has them.
    const auto lanes = readTable(dir.filePath(QStringLiteral("lanes.csv")), ',');
    const auto tsvLines = [](const std::vector<std::vector<std::string>>& rows) {
        QStringList lines;
        for (const auto& row : rows) {
            QStringList cells;
            for (const std::string& cell : row) cells << QString::fromStdString(cell);
            lines << cells.join(QLatin1Char('\t'));
        }
        return (lines.join(QLatin1Char('\n')) + QLatin1Char('\n')).toStdString();
    };
    const auto clipboard = [] { return QGuiApplication::clipboard()->text().toStdString(); };
    QTableView* table = child<QTableView>("tabl");
    clickRow(0, Qt::NoModifier);
    clickRow(2, Qt::ControlModifier);
    QTest::keyClick(table, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(clipboard(), tsvLines({lanes[0], lanes[1], lanes[3]}));
    QTest::keyClick(table, Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(table->selectionModel()->selectedRows().size(), 12);
    child<QAction>("actionCopy")->trigger();
    EXPECT_EQ(clipboard(), tsvLines(lanes));
    // A field copies its own text.
    QLineEdit* p1 = child<QLineEdit>("progenitor1");
    p1->selectAll();
    QTest::keyClick(p1, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(clipboard(), "150");

    // The chart graphed from every lane, as a PNG picture and an SVG drawing.
    click("graphButton");
    exportTo("actionExportChart", QStringLiteral("chart"), QStringLiteral("PNG picture (*.png)"));
    const QImage chart(dir.filePath(QStringLiteral("chart.png")));
    ASSERT_FALSE(chart.isNull());
    EXPECT_GT(darkPixels(chart, chart.rect()), 500);
    exportTo("actionExportChart", QStringLiteral("chart.svg"), QStringLiteral("PNG picture (*.png)"));
    exportTo("actionExportSpectrumChart", QStringLiteral("spectrum"), QStringLiteral("SVG drawing (*.svg)"));
    for (const auto& [name, drawn] : {std::pair{"chart.svg", "150</text>"}, {"spectrum.svg", "P1 150 bp"}}) {
        QFile svg(dir.filePath(QString::fromLatin1(name)));
        ASSERT_TRUE(svg.open(QIODevice::ReadOnly)) << name;
        const QByteArray text = svg.readAll();
        EXPECT_TRUE(text.contains("<svg")) << name;
        EXPECT_TRUE(text.contains(drawn)) << name;
    }

    // A file that cannot be written is said so, and nothing else changes.
    dialogs.saveAnswers.push_back({dir.filePath(QStringLiteral("no-such-folder/alleles.csv")), csv});
    dialogs.expectedAlert = AlertId::ExportNotWritten;
    EXPECT_FALSE(window.exportMenu()->exportTable(ExportTable::ByAllele));
    EXPECT_FALSE(dialogs.expectedAlert.has_value());
    EXPECT_NE(dialogs.informative.find("no-such-folder/alleles.csv could not be written"), std::string::npos);
}

TEST_F(EndToEndTest, ReportRunsOverPagesWithTableTitlesRepeatedAndThePrintedWindowHasTheChart) {
    // The example plate eight times over, 96 lanes: the by-lane table runs over pages.
    QTemporaryDir dir;
    const QString plate = dir.filePath(QStringLiteral("plate-96.txt"));
    {
        QFile example(QString::fromStdString(examplePlate));
        QFile file(plate);
        ASSERT_TRUE(example.open(QIODevice::ReadOnly) && file.open(QIODevice::WriteOnly));
        const QList<QByteArray> lines = example.readAll().split('\n');
        for (int copy = 0; copy < 8; ++copy)
            for (const QByteArray& line : lines) {
                const qsizetype dye = line.indexOf('B');
                bool lane = false;
                const int number = line.left(dye).toInt(&lane);
                if (dye > 0 && lane) file.write(QByteArray::number(number + 12 * copy) + line.mid(dye) + '\n');
            }
    }
    dialogs.openAnswer = plate.toStdString();
    click("openButton");
    type("progenitor1", "150");
    type("progenitor2", "156");
    click("scoreButton");
    click("addToAccumulatorButton");
    type("accumgeforun", "10");
    click("accumgesubmitbutton");
    clickRow(0, Qt::NoModifier);
    click("graphButton");

    dialogs.saveAnswers.push_back({dir.filePath(QStringLiteral("report")), QStringLiteral("PDF document (*.pdf)")});
    child<QAction>("actionExportReport")->trigger();
    const QString report = dir.filePath(QStringLiteral("report.pdf"));
    const int pages = pdfPages(report);
    ASSERT_GE(pages, 3);
    // Every page the by-lane table runs onto, from its heading to lane 96's
    // row, starts with its titles.
    const auto pageText = [&](int page) {
        const QString n = QString::number(page);
        return poppler(QStringLiteral("pdftotext"), {QStringLiteral("-f"), n, QStringLiteral("-l"), n, report, QStringLiteral("-")});
    };
    int first = 0, last = 0;
    for (int page = 1; page <= pages && last == 0; ++page) {
        const QString text = pageText(page);
        if (first == 0 && text.contains(QStringLiteral("Results by lane"))) first = page;
        if (first != 0 && text.contains(QStringLiteral("\n96\n"))) last = page;
    }
    ASSERT_GT(first, 0);
    EXPECT_GT(last, first);
    for (int page = first; page <= last; ++page)
        EXPECT_TRUE(pageText(page).contains(QStringLiteral("Lane number"))) << "page " << page;

    // Print… prints the same report.
    dialogs.pdfPath = dir.filePath(QStringLiteral("printed.pdf"));
    child<QAction>("actionPrint")->trigger();
    EXPECT_EQ(pdfPages(dialogs.pdfPath), pages);

    // Print Window…: one landscape page, the chart in the picture printed.
    dialogs.pdfPath = dir.filePath(QStringLiteral("window.pdf"));
    child<QAction>("actionPrintWindow")->trigger();
    const QString info = poppler(QStringLiteral("pdfinfo"), {dialogs.pdfPath});
    const QRegularExpressionMatch size = QRegularExpression(QStringLiteral("Page size:\\s+([\\d.]+) x ([\\d.]+)")).match(info);
    EXPECT_EQ(pdfPages(dialogs.pdfPath), 1);
    EXPECT_GT(size.captured(1).toDouble(), size.captured(2).toDouble());
    if (!chartArea->view()) GTEST_SKIP() << "no OpenGL here: " << Chartview::openGLProblem().toStdString();
    const QImage picture = window.windowPicture(1.0);
    const QRect area(chartArea->mapTo(&window, QPoint(0, 0)), chartArea->size());
    EXPECT_GT(darkPixels(picture, area), 100);
    EXPECT_EQ(qGray(picture.pixel(area.topLeft() + QPoint(4, 4))), 191);
}

}  // namespace
}  // namespace lociview::qt::test
