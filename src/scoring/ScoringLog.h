#pragma once
// Names of score codes and the developer-log line of one score decision.
// The scoring log view itself is written by the controller
// (sendTextLog, markedMessageToViewedLog).
#include <cstdint>

#include "base/DevLog.h"

namespace lociview {

// "UNMARKED", "SCORED", "MAYBE", "DISCARDED", or the unknown-value text.
const char* stringScore(int32_t code);

// "marked allele %.2lf in lane %d as %s"
void DebugLog(LogSink& log, double size, int32_t lane, int32_t code);

}  // namespace lociview
