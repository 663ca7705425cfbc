#pragma once
// The parameters of a scoring run, read once from the texts of the fields,
// and the checks that refuse a run before anything of the last one is put
// back.
#include <cstdint>
#include <optional>
#include <string>

#include "base/DevLog.h"
#include "scoring/Locus.h"

namespace lociview {

// The field texts as typed.
struct ParameterTexts {
    std::string progenitor1, progenitor2, lowrange, highrange, shift, stuttertol;
    bool operator==(const ParameterTexts&) const = default;
};

struct ScoringParameters {
    int32_t locustype = 0;
    // Each bound as a number and as its leading whole number: counting uses
    // the numbers, the checks, the range filter and the counters the whole ones.
    double p1 = 0.0, p2 = 0.0;
    int32_t p1Int = 0, p2Int = 0;
    double low = 0.0, high = 0.0;
    int32_t lowInt = 0, highInt = 0;
    double shift = 0.0;
    double stutter = 0.0;       // the lane sweeps' height ratio
    float stutterCheck = 0.0f;  // the same text in single precision, as checked
    int maybesState = 0;        // the Maybes check box; on when not 0
    // "Walk the ladder for every repeat unit": off, only a di locus is walked.
    bool walkEveryLocus = false;

    bool maybes() const { return maybesState != 0; }
    // Whether the lanes are walked, and so the stutter tolerance checked.
    bool walksLadder() const { return locustype == kDiLocus || walkEveryLocus; }
};

ScoringParameters readParameters(const ParameterTexts& texts, int32_t locustype, int maybesState,
                                 bool walkEveryLocus = false);

// Why a run is refused, in the order the checks are made.
enum class ParameterProblem {
    Progenitor1BelowLow,
    Progenitor2BelowLow,
    Progenitor1AboveHigh,
    Progenitor2AboveHigh,
    RangeOfZero,
    StutterTooLow,
    ShiftTooLarge,
};

// The first check that fails (with its developer log line), or none.
std::optional<ParameterProblem> checkParameters(const ScoringParameters& p, LogSink& log);

// Progenitor 2 below progenitor 1: logs the pair and answers true.
bool progenitorsNeedSwap(const ScoringParameters& p, LogSink& log);

}  // namespace lociview
