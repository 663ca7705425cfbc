#pragma once
// Repeat instability of bulk PCR: per lane, the distribution of peak heights
// around the main allele summed into the instability index and its expansion
// and contraction parts, in repeat units from an index size; across lanes,
// their mean with a t interval, per group of lanes, and each group's
// difference from the control lanes.
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "model/Allele.h"
#include "stats/Estimate.h"

namespace lociview {

// One peak of a lane as the indices read it.
struct IndexPeak {
    double size = 0.0;    // bp, after the shift
    double height = 0.0;
};

// One lane (sample) of the data set with its peaks of the scored dye.
struct LanePeaks {
    int32_t lane = 0;
    std::string sample;  // "" when the data set names none
    std::vector<IndexPeak> peaks;
};

// The lanes of the list (each once, in its order) with their peaks among
// the records (groupByLane); samples[i] names lanes[i] when given.
std::vector<LanePeaks> lanePeaks(const AlleleList& records, const std::vector<int32_t>& lanes,
                                 const std::vector<std::string>& samples = {});

// What the repeat change of a peak is counted from.
enum class IndexSizeChoice {
    OwnMainPeak,  // each lane's own main peak
    Progenitor1,  // the progenitor P1 (indexSize)
    Typed,        // a size the user typed (indexSize)
    ControlMean,  // the mean main-peak size of the control lanes
};

inline constexpr double kDefaultPeakThreshold = 0.2;

struct InstabilitySettings {
    double low = 0.0;  // the peaks from low to high, both kept
    double high = 0.0;
    IndexSizeChoice index = IndexSizeChoice::OwnMainPeak;
    double indexSize = 0.0;  // bp, for Progenitor1 and Typed
    double threshold = kDefaultPeakThreshold;  // of the main height; NaN when the text was no number
    double unit = 0.0;                         // bp per repeat: the locus step or a typed unit
    // Control lanes, each a sample name or a lane number as typed: the index
    // size of ControlMean, and the group the other groups are compared with.
    std::vector<std::string> controls;
};

enum class InstabilityProblemKind {
    ThresholdNotANumber,
    ThresholdOutsideRange,
    UnitNotPositive,
    IndexSizeNotANumber,
    NoControls,
    NamesNoLane,
};

struct InstabilityProblem {
    InstabilityProblemKind kind;
    std::string message;  // in plain words, naming the value at fault
};

// A threshold text read whole: the number, or NaN when the text (blanks
// around it aside) is not one number.
double thresholdValue(std::string_view text);

// Why the settings cannot give indices, or none; checked before any lane.
std::optional<InstabilityProblem> checkInstabilitySettings(const InstabilitySettings& settings);

// One kept peak: its place in the lane's distribution.
struct KeptPeak {
    double size = 0.0;
    double height = 0.0;
    double change = 0.0;  // repeat units from the index size
    double share = 0.0;   // p: height over the sum of kept heights
    bool main = false;
};

struct LaneIndices {
    double indexSize = 0.0;
    double mainSize = 0.0;
    double mainChange = 0.0;  // repeat units from the index size
    int64_t peaksKept = 0;
    double instability = 0.0;  // expansion - contraction
    double expansion = 0.0;
    double contraction = 0.0;
    double meanSize = 0.0;  // height-weighted over the kept peaks
};

struct LaneInstability {
    int32_t lane = 0;
    std::string sample;
    std::optional<double> mainSize;  // also when the indices are missing for want of an index size
    std::optional<LaneIndices> indices;
    std::vector<KeptPeak> distribution;  // ascending size, the main peak marked
    std::string note;                    // why indices are missing; "" otherwise
};

struct InstabilityResult {
    std::vector<LaneInstability> lanes;
    std::optional<InstabilityProblem> problem;  // set: no lane was computed
};

// The indices of every lane, in the order given.
InstabilityResult laneInstability(std::span<const LanePeaks> lanes, const InstabilitySettings& settings);

// Lanes grouped by a sample-name prefix, or by a typed list of sample names
// and lane numbers (members, when not empty).
struct GroupSpec {
    std::string name;
    std::string prefix;
    std::vector<std::string> members;
};

// One index over the lanes of a group that have it.
struct IndexSummary {
    int64_t lanes = 0;
    Estimate mean;  // with its 95% t interval
    Estimate sd;    // sample standard deviation (n - 1)
    // The group's mean less the control group's, with Welch's 95% interval
    // (t on the Welch-Satterthwaite degrees of freedom); missing for the
    // lanes as a whole, the controls and any group when no control is marked.
    Estimate difference;
    std::optional<double> welchDf;
};

struct GroupInstability {
    std::string name;  // "all", "control", or the group's own
    int64_t lanes = 0;  // lanes in the group, with indices or not
    IndexSummary instability;
    IndexSummary expansion;
    IndexSummary contraction;
};

// The three indices, by the name tables give them, in a lane and in a group.
struct IndexPart {
    const char* name;
    double LaneIndices::*lane;
    IndexSummary GroupInstability::*group;
};
inline constexpr IndexPart kIndexParts[] = {
    {"instability", &LaneIndices::instability, &GroupInstability::instability},
    {"expansion", &LaneIndices::expansion, &GroupInstability::expansion},
    {"contraction", &LaneIndices::contraction, &GroupInstability::contraction},
};

struct GroupsResult {
    std::vector<GroupInstability> groups;  // all, control (when marked), then the groups in order
    std::optional<InstabilityProblem> problem;
};

GroupsResult groupInstability(const std::vector<LaneInstability>& lanes, const std::vector<GroupSpec>& groups,
                              const std::vector<std::string>& controls);

}  // namespace lociview
