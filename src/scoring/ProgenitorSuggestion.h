#pragma once
// The progenitor sizes a plate points at before anyone types them: the two
// whole sizes at which the most lanes have their tallest peak in range.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "model/LaneData.h"

namespace lociview {

struct SuggestedSize {
    int32_t size = 0;   // whole bp
    int64_t lanes = 0;  // lanes whose tallest peak in range lies within the locus tolerance of it
    bool operator==(const SuggestedSize&) const = default;
};

struct ProgenitorSuggestion {
    std::optional<SuggestedSize> p1;  // the smaller of the two sizes
    std::optional<SuggestedSize> p2;
    int64_t lanesWithPeak = 0;        // lanes with a peak in range
    std::string note;                 // why there is no P1 or no P2; "" when both are there
};

// Each lane's tallest peak strictly between low and high (the first of
// equally tall ones) is rounded to whole bp (halves away from zero); each
// such size leads the lanes whose tallest peak lies within the locus
// tolerance of it. The two sizes that lead the most lanes (of equal counts,
// the smaller size) are suggested, the smaller as P1.
ProgenitorSuggestion suggestProgenitors(const std::vector<LaneData>& lanes, double low, double high,
                                        int32_t locustype);

}  // namespace lociview
