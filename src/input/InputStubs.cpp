// Placeholder until the reader lands; delete when implementing.
#include "app/GeneController.h"
namespace lociview {
void GeneController::openFile(const std::string&) {}
void GeneController::openFileBytes(std::string_view) {}
void GeneController::convertDataTextToDataData() {}
}  // namespace lociview
