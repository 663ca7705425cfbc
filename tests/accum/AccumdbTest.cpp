#include <gtest/gtest.h>

#include <algorithm>
#include <tuple>

#include "accum/accumdb.h"

namespace lociview {
namespace {

struct CountingLog final : LogSink {
    std::vector<std::string> lines;
    void line(std::string_view text) override { lines.emplace_back(text); }
    long count(const std::string& prefix) const {
        return std::count_if(lines.begin(), lines.end(), [&](const auto& l) { return l.rfind(prefix, 0) == 0; });
    }
};

// Each run: GE, reps, then size x count pairs.
void addRuns(accumdb& db, const std::vector<std::tuple<double, int32_t, std::vector<std::pair<double, int>>>>& runs) {
    for (const auto& [ge, reps, sizes] : runs) {
        for (const auto& [size, count] : sizes)
            for (int k = 0; k < count; ++k) db.addAccAlle(accumallele(size, db.currentRun(), ge, reps));
        db.incRuns();
    }
}

TEST(AccumdbTest, ExportPoolsRunsByGE) {
    CountingLog log;
    accumdb db(log);
    ASSERT_TRUE(db.setP1(150, 156));
    addRuns(db, {{12.5, 8, {{147, 2}, {150, 5}, {156, 4}}}, {12.5, 6, {{150, 3}, {153, 1}, {156, 2}}},
                 {25, 4, {{150, 1}, {156, 1}}}});
    log.lines.clear();
    EXPECT_EQ(db.exportText(), "7 2 4 147 150 153 156 \n150 156\n12.50 14 2 8 1 6 \n25.00 4 0 1 0 1 \n");
    EXPECT_EQ(log.count("str = "), 11);  // after every append
    EXPECT_EQ(log.count("[bob objectAtIndex:x]== "), 12);
    EXPECT_EQ(log.count("snor = 2"), 1);
    db.reset();
    EXPECT_EQ(db.exportText(), "7 0 0 \n-1 -1\n");
    EXPECT_EQ(db.currentRun(), 0);
}

TEST(AccumdbTest, PairLatchesAndSizesStaySortedDistinct) {
    NullLog log;
    accumdb db(log);
    EXPECT_TRUE(db.setP1(150, 156));
    EXPECT_TRUE(db.setP1(150, 156));
    EXPECT_FALSE(db.setP1(150, 157));
    EXPECT_EQ(db.getP2(), 156);
    for (int32_t s : {150, 150, 156, 147}) db.addSize(s);
    db.addAccAlle(accumallele(150.9, 0, 1.0, 1));
    db.addAccAlle(accumallele(-3.7, 0, 1.0, 1));
    EXPECT_EQ(db.getAlleleSizes(), (std::vector<int32_t>{-3, 147, 150, 156}));
    EXPECT_EQ(db.alleleCountsForGE(1.0), (std::vector<int32_t>{0, 0, 0, 0}));  // 150.9 is not 150
    db.reset();
    EXPECT_TRUE(db.setP1(150, 157));
}

TEST(AccumdbTest, GERowsByExactValueRepsOncePerRun) {
    NullLog log;
    accumdb db(log);
    addRuns(db, {{25, 4, {{150, 1}}}, {10, 8, {{150, 3}}}, {10.001, 6, {{150, 1}}}, {10, 6, {{152, 1}}}, {9, 5, {}}});
    EXPECT_EQ(db.currentRun(), 5);
    EXPECT_EQ(db.exportText(), "7 3 2 150 152 \n-1 -1\n25.00 4 1 0 \n10.00 14 3 1 \n10.00 6 1 0 \n");
}

}  // namespace
}  // namespace lociview
