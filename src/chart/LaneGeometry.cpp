#include "chart/LaneGeometry.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "base/NumberText.h"

namespace lociview {

namespace {

constexpr Rgb kTraceColour{60, 60, 60};
constexpr size_t kLegendLanes = 12;  // overlaid lanes named in the legend; the rest are counted
constexpr double kLegendPad = 4.0;
constexpr double kSwatch = 10.0;
constexpr double kHitSlack = 3.0;  // pixels around a peak that still point at it

void clampAxis(double& low, double& high, double limit, double minSpan, double fallbackLow, double fallbackHigh) {
    if (!std::isfinite(low) || !std::isfinite(high)) {
        low = fallbackLow;
        high = fallbackHigh;
    }
    if (high < low) std::swap(low, high);
    low = std::clamp(low, -limit, limit);
    high = std::clamp(high, -limit, limit);
    if (high - low < minSpan) {
        const double middle = low / 2 + high / 2;
        low = std::clamp(middle - minSpan / 2, -limit, limit - minSpan);
        high = low + minSpan;
    }
}

std::string laneLabel(const LaneData& lane) {
    return std::to_string(lane.lane) + (lane.sample.empty() ? "" : " " + lane.sample);
}

// The least of 1, 2 and 5 times a power of ten that cuts the span into at
// most maxCount parts; 0 when there is none.
double niceStep(double low, double high, int64_t maxCount) {
    // No range, no part to cut it into, or bounds that are not finite.
    const double raw = (high - low) / static_cast<double>(maxCount);
    if (!(raw > 0.0) || !std::isfinite(raw)) return 0.0;
    const double magnitude = std::pow(10.0, std::floor(std::log10(raw)));
    for (const double m : {1.0, 2.0, 5.0})
        if (m * magnitude >= raw * (1 - 1e-12)) return m * magnitude;
    return 10.0 * magnitude;
}

// Ticks for a span of pixels: at most one per spacing, labelled with as
// many decimals as the step needs.
std::vector<AxisTick> axisTicks(double low, double high, double pixels, double spacing, const auto& position) {
    std::vector<AxisTick> ticks;
    const int64_t most = std::max<int64_t>(1, static_cast<int64_t>(pixels / std::max(spacing, 1.0)));
    const double step = niceStep(low, high, most);
    if (step == 0.0) return ticks;
    const int decimals = std::max(0, static_cast<int>(-std::floor(std::log10(step) + 1e-9)));
    for (const double v : niceTicks(low, high, most)) ticks.push_back({v, position(v), fixedText(v, decimals)});
    return ticks;
}

}  // namespace

// The trace of one lane, cut to the pixel columns: of the scans that fall
// in one column, only the lowest and highest are kept, in scan order, which
// covers the same pixels of the column as all of them. Where the signal
// leaves the window it is cut at the edge; scans without a size break the
// line.
std::vector<std::vector<PixelPoint>> traceLines(const SizedSignal& signal, const LaneFrame& f, const PixelRect& band) {
    const std::vector<float>& size = signal.size;
    const std::vector<float>& rfu = signal.rfu;
    const size_t n = std::min(size.size(), rfu.size());
    const double low = f.window.sizeLow, high = f.window.sizeHigh;
    auto usable = [&](size_t i) { return std::isfinite(size[i]) && std::isfinite(rfu[i]); };
    auto inside = [&](size_t i) { return usable(i) && size[i] >= low && size[i] <= high; };
    // As LaneFrame::x, the scale taken out of the loop.
    const double pixelsPerBp = f.plot.width / (high - low);
    auto xOf = [&](double s) { return f.plot.left + (s - low) * pixelsPerBp; };
    auto at = [&](double s, double h) { return PixelPoint{xOf(s), f.y(h, band)}; };
    // Where the segment from scan a (inside) to scan b (outside) crosses the window's edge.
    auto edge = [&](size_t a, size_t b) {
        const double s = size[b] < low ? low : high;
        const double t = (s - size[a]) / (static_cast<double>(size[b]) - size[a]);
        return at(s, rfu[a] + t * (static_cast<double>(rfu[b]) - rfu[a]));
    };
    const int64_t lastColumn = std::max<int64_t>(0, static_cast<int64_t>(f.plot.width) - 1);

    std::vector<std::vector<PixelPoint>> lines;
    std::vector<PixelPoint> line;
    line.reserve(std::min(n, static_cast<size_t>(2 * lastColumn + 8)));
    bool open = false;
    int64_t column = 0;
    size_t lowest = 0, highest = 0;
    auto closeColumn = [&] {
        if (!open) return;
        const size_t a = std::min(lowest, highest), b = std::max(lowest, highest);
        line.push_back(at(size[a], rfu[a]));
        if (b != a) line.push_back(at(size[b], rfu[b]));
        open = false;
    };
    auto endLine = [&] {
        closeColumn();
        if (!line.empty()) lines.push_back(std::move(line));
        line.clear();
    };
    for (size_t i = 0; i < n; ++i) {
        if (!inside(i)) {
            if (usable(i) && i > 0 && inside(i - 1)) {
                closeColumn();
                line.push_back(edge(i - 1, i));
            }
            endLine();
            if (usable(i) && i + 1 < n && inside(i + 1)) line.push_back(edge(i + 1, i));
            continue;
        }
        // Inside the window the offset is 0 or more: truncation is the floor.
        const int64_t c = std::min(static_cast<int64_t>(xOf(size[i]) - f.plot.left), lastColumn);
        if (open && c == column) {
            if (rfu[i] < rfu[lowest]) lowest = i;
            if (rfu[i] > rfu[highest]) highest = i;
            continue;
        }
        closeColumn();
        open = true;
        column = c;
        lowest = highest = i;
    }
    endLine();
    return lines;
}

namespace {

void layLegend(LaneFrame& f, const std::vector<LaneData>& lanes, const LaneStyle& style) {
    if (f.mode == LaneMode::Overlaid) {
        for (size_t i = 0; i < lanes.size() && i < kLegendLanes; ++i)
            f.legend.push_back({laneLabel(lanes[i]), laneColour(i), {}, {}});
        if (lanes.size() > kLegendLanes)
            f.legend.push_back({"and " + std::to_string(lanes.size() - kLegendLanes) + " more lanes", std::nullopt, {}, {}});
    }
    // The marks of the lanes drawn: a tall stack scrolled through draws a few
    // of its thousands.
    const auto first = lanes.begin() + static_cast<std::ptrdiff_t>(std::min(f.stack.first, lanes.size()));
    const auto end = lanes.begin() + static_cast<std::ptrdiff_t>(std::min(f.stack.end, lanes.size()));
    const bool marked = std::any_of(first, end, [](const LaneData& lane) {
        return std::any_of(lane.peaks.begin(), lane.peaks.end(),
                           [](const LanePeak& p) { return peakMark(p.score) != PeakMark::Unmarked; });
    });
    if (marked)
        for (const PeakMark m : {PeakMark::Scored, PeakMark::Maybe, PeakMark::Discarded, PeakMark::Unmarked})
            f.legend.push_back({peakMarkName(m), markColour(m), {}, {}});
    if (f.legend.empty()) return;

    size_t widest = 0;
    for (const LegendEntry& e : f.legend) widest = std::max(widest, e.text.size());
    const double width = 2 * kLegendPad + kSwatch + kLegendPad + static_cast<double>(widest) * style.charWidth;
    const double height = 2 * kLegendPad + static_cast<double>(f.legend.size()) * style.lineHeight;
    f.legendBox = {std::max(f.plot.left, f.plot.right() - width - kLegendPad), f.plot.top + kLegendPad, width, height};
    const double left = f.legendBox.left + kLegendPad;
    double top = f.legendBox.top + kLegendPad;
    for (LegendEntry& e : f.legend) {
        e.swatchRect = {left, top + (style.lineHeight - kSwatch) / 2, kSwatch, kSwatch};
        e.textAt = {left + kSwatch + kLegendPad, top};
        top += style.lineHeight;
    }
}

}  // namespace

PeakMark peakMark(int32_t score) {
    switch (score) {
        case SCORED: return PeakMark::Scored;
        case MAYBE: return PeakMark::Maybe;
        case DISCARDED: return PeakMark::Discarded;
        default: return PeakMark::Unmarked;
    }
}

const char* peakMarkName(PeakMark mark) {
    switch (mark) {
        case PeakMark::Scored: return "scored";
        case PeakMark::Maybe: return "maybe";
        case PeakMark::Discarded: return "discarded";
        case PeakMark::Unmarked: break;
    }
    return "unmarked";
}

Rgb markColour(PeakMark mark) {
    // Told apart also by readers who do not see red from green.
    switch (mark) {
        case PeakMark::Scored: return {0, 114, 178};
        case PeakMark::Maybe: return {230, 159, 0};
        case PeakMark::Discarded: return {170, 170, 170};
        case PeakMark::Unmarked: break;
    }
    return {0, 0, 0};
}

Rgb laneColour(size_t index) {
    static constexpr Rgb palette[] = {{31, 119, 180}, {255, 127, 14}, {44, 160, 44},  {214, 39, 40},  {148, 103, 189},
                                      {140, 86, 75},  {227, 119, 194}, {127, 127, 127}, {188, 189, 34}, {23, 190, 207}};
    return palette[index % std::size(palette)];
}

LaneWindow clampedWindow(LaneWindow w) {
    const LaneWindow fallback;
    clampAxis(w.sizeLow, w.sizeHigh, kSizeLimit, kMinSizeSpan, fallback.sizeLow, fallback.sizeHigh);
    clampAxis(w.heightLow, w.heightHigh, kHeightLimit, kMinHeightSpan, fallback.heightLow, fallback.heightHigh);
    return w;
}

std::vector<double> niceTicks(double low, double high, int64_t maxCount) {
    std::vector<double> ticks;
    const double step = niceStep(low, high, maxCount);
    if (step == 0.0) return ticks;
    const double first = std::ceil(low / step - 1e-9);
    const double last = std::floor(high / step + 1e-9);
    for (double k = first; k <= last && ticks.size() <= static_cast<size_t>(maxCount); k += 1.0)
        ticks.push_back(k * step + 0.0);
    return ticks;
}

double LaneFrame::x(double size) const {
    return plot.left + (size - window.sizeLow) * (plot.width / (window.sizeHigh - window.sizeLow));
}

double LaneFrame::sizeAt(double px) const {
    return window.sizeLow + (px - plot.left) / plot.width * (window.sizeHigh - window.sizeLow);
}

double LaneFrame::heightAt(double py, const PixelRect& band) const {
    return window.heightLow + (band.bottom() - py) / band.height * (window.heightHigh - window.heightLow);
}

std::optional<PixelRect> LaneFrame::bandAt(PixelPoint p) const {
    if (!plot.contains(p)) return std::nullopt;
    if (mode == LaneMode::Overlaid) return plot;
    if (bands.empty()) return std::nullopt;
    // Inside the plot the offset is 0 or more: truncation is the floor.
    const auto at = static_cast<size_t>((p.y - plot.top + stack.scroll) / stack.bandHeight);
    return bands[std::clamp(at, stack.first, stack.first + bands.size() - 1) - stack.first].rect;
}

LaneStack laneStack(size_t lanes, double plotHeight, double minBandHeight, double scroll) {
    LaneStack s;
    if (lanes == 0 || !(plotHeight > 0.0)) return s;
    const auto n = static_cast<double>(lanes);
    s.bandHeight = plotHeight / n;
    s.height = plotHeight;
    s.end = lanes;
    if (!(s.bandHeight < minBandHeight)) return s;  // they fit: today's bands, whatever the scroll
    s.bandHeight = minBandHeight;
    s.height = minBandHeight * n;
    s.scroll = std::clamp(std::isfinite(scroll) ? scroll : 0.0, 0.0, s.maxScroll(plotHeight));
    s.first = std::min(lanes - 1, static_cast<size_t>(s.scroll / s.bandHeight));
    s.end = std::min(lanes, static_cast<size_t>(std::ceil((s.scroll + plotHeight) / s.bandHeight)));
    return s;
}

double scrollShowing(const LaneStack& stack, double plotHeight, size_t band) {
    const double top = static_cast<double>(band) * stack.bandHeight;
    double scroll = stack.scroll;
    if (top + stack.bandHeight > scroll + plotHeight) scroll = top + stack.bandHeight - plotHeight;
    if (top < scroll) scroll = top;  // a band taller than the plot shows its top
    return std::clamp(scroll, 0.0, stack.maxScroll(plotHeight));
}

std::array<PixelPoint, kPeakOutlinePoints> peakOutline(const DrawnPeak& peak) {
    // A bell whose feet meet the base exactly.
    const double foot = std::exp(-4.5);
    std::array<PixelPoint, kPeakOutlinePoints> points;
    for (size_t i = 0; i < points.size(); ++i) {
        const double t = -1.0 + 2.0 * static_cast<double>(i) / static_cast<double>(points.size() - 1);
        const double rise = (std::exp(-4.5 * t * t) - foot) / (1.0 - foot);
        points[i] = {peak.apex.x + t * peak.halfWidth, peak.baseY + (peak.apex.y - peak.baseY) * rise};
    }
    return points;
}

static_assert(sizeof(DrawnPeak) <= 48);

LaneFrame layLanes(const std::vector<LaneData>& lanes, const LaneView& view) {
    LaneFrame f;
    f.mode = view.mode;
    f.window = clampedWindow(view.window);
    const LaneStyle& style = view.style;
    const PixelRect plot{style.marginLeft, style.marginTop, view.width - style.marginLeft - style.marginRight,
                         view.height - style.marginTop - style.marginBottom};
    if (!(plot.width >= 1.0 && plot.height >= 1.0)) {
        f.note = "the view is too small to draw the lanes";
        return f;
    }
    f.plot = plot;
    const LaneWindow& w = f.window;
    f.sizeTicks = axisTicks(w.sizeLow, w.sizeHigh, plot.width, style.tickSpacingX, [&](double v) { return f.x(v); });
    if (f.mode == LaneMode::Overlaid)
        f.heightTicks = axisTicks(w.heightLow, w.heightHigh, plot.height, style.tickSpacingY,
                                  [&](double v) { return f.y(v, plot); });
    if (lanes.empty()) {
        f.note = "no lanes to show";
        return f;
    }

    const bool stacked = f.mode == LaneMode::Stacked;
    f.stack = stacked ? laneStack(lanes.size(), plot.height, view.minBandHeight, view.scroll)
                      : LaneStack{plot.height, plot.height, 0.0, 0, lanes.size()};
    const double bandHeight = f.stack.bandHeight;
    const size_t first = f.stack.first, end = f.stack.end;
    // Thin bands are labelled one in so many, so labels never overlap.
    const size_t labelEvery = static_cast<size_t>(std::max(1.0, std::ceil(style.lineHeight / bandHeight)));
    f.bands.reserve(end - first);
    for (size_t i = first; i < end; ++i) {
        LaneBand b;
        b.lane = i;
        b.rect = stacked ? PixelRect{plot.left, plot.top + static_cast<double>(i) * bandHeight - f.stack.scroll, plot.width, bandHeight}
                         : plot;
        b.label = laneLabel(lanes[i]);
        b.labelled = stacked && i % labelEvery == 0;
        b.labelAt = {b.rect.left + kLegendPad, b.rect.top + 1.0};
        if (stacked && bandHeight >= 2 * style.lineHeight) {
            b.heightTicks = axisTicks(w.heightLow, w.heightHigh, bandHeight, style.tickSpacingY,
                                      [&](double v) { return f.y(v, b.rect); });
            // A band scrolled partly out of view keeps the ticks still in it.
            std::erase_if(b.heightTicks, [&](const AxisTick& t) { return t.at < plot.top || t.at > plot.bottom(); });
        }
        f.bands.push_back(std::move(b));
    }

    size_t peaks = 0;
    for (size_t i = first; i < end; ++i) peaks += lanes[i].peaks.size();
    f.peaks.reserve(peaks);
    const double halfWidth = std::min(
        std::max(style.minPeakHalfWidth, style.peakHalfWidth * plot.width / (w.sizeHigh - w.sizeLow)), plot.width);
    // As LaneFrame::x and the marks' colours, out of the loop over every peak.
    const double pixelsPerBp = plot.width / (w.sizeHigh - w.sizeLow);
    const Rgb byMark[] = {markColour(PeakMark::Scored), markColour(PeakMark::Maybe), markColour(PeakMark::Discarded),
                          markColour(PeakMark::Unmarked)};
    for (size_t i = first; i < end; ++i) {
        const LaneData& lane = lanes[i];
        const PixelRect& band = f.bands[i - first].rect;
        const double baseY = f.y(0.0, band);
        for (size_t j = 0; j < lane.peaks.size(); ++j) {
            const LanePeak& p = lane.peaks[j];
            const double x = plot.left + (p.size - w.sizeLow) * pixelsPerBp;
            if (!(x + halfWidth >= plot.left && x - halfWidth <= plot.right())) continue;  // NaN too
            DrawnPeak& d = f.peaks.emplace_back();
            d.lane = static_cast<uint32_t>(i);
            d.peak = static_cast<uint32_t>(j);
            d.apex = {x, f.y(p.height, band)};
            d.baseY = baseY;
            d.halfWidth = halfWidth;
            d.outlined = !lane.signal;
            d.clipped = p.height > w.heightHigh;
            d.mark = peakMark(p.score);
            d.colour = stacked ? byMark[static_cast<size_t>(d.mark)] : laneColour(i);
        }
        if (lane.signal)
            f.traces.push_back({i, stacked ? kTraceColour : laneColour(i), traceLines(*lane.signal, f, band)});
    }

    const struct { MarkerKind kind; const std::optional<double>& at; const char* label; Rgb colour; bool dashed; } markers[] = {
        {MarkerKind::P1, view.markers.p1, "P1", {213, 94, 0}, false},
        {MarkerKind::P2, view.markers.p2, "P2", {0, 158, 115}, false},
        {MarkerKind::Low, view.markers.low, "low", {120, 120, 120}, true},
        {MarkerKind::High, view.markers.high, "high", {120, 120, 120}, true}};
    for (const auto& m : markers)
        if (m.at && *m.at >= w.sizeLow && *m.at <= w.sizeHigh)
            f.lines.push_back({m.kind, f.x(*m.at), m.label, m.colour, m.dashed});

    layLegend(f, lanes, style);
    return f;
}

std::optional<PeakHit> peakAt(const LaneFrame& frame, const std::vector<LaneData>& lanes, PixelPoint point) {
    if (!frame.plot.contains(point)) return std::nullopt;
    const DrawnPeak* best = nullptr;
    double bestDx = 0.0, bestTall = 0.0;
    for (const DrawnPeak& d : frame.peaks) {
        const double dx = std::abs(point.x - d.apex.x);
        if (dx > d.halfWidth + kHitSlack) continue;
        const double top = std::min(d.apex.y, d.baseY), bottom = std::max(d.apex.y, d.baseY);
        if (point.y < top - kHitSlack || point.y > bottom + kHitSlack) continue;
        const double tall = bottom - top;
        if (!best || dx < bestDx || (dx == bestDx && tall < bestTall)) {
            best = &d;
            bestDx = dx;
            bestTall = tall;
        }
    }
    if (!best || best->lane >= lanes.size() || best->peak >= lanes[best->lane].peaks.size()) return std::nullopt;
    const LaneData& lane = lanes[best->lane];
    return PeakHit{best->lane, best->peak, lane.lane, lane.sample, lane.peaks[best->peak], best->mark};
}

std::string peakHitText(const PeakHit& hit) {
    std::string text = fixedText(hit.value.size, 2) + " bp, " + std::to_string(hit.value.height) + " RFU, area " +
                       std::to_string(hit.value.area) + "; lane " + std::to_string(hit.laneNumber);
    if (!hit.sample.empty()) text += " " + hit.sample;
    text += std::string("; ") + peakMarkName(hit.mark);
    if (hit.value.offScale) text += "; off scale";
    return text;
}

}  // namespace lociview
