// Whole actions on synthetic plates, as lociview-cli score does them:
// opening a peak file (reading, rows, records, lane list) and scoring it,
// and the instability indices of a scored plate, which should add at most a
// tenth to its scoring time.
// Run by hand: build/bin/lociview_bench [--benchmark_filter=...]
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <ostream>
#include <streambuf>
#include <string>

#include "PlateText.h"
#include "app/GeneController.h"
#include "base/BufferedLog.h"
#include "base/NullStream.h"
#include "headless/HeadlessToolkit.h"
#include "input/PeakTableReader.h"
#include "stats/Instability.h"

namespace lociview::bench {
namespace {

// One plate file per size, written once into the temporary directory.
const std::string& plateFile(int lanes) {
    static std::map<int, std::string> files;
    auto& path = files[lanes];
    if (path.empty()) {
        path = (std::filesystem::temp_directory_path() / ("lociview-bench-" + std::to_string(lanes) + "x100.txt"))
                   .string();
        std::ofstream(path, std::ios::binary) << makePlate(lanes, 100);
    }
    return path;
}

// A controller on the headless toolkit whose trace and developer log go
// nowhere, with the scoring parameters typed in.
struct Session {
    NullStream trace;
    NullLog log;
    headless::HeadlessToolkit tk{trace, log};
    GeneController controller{tk.outlets()};

    Session() {
        tk.progenitor1.setText(kP1);
        tk.progenitor2.setText(kP2);
        tk.lowrange.setText(kLow);
        tk.highrange.setText(kHigh);
    }
    void open(const std::string& path) {
        // An alert without queued answers presses its default button:
        // "Open Another" when a file is open.
        tk.dialogs.setOpenAnswer(path);
        controller.openData();
    }
};

void BM_ReadPeakTable(benchmark::State& state) {
    const std::string text = makePlate(static_cast<int>(state.range(0)), 100);
    NullLog log;
    for (auto _ : state) {
        std::vector<PeakRow> rows;
        readPeakTable(text, rows, log);
        benchmark::DoNotOptimize(rows.data());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0) * 100);
    state.SetComplexityN(state.range(0) * 100);
}
BENCHMARK(BM_ReadPeakTable)->Arg(96)->Arg(384)->Arg(1536)->Unit(benchmark::kMillisecond)->Complexity(benchmark::oN);

void BM_OpenPlate(benchmark::State& state) {
    const std::string& path = plateFile(static_cast<int>(state.range(0)));
    Session s;
    for (auto _ : state) s.open(path);
    state.SetItemsProcessed(state.iterations() * state.range(0) * 100);
    state.SetComplexityN(state.range(0) * 100);
}
BENCHMARK(BM_OpenPlate)->Arg(96)->Arg(384)->Arg(1536)->Unit(benchmark::kMillisecond)->Complexity(benchmark::oN);

// Every run restores the store first, so each iteration does a whole run.
void BM_ScorePlate(benchmark::State& state) {
    Session s;
    s.open(plateFile(static_cast<int>(state.range(0))));
    for (auto _ : state) s.controller.scoreData();
    state.SetItemsProcessed(state.iterations() * state.range(0) * 100);
    state.SetComplexityN(state.range(0) * 100);
}
BENCHMARK(BM_ScorePlate)->Arg(96)->Arg(384)->Arg(1536)->Unit(benchmark::kMillisecond)->Complexity(benchmark::oN);

// Every lane's indices and the groups' summaries, from the peaks scoring
// left: compare with BM_ScorePlate at the same size.
void BM_InstabilityPlate(benchmark::State& state) {
    Session s;
    s.open(plateFile(static_cast<int>(state.range(0))));
    s.controller.scoreData();
    InstabilitySettings settings;
    settings.low = 100;
    settings.high = 300;
    settings.unit = 2;
    settings.controls = {"1", "2", "3", "4"};
    const std::vector<GroupSpec> groups = {{"odd", "", {"5", "7", "9"}}, {"even", "", {"6", "8", "10"}}};
    for (auto _ : state) {
        const std::vector<LanePeaks> lanes = lanePeaks(s.controller.store().workingList(), s.controller.lanes());
        const InstabilityResult lane = laneInstability(lanes, settings);
        const GroupsResult grouped = groupInstability(lane.lanes, groups, settings.controls);
        benchmark::DoNotOptimize(grouped.groups.data());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0) * 100);
}
BENCHMARK(BM_InstabilityPlate)->Arg(1536)->Unit(benchmark::kMillisecond);

// The same with the developer log formatted (and thrown away by the sink).
class CountingLog final : public LogSink {
public:
    void line(std::string_view text) override { bytes += text.size(); }
    size_t bytes = 0;
};

void BM_ScorePlateWithLog(benchmark::State& state) {
    NullStream trace;
    CountingLog log;
    headless::HeadlessToolkit tk{trace, log};
    GeneController controller{tk.outlets()};
    tk.progenitor1.setText(kP1);
    tk.progenitor2.setText(kP2);
    tk.lowrange.setText(kLow);
    tk.highrange.setText(kHigh);
    tk.dialogs.setOpenAnswer(plateFile(static_cast<int>(state.range(0))));
    controller.openData();
    for (auto _ : state) controller.scoreData();
    state.SetItemsProcessed(state.iterations() * state.range(0) * 100);
    benchmark::DoNotOptimize(log.bytes);
}
BENCHMARK(BM_ScorePlateWithLog)->Arg(384)->Unit(benchmark::kMillisecond);

// The log lines a plate's scoring writes most, in turn, numbers varying as
// a run's do, gathered as the command line gathers them: the time of a line.
void BM_DevLogLines(benchmark::State& state) {
    NullStream out;
    BufferedLog log(out);
    double size = 150.12345;
    int i = 0;
    for (auto _ : state) {
        size += 0.37;
        switch (++i % 8) {
            case 0: case 1: logf(log, "allele %lf with height %d", size, 1234 + i % 900); break;
            case 2: case 3: logf(log, "REMOVING Allele size %lf with height %d in lane %d", size, 1234 + i % 50, i % 384); break;
            case 4: logf(log, "Allele size %lf with height %d in lane %d", size, 99 + i % 7, i % 384); break;
            case 5: logf(log, "merged peak %lf in lane %d (%d in Real Lane)", size, i % 384, i % 384 + 1); break;
            case 6: logf(log, "marked allele %.2lf in lane %d as %s", size, i % 384, (i & 64) ? "DISCARDED" : "SCORED"); break;
            default: logf(log, "%d items left", i % 13); break;
        }
    }
}
BENCHMARK(BM_DevLogLines);

}  // namespace
}  // namespace lociview::bench
