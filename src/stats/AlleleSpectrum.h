#pragma once
// The scored alleles seen from the two progenitors: which are mutants, how
// many repeat units each moved, and the bars of the allele spectrum.
#include <cstdint>
#include <string>
#include <vector>

#include "scoring/ScoringResult.h"

namespace lociview {

// One bar: every scored allele of one size. The change is (size -
// progenitor) / repeat unit and is not rounded: a size off the progenitor's
// repeat ladder keeps its own bar between the whole-unit ones.
struct SpectrumBar {
    int32_t size = 0;
    double change = 0.0;  // repeat units; < 0 contraction, > 0 expansion
    int64_t count = 0;
    bool progenitor = false;  // the progenitor's own bar at 0, drawn apart
};

struct ProgenitorSpectrum {
    std::string name;  // "P1" or "P2"
    int32_t size = 0;
    std::vector<SpectrumBar> bars;  // ascending change; the progenitor bar is always there, with count 0 if lost

    int64_t progenitorCount() const;
    int64_t expansions() const;    // alleles (counts summed) with change > 0
    int64_t contractions() const;  // alleles with change < 0
};

struct AlleleSpectrum {
    int32_t p1 = 0;  // the progenitor sizes as given
    int32_t p2 = 0;
    // P1, then P2 unless it has P1's size. Empty when the note says why.
    std::vector<ProgenitorSpectrum> progenitors;
    int64_t scoredAlleles = 0;  // A: all counts summed
    std::string note;           // "" or "not estimable: ..."

    bool classified() const { return note.empty(); }
    int64_t mutants() const;  // m: every allele outside the progenitor bars
};

// A size equal to P1 or P2 is that progenitor; any other size is a mutant of
// the nearer progenitor, ties to P1. Rows of one size are added together,
// rows with a count of 0 or less count for nothing. Progenitors need
// positive sizes and the repeat unit (1, 2, 3, 5 bp) must be positive;
// without one the note gives noUnit as the reason ("no repeat unit" when empty).
AlleleSpectrum alleleSpectrum(const std::vector<AlleleRow>& alleles, int32_t p1, int32_t p2, int32_t repeatUnit,
                              const std::string& noUnit = {});

}  // namespace lociview
