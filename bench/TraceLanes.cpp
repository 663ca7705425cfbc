#include "TraceLanes.h"

#include <cmath>
#include <memory>
#include <random>
#include <string>

namespace lociview::bench {

// Scans 0.06 bp apart from 20 bp, a ladder of peaks on a noisy baseline.
std::vector<LaneData> traceLanes(int lanes, int scans) {
    std::mt19937 random(1);
    std::normal_distribution<float> noise(0.0f, 8.0f);
    std::vector<LaneData> out;
    for (int lane = 1; lane <= lanes; ++lane) {
        auto signal = std::make_shared<SizedSignal>();
        LaneData data{lane, "S" + std::to_string(lane), {}, {}, {}, {}};
        for (int i = 0; i < scans; ++i) {
            const float size = 20.0f + 0.06f * static_cast<float>(i);
            const float step = std::fmod(size - 140.0f + 100.0f, 2.0f) - 1.0f;  // a peak every 2 bp
            signal->size.push_back(size);
            signal->rfu.push_back(40.0f + noise(random) + (size > 140 && size < 170 ? 3000.0f * std::exp(-step * step * 40.0f) : 0.0f));
        }
        for (double size = 141.0; size < 170.0; size += 2.0) data.peaks.push_back({size, 3000, 30000, SCORED});
        data.signal = std::move(signal);
        out.push_back(std::move(data));
    }
    return out;
}

}  // namespace lociview::bench
