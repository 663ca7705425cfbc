#include "stats/QualityFlags.h"

#include <boost/math/distributions/poisson.hpp>
#include <charconv>
#include <cmath>
#include <limits>

#include "base/NumberText.h"
#include "stats/LaneStatistics.h"
#include "stats/NoThrowPolicy.h"
#include "stats/StatsText.h"

namespace lociview {

namespace {

bool inRange(const LanePeak& p, const QualityInput& in) { return p.size > in.low && p.size < in.high; }

// What the flags read of a lane's peaks, in one pass: a table's lanes hold a
// hundred thousand peaks and more. Each tallest is the first of the tallest
// with a finite size; none when there is none.
struct LaneTops {
    int64_t alleles = 0;    // in range and scored (or maybe, when maybes count)
    int64_t saturated = 0;  // in range, at the saturation level or off scale
    const LanePeak* tallestSaturated = nullptr;
    const LanePeak* tallestInRange = nullptr;
    const LanePeak* tallest = nullptr;
};

LaneTops laneTops(const LaneData& lane, const QualityInput& in) {
    LaneTops t;
    // Each tallest's height at hand, below any peak's until one is found.
    constexpr int64_t none = std::numeric_limits<int64_t>::min();
    int64_t tallest = none, tallestInRange = none, tallestSaturated = none;
    for (const LanePeak& p : lane.peaks) {
        const bool range = inRange(p, in);
        if (range && (p.score == SCORED || (in.withMaybes && p.score == MAYBE))) ++t.alleles;
        if (!std::isfinite(p.size)) continue;
        if (p.height > tallest) {
            tallest = p.height;
            t.tallest = &p;
        }
        if (!range) continue;
        if (p.height > tallestInRange) {
            tallestInRange = p.height;
            t.tallestInRange = &p;
        }
        if (p.offScale || p.height >= in.levels.saturation) {
            ++t.saturated;
            if (p.height > tallestSaturated) {
                tallestSaturated = p.height;
                t.tallestSaturated = &p;
            }
        }
    }
    return t;
}

std::string peakText(const LanePeak& p) { return std::to_string(p.height) + " RFU at " + fixedText(p.size, 2) + " bp"; }

std::string plural(int64_t n, const char* one, const char* many) { return std::to_string(n) + " " + (n == 1 ? one : many); }

std::string spikeText(const Spike& s) {
    return std::to_string(s.scan) + (s.size ? " (" + fixedText(*s.size, 2) + " bp)" : "");
}

// P(X >= k) under Poisson(lambda). A lambda of 0 (every lane empty) never
// meets a k above 0.
double atLeast(int64_t k, double lambda) {
    if (k <= 0) return 1.0;
    const boost::math::poisson_distribution<double, NoThrowPolicy> poisson(lambda);
    return boost::math::cdf(boost::math::complement(poisson, static_cast<double>(k - 1)));
}

}  // namespace

const char* qualityFlagName(QualityFlagKind kind) {
    switch (kind) {
        case QualityFlagKind::OffScale: return "off-scale";
        case QualityFlagKind::LowSignal: return "low-signal";
        case QualityFlagKind::OutsideRange: return "outside-range";
        case QualityFlagKind::ImprobableAlleles: return "improbable-alleles";
        case QualityFlagKind::StandardFailed: return "standard-failed";
        case QualityFlagKind::StandardPoor: return "standard-poor";
        case QualityFlagKind::Spike: break;
    }
    return "spike";
}

std::vector<QualityFlag> qualityFlags(const std::vector<LaneData>& lanes, const QualityInput& in) {
    const QualityLevels& levels = in.levels;
    // Molecules per reaction from the run's empty lanes, as the statistics
    // have it; no empty lane leaves nothing improbable.
    std::vector<LaneTops> tops;
    tops.reserve(lanes.size());
    LaneCounts counts;
    for (const LaneData& lane : lanes) {
        const int64_t alleles = tops.emplace_back(laneTops(lane, in)).alleles;
        ++counts.lanes;
        ++(alleles == 0 ? counts.empty : alleles == 1 ? counts.one : counts.twoOrMore);
    }
    const Estimate lambda = moleculesPerReaction(counts);

    std::vector<QualityFlag> flags;
    for (size_t i = 0; i < lanes.size(); ++i) {
        const LaneData& lane = lanes[i];
        auto flag = [&](QualityFlagKind kind, std::string detail) {
            flags.push_back({lane.lane, lane.sample, kind, std::move(detail)});
        };

        const LaneTops& t = tops[i];
        if (const LanePeak* top = t.tallestSaturated)
            flag(QualityFlagKind::OffScale, plural(t.saturated, "peak", "peaks") + " in range at or above " +
                                                statNumber(levels.saturation) + " RFU or off scale, the tallest " +
                                                peakText(*top));

        const LanePeak* topInRange = t.tallestInRange;
        if (topInRange && topInRange->height < levels.lowSignal)
            flag(QualityFlagKind::LowSignal,
                 "tallest peak in range " + peakText(*topInRange) + ", below " + statNumber(levels.lowSignal) + " RFU");

        const LanePeak* top = t.tallest;
        if (top && !inRange(*top, in))
            flag(QualityFlagKind::OutsideRange, "tallest peak " + peakText(*top) + ", outside " + statNumber(in.low) +
                                                    ".." + statNumber(in.high) + " bp");

        if (in.scored && lambda.estimable()) {
            const double p = atLeast(t.alleles, *lambda.value);
            if (p < levels.improbable)
                flag(QualityFlagKind::ImprobableAlleles,
                     plural(t.alleles, "allele", "alleles") + " where the empty lanes give " +
                         statNumber(*lambda.value, 3) + " molecules per reaction: P(X >= " +
                         std::to_string(t.alleles) + ") = " + statNumber(p, 2));
        }

        if (const std::optional<StandardFit>& fit = lane.standard) {
            const std::string name = fit->standard.empty() ? "" : fit->standard + ": ";
            if (fit->failed())  // a failure that names its standard needs no name before it
                flag(QualityFlagKind::StandardFailed,
                     (fit->failure.find(fit->standard) == std::string::npos ? name : "") + fit->failure);
            else if (fit->worstRSquared && *fit->worstRSquared < levels.poorFit)
                flag(QualityFlagKind::StandardPoor, name + "worst three-point R-squared " +
                                                        statNumber(*fit->worstRSquared, 6) + ", below " +
                                                        statNumber(levels.poorFit));
        }

        if (!lane.spikes.empty()) {
            std::string scans;
            for (const Spike& s : lane.spikes) scans += (scans.empty() ? "" : ", ") + spikeText(s);
            flag(QualityFlagKind::Spike, plural(static_cast<int64_t>(lane.spikes.size()), "spike", "spikes") +
                                             " left out, at scan" + (lane.spikes.size() == 1 ? " " : "s ") + scans);
        }
    }
    return flags;
}

std::optional<double> rfuLevel(std::string_view text) {
    double value = 0.0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || ec != std::errc() || end != text.data() + text.size() || !std::isfinite(value) || value < 0.0)
        return std::nullopt;
    return value;
}

std::string laneFlagsText(const std::vector<QualityFlag>& flags, int32_t lane) {
    std::string text;
    for (const QualityFlag& f : flags)
        if (f.lane == lane) text += (text.empty() ? "" : "; ") + std::string(qualityFlagName(f.kind)) + ": " + f.detail;
    return text;
}

}  // namespace lociview
