#include "chart/LaneZoom.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace lociview {

namespace {

// A shift of both bounds that keeps them within the limit.
double boundedShift(double low, double high, double shift, double limit) {
    if (!std::isfinite(shift)) return 0.0;
    return std::clamp(shift, -limit - low, limit - high);
}

}  // namespace

LaneWindow fullWindow(const std::vector<LaneData>& lanes, const LaneMarkers& markers) {
    constexpr double inf = std::numeric_limits<double>::infinity();
    double least = inf, most = -inf, floor = 0.0, top = -inf;
    auto see = [&](double size) {
        if (!std::isfinite(size) || std::abs(size) > kSizeLimit) return false;
        least = std::min(least, size);
        most = std::max(most, size);
        return true;
    };
    auto seeHeight = [&](double height) {
        floor = std::min(floor, height);
        top = std::max(top, height);
    };
    for (const LaneData& lane : lanes) {
        for (const LanePeak& p : lane.peaks)
            if (see(p.size)) seeHeight(p.height);
        if (!lane.signal) continue;
        const SizedSignal& s = *lane.signal;
        for (size_t i = 0; i < std::min(s.size.size(), s.rfu.size()); ++i)
            if (std::isfinite(s.rfu[i]) && see(s.size[i])) seeHeight(s.rfu[i]);
    }
    for (const std::optional<double>& m : {markers.p1, markers.p2, markers.low, markers.high})
        if (m) see(*m);

    LaneWindow w;
    if (least > most) return w;
    const double margin = std::max(0.02 * (most - least), 5.0);
    w.sizeLow = least - margin;
    w.sizeHigh = most + margin;
    if (top > -inf) {
        w.heightLow = floor;
        w.heightHigh = top > floor ? top + 0.05 * (top - floor) : floor + 100.0;
    }
    return clampedWindow(w);
}

LaneWindow zoomSizes(const LaneFrame& frame, double x, double factor) {
    LaneWindow w = frame.window;
    if (!(factor > 0.0) || !std::isfinite(factor) || frame.plot.width <= 0.0) return w;
    const double at = frame.sizeAt(std::clamp(x, frame.plot.left, frame.plot.right()));
    w.sizeLow = at - (at - w.sizeLow) / factor;
    w.sizeHigh = at + (w.sizeHigh - at) / factor;
    return clampedWindow(w);
}

LaneWindow zoomHeights(const LaneFrame& frame, double factor) {
    LaneWindow w = frame.window;
    if (!(factor > 0.0) || !std::isfinite(factor)) return w;
    w.heightHigh = w.heightLow + (w.heightHigh - w.heightLow) / factor;
    return clampedWindow(w);
}

LaneWindow zoomToRect(const LaneFrame& frame, PixelPoint corner, PixelPoint opposite) {
    LaneWindow w = frame.window;
    const PixelRect& plot = frame.plot;
    const double left = std::max(std::min(corner.x, opposite.x), plot.left);
    const double right = std::min(std::max(corner.x, opposite.x), plot.right());
    if (!(right - left >= kMinRubberBand)) return w;
    w.sizeLow = frame.sizeAt(left);
    w.sizeHigh = frame.sizeAt(right);
    const std::optional<PixelRect> band = frame.bandAt(corner);
    const std::optional<PixelRect> other = frame.bandAt(opposite);
    if (band && other && band->top == other->top && std::abs(corner.y - opposite.y) >= kMinRubberBand) {
        w.heightLow = frame.heightAt(std::max(corner.y, opposite.y), *band);
        w.heightHigh = frame.heightAt(std::min(corner.y, opposite.y), *band);
    }
    return clampedWindow(w);
}

LaneWindow panBy(const LaneFrame& frame, double dx, double dy) {
    LaneWindow w = frame.window;
    if (frame.plot.width <= 0.0) return w;  // a view too small for a plot
    const double bandHeight = frame.bands.empty() ? frame.plot.height : frame.bands.front().rect.height;
    const double sizes = boundedShift(w.sizeLow, w.sizeHigh, -dx / frame.plot.width * (w.sizeHigh - w.sizeLow), kSizeLimit);
    const double heights =
        boundedShift(w.heightLow, w.heightHigh, dy / bandHeight * (w.heightHigh - w.heightLow), kHeightLimit);
    w.sizeLow += sizes;
    w.sizeHigh += sizes;
    w.heightLow += heights;
    w.heightHigh += heights;
    return clampedWindow(w);
}

}  // namespace lociview
