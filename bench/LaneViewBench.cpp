// The lane view's frames: 96 trace lanes of 8,000 scans each (a plate of
// instrument traces) stacked and overlaid in a large window, and a
// 1,536-lane table of 100 peaks a lane; and the quality flags of that table.
#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>
#include <random>

#include "chart/LaneGeometry.h"
#include "chart/LaneZoom.h"
#include "stats/QualityFlags.h"

namespace lociview::bench {
namespace {

// Scans 0.06 bp apart from 20 bp, a ladder of peaks on a noisy baseline.
std::vector<LaneData> traceLanes(int lanes, int scans) {
    std::mt19937 random(1);
    std::normal_distribution<float> noise(0.0f, 8.0f);
    std::vector<LaneData> out;
    for (int lane = 1; lane <= lanes; ++lane) {
        auto signal = std::make_shared<SizedSignal>();
        LaneData data{lane, "S" + std::to_string(lane), {}, {}, {}, {}};
        for (int i = 0; i < scans; ++i) {
            const float size = 20.0f + 0.06f * static_cast<float>(i);
            const float step = std::fmod(size - 140.0f + 100.0f, 2.0f) - 1.0f;  // a peak every 2 bp
            signal->size.push_back(size);
            signal->rfu.push_back(40.0f + noise(random) + (size > 140 && size < 170 ? 3000.0f * std::exp(-step * step * 40.0f) : 0.0f));
        }
        for (double size = 141.0; size < 170.0; size += 2.0) data.peaks.push_back({size, 3000, 30000, SCORED});
        data.signal = std::move(signal);
        out.push_back(std::move(data));
    }
    return out;
}

std::vector<LaneData> tableLanes(int lanes) {
    std::vector<LaneData> out;
    for (int lane = 1; lane <= lanes; ++lane) {
        LaneData data{lane, "S" + std::to_string(lane), {}, {}, {}, {}};
        for (int i = 0; i < 100; ++i) data.peaks.push_back({100.0 + 2 * i + 0.1 * (lane % 3), 100 + (i * 37) % 900, 10, i % 4});
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

}  // namespace
}  // namespace lociview::bench
