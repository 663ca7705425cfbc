#pragma once
// A controller with peaks loaded from a made-up peak table, the scoring
// parameters set in one go, and the trace of a run split into lines.
#include <algorithm>
#include <sstream>
#include <string>
#include <vector>

#include "support/ControllerHarness.h"

namespace lociview::scoringtest {

struct Peak {
    int32_t lane;
    double size;
    int32_t height;
};

struct Params {
    std::string p1 = "150", p2 = "150", low = "120", high = "180", stutter = "1.5";
    int locusColumn = 1;  // 0 mono, 1 di, 2 tri, 3 penta, -1 none
    std::string shift = "0.0";
};

struct ScoringHarness : ControllerHarness {
    void load(const std::vector<Peak>& peaks) {
        std::string text;  // lane, letter, comma, dataID, five numbers
        for (const Peak& p : peaks) text += format("%dA,1 1.0 %.4f %d 1.0 1.0\n", p.lane, p.size, p.height);
        openText(text);
    }
    // Sets the parameters, scores, and returns the trace lines of the run.
    std::vector<std::string> score(const Params& p) {
        for (auto [field, text] : {std::pair{&tk.progenitor1, p.p1}, {&tk.progenitor2, p.p2}, {&tk.lowrange, p.low},
                                   {&tk.highrange, p.high}, {&tk.stuttertol, p.stutter}, {&tk.shift, p.shift}})
            field->setText(text);
        tk.locusmatrix.select(p.locusColumn);
        takeTrace();
        controller.scoreData();
        std::vector<std::string> out;
        std::istringstream in(takeTrace());
        for (std::string line; std::getline(in, line);) out.push_back(line);
        return out;
    }
    AlleleList lane(int32_t number) const { return controller.store().getLane(number); }
};

// Lines with the given tag ("log", "alert", ...), without the tag.
inline std::vector<std::string> tagged(const std::vector<std::string>& lines, const std::string& tag) {
    std::vector<std::string> out;
    for (const auto& l : lines)
        if (l.rfind(tag + ": ", 0) == 0) out.push_back(l.substr(tag.size() + 2));
    return out;
}

inline long countOf(const std::vector<std::string>& lines, const std::string& line) {
    return std::count(lines.begin(), lines.end(), line);
}

}  // namespace lociview::scoringtest
