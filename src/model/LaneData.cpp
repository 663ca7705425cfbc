#include "model/LaneData.h"

#include <unordered_map>

namespace lociview {

std::vector<LaneData> lanesFromRecords(const AlleleList& records, const std::vector<int32_t>& lanes) {
    std::vector<LaneData> out(lanes.size());
    std::unordered_map<int32_t, size_t> index;
    for (size_t i = 0; i < lanes.size(); ++i) {
        out[i].lane = lanes[i];
        index.emplace(lanes[i], i);  // a lane asked twice is filled the first time
    }
    for (const AllelePtr& a : records) {
        const auto at = index.find(a->getLane());
        if (at == index.end()) continue;
        out[at->second].peaks.push_back(
            {a->getSize(), a->getHeight(), a->getArea(), a->getScore(), false, a->getKey()});
    }
    return out;
}

}  // namespace lociview
