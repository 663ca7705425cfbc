#pragma once
// The lane view as numbers, in pixels (origin top left, y down): the plot
// rectangle and its axes (size in bp, height in RFU, with nice ticks), one
// band per lane (stacked) or one plot for all (overlaid, a colour per lane),
// each peak as a narrow peak at its size and height coloured by its mark,
// trace signals cut down to a few points per pixel column, the P1, P2 and
// range lines, and the legends. The desktop view only paints a frame, and
// pointer positions come back here to find the peak under them.
#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "model/LaneData.h"

namespace lociview {

enum class LaneMode { Stacked, Overlaid };

enum class PeakMark : uint8_t { Scored, Maybe, Discarded, Unmarked };

// The mark a score code draws with (a code outside 0..3 draws unmarked).
PeakMark peakMark(int32_t score);
// "scored", "maybe", "discarded", "unmarked".
const char* peakMarkName(PeakMark mark);

struct Rgb {
    uint8_t r = 0, g = 0, b = 0;
    bool operator==(const Rgb&) const = default;
};

Rgb markColour(PeakMark mark);
// The overlaid lanes' colours, repeating after ten lanes.
Rgb laneColour(size_t index);

struct PixelPoint {
    double x = 0.0, y = 0.0;
};

struct PixelRect {
    double left = 0.0, top = 0.0, width = 0.0, height = 0.0;
    double right() const { return left + width; }
    double bottom() const { return top + height; }
    bool contains(PixelPoint p) const { return p.x >= left && p.x <= right() && p.y >= top && p.y <= bottom(); }
};

// What part of the data the view shows: sizes along x, heights up each band.
struct LaneWindow {
    double sizeLow = 0.0, sizeHigh = 500.0;
    double heightLow = 0.0, heightHigh = 1000.0;
    bool operator==(const LaneWindow&) const = default;
};

// How far a window may reach and how small it may get. No fragment is
// millions of bp long, and a window at 1e300 would leave no precision to
// place a peak; sizes past the limit are never drawn.
constexpr double kSizeLimit = 1e6;
constexpr double kMinSizeSpan = 0.05;
constexpr double kHeightLimit = 1e10;
constexpr double kMinHeightSpan = 1.0;

// The window within those limits: bounds that are not finite give the
// default window's, reversed bounds are put in order, a span too small is
// widened about its middle.
LaneWindow clampedWindow(LaneWindow window);

// The vertical lines: the progenitors and the scoring range, each drawn
// where it is set and inside the window.
struct LaneMarkers {
    std::optional<double> p1, p2, low, high;
};

// Sizes of text and spacing the painter's font gives; the defaults suit a
// 9-point font.
struct LaneStyle {
    double lineHeight = 14.0;
    double charWidth = 7.0;  // an average character, to size the legend
    double marginLeft = 64.0, marginRight = 8.0, marginTop = 8.0, marginBottom = 36.0;
    double tickSpacingX = 80.0;  // the least room between two size ticks
    double tickSpacingY = 28.0;
    double peakHalfWidth = 0.25;  // bp: a table peak's half width at its foot...
    double minPeakHalfWidth = 2.0;  // ...but never narrower than this many pixels
};

struct LaneView {
    LaneMode mode = LaneMode::Stacked;
    LaneWindow window;
    int32_t width = 0, height = 0;  // pixels of the whole view
    LaneMarkers markers;
    LaneStyle style;
    // Stacked: the least height of a band. Lanes that need more room than
    // the plot has are a stack taller than it, seen scroll pixels down;
    // 0 squeezes every band into the plot, however thin.
    double minBandHeight = 0.0;
    double scroll = 0.0;
};

// The stacked bands of a number of lanes over a plot of some height: they
// share the plot while each keeps at least the least height, else they
// are a taller stack that scrolls. Overlaid lanes are a stack of one.
struct LaneStack {
    double bandHeight = 0.0;
    double height = 0.0;  // of all bands together
    double scroll = 0.0;  // within 0 and height less the plot's
    size_t first = 0, end = 0;  // the bands in view, end one past the last
    double maxScroll(double plotHeight) const { return std::max(0.0, height - plotHeight); }
};
LaneStack laneStack(size_t lanes, double plotHeight, double minBandHeight, double scroll);
// The scroll that shows a band whole, moving the stack as little as it must.
double scrollShowing(const LaneStack& stack, double plotHeight, size_t band);

struct AxisTick {
    double value = 0.0;
    double at = 0.0;  // x for a size tick, y for a height tick
    std::string text;
};

struct LaneBand {
    size_t lane = 0;  // index into the lanes laid out
    PixelRect rect;   // stacked: the lane's strip; overlaid: the whole plot
    std::string label;  // "12 A01": lane and sample
    bool labelled = false;  // stacked bands too thin to label each are labelled one in so many
    PixelPoint labelAt;     // the text's top left
    std::vector<AxisTick> heightTicks;  // stacked bands tall enough for a scale
};

// A table's frame holds one per row, a hundred thousand and more: small
// fields keep it to 48 bytes, as laying it out and painting it run through
// all of them.
struct DrawnPeak {
    uint32_t lane = 0, peak = 0;  // indexes into the lanes laid out and the lane's peaks
    PixelPoint apex;            // y kept inside the band
    double baseY = 0.0;         // y of height 0, kept inside the band
    double halfWidth = 0.0;     // pixels
    bool outlined = true;       // a table peak; a trace's peak is only marked on its signal
    bool clipped = false;       // taller than the window: the apex stops at the band's top
    PeakMark mark = PeakMark::Unmarked;
    Rgb colour;                 // stacked: the mark's; overlaid: the lane's
};

// A table peak's outline: a bell from foot to foot through the apex.
constexpr size_t kPeakOutlinePoints = 9;
std::array<PixelPoint, kPeakOutlinePoints> peakOutline(const DrawnPeak& peak);

struct TraceLine {
    size_t lane = 0;
    Rgb colour;
    // Broken where a scan has no size or leaves the window; each keeps at
    // most two points per pixel column (the lowest and highest scan there,
    // in scan order), so the drawn line covers the full signal's pixels.
    std::vector<std::vector<PixelPoint>> polylines;
};

enum class MarkerKind { P1, P2, Low, High };

struct MarkerLine {
    MarkerKind kind = MarkerKind::P1;
    double x = 0.0;
    const char* label = "";  // "P1", "P2", "low", "high"
    Rgb colour;
    bool dashed = false;  // the range
};

struct LegendEntry {
    std::string text;
    std::optional<Rgb> swatch;  // none for the "and N more lanes" line
    PixelRect swatchRect;
    PixelPoint textAt;  // the text's top left
};

struct LaneFrame {
    LaneMode mode = LaneMode::Stacked;
    LaneWindow window;  // as laid out: clampedWindow of the view's
    PixelRect plot;
    std::vector<AxisTick> sizeTicks;
    std::vector<AxisTick> heightTicks;  // overlaid; stacked bands carry their own
    std::vector<LaneBand> bands;        // one per lane in view (all when overlaid), in the order given
    LaneStack stack;
    std::vector<TraceLine> traces;
    std::vector<DrawnPeak> peaks;
    std::vector<MarkerLine> lines;
    std::vector<LegendEntry> legend;
    PixelRect legendBox;  // empty when there is no legend
    std::string note;     // why nothing is drawn, "" otherwise

