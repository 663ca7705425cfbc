#include "trace/StandardMatch.h"

#include <algorithm>
#include <cmath>

namespace lociview {

namespace {

constexpr int kSeedReach = 3;          // a start's next peak lies at most this many peaks on (noise between)
constexpr double kSeedRatio = 0.15;    // spacing ratios of peaks and sizes agree within this (as a log)
constexpr double kWindow = 0.15;       // a next fragment is looked for within this part of the gap to it,
constexpr double kWindowBp = 3.0;      // and this many bp more (GS500's 250 and 340 run a few bp off)
constexpr double kMinWindow = 3.0;     // scans
constexpr double kBlobWidth = 2.5;     // a peak this many times wider than the start's is a dye blob
constexpr double kHeightRange = 5.0;   // fragments are within this factor of the start's height
constexpr double kLikeFragment = 2.0;  // an unmatched peak this close in height and width looks like a fragment
constexpr size_t kMostCandidates = 20;   // peaks tried at most: this many and four per size
constexpr size_t kCandidatesPerSize = 4;

class Matcher {
public:
    Matcher(std::span<const StandardCandidate> peaks, std::span<const double> sizes) : peaks(peaks), sizes(sizes) {}

    StandardMatch run() {
        const int n = static_cast<int>(sizes.size()), count = static_cast<int>(peaks.size());
        StandardMatch best;
        best.peakOf.assign(sizes.size(), -1);
        if (n < 3 || count < 3) return best;
        double bestRoughness = 0.0;
        std::vector<char> seen(sizes.size() * peaks.size(), 0);
        const auto wasSeen = [&](int size, int peak) { return seen[static_cast<size_t>(size * count + peak)] != 0; };
        for (int j = 0; j + 2 < n; ++j) {
            const double sizeRatio = (size(j + 2) - size(j + 1)) / (size(j + 1) - size(j));
            for (int a = 0; a < count; ++a)
                for (int b = a + 1; b <= std::min(a + kSeedReach, count - 1); ++b)
                    for (int c = b + 1; c <= std::min(b + kSeedReach, count - 1); ++c) {
                        const double scanRatio = (scan(c) - scan(b)) / (scan(b) - scan(a));
                        if (!(std::fabs(std::log(scanRatio / sizeRatio)) <= kSeedRatio) || !alike(a, b, c)) continue;
                        // A start inside a match already followed leads to that match again.
                        if (wasSeen(j, a) && wasSeen(j + 1, b) && wasSeen(j + 2, c)) continue;
                        StandardMatch match = follow(j, a, b, c);
                        for (int k = 0; k < n; ++k)
                            if (match.peakOf[static_cast<size_t>(k)] >= 0)
                                seen[static_cast<size_t>(k * count + match.peakOf[static_cast<size_t>(k)])] = 1;
                        const double roughness = this->roughness(match);
                        if (match.matched > best.matched ||
                            (match.matched == best.matched && roughness < bestRoughness)) {
                            best = std::move(match);
                            bestRoughness = roughness;
                        }
                    }
        }
        return best;
    }

private:
    double scan(int peak) const { return peaks[static_cast<size_t>(peak)].scan; }
    double size(int index) const { return sizes[static_cast<size_t>(index)]; }

    // The best peak within `window` of `predicted`, strictly beyond
    // `limit` in the direction `step` (+1 up, -1 down), neither a blob
    // nor far from the fragments' height: near and of the fragments'
    // height wins. -1 when there is none.
    int pick(double predicted, double window, double limit, int step, double blobWidth, double height) const {
        const auto first = std::lower_bound(peaks.begin(), peaks.end(), predicted - window,
                                            [](const StandardCandidate& p, double x) { return p.scan < x; });
        int best = -1;
        double bestScore = 0.0;
        for (auto p = first; p != peaks.end() && p->scan <= predicted + window; ++p) {
            const double likeness = std::min(p->height, height) / std::max(p->height, height);
            if ((p->scan - limit) * step <= 0 || p->width > blobWidth || !(likeness >= 1 / kHeightRange)) continue;
            const double score = likeness * (1.0 - 0.5 * std::fabs(p->scan - predicted) / window);
            if (best < 0 || score > bestScore) {
                best = static_cast<int>(p - peaks.begin());
                bestScore = score;
            }
        }
        return best;
    }

    // The match that three peaks a < b < c for sizes j, j+1, j+2 start,
    // followed up and then down the sizes: each next fragment lies where
    // the line through the last two matched ones puts it.
    StandardMatch follow(int j, int a, int b, int c) const {
        const int n = static_cast<int>(sizes.size());
        StandardMatch m;
        m.peakOf.assign(sizes.size(), -1);
        const auto set = [&](int k, int peak) { m.peakOf[static_cast<size_t>(k)] = peak; };
        const auto peakOf = [&](int k) { return m.peakOf[static_cast<size_t>(k)]; };
        set(j, a), set(j + 1, b), set(j + 2, c);
        const double blobWidth = kBlobWidth * median3(a, b, c, &StandardCandidate::width);
        const double height = median3(a, b, c, &StandardCandidate::height);
        for (int step : {+1, -1}) {
            int near = step > 0 ? j + 2 : j, far = j + 1;  // the last matched fragment and the one before it
            for (int k = near + step; k >= 0 && k < n; k += step) {
                const double slope = (scan(peakOf(near)) - scan(peakOf(far))) / (size(near) - size(far));
                const double predicted = scan(peakOf(near)) + (size(k) - size(near)) * slope;
                const double window =
                    std::max(kMinWindow, kWindow * std::fabs(predicted - scan(peakOf(near))) + kWindowBp * slope);
                const int found = pick(predicted, window, scan(peakOf(near)), step, blobWidth, height);
                if (found < 0) continue;
                set(k, found);
                far = near;
                near = k;
            }
        }
        m.matched = static_cast<int>(std::count_if(m.peakOf.begin(), m.peakOf.end(), [](int p) { return p >= 0; }));
        return m;
    }

