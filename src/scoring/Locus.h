#pragma once
// Locus types: the code is the repeat step in base pairs (1 mono, 2 di,
// 3 tri, 5 penta; there is no 4), and each has the distance within which a
// peak counts as lying at an allele size.
#include <cstdint>

namespace lociview {

constexpr int32_t kMonoLocus = 1;
constexpr int32_t kDiLocus = 2;
constexpr int32_t kTriLocus = 3;
constexpr int32_t kPentaLocus = 5;

// Cells of the locus matrix, one per locus type.
constexpr int kLocusColumns = 4;

// The locus code of a matrix column (0 mono ... 3 penta); mono outside 0..3.
int32_t locusCodeForColumn(int column);

// The developer log line that names a locus code ("locus = di").
const char* locusLogLine(int32_t locustype);

// 0.25 for a mono locus, 0.5 for the others.
double tolForLocus(int32_t locustype);

}  // namespace lociview
