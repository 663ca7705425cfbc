#include "scoring/ScoringResult.h"

namespace lociview {

namespace {

template <typename F>
auto column(const std::vector<AlleleRow>& rows, F&& field) {
    std::vector<decltype(field(rows.front()))> out;
    out.reserve(rows.size());
    for (const AlleleRow& r : rows) out.push_back(field(r));
    return out;
}

}  // namespace

std::vector<int32_t> alleleSizes(const std::vector<AlleleRow>& rows) {
    return column(rows, [](const AlleleRow& r) { return r.size; });
}

std::vector<int32_t> alleleCounts(const std::vector<AlleleRow>& rows) {
    return column(rows, [](const AlleleRow& r) { return r.count; });
}

std::vector<double> alleleWeights(const std::vector<AlleleRow>& rows) {
    return column(rows, [](const AlleleRow& r) { return r.weight; });
}

}  // namespace lociview
