// Placeholder until the accumulator lands; delete when implementing.
#include "app/GeneController.h"
namespace lociview {
void accumdb::reset() {}
bool accumdb::setP1(int32_t, int32_t) { return true; }
void accumdb::addAccAlle(const accumallele&) {}
void accumdb::addSize(int32_t) {}
std::vector<double> accumdb::getNumberOfRuns() const { return {}; }
int32_t accumdb::getIntNumberOfRuns() const { return 0; }
int32_t accumdb::getRepsForGE(double) const { return 0; }
std::vector<int32_t> accumdb::alleleCountsForGE(double) const { return {}; }
std::string accumdb::exportText() const { return {}; }
void GeneController::preAddToAccumulator() {}
void GeneController::addToAccumulator() {}
void GeneController::resetAccumulator() {}
void GeneController::exportSPPCRData() {}
void GeneController::exportSPPCR2() {}
void GeneController::exportAccumulatedSPPCRData() {}
}  // namespace lociview
