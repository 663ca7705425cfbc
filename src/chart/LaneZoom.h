#pragma once
// Moving the lane view's window: the whole data (reset), the wheel's zoom
// about the pointer, a rubber band, and a drag. Each takes the frame on
// screen, whose plot and bands turn pixels into sizes and heights, and
// returns the next window, within the limits of clampedWindow; a frame
// without a plot (a view too small) leaves the window as it was.
#include <vector>

#include "chart/LaneGeometry.h"

namespace lociview {

// Every finite size within the limits (peaks, sized scans and the marker
// lines) with a margin, and heights from 0 (or the lowest below it) to a
// little above the tallest; the default window when there is nothing.
LaneWindow fullWindow(const std::vector<LaneData>& lanes, const LaneMarkers& markers);

// Sizes zoomed by factor (above 1 in, below 1 out) about the size under x,
// which stays where it is.
LaneWindow zoomSizes(const LaneFrame& frame, double x, double factor);

// Heights zoomed by factor, the bottom of the window kept (small peaks grow
// from the baseline).
LaneWindow zoomHeights(const LaneFrame& frame, double factor);

// The sizes between the corners' x; and their heights too when both corners
// lie in one band (always, overlaid). A band under kMinRubberBand pixels
// wide leaves the window as it was, and one as flat keeps the heights.
constexpr double kMinRubberBand = 4.0;
LaneWindow zoomToRect(const LaneFrame& frame, PixelPoint corner, PixelPoint opposite);

// The window moved so the data follows a drag of dx, dy pixels, stopping
// at the limits.
LaneWindow panBy(const LaneFrame& frame, double dx, double dy);

}  // namespace lociview
