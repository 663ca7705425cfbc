#include "trace/PeakCalling.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace lociview {

namespace {

constexpr int kMeanHalfWidth = 2;    // the running mean spans 5 scans
constexpr int kFloorHalfWidth = 25;  // the running minimum and maximum span 51
constexpr double kSpikeWidth = 2.5;  // scans at half height
constexpr int16_t kCeiling = std::numeric_limits<int16_t>::max();
constexpr float kFlatTop = 0.9f;     // of an off-scale top, the part this near its height is flat

// The minimum (or maximum, with `less` reversed) of each centred window of
// 2 * half + 1 values, cut at the ends; a queue of candidates keeps it
// linear in the length.
template <typename Less>
std::vector<float> runningExtreme(const std::vector<float>& in, int half, Less less) {
    const int n = static_cast<int>(in.size());
    std::vector<float> out(in.size());
    std::vector<int> queue(in.size());
    int head = 0, tail = 0;
    for (int j = 0; j < n + half; ++j) {
        if (j < n) {
            while (tail > head && !less(in[static_cast<size_t>(queue[static_cast<size_t>(tail - 1)])],
                                        in[static_cast<size_t>(j)]))
                --tail;
            queue[static_cast<size_t>(tail++)] = j;
        }
        const int i = j - half;
        if (i < 0) continue;
        while (queue[static_cast<size_t>(head)] < i - half) ++head;
        out[static_cast<size_t>(i)] = in[static_cast<size_t>(queue[static_cast<size_t>(head)])];
    }
    return out;
}

}  // namespace

std::vector<float> baselineCorrected(std::span<const int16_t> signal, double factor) {
    const size_t n = signal.size();
    std::vector<int64_t> sum(n + 1, 0);
    for (size_t i = 0; i < n; ++i) sum[i + 1] = sum[i] + signal[i];
    std::vector<float> mean(n);
    for (size_t i = 0; i < n; ++i) {
        const size_t lo = i >= kMeanHalfWidth ? i - kMeanHalfWidth : 0;
        const size_t hi = std::min(n, i + kMeanHalfWidth + 1);
        mean[i] = static_cast<float>(static_cast<double>(sum[hi] - sum[lo]) / static_cast<double>(hi - lo));
    }
    const std::vector<float> floor = runningExtreme(mean, kFloorHalfWidth, std::less<float>());
    const std::vector<float> baseline = runningExtreme(floor, kFloorHalfWidth, std::greater<float>());
    std::vector<float> out(n);
    for (size_t i = 0; i < n; ++i) out[i] = static_cast<float>((signal[i] - baseline[i]) * factor);
    return out;
}

