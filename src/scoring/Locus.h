#pragma once
// Locus types: the code is the repeat step in base pairs (1 mono, 2 di,
// 3 tri, 5 penta; there is no 4), and each has the distance within which a
// peak counts as lying at an allele size.
#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

namespace lociview {

constexpr int32_t kMonoLocus = 1;
constexpr int32_t kDiLocus = 2;
constexpr int32_t kTriLocus = 3;
constexpr int32_t kPentaLocus = 5;

// The cells of the locus matrix, by column, with the names every front end
// gives them.
constexpr std::array<std::string_view, 4> kLocusNames = {"mono", "di", "tri", "penta"};
constexpr int kLocusColumns = static_cast<int>(kLocusNames.size());

// The locus code of a matrix column (0 mono ... 3 penta); mono outside 0..3.
int32_t locusCodeForColumn(int column);

// The column of a locus name; none for another word.
std::optional<int> locusColumnNamed(std::string_view name);

// The name of a locus code ("di"); mono for a code that is no locus.
std::string_view locusName(int32_t locustype);

// The developer log line that names a locus code ("locus = di").
const char* locusLogLine(int32_t locustype);

// 0.25 for a mono locus, 0.5 for the others.
double tolForLocus(int32_t locustype);

}  // namespace lociview
