#pragma once
// One lane as the lane view, the quality flags and the progenitor
// suggestion read it: its number and sample, its peaks with their marks,
// and for a lane sized from an instrument trace the sized signal, the size
// standard's fit and the spikes left out of the peaks. Plain values, so any
// reader (a peak table, a trace) can fill them.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "model/Allele.h"

namespace lociview {

// Kept to 24 bytes: a plate holds a hundred thousand peaks and more, and
// the view, its window and the flags each read them all.
struct LanePeak {
    double size = 0.0;      // bp
    int32_t height = 0;     // RFU
    int32_t area = 0;
    int16_t score = UNMARKED;  // the record's score code (a ScoreCode)
    bool offScale = false;     // the trace saw the detector saturate on it
    int32_t key = -1;          // the store record's key; -1 when it has none
};

// The signal of the scored dye, scan by scan: a size (NaN where the scan
// lies outside the size standard's range and has none) and a height. The
// two lists are equally long.
struct SizedSignal {
    std::vector<float> size;
    std::vector<float> rfu;
};

// One fragment of the size standard as the fit used it.
struct StandardPeak {
    int32_t scan = 0;
    double expectedSize = 0.0;  // bp, as the standard lists it
    bool matched = false;       // a peak of the standard's dye was found for it
    double residual = 0.0;      // bp: its size less what the other fragments size it at (matched and used only)
    double height = 0.0;        // RFU of the peak found (matched only)
    bool used = true;           // false for a fragment the standard leaves out of the sizing
};

// A peak of the standard's dye that no fragment was matched to.
struct StrayPeak {
    int32_t scan = 0;
    double height = 0.0;
};

struct StandardFit {
    std::string standard;                 // its name, "GS500 LIZ"
    std::string failure;                  // why no sizes were given; "" when the fit holds
    std::vector<StandardPeak> peaks;      // by expected size
    std::optional<double> worstRSquared;  // of a line through three consecutive matched peaks
    // For drawing the fit: the standard dye's signal scan by scan, and its
    // peaks that match no fragment.
    std::shared_ptr<const std::vector<float>> signal;
    std::vector<StrayPeak> stray;

    bool failed() const { return !failure.empty(); }
};

// A narrow peak at one scan in every dye, left out of the peaks.
struct Spike {
    int32_t scan = 0;
    std::optional<double> size;  // bp, where the scan is sized
};

struct LaneData {
    int32_t lane = 0;
    std::string sample;
    std::vector<LanePeak> peaks;  // in store order
    // Trace lanes only. Shared: a trace is read once and never changes, and
    // the lanes are rebuilt after every clean-up.
    std::shared_ptr<const SizedSignal> signal;
    std::optional<StandardFit> standard;
    std::vector<Spike> spikes;
};

// The records grouped by lane: each lane of the list once, in its order (a
// lane without records has no peaks), its records in the order given;
// samples[i] names lanes[i] when given.
std::vector<LaneData> lanesFromRecords(const AlleleList& records, const std::vector<int32_t>& lanes,
                                       const std::vector<std::string>& samples = {});

// The same grouping into any lane value with lane, sample and peaks, each
// peak made from its record by peakOf.
template <typename Lane, typename PeakOf>
std::vector<Lane> groupByLane(const AlleleList& records, const std::vector<int32_t>& lanes,
                              const std::vector<std::string>& samples, PeakOf peakOf) {
    std::vector<Lane> out;
    std::unordered_map<int32_t, size_t> index;
    for (size_t i = 0; i < lanes.size(); ++i)
        if (index.emplace(lanes[i], out.size()).second) {
            Lane& lane = out.emplace_back();
            lane.lane = lanes[i];
            if (i < samples.size()) lane.sample = samples[i];
        }
    // Room for a lane's share of the records up front, so most lanes' peaks
    // are one allocation: reading the records again to count them exactly
    // costs more than the few lists that still grow.
    if (!out.empty())
        for (Lane& lane : out) lane.peaks.reserve(records.size() / out.size());
    // A lane's records mostly follow one another: look a lane up only when it changes.
    int32_t lastLane = 0;
    Lane* last = nullptr;
    for (const AllelePtr& a : records) {
        if (!last || a->getLane() != lastLane) {
            lastLane = a->getLane();
            const auto at = index.find(lastLane);
            last = at == index.end() ? nullptr : &out[at->second];
        }
        if (last) last->peaks.push_back(peakOf(*a));
    }
    return out;
}

}  // namespace lociview
