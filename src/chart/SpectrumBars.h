#pragma once
// The allele spectrum laid out as a bar chart: categories of change in
// repeat units along the axis, one series of counts per progenitor, and
// the category of the progenitors' own bars, which are drawn apart.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "stats/AlleleSpectrum.h"

namespace lociview {

struct SpectrumSeries {
    std::string name;             // "P1 150 bp"
    std::vector<int64_t> counts;  // one per category
};

struct SpectrumBars {
    // Ascending changes: every whole unit from the smallest change to the
    // largest (so the axis reads as a scale), 0 always, and each change
    // off the repeat ladder in its place. A spread wider than
    // kFilledUnits keeps only the changes that have bars, and 0.
    std::vector<double> changes;
    std::vector<std::string> labels;  // "-2", "0", "+1", "+0.5"
    size_t progenitorCategory = 0;    // the index of change 0
    std::vector<SpectrumSeries> series;  // P1, then P2 unless it has P1's size; none when the note says why
    int64_t largestCount = 0;         // over every bar, the progenitors' included
    std::string note;                 // the spectrum's own note

    static constexpr double kFilledUnits = 60.0;
};

SpectrumBars spectrumBars(const AlleleSpectrum& spectrum);

// The categories to label where at most room labels fit: every k-th one
// counted from the progenitors' own, with k as small as fits, so the
// labels keep an even step and 0 is always labelled; every one when they
// fit. Ascending.
std::vector<size_t> labelledCategories(const SpectrumBars& bars, size_t room);

// A change as its category label: a sign for non-zero changes, 8 significant
// digits at most.
std::string changeLabel(double change);

}  // namespace lociview
