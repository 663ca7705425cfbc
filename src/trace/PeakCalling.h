#pragma once
// Peaks of one dye's signal: the baseline taken off, every maximum at or
// above the minimum height called at the whole scan where the signal is
// highest. Nothing smooths the signal the peaks are found on, so peaks one
// scan apart and small maxima on a large peak's tail stay apart, as the
// instrument software calls them.
#include <cstdint>
#include <span>
#include <vector>

namespace lociview {

struct CalledPeak {
    int dye = 0;                 // 0 for the trace's first dye
    int32_t scan = 0;            // the apex
    int32_t begin = 0, end = 0;  // first and last scan, where the signal stops falling
    double height = 0.0;         // above the baseline, RFU
    double area = 0.0;           // RFU times scans, begin to end
    double width = 0.0;          // full width at half height, scans
    bool offScale = false;       // a scan listed off scale, or the signal at the channel's ceiling
};

// The signal less its baseline, times `factor` (the file's height
// normalization). The baseline follows the signal's floor: a running mean
// over 5 scans, then a running minimum and a running maximum over 51.
std::vector<float> baselineCorrected(std::span<const int16_t> signal, double factor);

// Every maximum of `corrected` at least `minHeight` high, ascending by
// scan. `raw` is the signal as read (for the ceiling), `offScale` the
// scans the file lists off scale, ascending.
std::vector<CalledPeak> callPeaks(std::span<const float> corrected, std::span<const int16_t> raw, int dye,
                                  double minHeight, std::span<const int32_t> offScale);

// Takes out spikes: a narrow peak (at most 2.5 scans at half height) at the
// same scan, give or take one, in every dye. Answers their scans.
std::vector<int32_t> removeSpikes(std::vector<std::vector<CalledPeak>>& peaksPerDye);

}  // namespace lociview
