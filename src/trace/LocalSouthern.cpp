#include "trace/LocalSouthern.h"

#include <algorithm>
#include <limits>
#include <vector>

namespace lociview {

namespace {

// The curve L = L0 + c / (x - m0) through a, b and c at scan x, written
// through the ratio r = (x3 - m0) / (x1 - m0) so that nearly straight
// points (m0 far away) lose no precision: it tends to the straight line.
// Points ascending in scan and size give r > 0 and the pole outside them,
// so the curve rises through them. Nothing where x lies so far outside
// that the pole comes between.
std::optional<double> throughThree(const SizingPoint& a, const SizingPoint& b, const SizingPoint& c, double x) {
    const double r = (b.size - a.size) * (c.scan - b.scan) / ((c.size - b.size) * (b.scan - a.scan));
    const double toPole = r * (x - a.scan) + (c.scan - x);  // (r - 1) (x - m0)
    if (!(toPole > 0)) return std::nullopt;
    const double bend = 1 + (b.scan - x) * (r - 1) / toPole;  // (x2 - m0) / (x - m0)
    return a.size + (b.size - a.size) * (x - a.scan) / (b.scan - a.scan) * bend;
}

// The size at a scan from the points about it: points[k] the last at or
// below the scan.
std::optional<double> sizeAbove(std::span<const SizingPoint> points, size_t k, double scan) {
    const size_t m = points.size();
    if (k == m - 1) return points.back().size;
    double sum = 0.0;
    int fits = 0;
    if (k >= 1) {
        if (const auto size = throughThree(points[k - 1], points[k], points[k + 1], scan)) sum += *size, ++fits;
    }
    if (k + 2 < m) {
        if (const auto size = throughThree(points[k], points[k + 1], points[k + 2], scan)) sum += *size, ++fits;
    }
    if (fits == 0) return std::nullopt;
    return sum / fits;
}

}  // namespace

std::optional<double> localSouthernSize(std::span<const SizingPoint> points, double scan) {
    const size_t m = points.size();
    if (m < 3 || !(scan >= points.front().scan) || !(scan <= points.back().scan)) return std::nullopt;
    const size_t k = static_cast<size_t>(
        std::upper_bound(points.begin(), points.end(), scan,
                         [](double x, const SizingPoint& p) { return x < p.scan; }) -
        points.begin() - 1);
    return sizeAbove(points, k, scan);
}

std::vector<float> localSouthernSizes(std::span<const SizingPoint> points, size_t scans) {
    std::vector<float> sizes(scans, std::numeric_limits<float>::quiet_NaN());
    const size_t m = points.size();
    if (m < 3) return sizes;
    size_t k = 0;
    for (size_t scan = 0; scan < scans; ++scan) {
        const double x = static_cast<double>(scan);
        if (x < points.front().scan) continue;
        if (x > points.back().scan) break;
        while (k + 1 < m && points[k + 1].scan <= x) ++k;
        if (const std::optional<double> size = sizeAbove(points, k, x)) sizes[scan] = static_cast<float>(*size);
    }
    return sizes;
}

double worstThreePointRSquared(std::span<const SizingPoint> points) {
    double worst = 1.0;
    for (size_t i = 0; i + 2 < points.size(); ++i) {
        double mx = 0, my = 0;
        for (size_t j = i; j < i + 3; ++j) mx += points[j].size / 3, my += points[j].scan / 3;
        double sxy = 0, sxx = 0, syy = 0;
        for (size_t j = i; j < i + 3; ++j) {
            const double dx = points[j].size - mx, dy = points[j].scan - my;
            sxy += dx * dy;
            sxx += dx * dx;
            syy += dy * dy;
        }
        const double r2 = sxx > 0 && syy > 0 ? sxy * sxy / (sxx * syy) : 0.0;
        worst = std::min(worst, r2);
    }
    return worst;
}

std::optional<double> leaveOneOutResidual(std::span<const SizingPoint> points, size_t i) {
    const size_t m = points.size();
    if (m < 4 || i >= m) return std::nullopt;
    std::vector<SizingPoint> others(points.begin(), points.end());
    others.erase(others.begin() + static_cast<std::ptrdiff_t>(i));
    const double x = points[i].scan;
    std::optional<double> size;
    if (i == 0) size = throughThree(others[0], others[1], others[2], x);
    else if (i == m - 1) size = throughThree(others[m - 4], others[m - 3], others[m - 2], x);
    else size = localSouthernSize(others, x);
    if (!size) return std::nullopt;
    return points[i].size - *size;
}

}  // namespace lociview
