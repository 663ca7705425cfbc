#pragma once
// One frame of the chart as numbers: label anchors and texts, each curve's
// centre, height, colour and vertices, and the axis line. The GL view draws
// exactly this, and the headless front end prints it.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "chart/ChartModel.h"

namespace lociview {

enum class CurveColour { Black, Grey };

// "black" or "grey", as the headless trace prints a colour.
const char* colourName(CurveColour colour);

// The 8-bit RGB a colour is drawn with (the same value on all three channels).
uint8_t colourLevel(CurveColour colour);

struct ChartVertex {
    double x;
    double y;
};

struct ChartLabel {
    std::string text;  // the size, "%d"
    double x;          // anchor, k * pitch; the text runs upward from it
};

struct ChartCurve {
    int32_t key;
    double x0;          // centre in the drawing area
    int32_t amplitude;  // A: height relative to the tallest peak, out of 1000
    double width;       // W: the curve spans x0 - W/2 .. x0 + W/2
    double spread;      // S
    CurveColour colour;
    std::vector<ChartVertex> vertices;  // in the curve's own frame (x0, curveBase)
};

struct ChartFrame {
    double pitch = 0.0;     // p, the distance between two labelled columns
    int64_t columns = 0;    // N, labelled columns the range asks for
    std::vector<ChartLabel> labels;
    std::vector<ChartCurve> curves;
    std::optional<CurveColour> axis;  // absent on an empty chart

    bool empty() const { return curves.empty(); }
};

// What a frame is computed from: two equal inputs give equal frames, so a
// view need not draw again a frame it shows already.
struct ChartInputs {
    struct Peak {
        int32_t key;
        double size;
        int32_t height;
        int32_t score;
        bool operator==(const Peak&) const = default;
    };
    int32_t low = 0;
    int32_t high = 0;
    int8_t maybes = 0;
    std::vector<Peak> peaks;
    bool operator==(const ChartInputs&) const = default;
};

class ChartGeometry {
public:
    // The fixed drawing area, whatever the size of the view on screen.
    static constexpr double areaWidth = 800.0;
    static constexpr double areaHeight = 600.0;
    static constexpr double axisY = 80.0;
    static constexpr double curveBase = 30.0;    // curves are translated up by this
    static constexpr double labelBase = 10.0;    // labels are translated up by this
    static constexpr double curveFloor = 50.0;   // y of a curve's foot in its own frame
    static constexpr float labelSize = 1.5f;
    static constexpr int labelPrintX = 10;
    static constexpr int labelPrintY = 100;

    // Labels past this count always lie right of the drawing area: the pitch
    // is more than 1 unit, so label k's text starts beyond x = 800 once
    // k * pitch - 24 >= 800. The range comes from typed fields and may span
    // billions of base pairs; capping keeps every frame small.
    static constexpr int64_t maxLabels = 1024;

    // Computes the next frame. Applies the parity step first, which may
    // raise the model's low bound by one and leaves it raised.
    static ChartFrame frame(ChartModel& model);

    // What the next frame will be computed from, after the parity step
    // frame() applies (which may raise low, as drawing the frame would).
    static ChartInputs inputs(ChartModel& model);

    // The curve of one peak, given the frame's low bound, pitch, columns
    // and tallest height.
    static ChartCurve curve(const Allele& peak, int32_t low, double pitch, int64_t columns, double tallest,
                            bool maybes);

private:
    static void applyParity(ChartModel& model);
};

}  // namespace lociview
