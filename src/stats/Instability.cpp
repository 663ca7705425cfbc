#include "stats/Instability.h"

#include <algorithm>
#include <array>
#include <boost/math/distributions/students_t.hpp>
#include <cmath>
#include <limits>

#include "base/NumberText.h"
#include "model/LaneData.h"
#include "stats/NoThrowPolicy.h"

namespace lociview {

std::vector<LanePeaks> lanePeaks(const AlleleList& records, const std::vector<int32_t>& lanes,
                                 const std::vector<std::string>& samples) {
    return groupByLane<LanePeaks>(records, lanes, samples, [](const Allele& a) {
        return IndexPeak{a.getSize(), static_cast<double>(a.getHeight())};
    });
}

double thresholdValue(std::string_view text) {
    return wholeNumberValue(text).value_or(std::numeric_limits<double>::quiet_NaN());
}

std::optional<InstabilityProblem> checkInstabilitySettings(const InstabilitySettings& s) {
    using K = InstabilityProblemKind;
    if (std::isnan(s.threshold))
        return InstabilityProblem{K::ThresholdNotANumber, "The peak threshold is not a number: type a fraction of "
                                                          "the main peak's height from 0 to 1, such as 0.2."};
    if (s.threshold < 0.0 || s.threshold > 1.0)
        return InstabilityProblem{K::ThresholdOutsideRange, "The peak threshold " + shortestNumber(s.threshold) +
                                                                " lies outside 0 to 1: type a fraction of the main "
                                                                "peak's height, such as 0.2."};
    if (!(s.unit > 0.0) || !std::isfinite(s.unit))
        return InstabilityProblem{K::UnitNotPositive, "The repeat unit " + shortestNumber(s.unit) +
                                                          " is not a positive number of base pairs."};
    const bool typedSize = s.index == IndexSizeChoice::Progenitor1 || s.index == IndexSizeChoice::Typed;
    if (typedSize && !std::isfinite(s.indexSize))
        return InstabilityProblem{K::IndexSizeNotANumber, "The index size is not a number of base pairs."};
    if (s.index == IndexSizeChoice::ControlMean && s.controls.empty())
        return InstabilityProblem{K::NoControls, "No control lane is marked: the index size is the mean main-peak "
                                                 "size of the control lanes."};
    return std::nullopt;
}

namespace {

bool inRange(const IndexPeak& p, const InstabilitySettings& s) {
    return p.size >= s.low && p.size <= s.high && std::isfinite(p.height);
}

// The tallest peak in range, the first of equally tall ones; none when no
// peak lies in range.
const IndexPeak* mainPeak(const LanePeaks& lane, const InstabilitySettings& s) {
    const IndexPeak* main = nullptr;
    for (const IndexPeak& p : lane.peaks)
        if (inRange(p, s) && (!main || p.height > main->height)) main = &p;
    return main;
}

std::string_view trimmed(std::string_view text) {
    const size_t from = text.find_first_not_of(" \t");
    if (from == std::string_view::npos) return {};
    return text.substr(from, text.find_last_not_of(" \t") - from + 1);
}


// The positions of the lanes the items name, ascending; a problem names the
// first item that names no lane.
std::optional<InstabilityProblem> lanesNamed(const std::vector<LaneInstability>& lanes,
                                             const std::vector<std::string>& items, std::string_view what,
                                             std::vector<size_t>& named) {
    std::vector<bool> chosen(lanes.size(), false);
    for (const std::string& typed : items) {
        const std::string_view item = trimmed(typed);
        if (item.empty()) continue;
        // A sample name, or a lane number.
        const std::optional<double> number = wholeNumberValue(item);
        bool found = false;
        for (size_t i = 0; i < lanes.size(); ++i)
            if (item == lanes[i].sample || (number && *number == static_cast<double>(lanes[i].lane)))
                chosen[i] = found = true;
        if (!found)
            return InstabilityProblem{InstabilityProblemKind::NamesNoLane,
                                      std::string(what) + " '" + std::string(item) +
                                          "' names no lane: type a sample name or a lane number of the data set."};
    }
    named.clear();
    for (size_t i = 0; i < chosen.size(); ++i)
        if (chosen[i]) named.push_back(i);
    return std::nullopt;
}

// The sums of one pass over a lane's kept peaks, then the indices.
void computeIndices(const LanePeaks& in, const IndexPeak& main, double indexSize, const InstabilitySettings& s,
                    LaneInstability& out) {
    double heights = 0.0, expanded = 0.0, contracted = 0.0, sizes = 0.0;
    int64_t kept = 0;
    for (const IndexPeak& p : in.peaks) {
        // As a ratio: a peak whose height is exactly the typed fraction of
        // the main height rounds to the very double the fraction reads as.
        if (!inRange(p, s) || !(p.height / main.height >= s.threshold)) continue;
        const double d = p.size - indexSize;
        heights += p.height;
        sizes += p.height * p.size;
        if (d > 0.0) expanded += p.height * d;
        else if (d < 0.0) contracted -= p.height * d;
        out.distribution.push_back({p.size, p.height, d / s.unit, 0.0, &p == &main});
        ++kept;
    }
    for (KeptPeak& k : out.distribution) k.share = k.height / heights;
    const auto bySize = [](const KeptPeak& a, const KeptPeak& b) { return a.size < b.size; };
    if (!std::is_sorted(out.distribution.begin(), out.distribution.end(), bySize))
        std::stable_sort(out.distribution.begin(), out.distribution.end(), bySize);
    LaneIndices x;
    x.indexSize = indexSize;
    x.mainSize = main.size;
    x.mainChange = (main.size - indexSize) / s.unit;
    x.peaksKept = kept;
    x.expansion = expanded / heights / s.unit;
    x.contraction = contracted / heights / s.unit;
    // Defined as the difference, so the two parts always add up to it.
    x.instability = x.expansion - x.contraction;
    x.meanSize = sizes / heights;
    if (!std::isfinite(x.expansion) || !std::isfinite(x.contraction) || !std::isfinite(x.meanSize)) {
        out.distribution.clear();
        out.note = "the sizes or heights are too large to sum";
        return;
    }
    out.indices = x;
}

}  // namespace

InstabilityResult laneInstability(std::span<const LanePeaks> lanes, const InstabilitySettings& s) {
    InstabilityResult result;
    if ((result.problem = checkInstabilitySettings(s))) return result;

    std::vector<const IndexPeak*> mains(lanes.size(), nullptr);
    result.lanes.resize(lanes.size());
    for (size_t i = 0; i < lanes.size(); ++i) {
        LaneInstability& out = result.lanes[i];
        out.lane = lanes[i].lane;
        out.sample = lanes[i].sample;
        const IndexPeak* main = mainPeak(lanes[i], s);
        if (!main) {
            out.note = "no peak from " + shortestNumber(s.low) + " to " + shortestNumber(s.high) + " bp";
            continue;
        }
        out.mainSize = main->size;
        if (!(main->height > 0.0)) {
            out.note = "the main peak has height " + shortestNumber(main->height);
            continue;
        }
        mains[i] = main;
    }

    std::optional<double> indexSize;
    if (s.index == IndexSizeChoice::Progenitor1 || s.index == IndexSizeChoice::Typed) indexSize = s.indexSize;
    if (s.index == IndexSizeChoice::ControlMean) {
        std::vector<size_t> controls;
        if (auto problem = lanesNamed(result.lanes, s.controls, "The control", controls)) {
            result.lanes.clear();
            result.problem = std::move(problem);
            return result;
        }
        double sum = 0.0;
        int64_t n = 0;
        for (const size_t c : controls)
            if (mains[c]) sum += mains[c]->size, ++n;
        if (n > 0) indexSize = sum / static_cast<double>(n);
    }

    for (size_t i = 0; i < lanes.size(); ++i) {
        if (!mains[i]) continue;
        const double index = s.index == IndexSizeChoice::OwnMainPeak ? mains[i]->size : indexSize.value_or(0.0);
        if (s.index != IndexSizeChoice::OwnMainPeak && !indexSize)
            result.lanes[i].note = "no control lane has a main peak";
        else
            computeIndices(lanes[i], *mains[i], index, s, result.lanes[i]);
    }
    return result;
}

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

double upperTailQuantile(double df) {
    const boost::math::students_t_distribution<double, NoThrowPolicy> t(df);
    return boost::math::quantile(boost::math::complement(t, kTailProbability));
}

// Mean and sample variance of the values (two passes: the spread is taken
// about the mean, not from a sum of squares).
struct Moments {
    int64_t n = 0;
    double mean = kNaN;
    double variance = kNaN;
};

Moments moments(const std::vector<double>& values) {
    Moments m;
    m.n = static_cast<int64_t>(values.size());
    if (values.empty()) return m;
    double sum = 0.0;
    for (const double v : values) sum += v;
    m.mean = sum / static_cast<double>(m.n);
    if (m.n < 2) return m;
    double squares = 0.0;
    for (const double v : values) squares += (v - m.mean) * (v - m.mean);
    m.variance = squares / static_cast<double>(m.n - 1);
    return m;
}

Estimate outOfRange() { return notEstimable("the numbers are out of range"); }

IndexSummary summary(const Moments& m) {
    IndexSummary s;
    s.lanes = m.n;
    if (m.n == 0) {
        s.mean = s.sd = notEstimable("no lane with indices");
        return s;
    }
    if (!std::isfinite(m.mean)) {
        s.mean = s.sd = outOfRange();
        return s;
    }
    if (m.n == 1) {
        const std::string note = "one lane: no spread and no interval";
        s.mean = valueOnly(m.mean, note);
        s.sd = Estimate{{}, {}, {}, note};
        return s;
    }
    const double sd = std::sqrt(m.variance);
    const double half = upperTailQuantile(static_cast<double>(m.n - 1)) * sd / std::sqrt(static_cast<double>(m.n));
    if (!std::isfinite(half)) {
        s.mean = s.sd = outOfRange();
        return s;
    }
    s.mean = {m.mean, m.mean - half, m.mean + half, ""};
    s.sd = valueOnly(sd);
    return s;
}

// The group's mean less the control's with Welch's interval: the standard
// error from each group's own variance, and t on the Welch-Satterthwaite
// degrees of freedom (se^4 / sum of (v/n)^2 / (n - 1)).
void compare(IndexSummary& s, const Moments& g, const Moments& c) {
    if (g.n == 0 || c.n == 0) {
        s.difference = notEstimable(g.n == 0 ? "no lane with indices" : "no control lane with indices");
        return;
    }
    const double d = g.mean - c.mean;
    if (!std::isfinite(d)) {
        s.difference = outOfRange();
        return;
    }
    if (g.n < 2 || c.n < 2) {
        s.difference = valueOnly(d, "an interval needs two lanes in the group and two controls");
        return;
    }
    const double vg = g.variance / static_cast<double>(g.n);
    const double vc = c.variance / static_cast<double>(c.n);
    const double se2 = vg + vc;
    if (se2 == 0.0) {
        s.difference = valueOnly(d, "no spread in the group or the controls: no interval");
        return;
    }
    const double df = se2 * se2 / (vg * vg / static_cast<double>(g.n - 1) + vc * vc / static_cast<double>(c.n - 1));
    const double half = upperTailQuantile(df) * std::sqrt(se2);
    if (!std::isfinite(half)) {
        s.difference = outOfRange();
        return;
    }
    s.difference = {d, d - half, d + half, ""};
    s.welchDf = df;
}

struct GroupValues {
    std::string name;
    std::vector<size_t> members;
    std::array<Moments, std::size(kIndexParts)> parts;  // as kIndexParts
};

GroupValues valuesOf(std::string name, std::vector<size_t> members, const std::vector<LaneInstability>& lanes) {
    GroupValues g{std::move(name), std::move(members), {}};
    std::vector<double> values;
    for (size_t k = 0; k < g.parts.size(); ++k) {
        values.clear();
        for (const size_t i : g.members)
            if (const auto& x = lanes[i].indices) values.push_back((*x).*kIndexParts[k].lane);
        g.parts[k] = moments(values);
    }
    return g;
}

}  // namespace

