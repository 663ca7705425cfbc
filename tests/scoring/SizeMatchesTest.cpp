// Matching peaks to allele sizes in one pass must give exactly what one
// store query per size gives: the same peaks, in working-list order.
#include <gtest/gtest.h>

#include <cctype>
#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "scoring/SizeMatches.h"

namespace lociview {
namespace {

struct MatchCase {
    const char* name;
    std::vector<double> peaks;  // sizes, in working-list order
    std::vector<int32_t> sizes;
    double tol;
};

void PrintTo(const MatchCase& c, std::ostream* os) { *os << c.name; }

class SizeMatchesTest : public ::testing::TestWithParam<MatchCase> {};

TEST_P(SizeMatchesTest, GivesWhatAQueryPerSizeGives) {
    const MatchCase& c = GetParam();
    NullLog log;
    AlleleDB db(log);
    for (const double size : c.peaks) db.addAlleleWithSize(size, 100, 10, 1);

    std::vector<std::pair<size_t, int32_t>> expected;  // (size index, key)
    for (size_t i = 0; i < c.sizes.size(); ++i)
        for (const auto& a : db.getAlleleSize(static_cast<double>(c.sizes[i]), c.tol)) expected.emplace_back(i, a->getKey());

    std::vector<std::pair<size_t, int32_t>> got;
    for (const SizeMatch& m : matchSizes(db.workingList(), c.sizes, c.tol)) got.emplace_back(m.sizeIndex, m.allele->getKey());
    EXPECT_EQ(got, expected);
}

constexpr double kInf = std::numeric_limits<double>::infinity();

INSTANTIATE_TEST_SUITE_P(
    Cases, SizeMatchesTest,
    ::testing::Values(
        // Half a base pair away is outside; list order survives within a size.
        MatchCase{"strict tolerance and list order", {150.4, 149.5, 150.5, 149.6, 152.2, 150.0}, {148, 150, 152}, 0.5},
        MatchCase{"sizes repeated", {120.1, 121.9, 120.0}, {118, 120, 120, 122}, 0.5},
        MatchCase{"mono tolerance", {100.2, 100.25, 100.75, 101.0}, {99, 100, 101, 102}, 0.25},
        MatchCase{"wide tolerance reaches several sizes", {100.0, 103.0}, {99, 100, 101, 102, 104}, 1.5},
        MatchCase{"tolerance of 0 matches nothing", {100.0}, {100}, 0.0},
        MatchCase{"tolerance not a number matches nothing", {100.0}, {100}, std::nan("")},
        MatchCase{"odd sizes", {std::nan(""), kInf, -kInf, 1e300, -2147483648.0}, {-2147483647 - 1, 0, 2147483647}, 0.5},
        MatchCase{"sizes out of order still answer", {100.1, 98.2, 104.0}, {104, 98, 100}, 0.5},
        MatchCase{"no sizes", {100.0}, {}, 0.5},
        MatchCase{"no peaks", {}, {100, 102}, 0.5}),
    [](const ::testing::TestParamInfo<MatchCase>& info) {
        std::string id = info.param.name;
        for (char& ch : id)
            if (!std::isalnum(static_cast<unsigned char>(ch))) ch = '_';
        return id;
    });

}  // namespace
}  // namespace lociview
