#pragma once
// Which of the standard dye's peaks are the standard's fragments. The dye
// also holds the primer peak and dye blobs at the start, noise and
// bleed-through from other dyes, and may miss its first or last fragment
// or be weak, so no peak is taken for its rank: three peaks whose spacing
// matches three consecutive fragments start a match, which then follows
// the run's mobility fragment by fragment in both directions, each next
// fragment looked for where the two matched before it say it lies. Every
// such start is tried; the match of most fragments, then the smoothest,
// wins.
#include <cstdint>
#include <span>
#include <vector>

namespace lociview {

struct StandardCandidate {
    int32_t scan = 0;
    double height = 0.0;
    double width = 0.0;  // at half height, scans
};

struct StandardMatch {
    std::vector<int> peakOf;  // per size: the index of its peak, or -1
    int matched = 0;
    // Unmatched peaks of the fragments' height and width, apart from them:
    // many say the standard is not the one in the dye.
    int unexplained = 0;
};

// peaks ascending by scan; sizes ascending. Matched peaks ascend with the
// sizes.
StandardMatch matchStandard(std::span<const StandardCandidate> peaks, std::span<const double> sizes);

}  // namespace lociview
