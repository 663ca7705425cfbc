// The statistics as the panel shows them: every row has a title of its
// own, numbers are short, and an interval with one bound says which.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "stats/StatDisplay.h"

namespace lociview {
namespace {

TEST(StatDisplay, EveryRowOfBothListsHasATitle) {
    const RunStatistics run = runStatistics({{96, 10, 30, 56}, 5.0, {{150, 3, 0}, {152, 1, 0}}, 150, 156, 2});
    const AccumulatedStatistics acc = accumulatedStatistics({{{{96, 50, 20, 26}, 5.0}}, {{150, 3, 0}}, 150, 156, 2});
    for (const auto& rows : {statRows(run), statRows(acc)})
        for (const StatRow& row : rows) EXPECT_NE(statTitle(row.name), row.name);
}

TEST(StatDisplay, NumbersAndIntervals) {
    struct Case {
        Estimate estimate;
        const char* value;
        const char* interval;
    };
    const std::vector<Case> cases = {
        {{2.2617631, 1.6969958, 2.9740843, ""}, "2.262", "1.697 – 2.974"},
        {{96.0, {}, {}, ""}, "96", ""},
        {{1.2345678e-7, 0.0, 3.0e-6, ""}, "1.235e-07", "0 – 3e-06"},
        {{{}, 0.50689231, {}, "not estimable: no empty lane"}, "", "≥ 0.5069"},
        {{-0.5, {}, 0.25, ""}, "-0.5", "≤ 0.25"},
    };
    for (const Case& c : cases) {
        const std::vector<StatLine> lines = statLines({{"molecules_per_reaction", c.estimate}});
        ASSERT_EQ(lines.size(), 1u);
        EXPECT_EQ(lines[0].value, c.value);
        EXPECT_EQ(lines[0].interval, c.interval);
        EXPECT_EQ(lines[0].note, c.estimate.note);
    }
}

}  // namespace
}  // namespace lociview
