// Frame times of the chart view in a real GL context (under Xvfb with Mesa,
// or any display): a frame with 1, 10 and 100 curves on the chart, drawn
// and read back. The chart redraws ten times a second, so a frame must
// stay well under 100 ms.
// Run by hand: scripts/with-xvfb build/bin/lociview_chart_bench
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>

#include <cstdio>
#include <memory>

#include "qt/chart/Chartview.h"

namespace lociview::bench {
namespace {

class NoOutput final : public OutputSink {
public:
    void write(std::string_view) override {}
};

void BM_ChartFrame(benchmark::State& state) {
    NullLog log;
    NoOutput output;
    ChartModel model(log);
    model.setRange(100, 300);
    // Curves spread over the range, all shades: scored, maybe, discarded.
    const int curves = static_cast<int>(state.range(0));
    for (int i = 0; i < curves; ++i) {
        auto a = std::make_shared<Allele>(101.0 + 198.0 * i / std::max(1, curves), 200 + (i * 137) % 2800, 10, i);
        a->changeScore(1 + i % 3);
        model.addAllele(a);
    }
    qt::Chartview view(model, log, output);
    view.resize(1000, 400);
    view.show();
    view.grabFramebuffer();  // context, font and a first frame
    if (!view.problem().isEmpty()) {
        state.SkipWithError(view.problem().toStdString().c_str());
        return;
    }
    // grabFramebuffer draws a whole frame and reads it back: an upper bound
    // of what a timer tick costs (a repaint does not wait for the GL).
    for (auto _ : state) benchmark::DoNotOptimize(view.grabFramebuffer().constBits());
    state.counters["fps"] = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_ChartFrame)->Arg(1)->Arg(10)->Arg(100)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
}  // namespace lociview::bench

int main(int argc, char** argv) {
    QSurfaceFormat::setDefaultFormat(lociview::qt::Chartview::surfaceFormat());
    QApplication app(argc, argv);
    const QString problem = lociview::qt::Chartview::openGLProblem();
    if (!problem.isEmpty()) {
        std::fprintf(stderr, "lociview_chart_bench: %s\n", problem.toLocal8Bit().constData());
        return 1;
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
