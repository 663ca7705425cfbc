// Placeholder until the table and chart land; delete when implementing.
#include "app/GeneController.h"
namespace lociview {
void GeneController::toggleTable() {}
void GeneController::graphSelections() {}
int32_t GeneController::numberOfRowsInTableView() const { return 0; }
CellValue GeneController::tableView(const std::string&, int32_t) const { return std::string(); }
}  // namespace lociview
