#pragma once
// The statistics as named rows and the printed TSV forms of the rows and of
// the allele spectrum, shared by the command line and the desktop panel.
#include <string>
#include <vector>

#include "stats/RunStatistics.h"

namespace lociview {

// One line of the statistics: a stable snake_case name and its estimate.
struct StatRow {
    std::string name;
    Estimate estimate;
};

std::vector<StatRow> statRows(const RunStatistics& stats);
std::vector<StatRow> statRows(const AccumulatedStatistics& stats);

// "name\tvalue\tlower\tupper\tnote", then one line per row; a missing
// value or bound is an empty cell. Every line ends with a line feed.
std::string statsText(const std::vector<StatRow>& rows);

// "progenitor\tchange_units\tsize\tcount", then one line per bar, P1's bars
// before P2's, each progenitor's in ascending change.
std::string spectrumText(const AlleleSpectrum& spectrum);

// A number as the statistics print it: 8 significant digits (printf's
// "%.8g"; fewer for a panel), whole numbers up to 2^53 in full, the same in
// every locale.
std::string statNumber(double value, int significantDigits = 8);

}  // namespace lociview
