// The desktop application's own times, its main window driven through its
// buttons under a display (Xvfb with Mesa, or any): opening a plate with
// the lane view shown or closed, opening and scoring a plate until the
// results are on screen, scoring a sizing table, and the
// share of a core the window takes at rest with curves on the chart.
// Run by hand: scripts/with-xvfb build/bin/lociview_desktop_bench
#include <benchmark/benchmark.h>

#include <QAbstractButton>
#include <QAction>
#include <QDockWidget>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QTableView>
#include <QEventLoop>
#include <QTimer>

#include <ctime>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <memory>

#include "PlateText.h"
#include "app/GeneController.h"
#include "qt/chart/ChartArea.h"
#include "desktop/DevLogFile.h"
#include "qt/LociviewWindow.h"

namespace lociview::bench {
namespace {

// Every alert gets its default button ("Open Another"), the open dialog
// the file the benchmark names, the import review its default dye.
class BenchDialogs final : public qt::QtDialogs {
public:
    int runAlert(const AlertRequest&) override { return 1; }
    std::optional<std::string> runOpenPanel() override { return path; }
    std::vector<std::string> runOpenPanelForFiles() override { return {path}; }
    std::optional<ImportAnswer> runImportReview(const PeakImport&, char) override { return ImportAnswer{}; }
    std::string path;
};

// One file per table, written once into the temporary folder.
const std::string& tableFile(const std::string& name, const std::function<std::string()>& make) {
    static std::map<std::string, std::string> files;
    std::string& path = files[name];
    if (path.empty()) {
        path = (std::filesystem::temp_directory_path() / ("lociview-desktop-bench-" + name)).string();
        std::ofstream(path, std::ios::binary) << make();
    }
    return path;
}

const std::string& plate(int lanes) {
    return tableFile(std::to_string(lanes) + "x100.txt", [lanes] { return makePlate(lanes, 100); });
}

// 272 samples of 270 rows, a third of them blue: about 24,000 peaks scored.
const std::string& sizingTable() {
    return tableFile("sizing-272.txt", [] { return makeSizingTable(272 * 270); });
}

double processSeconds() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

// The main window as the desktop application builds it, shown, with the
// plates' parameters typed in.
struct Desktop {
    NullLog chartLog;
    qt::StdoutSink output;
    BenchDialogs dialogs;
    qt::LociviewWindow window{&dialogs};
    qt::ChartArea* chart = nullptr;
    GeneController controller{window.outlets()};
    qt::ControllerLink link{window, controller};

    Desktop() {
        chart = new qt::ChartArea(window.chartModel(), chartLog, output);
        window.installChartView(chart);
        window.resize(1280, 720);
        window.show();
        wait(200);  // shown and drawn
        for (const auto& [field, text] : {std::pair{"progenitor1", kP1}, {"progenitor2", kP2}, {"lowrange", kLow},
                                          {"highrange", kHigh}})
            window.findChild<QLineEdit*>(QString::fromLatin1(field))->setText(QString::fromLatin1(text));
    }
    void click(const char* button) {
        window.findChild<QAbstractButton*>(QString::fromLatin1(button))->click();
    }
    void open(const std::string& path) {
        dialogs.path = path;
        click("openButton");
    }
    // Until everything the action left for the event loop is drawn.
    static void settle() { QApplication::processEvents(); }
    // The event loop running for ms milliseconds.
    static void wait(int ms) {
        QEventLoop loop;
        QTimer::singleShot(ms, &loop, &QEventLoop::quit);
        loop.exec();
    }
};

class StdoutSilence {
public:
    StdoutSilence() { std::cout.setstate(std::ios::failbit); }
    ~StdoutSilence() { std::cout.clear(); }
};

// From the click on Open to the plate on screen, the lane view shown (the
// second argument 1) or closed (0): what drawing the opened lanes costs.
void BM_DesktopOpenLaneView(benchmark::State& state) {
    StdoutSilence quiet;
    const std::string& path = plate(static_cast<int>(state.range(0)));
    Desktop d;
    d.window.laneDock()->setVisible(state.range(1) != 0);
    Desktop::settle();
    for (auto _ : state) {
        d.open(path);
        Desktop::settle();
    }
    state.counters["lanes"] = static_cast<double>(d.controller.laneCount());
}
BENCHMARK(BM_DesktopOpenLaneView)->Args({1536, 0})->Args({1536, 1})->Unit(benchmark::kMillisecond)->UseRealTime();

// From the click on Open to the scored results on screen: the confirmation
// answered, the file read, scored and every view drawn.
void BM_DesktopOpenAndScore(benchmark::State& state) {
    StdoutSilence quiet;  // the by-lane listing
    const std::string& path = plate(static_cast<int>(state.range(0)));
    Desktop d;
    double processCpu = 0.0;
    for (auto _ : state) {
        const double before = processSeconds();
        d.open(path);
        d.click("scoreButton");
        Desktop::settle();
        processCpu += processSeconds() - before;
    }
    state.counters["lanes"] = static_cast<double>(d.controller.laneCount());
    // Every thread of the process: the GL drivers' too.
    state.counters["process_cpu_ms"] = processCpu * 1000.0 / static_cast<double>(state.iterations());
}
BENCHMARK(BM_DesktopOpenAndScore)->Arg(384)->Arg(1536)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_DesktopScoreSizingTable(benchmark::State& state) {
    StdoutSilence quiet;
    Desktop d;
    d.open(sizingTable());
    double processCpu = 0.0;
    for (auto _ : state) {
        const double before = processSeconds();
        d.click("scoreButton");
        Desktop::settle();
        processCpu += processSeconds() - before;
    }
    state.counters["process_cpu_ms"] = processCpu * 1000.0 / static_cast<double>(state.iterations());
    state.counters["lanes"] = static_cast<double>(d.controller.laneCount());
    state.counters["peaks"] = static_cast<double>(d.controller.store().count());
}
BENCHMARK(BM_DesktopScoreSizingTable)->Unit(benchmark::kMillisecond)->UseRealTime();

// The window at rest for a second, ten results rows on the chart: the
// share of one core the process takes meanwhile.
void BM_DesktopIdle(benchmark::State& state) {
    StdoutSilence quiet;
    Desktop d;
    d.open(plate(96));
    d.click("scoreButton");
    auto* table = d.window.findChild<QTableView*>(QStringLiteral("tabl"));
    table->selectAll();
    d.click("graphButton");
    Desktop::settle();
    double share = 0.0;
    for (auto _ : state) {
        const double before = processSeconds();
        QElapsedTimer wall;
        wall.start();
        Desktop::wait(1000);
        share = (processSeconds() - before) / (static_cast<double>(wall.elapsed()) / 1000.0);
    }
    state.counters["core_percent"] = share * 100.0;
}
BENCHMARK(BM_DesktopIdle)->Iterations(3)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
}  // namespace lociview::bench

int main(int argc, char** argv) {
    QSurfaceFormat::setDefaultFormat(lociview::qt::Chartview::surfaceFormat());
    QApplication app(argc, argv);
    // The developer log goes to a file, as the desktop application's does.
    lociview::qt::DevLogFile logFile(QDir::temp().filePath(QStringLiteral("lociview-desktop-bench.log")));
    lociview::qt::RedirectedStderr toFile(&logFile);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
