#pragma once
// Which records lie within the locus tolerance of which allele sizes, found
// in one pass over the records instead of one pass over the whole store per
// size. The pairs come grouped by size and, within one size, in the order of
// the records, so a caller sees what a query per size would have returned.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "model/AlleleDB.h"

namespace lociview {

struct SizeMatch {
    size_t sizeIndex;      // position in the sizes
    const Allele* allele;  // a record of the list passed in
};

// Every (i, record) with the record within tol of sizes[i] (the strict test
// of withinTolerance), ordered by i and then by position in records. Quick
// when sizes are ascending (repeats allowed), as allele sizes are.
std::vector<SizeMatch> matchSizes(const AlleleList& records, const std::vector<int32_t>& sizes, double tol);

}  // namespace lociview
