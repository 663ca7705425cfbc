#pragma once
// The statistics as a person reads them in a panel or a report: each row
// with a title in plain words, its value and 95% interval with a few
// digits, and its note.
#include <string>
#include <string_view>
#include <vector>

#include "stats/StatsText.h"

namespace lociview {

struct StatLine {
    std::string title;     // "Molecules per reaction (λ)"
    std::string value;     // "2.262", or "" when there is none
    std::string interval;  // "1.697 – 2.974", "≥ 0.5069", "≤ 0.6024" or ""
    std::string note;
};

// The title of a row name of statRows; an unknown name is its own title.
std::string statTitle(std::string_view name);

// 4 significant digits, whole numbers in full, the same in every locale.
std::string displayNumber(double value);

std::vector<StatLine> statLines(const std::vector<StatRow>& rows);

}  // namespace lociview
