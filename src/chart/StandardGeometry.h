#pragma once
// The size-standard view as numbers, in pixels: one row per trace lane,
// its standard's signal against scan with each matched fragment's peak
// labelled with its size and the peaks matched to none greyed; beside it
// the fit, size against scan, the fragments on the sizing curve, their
// residuals under it and the worst three-point R-squared. A lane whose
// standard failed, or that has none, says why in place of the plots.
#include <string>
#include <vector>

#include "chart/LaneGeometry.h"

namespace lociview {

struct StandardView {
    int32_t width = 0, height = 0;  // pixels of the whole view
    LaneStyle style;
};

// A peak of the standard's dye at its apex.
struct StandardMark {
    PixelPoint apex;
    std::string label;  // the fragment's size, "250"; "" for a peak matched to none
    bool matched = false;
    PixelPoint labelAt;  // the middle of the label's foot: above the apex, a line higher when near the one before
};

// A fragment on the fit: its scan and expected size, and its residual as a
// bar up or down from the residual strip's zero line.
struct FitPoint {
    PixelPoint at;
    double residual = 0.0;  // bp
    double barTop = 0.0, barBottom = 0.0;  // y of the residual bar
    bool used = true;  // left out of the sizing: drawn hollow, no residual
};

struct StandardPanel {
    PixelRect plot;
    std::string title;
    std::vector<AxisTick> xTicks, yTicks;  // scans along x; RFU, bp or residual bp up
};

struct StandardRow {
    size_t lane = 0;    // index into the lanes laid out
    PixelRect rect;     // the whole row
    std::string title;  // "12 A01: GS500LIZ, 16 of 16 fragments"
    std::string failure;  // in place of the plots; "" when they are drawn
    StandardPanel signal, fit, residuals;
    std::vector<std::vector<PixelPoint>> signalLines;
    std::vector<StandardMark> marks;
    std::vector<PixelPoint> curve;  // the sizing, size against scan
    std::vector<FitPoint> points;
    double zeroY = 0.0;  // the residual strip's zero
};

struct StandardFrame {
    std::vector<StandardRow> rows;
    std::string note;  // why nothing is drawn, "" otherwise
};

StandardFrame layStandards(const std::vector<LaneData>& lanes, const StandardView& view);

}  // namespace lociview
