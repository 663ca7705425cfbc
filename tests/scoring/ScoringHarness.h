#pragma once
// A controller with peaks loaded from a made-up peak table, and helpers to
// set the scoring parameters and read back the trace.
#include <algorithm>
#include <cstdint>
#include <sstream>
#include <string>
#include <vector>

#include "app/DevLog.h"
#include "support/ControllerHarness.h"

namespace lociview::scoringtest {

struct Peak {
    int32_t lane;
    double size;
    int32_t height;
};

// One peak-table line per peak: lane, letter, comma, dataID, five numbers.
inline std::string peakTable(const std::vector<Peak>& peaks) {
    std::string text;
    for (const Peak& p : peaks) text += format("%dA,1 1.0 %.4f %d 1.0 1.0\n", p.lane, p.size, p.height);
    return text;
}

struct Params {
    std::string p1 = "150", p2 = "150", low = "120", high = "180", stutter = "1.5", shift = "0.0";
    int locusColumn = 1;  // di
};

struct ScoringHarness : ControllerHarness {
    void load(const std::vector<Peak>& peaks) {
        openText(peakTable(peaks));
        takeTrace();
    }

    void set(const Params& p) {
        tk.progenitor1.setText(p.p1);
        tk.progenitor2.setText(p.p2);
        tk.lowrange.setText(p.low);
        tk.highrange.setText(p.high);
        tk.stuttertol.setText(p.stutter);
        tk.shift.setText(p.shift);
        tk.locusmatrix.select(p.locusColumn);
    }

    // Scores and returns the trace lines written meanwhile.
    std::vector<std::string> score() {
        takeTrace();
        controller.scoreData();
        return lines(takeTrace());
    }

    static std::vector<std::string> lines(const std::string& text) {
        std::vector<std::string> out;
        std::istringstream in(text);
        for (std::string line; std::getline(in, line);) out.push_back(line);
        return out;
    }

    // Working-list records of one lane, as (size, height, score).
    AlleleList lane(int32_t number) const { return controller.store().getLane(number); }
};

inline bool has(const std::vector<std::string>& lines, const std::string& line) {
    return std::find(lines.begin(), lines.end(), line) != lines.end();
}

inline long countOf(const std::vector<std::string>& lines, const std::string& line) {
    return std::count(lines.begin(), lines.end(), line);
}

// Lines with the given tag ("log", "alert", ...), without the tag.
inline std::vector<std::string> tagged(const std::vector<std::string>& lines, const std::string& tag) {
    std::vector<std::string> out;
    const std::string prefix = tag + ": ";
    for (const auto& l : lines)
        if (l.rfind(prefix, 0) == 0) out.push_back(l.substr(prefix.size()));
    return out;
}

}  // namespace lociview::scoringtest