GroupsResult groupInstability(const std::vector<LaneInstability>& lanes, const std::vector<GroupSpec>& specs,
                              const std::vector<std::string>& controls) {
    GroupsResult result;
    std::vector<GroupValues> groups;
    std::vector<size_t> every(lanes.size());
    for (size_t i = 0; i < lanes.size(); ++i) every[i] = i;
    groups.push_back(valuesOf("all", every, lanes));

    std::vector<size_t> members;
    const bool withControls = !controls.empty();
    if (withControls) {
        if ((result.problem = lanesNamed(lanes, controls, "The control", members))) return result;
        groups.push_back(valuesOf("control", members, lanes));
    }
    for (const GroupSpec& spec : specs) {
        if (!spec.members.empty()) {
            if ((result.problem = lanesNamed(lanes, spec.members, "A member of group " + spec.name, members)))
                return result;
        } else {
            members.clear();
            for (size_t i = 0; i < lanes.size(); ++i)
                if (lanes[i].sample.starts_with(spec.prefix)) members.push_back(i);
        }
        groups.push_back(valuesOf(spec.name, members, lanes));
    }

    // All lanes and the controls are no group to compare with the controls.
    const size_t firstGroup = withControls ? 2 : 1;
    for (size_t g = 0; g < groups.size(); ++g) {
        const GroupValues& v = groups[g];
        GroupInstability out;
        out.name = v.name;
        out.lanes = static_cast<int64_t>(v.members.size());
        for (size_t k = 0; k < v.parts.size(); ++k) {
            IndexSummary& part = out.*kIndexParts[k].group;
            part = summary(v.parts[k]);
            if (g < firstGroup) continue;
            if (withControls) compare(part, v.parts[k], groups[1].parts[k]);
            else part.difference = notEstimable("no control lane is marked");
        }
        result.groups.push_back(std::move(out));
    }
    return result;
}

}  // namespace lociview
