#pragma once
// A controller on the headless toolkit, with helpers to load peaks from
// text and to set the result lists directly.
#include <sstream>
#include <string>
#include <vector>

#include "app/GeneController.h"
#include "headless/HeadlessProgram.h"
#include "support/ScratchDir.h"

namespace lociview {

class GeneControllerTestAccess {
public:
    // Result rows made of sizes, counts and weights; a missing count or weight is 0.
    static void setAlleles(GeneController& c, const std::vector<int32_t>& sizes,
                           const std::vector<int32_t>& counts = {}, const std::vector<double>& weights = {}) {
        c.scored.scoring.alleles.clear();
        for (size_t i = 0; i < sizes.size(); ++i)
            c.scored.scoring.alleles.push_back({sizes[i], i < counts.size() ? counts[i] : 0, i < weights.size() ? weights[i] : 0.0});
    }
    static std::vector<int32_t>& tbllane(GeneController& c) { return c.scored.scoring.tbllane; }
    static int32_t& locustype(GeneController& c) { return c.scored.locustype; }
    static int32_t& numlanes(GeneController& c) { return c.dataSet.numlanes; }
    static AlleleDB& database(GeneController& c) { return c.dataSet.database; }
};

struct ControllerHarness {
    std::ostringstream trace;
    headless::HeadlessProgram program{trace};
    headless::HeadlessToolkit& tk = program.tk;
    GeneController& controller = program.controller;

    // Writes text to a temporary file and opens it through the open dialog.
    void openText(const std::string& text, const std::string& name = "peaks.txt") {
        const ScratchDir dir;
        tk.dialogs.setOpenAnswer(dir.write(name, text));
        controller.openData();
        tk.dialogs.setOpenAnswer(std::nullopt);
    }

    // Trace text written since the last call.
    std::string takeTrace() {
        std::string s = trace.str();
        trace.str("");
        return s;
    }
};

}  // namespace lociview
