#pragma once
// The controller on a headless toolkit, wired once: the results table
// counts its rows from the controller. The script player, batch scoring
// and the tests all start from this.
#include <utility>

#include "app/GeneController.h"
#include "headless/HeadlessToolkit.h"

namespace lociview::headless {

struct HeadlessProgram {
    // Takes HeadlessToolkit's arguments.
    template <class... ToolkitArgs>
    explicit HeadlessProgram(ToolkitArgs&&... args) : tk(std::forward<ToolkitArgs>(args)...), controller(tk.outlets()) {
        tk.tabl.setRowCount([this] { return controller.numberOfRowsInTableView(); });
    }
    HeadlessProgram(const HeadlessProgram&) = delete;
    HeadlessProgram& operator=(const HeadlessProgram&) = delete;

    HeadlessToolkit tk;
    GeneController controller;
};

}  // namespace lociview::headless
