// The lane view's whole frame as the dock draws it: 96 stacked trace lanes
// of 8,000 scans each laid out and painted with QPainter into a window of
// 1,600 by 1,000 pixels.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <QPainter>

#include "TraceLanes.h"
#include "chart/LaneZoom.h"
#include "qt/chart/LaneView.h"

namespace lociview::bench {
namespace {

void BM_LaneFramePainted(benchmark::State& state) {
    const std::vector<LaneData> lanes = traceLanes(static_cast<int>(state.range(0)), 8000);
    const LaneMarkers markers{150.0, 156.0, 120.0, 180.0};
    LaneView view{LaneMode::Stacked, fullWindow(lanes, markers), 1600, 1000, markers, {}};
    QImage image(1600, 1000, QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        QPainter painter(&image);
        qt::paintLanes(painter, layLanes(lanes, view));
    }
}
BENCHMARK(BM_LaneFramePainted)->Arg(1)->Arg(96)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
}  // namespace lociview::bench

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
