#pragma once
// What every sized trace must hold, checked by both trace fuzz targets:
// peaks inside the signal and at least as high as asked, fragments and
// sizing points rising in scan and size, and sizes given exactly inside
// the matched standard's range, rising strictly with the scan.
#include <cmath>
#include <string>

#include "FuzzSupport.h"
#include "trace/TraceSizing.h"

namespace lociview::fuzz {

inline void checkSizedTrace(const SizedTrace& t, const SizingOptions& options) {
    if (!t.problem.empty()) {
        check(t.peaks.empty() && !t.sized, "an unreadable trace has peaks");
        return;
    }
    check(t.matched >= 0 && t.matched <= t.expected, "more fragments matched than expected");
    check(t.sized == (t.sizing.size() >= kMinStandardSizes), "sized without enough fragments");
    for (size_t i = 1; i < t.fragments.size(); ++i)
        check(t.fragments[i - 1].scan < t.fragments[i].scan && t.fragments[i - 1].size < t.fragments[i].size,
              "fragments do not rise");
    for (size_t i = 1; i < t.sizing.size(); ++i)
        check(t.sizing[i - 1].scan < t.sizing[i].scan && t.sizing[i - 1].size < t.sizing[i].size,
              "sizing points do not rise");
    const int dyes = static_cast<int>(t.dyeNames.size());
    check(t.standardDye >= 0 && t.standardDye < dyes, "standard dye out of range");
    double lastSize = -HUGE_VAL;
    int lastDye = -1;
    for (const SizedPeak& p : t.peaks) {
        const CalledPeak& c = p.peak;
        check(c.dye >= 0 && c.dye < dyes && c.dye >= lastDye, "peaks not by dye");
        check(c.begin <= c.scan && c.scan <= c.end && c.begin >= 0 && c.end < t.scans, "peak outside the signal");
        check(c.height >= options.minHeight && std::isfinite(c.area) && c.width >= 0, "peak numbers wrong",
              std::to_string(c.height));
        if (c.dye != lastDye) lastSize = -HUGE_VAL;
        lastDye = c.dye;
        const bool inRange = t.sized && c.scan >= t.sizing.front().scan && c.scan <= t.sizing.back().scan;
        check(p.sized() == inRange, "sized outside the standard's range, or unsized inside it");
        if (!p.sized()) continue;
        check(p.size >= t.sizing.front().size - 1e-9 && p.size <= t.sizing.back().size + 1e-9, "size beyond the standard");
        check(p.size > lastSize, "sizes do not rise with the scan", std::to_string(p.size));
        lastSize = p.size;
    }
    if (!t.sized) return;
    const int32_t first = static_cast<int32_t>(t.sizing.front().scan), last = static_cast<int32_t>(t.sizing.back().scan);
    check(!t.sizeAt(first - 1) && !t.sizeAt(last + 1), "sized outside the standard's range");
    double previous = -HUGE_VAL;
    for (int32_t scan = first; scan <= last; ++scan) {
        const std::optional<double> size = t.sizeAt(scan);
        check(size && *size > previous, "the sizing does not rise strictly", std::to_string(scan));
        previous = *size;
    }
}

}  // namespace lociview::fuzz
