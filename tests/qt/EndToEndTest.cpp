// The desktop application as a scientist uses it: the real main window with
// its chart, driven only through its widgets (keys typed into fields, clicks
// on buttons, radio cells and table rows) from opening a plate to its
// exports, report and printouts. Only dialogs are answered by the test.
#include <QBarSeries>
#include <QBarSet>
#include <QClipboard>
#include <QDockWidget>
#include <QPlainTextEdit>
#include <QProcess>
#include <QProgressBar>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTableWidget>
#include <algorithm>
#include <tuple>

#include "WindowFixture.h"
#include "chart/ChartGeometry.h"
#include "qt/chart/Chartview.h"
#include "qt/chart/SpectrumChart.h"
#include "qt/StatisticsPanel.h"
#include "support/FileSizeLimit.h"

namespace lociview::qt::test {
namespace {

using EndToEndTest = WindowFixture;

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

// A cell of the Statistics panel by its row's title: value 1, interval 2.
std::string statCell(const QTableWidget* table, const char* title, int column) {
    for (int r = 0; r < table->rowCount(); ++r)
        if (table->item(r, 0)->text() == QString::fromUtf8(title)) return table->item(r, column)->text().toStdString();
    return "no row " + std::string(title);
}

// The spectrum's bars: one set per progenitor, a count per change in units.
std::vector<std::vector<int>> bars(const SpectrumChartView* view) {
    std::vector<std::vector<int>> counts;
    for (QAbstractSeries* series : view->chart()->series())
        for (const QBarSet* set : static_cast<QBarSeries*>(series)->barSets()) {
            counts.emplace_back();
            for (int i = 0; i < set->count(); ++i) counts.back().push_back(static_cast<int>(set->at(i)));
        }
    return counts;
}

QByteArray fileBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

TEST_F(EndToEndTest, OneDataSetFromOpeningToTheAccumulatedExport) {
    StatisticsPanel* panel = window.statisticsPanel();
    ASSERT_TRUE(window.statisticsDock()->isVisible());
    EXPECT_EQ(panel->runTable()->rowCount(), 0);

    // Open, type the progenitors, click the di cell after another, score.
    open(examplePlate);
    type("progenitor1", "150");
    type("progenitor2", "156");
    for (const char* cell : {"locusTri", "locusDi"}) {
        QRadioButton* radio = child<QRadioButton>(cell);
        QTest::mouseClick(radio, Qt::LeftButton, Qt::NoModifier, QPoint(7, radio->height() / 2));
    }
    click("scoreButton");
    EXPECT_EQ(controller.locusType(), 2);
    EXPECT_EQ(text("numemptylanes") + text("numones") + text("numtwos"), "165");
    Cells byAllele = shownTable();  // sizes and counts; one weight stands for its column
    ASSERT_EQ(byAllele.size(), 6u);
    EXPECT_NEAR(std::stod(byAllele[1][2]), 0.943598, 1e-6);
    byAllele.erase(byAllele.begin());
    for (auto& row : byAllele) row.resize(2);
    EXPECT_EQ(byAllele, (Cells{{"146", "1"}, {"150", "7"}, {"156", "6"}, {"158", "1"}, {"162", "1"}}));
    EXPECT_EQ(child<QPlainTextEdit>("datatext")->toPlainText().toStdString(),
              "marked allele 157.96 with height 151 in lane 2 as MAYBE\n"
              "marked allele 157.91 with height 190 in lane 11 as MAYBE\n");
    const QProgressBar* progress = child<QProgressBar>("progressbar");
    EXPECT_EQ(progress->value(), progress->maximum());

    // The Statistics panel follows the scoring.
    const QTableWidget* run = panel->runTable();
    EXPECT_EQ(statCell(run, "Molecules per reaction (λ)", 1), "2.485");
    EXPECT_EQ(statCell(run, "Molecules per reaction (λ)", 2), "0.955 – 6.162");
    EXPECT_EQ(statCell(run, "Mutants (m)", 1), "3");
    EXPECT_EQ(bars(panel->runChart()), (std::vector<std::vector<int>>{{1, 0, 7, 0, 0, 0}, {0, 0, 6, 1, 0, 1}}));

    // By lane: one column per scored size, the heights of scored peaks only
    // (lane 2's maybe at 158 stays empty).
    click("toggleTable");
    Cells byLane = {{"Lane number", "alle146", "alle150", "alle156", "alle158", "alle162"},
                    {"1", "", "2424", "", "", ""},      {"2", "", "", "1944", "", ""},
                    {"3", "", "2196", "1858", "", ""},  {"4", "", "2429", "", "", ""},
                    {"5", "", "", "", "", ""},          {"6", "1546", "", "", "", ""},
                    {"7", "", "", "2193", "", "1316"},  {"8", "", "2006", "1944", "", ""},
                    {"9", "", "3062", "", "", ""},      {"10", "", "2613", "", "1216", ""},
                    {"11", "", "", "2384", "", ""},     {"12", "", "1624", "1607", "", ""}};
    // Last, each lane's flags: here a primer peak near 62 bp is the tallest.
    byLane[0].push_back("Flags");
    for (size_t row = 1; row < byLane.size(); ++row) byLane[row].push_back("");
    for (const auto& [row, tallest] : {std::pair{1, "2754 RFU at 62.13"}, {3, "3075 RFU at 61.64"}, {5, "2941 RFU at 61.55"},
                                       {9, "3209 RFU at 62.32"}, {12, "3177 RFU at 61.71"}})
        byLane[static_cast<size_t>(row)].back() =
            std::string("outside-range: tallest peak ") + tallest + " bp, outside 120..180 bp";
    EXPECT_EQ(resultColumns(), byLane);

    // Two lanes selected by clicks, then graphed: every peak of both lanes.
    clickRow(0);
    clickRow(1, Qt::ControlModifier);
    click("graphButton");
    std::vector<int32_t> lanes;
    for (const auto& peak : window.chartModel().peaks()) lanes.push_back(peak->getLane());
    EXPECT_EQ(lanes, (std::vector<int32_t>{1, 1, 1, 2, 2, 2, 2}));

    // The drawn chart: grey background, the two scored peaks black, the
    // stutter peaks grey, nothing lighter than the background once the
    // window composes the chart.
    Chartview* view = chartArea->view();
    ASSERT_NE(view, nullptr) << "no OpenGL here: " << Chartview::openGLProblem().toStdString();
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
    // The chart looks ten times a second: a look at an unchanged chart
    // draws nothing, one after a change draws it once.
    const int64_t drawn = view->framesDrawn();
    for (int look = 0; look < 3; ++look) {
        view->redrawIfChanged();
        QApplication::processEvents();
    }
    EXPECT_EQ(view->framesDrawn(), drawn);

    // Clean-up through the window's fields: lane 1's peak at 150, then the
    // 162 expansion of lane 7. The counters stay, the chart's curve turns grey.
    for (const auto& [lane, size] : {std::pair{"1", "150"}, {"7", "162"}}) {
        click("cleanUpButton");
        ASSERT_TRUE(window.cleanUpWindow()->isVisible());
        type("cuwlanefield", lane);
        type("cuwallelefield", size);
        click("cuwlaneallelebutton");
        EXPECT_FALSE(window.cleanUpWindow()->isVisible());
    }
    byLane[1][2] = byLane[7][5] = "";
    EXPECT_EQ(resultColumns(), byLane);
    view->redrawIfChanged();
    QApplication::processEvents();
    EXPECT_GT(view->framesDrawn(), drawn);
    EXPECT_EQ(text("numones"), "6");
    const auto scored = std::find_if(geometry.curves.begin(), geometry.curves.end(),
                                     [](const ChartCurve& c) { return c.colour == CurveColour::Black; });
    ASSERT_NE(scored, geometry.curves.end());
    EXPECT_GE(darkestAbove(view->grabFramebuffer(), scored->x0), 80);
    EXPECT_EQ(statCell(run, "Mutants (m)", 1), "2");
    EXPECT_EQ(bars(panel->runChart())[1], (std::vector<int>{0, 0, 6, 1}));
    // The statistics say what they count: the lane classes of the peaks
    // left (lane 1 lost its one allele, lane 7 one of two), while the
    // counters keep what scoring left.
    EXPECT_EQ(panel->findChild<QLabel*>(QStringLiteral("runSource"))->text(),
              QStringLiteral("Scored run of di-locus-plate.txt, after clean-up"));
    EXPECT_EQ(statCell(run, "Empty lanes (n0)", 1) + statCell(run, "Lanes with two or more alleles (n2)", 1), "24");
    EXPECT_EQ(text("numemptylanes"), "1");
    EXPECT_EQ(panel->runChart()->title(), QStringLiteral("Allele spectrum of this run, after clean-up"));

    // Accumulated with a GE typed into the accumulate window.
    accumulate("10");
    EXPECT_FALSE(window.accumulateWindow()->isVisible());
    EXPECT_EQ(controller.accumulator().currentRun(), 1);
    EXPECT_EQ(statCell(run, "GE per reaction", 1), "10");
    EXPECT_EQ(statCell(panel->accumulatedTable(), "Runs", 1), "1");
    EXPECT_EQ(statCell(panel->accumulatedTable(), "Mutants (m)", 1), "2");
    EXPECT_EQ(bars(panel->accumulatedChart()), bars(panel->runChart()));

    // The spectrum saved as a picture by the panel's button, through the
    // exporter: bars painted, at the one size of a saved spectrum.
    const QString png = dir.filePath(QStringLiteral("spectrum.png"));
    const auto saveChart = [&](const QString& path) {
        dialogs.saves.push_back({path, QStringLiteral("PNG picture (*.png)")});
        click("saveChartButton");
    };
    saveChart(png);
    const QImage saved(png);
    ASSERT_EQ(saved.size(), SpectrumChartView::kPictureSize);
    int blue = 0;  // P1's colour
    for (int y = 0; y < saved.height(); ++y)
        for (int x = 0; x < saved.width(); ++x) {
            const QColor c = saved.pixelColor(x, y);
            blue += c.blue() > 150 && c.red() < 40 && c.green() > 90 && c.green() < 140;
        }
    EXPECT_GT(blue, 50);
    dialogs.expectAlert(AlertId::ExportNotWritten);
    saveChart(dir.filePath(QStringLiteral("no-such-folder/spectrum.png")));
    // A disk that fills part way through leaves the picture saved before.
    const QByteArray savedBytes = fileBytes(png);
    {
        const FileSizeLimit nearlyFull(1024);
        dialogs.expectAlert(AlertId::ExportNotWritten);
        saveChart(png);
    }
    EXPECT_TRUE(dialogs.expected.empty());
    EXPECT_NE(dialogs.shown.back().informative.find("File too large"), std::string::npos);
    EXPECT_EQ(fileBytes(png), savedBytes);

    // The SP-PCR text of the run through the GE window, then of the accumulator.
    click("exportButton");
    ASSERT_TRUE(window.geWindow()->isVisible());
    type("geforun", "12.5");
    click("gesubmitbutton");
    ASSERT_TRUE(window.exportWindow()->isVisible());
    const QPlainTextEdit* exported = child<QPlainTextEdit>("sppcrtext");
    EXPECT_EQ(exported->toPlainText().toStdString(), "7 1 5 146 150 156 158 162 \n150 156\n12.50 12 1 6 6 1 0 ");
    click("exportAccumulatedButton");
    EXPECT_EQ(exported->toPlainText().toStdString(), controller.accumulator().exportText());
}

// The rows of an exported table, its "# " header lines left out, quoted
// cells read as RFC 4180 has them.
Cells readTable(const QString& path, char separator) {
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
    const std::string text = file.readAll().toStdString();
    Cells rows(1);
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
bool sameCells(const Cells& a, const Cells& b) {
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

TEST_F(EndToEndTest, ExportsReadBackAndTheReportAndPrintoutsRunOverPages) {
    // The example plate eight times over, 96 lanes: the by-lane table runs over pages.
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
    openAndScore(plate.toStdString());
    accumulate("10");
    const auto exportTo = [&](const char* item, const char* name, const char* filter) {
        dialogs.saves.push_back({dir.filePath(QString::fromLatin1(name)), QString::fromLatin1(filter)});
        action(item)->trigger();
    };

    // Each table read back is the table the window shows; without an
    // extension typed, the filter chosen gives the format.
    const char* const tsv = "TSV, tab-separated (*.tsv)";
    for (const auto& [item, answered, written, separator] :
         {std::tuple{"actionExportByAllele", "alleles", "alleles.tsv", '\t'},
          {"actionExportByLane", "lanes.csv", "lanes.csv", ','}}) {
        SCOPED_TRACE(item);
        if (child<QPushButton>("toggleTable")->isChecked() != (separator == ',')) click("toggleTable");
        exportTo(item, answered, tsv);
        QFile file(dir.filePath(QString::fromLatin1(written)));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        EXPECT_TRUE(file.readLine().startsWith("# Lociview "));
        EXPECT_TRUE(sameCells(readTable(file.fileName(), separator), resultColumns()));
    }
    // Edit › Copy: the selected rows under the column titles, as TSV.
    clickRow(0);
    clickRow(2, Qt::ControlModifier);
    QTest::keyClick(child<QTableView>("tabl"), Qt::Key_C, Qt::ControlModifier);
    const Cells lanes = resultColumns();
    QString copied;
    for (const auto& row : {lanes[0], lanes[1], lanes[3]})
        for (size_t c = 0; c < row.size(); ++c)
            copied += QString::fromStdString(row[c]) + (c + 1 < row.size() ? QLatin1Char('\t') : QLatin1Char('\n'));
    EXPECT_EQ(QGuiApplication::clipboard()->text(), copied);

    // The chart graphed from every lane, as a PNG picture and an SVG
    // drawing, and the spectrum as a drawing; a file that cannot be
    // written is said so.
    QTest::keyClick(child<QTableView>("tabl"), Qt::Key_A, Qt::ControlModifier);
    click("graphButton");
    exportTo("actionExportChart", "chart", "PNG picture (*.png)");
    const QImage chart(dir.filePath(QStringLiteral("chart.png")));
    EXPECT_GT(darkPixels(chart, chart.rect()), 500);
    exportTo("actionExportChart", "chart.svg", "PNG picture (*.png)");
    exportTo("actionExportSpectrumChart", "spectrum", "SVG drawing (*.svg)");
    for (const auto& [name, drawn] : {std::pair{"chart.svg", "150</text>"}, {"spectrum.svg", "P1 150 bp"}}) {
        QFile svg(dir.filePath(QString::fromLatin1(name)));
        ASSERT_TRUE(svg.open(QIODevice::ReadOnly)) << name;
        const QByteArray drawing = svg.readAll();
        EXPECT_TRUE(drawing.contains("<svg") && drawing.contains(drawn)) << name;
    }
    dialogs.expectAlert(AlertId::ExportNotWritten);
    exportTo("actionExportByAllele", "no-such-folder/alleles.csv", tsv);

    // The report: every page the by-lane table runs onto, from its heading
    // to lane 96's row, starts with its titles. Print… prints the same pages.
    exportTo("actionExportReport", "report", "PDF document (*.pdf)");
    const QString report = dir.filePath(QStringLiteral("report.pdf"));
    const int pages = pdfPages(report);
    ASSERT_GE(pages, 3);
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
    // Written again on a disk that fills part way: said, and the report
    // written before is left whole.
    const QByteArray reportBytes = fileBytes(report);
    {
        const FileSizeLimit nearlyFull(4096);
        dialogs.expectAlert(AlertId::ExportNotWritten);
        exportTo("actionExportReport", "report", "PDF document (*.pdf)");
    }
    EXPECT_EQ(fileBytes(report), reportBytes);
    EXPECT_TRUE(dialogs.shown.back().informative.find("(File too large)") != std::string::npos);
    dialogs.pdfPath = dir.filePath(QStringLiteral("printed.pdf"));
    action("actionPrint")->trigger();
    EXPECT_EQ(pdfPages(dialogs.pdfPath), pages);

    // Print Window…: one landscape page, the chart in the picture printed.
    dialogs.pdfPath = dir.filePath(QStringLiteral("window.pdf"));
    action("actionPrintWindow")->trigger();
    const QRegularExpressionMatch size = QRegularExpression(QStringLiteral("Page size:\\s+([\\d.]+) x ([\\d.]+)"))
                                             .match(poppler(QStringLiteral("pdfinfo"), {dialogs.pdfPath}));
    EXPECT_EQ(pdfPages(dialogs.pdfPath), 1);
    EXPECT_GT(size.captured(1).toDouble(), size.captured(2).toDouble());
    const QImage picture = window.windowPicture(1.0);
    const QRect area(chartArea->mapTo(&window, QPoint(0, 0)), chartArea->size());
    EXPECT_GT(darkPixels(picture, area), 100);
    EXPECT_EQ(qGray(picture.pixel(area.topLeft() + QPoint(4, 4))), 191);
}

}  // namespace
}  // namespace lociview::qt::test
