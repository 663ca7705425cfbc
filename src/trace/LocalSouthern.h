#pragma once
// Sizing by Local Southern, the method of the common instrument software:
// between the standard's fragments, a curve L = L0 + c / (x - m0) through
// the two fragments below the scan x and the one above, another through
// the one below and the two above, and the mean of the two (at the ends,
// the one there is). Outside the fragments nothing is sized.
#include <cstddef>
#include <optional>
#include <span>
#include <vector>

namespace lociview {

struct SizingPoint {
    double scan = 0.0;
    double size = 0.0;
};

// points: at least three, strictly ascending in scan and in size. Nothing
// for a scan outside the first and last point.
std::optional<double> localSouthernSize(std::span<const SizingPoint> points, double scan);

// The same for every whole scan from 0 to scans - 1 in one sweep, NaN
// where there is no size: a trace's signal sized for drawing.
std::vector<float> localSouthernSizes(std::span<const SizingPoint> points, size_t scans);

// The fit's quality: the smallest R-squared of a straight line (scan
// against size) through three consecutive points; 1 with fewer than three.
double worstThreePointRSquared(std::span<const SizingPoint> points);

// Below this, the fit is worth a warning.
inline constexpr double kPoorFitRSquared = 0.998;

// How far point i lies from the sizing of the other points, in bp (its
// size less the size they give its scan); the end points are sized by the
// curve through the three points next to them. Nothing with fewer than
// four points.
std::optional<double> leaveOneOutResidual(std::span<const SizingPoint> points, size_t i);

}  // namespace lociview
