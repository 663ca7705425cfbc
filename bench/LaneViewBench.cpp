// The lane view's frames: 96 trace lanes of 8,000 scans each (a plate of
// instrument traces) stacked and overlaid in a large window, and a
// 1,536-lane table of 100 peaks a lane; and what opening that table with
// the view shown adds: its records grouped by lane, their flags and the
// window that shows them whole.
#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>
#include <random>

#include "TraceLanes.h"
#include "chart/LaneGeometry.h"
#include "chart/LaneZoom.h"
#include "stats/QualityFlags.h"

namespace lociview::bench {
namespace {

std::vector<LaneData> tableLanes(int lanes) {
    std::vector<LaneData> out;
    for (int lane = 1; lane <= lanes; ++lane) {
        LaneData data{lane, "S" + std::to_string(lane), {}, {}, {}, {}};
        for (int i = 0; i < 100; ++i) data.peaks.push_back({100.0 + 2 * i + 0.1 * (lane % 3), 100 + (i * 37) % 900, 10, static_cast<int16_t>(i % 4)});
        out.push_back(std::move(data));
    }
    return out;
}

void layOut(benchmark::State& state, const std::vector<LaneData>& lanes, LaneMode mode) {
    LaneView view{mode, fullWindow(lanes, {150.0, 156.0, 120.0, 180.0}), 1600, 1000, {150.0, 156.0, 120.0, 180.0}, {}};
    for (auto _ : state) benchmark::DoNotOptimize(layLanes(lanes, view).peaks.size());
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(lanes.size()));
}

void BM_TraceLanesStacked(benchmark::State& state) { layOut(state, traceLanes(96, 8000), LaneMode::Stacked); }
void BM_TraceLanesOverlaid(benchmark::State& state) { layOut(state, traceLanes(96, 8000), LaneMode::Overlaid); }
void BM_TableLanes(benchmark::State& state) { layOut(state, tableLanes(1536), LaneMode::Stacked); }
BENCHMARK(BM_TraceLanesStacked)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TraceLanesOverlaid)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TableLanes)->Unit(benchmark::kMillisecond);

void BM_QualityFlags(benchmark::State& state) {
    const std::vector<LaneData> lanes = tableLanes(1536);
    for (auto _ : state) benchmark::DoNotOptimize(qualityFlags(lanes, {120, 180, {}, true, false}).size());
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(lanes.size()));
}
BENCHMARK(BM_QualityFlags)->Unit(benchmark::kMillisecond);

void BM_LanesFromRecords(benchmark::State& state) {
    AlleleList records;
    std::vector<int32_t> numbers;
    for (const LaneData& lane : tableLanes(1536)) {
        numbers.push_back(lane.lane);
        for (const LanePeak& p : lane.peaks) records.push_back(std::make_shared<Allele>(p.size, p.height, p.area, lane.lane));
    }
    for (auto _ : state) benchmark::DoNotOptimize(lanesFromRecords(records, numbers).size());
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(records.size()));
}
BENCHMARK(BM_LanesFromRecords)->Unit(benchmark::kMillisecond);

void BM_FullWindow(benchmark::State& state) {
    const std::vector<LaneData> lanes = tableLanes(1536);
    for (auto _ : state) benchmark::DoNotOptimize(fullWindow(lanes, {}).sizeHigh);
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(lanes.size()));
}
BENCHMARK(BM_FullWindow)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace lociview::bench
