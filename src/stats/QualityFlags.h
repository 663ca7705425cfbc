#pragma once
// Which lanes to distrust and why: saturated or weak signal, a tallest peak
// the range leaves out, more alleles than the run's molecules per reaction
// make likely, and for traces a failed or poor size standard and spikes.
// Read from the lanes' values; flags never change scoring or the counters.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "model/LaneData.h"

namespace lociview {

enum class QualityFlagKind { OffScale, LowSignal, OutsideRange, ImprobableAlleles, StandardFailed, StandardPoor, Spike };

// "off-scale", "low-signal", "outside-range", "improbable-alleles",
// "standard-failed", "standard-poor", "spike".
const char* qualityFlagName(QualityFlagKind kind);

struct QualityFlag {
    int32_t lane = 0;
    std::string sample;
    QualityFlagKind kind = QualityFlagKind::OffScale;
    std::string detail;  // why, with the numbers: "tallest peak 85 RFU at 152.31 bp, below 100 RFU"
    bool operator==(const QualityFlag&) const = default;
};

struct QualityLevels {
    double saturation = 30000.0;  // RFU: a peak this tall has saturated the detector
    double lowSignal = 100.0;     // RFU: a tallest peak in range below this is weak
    double poorFit = 0.998;       // the worst three-point R-squared a standard may have
    double improbable = 0.01;     // P(X >= k) below this makes k alleles improbable
};

struct QualityInput {
    // The scoring range; a peak is in it when strictly between.
    double low = 0.0;
    double high = 0.0;
    QualityLevels levels;
    // The scores are a scoring run's: improbable-alleles is looked for, with
    // maybes counted as alleles when the Maybes switch is on.
    bool scored = false;
    bool withMaybes = false;
};

// The flags of every lane, lane by lane in the order given, each lane's in
// the order of QualityFlagKind. Give each lane all its peaks (the store's
// backup list, with the scores): outside-range looks at peaks the range
// filter took out. Peaks without a finite size are not read.
std::vector<QualityFlag> qualityFlags(const std::vector<LaneData>& lanes, const QualityInput& input);

// A level in RFU as typed: one plain number, finite, not negative; nothing
// for any other text.
std::optional<double> rfuLevel(std::string_view text);

// A lane's flags as one text, "off-scale: DETAIL; spike: DETAIL"; "" for a
// lane without any.
std::string laneFlagsText(const std::vector<QualityFlag>& flags, int32_t lane);

}  // namespace lociview
