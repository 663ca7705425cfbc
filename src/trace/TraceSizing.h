#pragma once
// From the bytes of a trace file to its peaks in every dye, sized against
// the size standard, with what the user needs to judge the sizing: which
// standard, how many of its fragments were found, how well they fit, and
// messages that name the file. Many files are sized side by side on all
// cores.
#include <cmath>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "trace/LocalSouthern.h"
#include "trace/PeakCalling.h"
#include "trace/SizeStandard.h"
#include "trace/Trace.h"

namespace lociview {

struct SizingOptions {
    double minHeight = 50.0;  // RFU, after the file's height normalization
    // The standard the user chose; without one, the one the file's StdF
    // names when it fits, else the one of `standards` that fits best.
    std::optional<SizeStandard> standard;
    std::optional<int> standardDye;  // 0 for the first dye; without one, the last dye
    std::vector<SizeStandard> standards = builtInStandards();  // the user's own added
    bool keepSignals = true;  // keep each dye's signal above its baseline (for drawing)
};

// A fragment of the standard found among the standard dye's peaks.
struct StandardFragment {
    double size = 0.0;
    int32_t scan = 0;
    double height = 0.0;
    bool used = true;        // false for a fragment the standard leaves out of the sizing
    double residual = NAN;   // bp: its size less what the other fragments size it at
};

struct SizedPeak {
    CalledPeak peak;
    double size = NAN;  // NaN outside the matched standard's range, or when it could not be matched
    bool sized() const { return !std::isnan(size); }
};

struct SizedTrace {
    std::string file;
    std::string problem;  // the file cannot be read (a sentence naming it); nothing else is set

    std::string sample;   // SpNm, else the file's name without folders and extension
    std::string well, instrument, model, runStarted;
    std::string storedStandard;  // StdF as the file has it
    std::vector<std::string> dyeNames;
    double normalization = 1.0;
    int32_t scans = 0;

    int standardDye = -1;      // 0 for the first dye
    std::string standard;      // the name of the standard tried, or sized with
    int expected = 0;          // its fragments used for sizing
    int matched = 0;           // of those, the ones found
    double worstRSquared = NAN;
    bool sized = false;        // the standard was matched: peaks in its range have sizes
    std::vector<StandardFragment> fragments;  // found, ascending
    std::vector<SizingPoint> sizing;          // the used fragments: scan to size
    int standardPeaks = 0;     // peaks the standard dye has at the height matching looks at
    std::string standardProblem;  // why nothing is sized, without the file's name; "" when sized

    std::vector<SizedPeak> peaks;  // every dye, the standard's too; by dye, then scan
    std::vector<int32_t> spikes;   // scans of spikes left out
    std::vector<std::vector<float>> signals;  // per dye, above the baseline (with keepSignals)
    std::vector<float> scanSizes;  // with keepSignals, once sized: each scan's size, NaN where none
    std::vector<InstrumentPeak> instrumentPeaks;
    std::vector<std::string> messages;  // each names the file

    bool poorFit() const { return sized && worstRSquared < kPoorFitRSquared; }
    // The size of a scan (any scan, for drawing); nothing outside the standard's range.
    std::optional<double> sizeAt(double scan) const;
};

// Share of the expected fragments a standard must match, and the least
// number: below them the standard fails and nothing is sized.
inline constexpr double kMatchedShare = 3.0 / 4.0;

// Reads, calls, matches and sizes one file. Never throws.
SizedTrace sizeTrace(std::string_view bytes, std::string_view fileName, const SizingOptions& options);

struct TraceSource {
    std::string name;
    std::string_view bytes;
};

// sizeTrace of every file, spread over the machine's cores (at most
// `threads` when given); the results in the order of the files.
std::vector<SizedTrace> sizeTraces(std::span<const TraceSource> files, const SizingOptions& options,
                                   unsigned threads = 0);

// The file's name without folders and extension.
std::string fileStem(std::string_view name);

}  // namespace lociview
