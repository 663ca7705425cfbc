// The peak store's own operations on a plate-sized store: the per-lane
// queries scoring asks inside its lane loops, removals, and the restore
// that starts every run.
#include <benchmark/benchmark.h>

#include "model/AlleleDB.h"

namespace lociview::bench {
namespace {

// lanes x 100 peaks, 2 bp apart within a lane, lane after lane.
void fill(AlleleDB& db, int lanes) {
    for (int lane = 1; lane <= lanes; ++lane)
        for (int i = 0; i < 100; ++i) db.addAlleleWithSize(100.0 + 2 * i + 0.1 * (lane % 3), 100 + (i * 37) % 900, 10, lane);
}

void BM_LaneQueries(benchmark::State& state) {
    NullLog log;
    AlleleDB db(log);
    const int lanes = static_cast<int>(state.range(0));
    fill(db, lanes);
    for (auto _ : state)
        for (int lane = 1; lane <= lanes; ++lane) {
            benchmark::DoNotOptimize(db.getLane(lane).size());
            benchmark::DoNotOptimize(db.getAlleleSize(150.0, lane, 0.5));
            benchmark::DoNotOptimize(db.getAllelesInLane(lane, 120.0, 180.0, UNMARKED).size());
        }
    state.SetItemsProcessed(state.iterations() * lanes);
    state.SetComplexityN(lanes * 100);
}
BENCHMARK(BM_LaneQueries)->Arg(96)->Arg(384)->Arg(1536)->Complexity(benchmark::oN);

// Half of every lane removed by key, then everything restored.
void BM_RemoveHalfAndRestore(benchmark::State& state) {
    NullLog log;
    AlleleDB db(log);
    const int lanes = static_cast<int>(state.range(0));
    fill(db, lanes);
    const int32_t records = lanes * 100;
    for (auto _ : state) {
        for (int32_t key = 0; key < records; key += 2) db.removeAlleleWithKey(key);
        db.restore();
    }
    state.SetItemsProcessed(state.iterations() * records);
    state.SetComplexityN(records);
}
BENCHMARK(BM_RemoveHalfAndRestore)->Arg(96)->Arg(384)->Arg(1536)->Complexity(benchmark::oN);

}  // namespace
}  // namespace lociview::bench
