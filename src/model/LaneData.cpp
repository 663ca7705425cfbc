#include "model/LaneData.h"

namespace lociview {

std::vector<LaneData> lanesFromRecords(const AlleleList& records, const std::vector<int32_t>& lanes,
                                       const std::vector<std::string>& samples) {
    return groupByLane<LaneData>(records, lanes, samples, [](const Allele& a) {
        return LanePeak{a.getSize(), a.getHeight(), a.getArea(), static_cast<int16_t>(a.getScore()), false, a.getKey()};
    });
}

}  // namespace lociview
