// Reading, calling and sizing a plate of 96 trace files of a 3730 run
// (five dyes of 6,000 scans), on one thread and on two, as lociview-cli
// peaks does with files already read.
// Run by hand: build/bin/lociview_bench --benchmark_filter=Trace
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "PlateText.h"
#include "trace/TraceSizing.h"

namespace lociview::bench {
namespace {

void BM_SizeTracePlate(benchmark::State& state) {
    const int files = static_cast<int>(state.range(0));
    std::vector<std::string> bytes;
    for (int i = 0; i < files; ++i) bytes.push_back(makeTraceFile(i));
    std::vector<TraceSource> sources;
    for (int i = 0; i < files; ++i) sources.push_back({"s" + std::to_string(i) + ".fsa", bytes[static_cast<size_t>(i)]});
    SizingOptions options;
    options.keepSignals = false;
    for (auto _ : state) {
        const std::vector<SizedTrace> sized = sizeTraces(sources, options, static_cast<unsigned>(state.range(1)));
        benchmark::DoNotOptimize(sized.data());
    }
    state.SetItemsProcessed(state.iterations() * files);
}
BENCHMARK(BM_SizeTracePlate)->Args({96, 1})->Args({96, 2})->Args({384, 2})->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
}  // namespace lociview::bench
