#include "scoring/ScoringLog.h"

#include "model/Allele.h"

namespace lociview {

const char* stringScore(int32_t code) {
    switch (code) {
        case UNMARKED: return "UNMARKED";
        case SCORED: return "SCORED";
        case MAYBE: return "MAYBE";
        case DISCARDED: return "DISCARDED";
        default: return "UNKNOWN VALUE PASSED TO stringScore(int x)";
    }
}

void DebugLog(LogSink& log, double size, int32_t lane, int32_t code) {
    logf(log, "marked allele %.2lf in lane %d as %s", size, lane, stringScore(code));
}

std::string scoringLogLine(double size, int32_t height, int32_t lane, int32_t mark) {
    return format("marked allele %.2lf with height %d in lane %d as %s\n", size, height, lane, stringScore(mark));
}

}  // namespace lociview
