#include "input/TraceLanes.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <unordered_map>

#include "base/NumberText.h"
#include "input/TraceImport.h"

namespace lociview {

namespace {

std::shared_ptr<const SizedSignal> sizedSignal(const SizedTrace& t, size_t dye) {
    if (dye >= t.signals.size() || t.signals[dye].empty()) return nullptr;
    auto signal = std::make_shared<SizedSignal>();
    signal->rfu = t.signals[dye];
    const size_t scans = signal->rfu.size();
    if (t.scanSizes.size() == scans) signal->size = t.scanSizes;
    else if (t.sized) signal->size = localSouthernSizes(t.sizing, scans);
    else signal->size.assign(scans, std::numeric_limits<float>::quiet_NaN());
    return signal;
}

StandardFit standardFit(const SizedTrace& t, const std::vector<SizeStandard>& standards) {
    StandardFit fit;
    fit.standard = t.standard;
    fit.failure = t.sized ? std::string() : t.standardProblem.empty() ? "nothing was sized" : t.standardProblem;
    if (t.sized) fit.worstRSquared = t.worstRSquared;
    for (const StandardFragment& f : t.fragments)
        fit.peaks.push_back({f.scan, f.size, true, std::isfinite(f.residual) ? f.residual : 0.0, f.height, f.used});
    // The fragments the standard lists but the match did not find.
    const auto named = std::find_if(standards.begin(), standards.end(),
                                    [&](const SizeStandard& s) { return s.name == t.standard; });
    if (t.sized && named != standards.end())
        for (const double size : named->usedSizes())
            if (std::none_of(t.fragments.begin(), t.fragments.end(), [&](const StandardFragment& f) { return f.size == size; }))
                fit.peaks.push_back({0, size, false, 0.0, 0.0, true});
    std::sort(fit.peaks.begin(), fit.peaks.end(),
              [](const StandardPeak& a, const StandardPeak& b) { return a.expectedSize < b.expectedSize; });
    const auto standardDye = static_cast<size_t>(std::max(0, t.standardDye));
    if (t.standardDye >= 0 && standardDye < t.signals.size() && !t.signals[standardDye].empty())
        fit.signal = std::make_shared<const std::vector<float>>(t.signals[standardDye]);
    for (const SizedPeak& p : t.peaks)
        if (p.peak.dye == t.standardDye &&
            std::none_of(t.fragments.begin(), t.fragments.end(), [&](const StandardFragment& f) { return f.scan == p.peak.scan; }))
            fit.stray.push_back({p.peak.scan, p.peak.height});
    return fit;
}

}  // namespace

std::vector<LaneData> traceLaneParts(const std::vector<SizedTrace>& traces, char dye,
                                     const std::vector<SizeStandard>& standards) {
    std::vector<LaneData> lanes;
    lanes.reserve(traces.size());
    for (size_t i = 0; i < traces.size(); ++i) {
        const SizedTrace& t = traces[i];
        LaneData& lane = lanes.emplace_back();
        lane.lane = static_cast<int32_t>(i + 1);
        lane.sample = t.sample;
        if (!t.problem.empty()) continue;
        const int dyes = static_cast<int>(t.dyeNames.size());
        int scored = -1;
        for (int d = 0; d < dyes; ++d)
            if (traceDyeLetter(dyes, d) == dye) scored = d;
        if (scored >= 0) lane.signal = sizedSignal(t, static_cast<size_t>(scored));
        lane.standard = standardFit(t, standards);
        for (const int32_t scan : t.spikes) {
            const std::optional<double> size = t.sizeAt(scan);
            lane.spikes.push_back({scan, size && std::isfinite(*size) ? size : std::nullopt});
        }
        for (const SizedPeak& p : t.peaks)
            if (p.peak.dye == scored && p.peak.offScale && p.sized()) {
                LanePeak peak;
                peak.size = parseDouble(traceSizeText(p.size));
                peak.height = saturatingInt(parseDouble(traceHeightText(p.peak.height)));
                peak.offScale = true;
                lane.peaks.push_back(peak);
            }
    }
    return lanes;
}

void addTraceParts(std::vector<LaneData>& lanes, const std::vector<LaneData>& parts) {
    if (parts.empty()) return;
    std::unordered_map<int32_t, const LaneData*> byLane;
    for (const LaneData& part : parts) byLane.emplace(part.lane, &part);
    for (LaneData& lane : lanes) {
        const auto at = byLane.find(lane.lane);
        if (at == byLane.end()) continue;
        const LaneData& part = *at->second;
        lane.signal = part.signal;
        lane.standard = part.standard;
        lane.spikes = part.spikes;
        for (LanePeak& peak : lane.peaks)
            peak.offScale = std::any_of(part.peaks.begin(), part.peaks.end(), [&](const LanePeak& o) {
                // The records hold the size read back from its two-decimal text.
                return o.height == peak.height && std::abs(o.size - peak.size) < 0.006;
            });
    }
}

}  // namespace lociview