std::vector<CalledPeak> callPeaks(std::span<const float> y, std::span<const int16_t> raw, int dye, double minHeight,
                                  std::span<const int32_t> offScale) {
    std::vector<CalledPeak> peaks;
    const int32_t n = static_cast<int32_t>(std::min(y.size(), raw.size()));
    const auto at = [&](int32_t i) { return y[static_cast<size_t>(i)]; };
    for (int32_t i = 1; i + 1 < n; ++i) {
        if (!(at(i) > at(i - 1))) continue;
        // A flat top (an off-scale plateau) is one peak, its apex in the middle.
        int32_t last = i;
        while (last + 1 < n && at(last + 1) == at(i)) ++last;
        if (last + 1 >= n || !(at(last + 1) < at(i))) {
            i = last;
            continue;
        }
        // A top clipped at the channel's ceiling is flat in the signal as read,
        // though the baseline taken off tilts it: its apex is its middle. So
        // is a top the file lists off scale (the detector's limit wobbles),
        // as far as the listed scans go and the signal stays near the top.
        int32_t first = i;
        if (raw[static_cast<size_t>(i)] == kCeiling) {
            while (first > 0 && raw[static_cast<size_t>(first - 1)] == kCeiling) --first;
            while (last + 1 < n && raw[static_cast<size_t>(last + 1)] == kCeiling) ++last;
        }
        if (const auto listed = std::lower_bound(offScale.begin(), offScale.end(), i);
            listed != offScale.end() && *listed == i) {
            auto low = listed, high = listed;
            while (low != offScale.begin() && low[-1] == low[0] - 1) --low;
            while (high + 1 != offScale.end() && high[1] == high[0] + 1 && high[1] < n) ++high;
            float top = at(i);
            for (auto s = low; s <= high; ++s) top = std::max(top, at(*s));
            const float near = kFlatTop * top;
            while (first > *low && at(first - 1) >= near) --first;
            while (last < *high && at(last + 1) >= near) ++last;
        }
        const int32_t apex = first + (last - first) / 2;
        const double height = at(apex);
        const int32_t top = last;
        i = last;
        if (!(height >= minHeight)) continue;

        CalledPeak p;
        p.dye = dye;
        p.scan = apex;
        p.height = height;
        p.begin = apex;
        while (p.begin > 0 && at(p.begin - 1) <= at(p.begin) && at(p.begin) > 0) --p.begin;
        p.end = top;
        while (p.end + 1 < n && at(p.end + 1) <= at(p.end) && at(p.end) > 0) ++p.end;
        double area = 0.0;
        bool ceiling = false;
        for (int32_t s = p.begin; s <= p.end; ++s) {
            area += std::max(0.0f, at(s));
            ceiling = ceiling || raw[static_cast<size_t>(s)] == kCeiling;
        }
        p.area = area;
        // Half height, each side interpolated between the scans around it.
        const double half = height / 2;
        double left = apex, right = top;
        while (left > p.begin && at(static_cast<int32_t>(left) - 1) > half) --left;
        if (left > p.begin) {
            const double inner = at(static_cast<int32_t>(left)), outer = at(static_cast<int32_t>(left) - 1);
            left -= (inner - half) / (inner - outer);
        }
        while (right < p.end && at(static_cast<int32_t>(right) + 1) > half) ++right;
        if (right < p.end) {
            const double inner = at(static_cast<int32_t>(right)), outer = at(static_cast<int32_t>(right) + 1);
            right += (inner - half) / (inner - outer);
        }
        p.width = right - left;
        const auto listed = std::lower_bound(offScale.begin(), offScale.end(), p.begin);
        p.offScale = ceiling || (listed != offScale.end() && *listed <= p.end);
        peaks.push_back(p);
    }
    return peaks;
}

std::vector<int32_t> removeSpikes(std::vector<std::vector<CalledPeak>>& peaksPerDye) {
    std::vector<int32_t> spikes;
    if (peaksPerDye.size() < 2) return spikes;
    // A narrow peak of the first dye is a spike when every other dye has a
    // narrow one within a scan of it.
    const auto narrowNear = [](const std::vector<CalledPeak>& peaks, int32_t scan) {
        const auto it = std::lower_bound(peaks.begin(), peaks.end(), scan - 1,
                                         [](const CalledPeak& p, int32_t s) { return p.scan < s; });
        for (auto p = it; p != peaks.end() && p->scan <= scan + 1; ++p)
            if (p->width <= kSpikeWidth) return true;
        return false;
    };
    for (const CalledPeak& p : peaksPerDye.front()) {
        if (p.width > kSpikeWidth) continue;
        if (std::all_of(peaksPerDye.begin() + 1, peaksPerDye.end(),
                        [&](const std::vector<CalledPeak>& peaks) { return narrowNear(peaks, p.scan); }))
            spikes.push_back(p.scan);
    }
    for (std::vector<CalledPeak>& peaks : peaksPerDye)
        std::erase_if(peaks, [&](const CalledPeak& p) {
            if (p.width > kSpikeWidth) return false;
            const auto it = std::lower_bound(spikes.begin(), spikes.end(), p.scan - 1);
            return it != spikes.end() && *it <= p.scan + 1;
        });
    return spikes;
}

}  // namespace lociview
