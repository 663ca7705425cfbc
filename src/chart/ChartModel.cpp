#include "chart/ChartModel.h"

#include <algorithm>
#include <cmath>

namespace lociview {

void ChartModel::setRange(int32_t newLow, int32_t newHigh) {
    if (newHigh > newLow) {
        low = newLow;
        high = newHigh;
    } else if (newHigh < newLow) {
        logf(log, "Chartview -> SetRange: Low is less than high");
    } else {
        logf(log, "Chartview -> SetRange: Low == high");
    }
}

void ChartModel::removeAllele(int32_t key) {
    const auto it = std::find_if(list.begin(), list.end(), [key](const AllelePtr& a) { return a->getKey() == key; });
    if (it != list.end()) list.erase(it);
}

int32_t ChartModel::getColumns() const {
    const int64_t span = int64_t{high} - low;
    if (locustype <= 0 || span < locustype) return 0;
    return static_cast<int32_t>(span / locustype);
}

bool ChartModel::isEven() const {
    int64_t even = 0, odd = 0;
    for (const auto& a : list) {
        const double r = std::round(a->getSize());
        if (std::fmod(r, 2.0) == 0.0) ++even; else ++odd;
    }
    return even >= odd;
}

}  // namespace lociview
