#include "scoring/ScoringParameters.h"

#include "base/NumberText.h"
#include "scoring/AlleleCount.h"

namespace lociview {

ScoringParameters readParameters(const ParameterTexts& t, int32_t locustype, int maybesState, bool walkEveryLocus) {
    ScoringParameters p;
    p.locustype = locustype;
    p.p1 = doubleValue(t.progenitor1);
    p.p2 = doubleValue(t.progenitor2);
    p.p1Int = intValue(t.progenitor1);
    p.p2Int = intValue(t.progenitor2);
    p.low = doubleValue(t.lowrange);
    p.high = doubleValue(t.highrange);
    p.lowInt = intValue(t.lowrange);
    p.highInt = intValue(t.highrange);
    p.shift = doubleValue(t.shift);
    p.stutter = doubleValue(t.stuttertol);
    p.stutterCheck = floatValue(t.stuttertol);
    p.maybesState = maybesState;
    p.walkEveryLocus = walkEveryLocus;
    return p;
}

std::optional<ParameterProblem> checkParameters(const ScoringParameters& p, LogSink& log) {
    if (p.p1Int < p.lowInt) {
        logf(log, "%d < %d", p.p1Int, p.lowInt);
        return ParameterProblem::Progenitor1BelowLow;
    }
    if (p.p2Int < p.lowInt) {
        logf(log, "%d < %d", p.p2Int, p.lowInt);
        return ParameterProblem::Progenitor2BelowLow;
    }
    if (p.p1Int > p.highInt) {
        logf(log, "%d > %d", p.p1Int, p.highInt);
        return ParameterProblem::Progenitor1AboveHigh;
    }
    if (p.p2Int > p.highInt) {
        logf(log, "%d > %d", p.p2Int, p.highInt);
        return ParameterProblem::Progenitor2AboveHigh;
    }
    if (p.lowInt == p.highInt) {
        logf(log, "%d , %d", p.lowInt, p.highInt);
        return ParameterProblem::RangeOfZero;
    }
    if (p.walksLadder() && p.stutterCheck < 1.0f) {
        logf(log, "stutter tol = %f", static_cast<double>(p.stutterCheck));
        return ParameterProblem::StutterTooLow;
    }
    // A shift the sizes could not give back at a later run (infinite, or so
    // large that adding and taking it away loses the sizes) is refused here,
    // before the last scoring is put back, rather than silently ignored.
    if (!shiftIsSound(p.shift)) return ParameterProblem::ShiftTooLarge;
    return std::nullopt;
}

bool progenitorsNeedSwap(const ScoringParameters& p, LogSink& log) {
    if (p.p2Int >= p.p1Int) return false;
    logf(log, "%d > %d", p.p1Int, p.p2Int);
    return true;
}

}  // namespace lociview
