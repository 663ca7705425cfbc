#include "chart/StandardGeometry.h"

#include <algorithm>
#include <cmath>

#include "base/NumberText.h"

namespace lociview {

namespace {

constexpr double kPad = 4.0;
constexpr double kSignalShare = 0.58;  // of the width, for the signal; the fit takes the rest
constexpr double kFitShare = 0.62;     // of the fit's height, the residuals the rest
constexpr double kMinRowLines = 12.0;  // a row is at least so many lines tall

// Linear ticks from low to high drawn between two pixel positions.
std::vector<AxisTick> linearTicks(double low, double high, double pixels, double spacing, double atLow, double atHigh) {
    std::vector<AxisTick> ticks;
    const int64_t most = std::max<int64_t>(1, static_cast<int64_t>(pixels / std::max(spacing, 1.0)));
    const std::vector<double> values = niceTicks(low, high, most);
    if (values.size() < 2) return ticks;
    const double step = values[1] - values[0];
    const int decimals = std::max(0, static_cast<int>(-std::floor(std::log10(step) + 1e-9)));
    for (const double v : values)
        ticks.push_back({v, atLow + (v - low) / (high - low) * (atHigh - atLow), fixedText(v, decimals)});
    return ticks;
}

double mapTo(double v, double low, double high, double atLow, double atHigh) {
    return atLow + (v - low) / (high - low) * (atHigh - atLow);
}

std::string capitalised(std::string text) {
    if (!text.empty() && text[0] >= 'a' && text[0] <= 'z') text[0] = static_cast<char>(text[0] - 'a' + 'A');
    return text;
}

void layRow(StandardRow& row, const LaneData& lane, const StandardView& view) {
    const StandardFit& fit = *lane.standard;
    const LaneStyle& style = view.style;
    int matched = 0, used = 0;
    std::string missing;
    for (const StandardPeak& p : fit.peaks) {
        used += p.used ? 1 : 0;
        matched += p.used && p.matched ? 1 : 0;
        if (p.used && !p.matched) missing += (missing.empty() ? "" : ", ") + shortestNumber(p.expectedSize);
    }
    row.title += ": " + (fit.standard.empty() ? std::string("no standard") : fit.standard);
    if (fit.failed()) {
        row.title += ", failed";
        row.failure = capitalised(fit.failure) + " No sizes are given.";
        return;
    }
    row.title += ", " + std::to_string(matched) + " of " + std::to_string(used) + " fragments matched";
    if (!missing.empty()) row.title += " (not found: " + missing + " bp)";

    const PixelRect& r = row.rect;
    const double top = r.top + style.lineHeight + kPad;
    const double bottom = r.bottom() - 2 * style.lineHeight - kPad;
    const double split = r.left + kSignalShare * r.width;
    row.signal.plot = {r.left + style.marginLeft, top + style.lineHeight, split - r.left - style.marginLeft - kPad,
                       bottom - top - style.lineHeight};
    const double fitLeft = split + style.marginLeft;
    const double fitWidth = r.right() - style.marginRight - fitLeft;
    const double fitHeight = (bottom - top) * kFitShare - style.lineHeight;
    row.fit.plot = {fitLeft, top + style.lineHeight, fitWidth, fitHeight};
    const double residualTop = row.fit.plot.bottom() + style.lineHeight + kPad;
    row.residuals.plot = {fitLeft, residualTop, fitWidth, bottom - residualTop};

    // Scans from the first matched fragment to the last, a little beyond;
    // the whole signal when none was matched.
    const size_t scans = fit.signal ? fit.signal->size() : 0;
    double scanLow = 0.0, scanHigh = std::max<double>(1.0, static_cast<double>(scans) - 1);
    double tallest = 0.0, sizeLow = 0.0, sizeHigh = 0.0;
    bool any = false;
    for (const StandardPeak& p : fit.peaks) {
        if (!p.matched) continue;
        if (!any) {
            scanLow = scanHigh = p.scan;
            sizeLow = sizeHigh = p.expectedSize;
            any = true;
        }
        scanLow = std::min<double>(scanLow, p.scan);
        scanHigh = std::max<double>(scanHigh, p.scan);
        sizeLow = std::min(sizeLow, p.expectedSize);
        sizeHigh = std::max(sizeHigh, p.expectedSize);
        tallest = std::max(tallest, p.height);
    }
    const double scanPad = std::max(10.0, 0.04 * (scanHigh - scanLow));
    scanLow = std::max(0.0, scanLow - scanPad);
    scanHigh += scanPad;
    const double sizePad = std::max(1.0, 0.05 * (sizeHigh - sizeLow));
    sizeLow = std::max(0.0, sizeLow - sizePad);
    sizeHigh += sizePad;
    if (!(tallest > 0) && fit.signal)
        for (size_t s = static_cast<size_t>(scanLow); s < scans && s <= static_cast<size_t>(scanHigh); ++s)
            tallest = std::max(tallest, static_cast<double>((*fit.signal)[s]));
    // Room above the tallest fragment for its label, raised or not.
    const double rfuHigh = std::max(1.0, std::isfinite(tallest) ? 1.3 * tallest : 1.0);

    // The standard's signal and its peaks.
    const PixelRect& sp = row.signal.plot;
    row.signal.title = "Size standard signal (RFU) against scan";
    row.signal.xTicks = linearTicks(scanLow, scanHigh, sp.width, style.tickSpacingX, sp.left, sp.right());
    row.signal.yTicks = linearTicks(0.0, rfuHigh, sp.height, style.tickSpacingY, sp.bottom(), sp.top);
    LaneFrame frame;
    frame.plot = sp;
    frame.window = {scanLow, scanHigh, 0.0, rfuHigh};
    if (fit.signal) {
        SizedSignal byScan;
        byScan.rfu = *fit.signal;
        byScan.size.resize(scans);
        for (size_t s = 0; s < scans; ++s) byScan.size[s] = static_cast<float>(s);
        row.signalLines = traceLines(byScan, frame, sp);
    }
    const auto inScans = [&](double scan) { return scan >= scanLow && scan <= scanHigh; };
    // A label too near the one before it goes a line higher.
    double lastLabelEnd = -1e300;
    bool raised = false;
    for (const StandardPeak& p : fit.peaks) {
        if (!p.matched || !inScans(p.scan)) continue;
        StandardMark mark{{frame.x(p.scan), frame.y(p.height, sp)}, shortestNumber(p.expectedSize), true, {}};
        const double half = (static_cast<double>(mark.label.size()) + 1) * style.charWidth / 2;
        raised = !raised && mark.apex.x - half < lastLabelEnd;
        if (!raised) lastLabelEnd = mark.apex.x + half;
        mark.labelAt = {mark.apex.x, mark.apex.y - kPad - (raised ? style.lineHeight : 0.0)};
        row.marks.push_back(std::move(mark));
    }
    for (const StrayPeak& p : fit.stray)
        if (inScans(p.scan)) row.marks.push_back({{frame.x(p.scan), frame.y(p.height, sp)}, "", false, {}});

    // The fit: the curve the lane is sized with, and the fragments on it.
    const PixelRect& fp = row.fit.plot;
    row.fit.title = "Size (bp) against scan";
    if (fit.worstRSquared) row.fit.title += ", worst three-point R-squared " + fixedText(*fit.worstRSquared, 5);
    row.fit.xTicks = linearTicks(scanLow, scanHigh, fp.width, style.tickSpacingX, fp.left, fp.right());
    row.residuals.xTicks = row.fit.xTicks;
    for (AxisTick& t : row.fit.xTicks) t.text.clear();  // the residuals' scale below serves both
    row.fit.yTicks = linearTicks(sizeLow, sizeHigh, fp.height, style.tickSpacingY, fp.bottom(), fp.top);
    const auto fitX = [&](double scan) { return mapTo(scan, scanLow, scanHigh, fp.left, fp.right()); };
    const auto fitY = [&](double size) { return mapTo(size, sizeLow, sizeHigh, fp.bottom(), fp.top); };
    if (lane.signal)
        for (double px = 0; px <= fp.width; px += 1.0) {
            const double scan = std::round(scanLow + px / fp.width * (scanHigh - scanLow));
            if (scan < 0 || scan >= static_cast<double>(lane.signal->size.size())) continue;
            const float size = lane.signal->size[static_cast<size_t>(scan)];
            if (std::isfinite(size) && size >= sizeLow && size <= sizeHigh)
                row.curve.push_back({fitX(scan), fitY(size)});
        }

    double worst = 0.0;
    for (const StandardPeak& p : fit.peaks)
        if (p.matched && p.used) worst = std::max(worst, std::abs(p.residual));
    const double reach = std::max(0.5, 1.2 * worst);
    const PixelRect& rp = row.residuals.plot;
    const auto residualY = [&](double bp) { return mapTo(std::clamp(bp, -reach, reach), -reach, reach, rp.bottom(), rp.top); };
    row.zeroY = residualY(0.0);
    row.residuals.title = "Residual (bp)";
    row.residuals.yTicks = linearTicks(-reach, reach, rp.height, style.tickSpacingY, rp.bottom(), rp.top);
    const StandardPeak* largest = nullptr;
    for (const StandardPeak& p : fit.peaks) {
        if (!p.matched) continue;
        FitPoint point{{fitX(p.scan), fitY(p.expectedSize)}, p.used ? p.residual : 0.0, row.zeroY, row.zeroY, p.used};
        if (p.used) {
            point.barTop = std::min(row.zeroY, residualY(p.residual));
            point.barBottom = std::max(row.zeroY, residualY(p.residual));
            if (!largest || std::abs(p.residual) > std::abs(largest->residual)) largest = &p;
        }
        row.points.push_back(point);
    }
    if (largest)
        row.residuals.title += ", largest " + fixedText(largest->residual, 2) + " at " +
                               shortestNumber(largest->expectedSize) + " bp";
}

}  // namespace

StandardFrame layStandards(const std::vector<LaneData>& lanes, const StandardView& view) {
    StandardFrame f;
    const LaneStyle& style = view.style;
    if (std::none_of(lanes.begin(), lanes.end(), [](const LaneData& l) { return l.standard.has_value(); })) {
        f.note = "The size standard is shown for lanes read from trace files.";
        return f;
    }
    const double minRow = kMinRowLines * style.lineHeight;
    const size_t fits = static_cast<size_t>(std::max(0.0, std::floor(view.height / minRow)));
    if (fits == 0 || view.width < 2 * (style.marginLeft + style.marginRight) + 40) {
        f.note = "The view is too small to draw the size standard.";
        return f;
    }
    const size_t shown = std::min(lanes.size(), fits);
    if (shown < lanes.size())
        f.note = std::to_string(lanes.size() - shown) + " more lanes are not shown: choose fewer.";
    const double rowHeight = std::floor(view.height / static_cast<double>(shown));
    for (size_t i = 0; i < shown; ++i) {
        StandardRow& row = f.rows.emplace_back();
        row.lane = i;
        row.rect = {0.0, static_cast<double>(i) * rowHeight, static_cast<double>(view.width), rowHeight};
        row.title = std::to_string(lanes[i].lane) + (lanes[i].sample.empty() ? "" : " " + lanes[i].sample);
        if (!lanes[i].standard) {
            row.failure = "Not read from a trace file: no size standard.";
            continue;
        }
        layRow(row, lanes[i], view);
    }
    return f;
}

}  // namespace lociview
