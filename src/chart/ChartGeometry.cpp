#include "chart/ChartGeometry.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "base/NumberText.h"

namespace lociview {

namespace {

constexpr double sqrtTwoPi = 2.5066282746310002;
constexpr double eulerE = 2.718281828459045;

bool isOddNumber(int32_t v) { return v % 2 != 0; }

}  // namespace

const char* colourName(CurveColour colour) { return colour == CurveColour::Black ? "black" : "grey"; }

uint8_t colourLevel(CurveColour colour) { return colour == CurveColour::Black ? 0 : 100; }

void ChartGeometry::applyParity(ChartModel& model) {
    // Keep the labels on the parity most peaks have; at most one step applies.
    const bool even = model.isEven();
    if (even && isOddNumber(model.low)) {
        model.raiseLow();
    } else if (!even && !isOddNumber(model.low)) {
        model.raiseLow();
    }
}

ChartCurve ChartGeometry::curve(const Allele& peak, int32_t low, double pitch, int64_t columns, double tallest,
                                bool maybes) {
    ChartCurve c{};
    c.key = peak.getKey();
    // All heights 0 (or less) leave no tallest peak to scale by: flat curves.
    c.amplitude = tallest > 0.0 ? saturatingInt(static_cast<double>(peak.getHeight()) / tallest * 1000.0) : 0;

    const double d = std::round(peak.getSize() - static_cast<double>(low));
    c.x0 = pitch * (d * 0.5 + 1.0) - 12.0;

    const double n = static_cast<double>(columns);
    c.width = 685.44 * std::pow(n, -0.9592);
    c.spread = 200.29 * std::pow(n, -0.8786);

    const int32_t score = peak.getScore();
    c.colour = (score == SCORED || (maybes && score == MAYBE)) ? CurveColour::Black : CurveColour::Grey;

    // columns >= 1, so W <= 685.44 and a curve has at most 1371 vertices.
    const double height = static_cast<double>(c.amplitude) / sqrtTwoPi;
    if (std::isfinite(c.width)) {
        for (int64_t i = 0;; ++i) {
            const double t = -c.width + static_cast<double>(i);
            if (!(t <= c.width)) break;
            const double z = t / c.spread;
            c.vertices.push_back({t * 0.5, height * std::pow(eulerE, -0.5 * z * z) + curveFloor});
        }
    }
    return c;
}

ChartInputs ChartGeometry::inputs(ChartModel& model) {
    ChartInputs in;
    if (model.list.empty()) return in;  // an empty frame, whatever the range
    applyParity(model);
    in.low = model.low;
    in.high = model.high;
    in.maybes = model.maybes;
    in.peaks.reserve(model.list.size());
    for (const auto& a : model.list) in.peaks.push_back({a->getKey(), a->getSize(), a->getHeight(), a->getScore()});
    return in;
}

ChartFrame ChartGeometry::frame(ChartModel& model) {
    ChartFrame f;
    if (model.list.empty()) return f;

    applyParity(model);
    const int32_t low = model.low;

    // 64 bits: the two bounds may lie at opposite ends of int32. The parity
    // step can leave low above high (a list whose parity keeps changing);
    // such a range still draws one column rather than dividing by zero.
    const int64_t span = int64_t{model.high} - low;
    const int64_t n = std::max<int64_t>(span / 2, 0);
    f.columns = n + 1;
    f.pitch = 800.0 / static_cast<double>(n + 2) + 1.0;

    const int64_t shown = std::min(f.columns, maxLabels);
    f.labels.reserve(static_cast<size_t>(shown));
    for (int64_t k = 1; k <= shown; ++k) {
        const int64_t value = int64_t{low} + 2 * (k - 1);
        f.labels.push_back({std::to_string(value), static_cast<double>(k) * f.pitch});
    }

    double tallest = -std::numeric_limits<double>::infinity();
    for (const auto& a : model.list) tallest = std::max(tallest, static_cast<double>(a->getHeight()));

    f.curves.reserve(model.list.size());
    for (const auto& a : model.list) {
        f.curves.push_back(curve(*a, low, f.pitch, f.columns, tallest, model.maybes != 0));
    }
    f.axis = f.curves.back().colour;
    return f;
}

}  // namespace lociview
