#include "model/LaneData.h"

#include <unordered_map>

namespace lociview {

std::vector<LaneData> lanesFromRecords(const AlleleList& records, const std::vector<int32_t>& lanes,
                                       const std::vector<std::string>& samples) {
    std::vector<LaneData> out;
    std::unordered_map<int32_t, size_t> index;
    for (size_t i = 0; i < lanes.size(); ++i)
        if (index.emplace(lanes[i], out.size()).second)
            out.push_back({lanes[i], i < samples.size() ? samples[i] : std::string(), {}, {}, {}, {}});
    for (const AllelePtr& a : records) {
        const auto at = index.find(a->getLane());
        if (at == index.end()) continue;
        out[at->second].peaks.push_back(
            {a->getSize(), a->getHeight(), a->getArea(), a->getScore(), false, a->getKey()});
    }
    return out;
}

}  // namespace lociview