    static constexpr const char* sizeTitle = "Size (bp)";
    static constexpr const char* heightTitle = "Height (RFU)";

    double x(double size) const;
    double sizeAt(double x) const;
    // y of a height in a band, kept inside it; and back.
    // Inline: laying out a table's frame asks it for every peak.
    double y(double height, const PixelRect& band) const {
        const double up = (height - window.heightLow) / (window.heightHigh - window.heightLow) * band.height;
        return std::isnan(up) ? band.bottom() : std::clamp(band.bottom() - up, band.top, band.bottom());
    }
    double heightAt(double y, const PixelRect& band) const;
    // The band (its lane's) under a point; the plot when overlaid.
    std::optional<PixelRect> bandAt(PixelPoint p) const;
};

// A sized signal in a band of the frame, cut to its pixel columns as
// TraceLine describes.
std::vector<std::vector<PixelPoint>> traceLines(const SizedSignal& signal, const LaneFrame& frame, const PixelRect& band);

// Lays the lanes out. Anything a file can hold draws: lanes without peaks,
// heights from 0 to 2^31-1 (clipped at the window), sizes that are not
// finite (left out), a thousand lanes (thin bands, labelled one in so many,
// or a stack that scrolls: only the bands in view are laid out).
LaneFrame layLanes(const std::vector<LaneData>& lanes, const LaneView& view);

// The peak under a point: the nearest along x of those whose narrow peak,
// widened by a few pixels, holds it; of equally near ones, the shorter,
// which is drawn inside the taller.
struct PeakHit {
    size_t lane = 0, peak = 0;  // as in DrawnPeak
    int32_t laneNumber = 0;
    std::string sample;
    LanePeak value;
    PeakMark mark = PeakMark::Unmarked;
};
std::optional<PeakHit> peakAt(const LaneFrame& frame, const std::vector<LaneData>& lanes, PixelPoint point);

// "152.31 bp, 2451 RFU, area 18923; lane 12 A01; scored", for the tooltip.
std::string peakHitText(const PeakHit& hit);

// At most maxCount + 1 round values (1, 2 or 5 times a power of ten apart)
// from low to high; none for an empty or unbounded range.
std::vector<double> niceTicks(double low, double high, int64_t maxCount);

}  // namespace lociview
