#pragma once
// The single-run SP-PCR export text, and which progenitors a scored run
// lost (the check that accumulating shares).
#include <cstdint>
#include <string>
#include <vector>

#include "scoring/ScoringResult.h"

namespace lociview {

// Which progenitors are not among the listed sizes. The first test takes
// every size equal to P1, so equal progenitors leave P2 missing.
struct MissingProgenitors {
    bool p1 = true;
    bool p2 = true;
    int count = 2;  // 2: double progenitor loss
};

MissingProgenitors findMissingProgenitors(const std::vector<AlleleRow>& rows, int32_t p1, int32_t p2);

// "7 1 m sizes...\nP1 P2\nGE reps counts..." with each missing progenitor
// inserted as a column of count 0 before the first larger size.
std::string singleRunExportText(const std::vector<AlleleRow>& rows, int32_t p1, int32_t p2, float ge,
                                int32_t numlanes);

}  // namespace lociview
