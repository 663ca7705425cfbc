#pragma once
// Names of score codes and the lines of one score decision: the developer
// log's, and the scoring log's that the user reads.
#include <cstdint>
#include <string>

#include "base/DevLog.h"

namespace lociview {

// "UNMARKED", "SCORED", "MAYBE", "DISCARDED", or the unknown-value text.
const char* stringScore(int32_t code);

// "marked allele %.2lf in lane %d as %s"
void DebugLog(LogSink& log, double size, int32_t lane, int32_t code);

// The scoring log's line for a peak, line feed included.
std::string scoringLogLine(double size, int32_t height, int32_t lane, int32_t mark);

}  // namespace lociview