    // Fragments of one standard are of like height and width.
    bool alike(int a, int b, int c) const {
        const auto spread = [&](double StandardCandidate::*field) {
            const double x = peaks[static_cast<size_t>(a)].*field, y = peaks[static_cast<size_t>(b)].*field,
                         z = peaks[static_cast<size_t>(c)].*field;
            return std::max({x, y, z}) / std::min({x, y, z});
        };
        return spread(&StandardCandidate::height) <= kHeightRange && spread(&StandardCandidate::width) <= kBlobWidth;
    }

    double median3(int a, int b, int c, double StandardCandidate::*field) const {
        double v[] = {peaks[static_cast<size_t>(a)].*field, peaks[static_cast<size_t>(b)].*field,
                      peaks[static_cast<size_t>(c)].*field};
        std::sort(std::begin(v), std::end(v));
        return v[1];
    }

    // How far each matched fragment lies from the straight line between its
    // matched neighbours, as a part of their distance, squared and summed.
    double roughness(const StandardMatch& m) const {
        std::vector<int> matched;
        for (int k = 0; k < static_cast<int>(sizes.size()); ++k)
            if (m.peakOf[static_cast<size_t>(k)] >= 0) matched.push_back(k);
        double sum = 0.0;
        for (size_t i = 1; i + 1 < matched.size(); ++i) {
            const int lo = matched[i - 1], mid = matched[i], hi = matched[i + 1];
            const double x0 = scan(m.peakOf[static_cast<size_t>(lo)]), x1 = scan(m.peakOf[static_cast<size_t>(mid)]),
                         x2 = scan(m.peakOf[static_cast<size_t>(hi)]);
            const double line = x0 + (x2 - x0) * (size(mid) - size(lo)) / (size(hi) - size(lo));
            const double off = (x1 - line) / (x2 - x0);
            sum += off * off;
        }
        return sum;
    }

    std::span<const StandardCandidate> peaks;
    std::span<const double> sizes;
};

}  // namespace

namespace {

// The fragments are among the taller peaks: of a dye full of noise only
// the tallest are tried, so that matching stays quick. The indexes of
// the peaks kept, ascending; all of them when there are few.
std::vector<int> tallest(std::span<const StandardCandidate> peaks, size_t sizes) {
    std::vector<int> kept(peaks.size());
    for (size_t i = 0; i < kept.size(); ++i) kept[i] = static_cast<int>(i);
    const size_t most = kMostCandidates + kCandidatesPerSize * sizes;
    if (kept.size() <= most) return kept;
    std::nth_element(kept.begin(), kept.begin() + static_cast<std::ptrdiff_t>(most), kept.end(), [&](int a, int b) {
        return peaks[static_cast<size_t>(a)].height > peaks[static_cast<size_t>(b)].height;
    });
    kept.resize(most);
    std::sort(kept.begin(), kept.end());
    return kept;
}

}  // namespace

StandardMatch matchStandard(std::span<const StandardCandidate> peaks, std::span<const double> sizes) {
    const std::vector<int> kept = tallest(peaks, sizes.size());
    std::vector<StandardCandidate> tried;
    tried.reserve(kept.size());
    for (const int i : kept) tried.push_back(peaks[static_cast<size_t>(i)]);
    StandardMatch m = Matcher(tried, sizes).run();
    for (int& p : m.peakOf)
        if (p >= 0) p = kept[static_cast<size_t>(p)];
    // Peaks of the fragments' height and width that no fragment took: a
    // ladder that goes on past the standard, or another standard.
    std::vector<double> heights, widths;
    std::vector<int32_t> taken;
    for (const int p : m.peakOf)
        if (p >= 0) {
            heights.push_back(peaks[static_cast<size_t>(p)].height);
            widths.push_back(peaks[static_cast<size_t>(p)].width);
            taken.push_back(peaks[static_cast<size_t>(p)].scan);
        }
    if (heights.empty()) return m;
    const auto median = [](std::vector<double>& v) {
        std::nth_element(v.begin(), v.begin() + static_cast<std::ptrdiff_t>(v.size() / 2), v.end());
        return v[v.size() / 2];
    };
    const double height = median(heights), width = median(widths);
    const auto like = [](double value, double typical) {
        return value >= typical / kLikeFragment && value <= typical * kLikeFragment;
    };
    for (const StandardCandidate& p : peaks) {
        // A second top of a fragment is that fragment's.
        const bool near = std::any_of(taken.begin(), taken.end(),
                                      [&](int32_t scan) { return std::abs(scan - p.scan) <= width; });
        if (!near && like(p.height, height) && like(p.width, width)) ++m.unexplained;
    }
    return m;
}

}  // namespace lociview
