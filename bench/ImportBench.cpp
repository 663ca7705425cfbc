// Reading sizing tables as lociview-cli score does with a file the classic
// grammar reads nothing from: the classic pass that finds no row, then the
// table import and the chosen dye's classic rows.
// Run by hand: build/bin/lociview_bench --benchmark_filter=Import
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "PlateText.h"
#include "input/PeakImport.h"

namespace lociview::bench {
namespace {

void BM_ImportSizingTable(benchmark::State& state) {
    const std::string text = makeSizingTable(static_cast<int>(state.range(0)), static_cast<char>(state.range(1)));
    NullLog log;
    for (auto _ : state) {
        std::vector<PeakRow> classic;
        readPeakTable(text, classic, log);
        const PeakImport import = importPeakTables({{"plate.txt", text}}, log);
        const std::vector<PeakRow> rows = classicRows(import, defaultDye(import));
        benchmark::DoNotOptimize(rows.data());
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(text.size()));
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
// Semicolons with decimal commas: each number column's form decided, the rows read again.
BENCHMARK(BM_ImportSizingTable)->Args({26000, '\t'})->Args({26000, ','})->Args({26000, ';'})->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace lociview::bench
