// Placeholder until scoring lands; delete when implementing.
#include "app/GeneController.h"
namespace lociview {
void GeneController::scoreData() {}
void GeneController::scoreAlleles() {}
void GeneController::sendTextLog(const std::string&) {}
void GeneController::markedMessageToViewedLog(double, int32_t, int32_t, int32_t) {}
bool GeneController::countAlleles(double) { return false; }
void GeneController::buildAlleleSizeList(int32_t, float) {}
void GeneController::shiftSizes() {}
void GeneController::filterRange() {}
void GeneController::mergeSplitPeaks(float) {}
void GeneController::removeSmallPeaks() {}
void GeneController::scoreLanes() {}
void GeneController::scoreLane(int32_t) {}
void GeneController::mark(const AllelePtr&, int32_t, int32_t) {}
void GeneController::summarize() {}
void GeneController::countLanes() {}
void GeneController::clearResults() {}
}  // namespace lociview
