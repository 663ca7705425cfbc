// Placeholder until clean-up lands; delete when implementing.
#include "app/GeneController.h"
namespace lociview {
void GeneController::cleanUpWindow() {}
void GeneController::cleanUpLessThan() {}
void GeneController::cleanUpGreaterThan() {}
void GeneController::cleanUpLaneAndOrAllele() {}
void GeneController::clean(const AlleleList&, const AlleleList&) {}
void GeneController::toggleMaybes() {}
}  // namespace lociview
