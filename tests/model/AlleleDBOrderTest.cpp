// The store keeps a per-lane index, a key map and holes for removed records;
// none of that may show. Every check here compares the store with a plain
// list that follows the store's rules by linear scans.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include "model/AlleleDB.h"

namespace lociview {
namespace {

// The working and backup lists as plain lists, scanned from the front.
struct Model {
    AlleleList list, backup;

    AllelePtr firstWithKey(int32_t key) const {
        for (const auto& a : list)
            if (a->getKey() == key) return a;
        return nullptr;
    }
    void removeKey(int32_t key) {
        const auto it = std::find_if(list.begin(), list.end(), [&](const AllelePtr& a) { return a->getKey() == key; });
        if (it != list.end()) list.erase(it);
    }
    void removeSize(double size, int32_t lane, double tol) {
        const auto it = std::find_if(list.begin(), list.end(), [&](const AllelePtr& a) {
            return a->getLane() == lane && withinTolerance(a->getSize(), size, tol);
        });
        if (it != list.end()) list.erase(it);
    }
    AlleleList lane(int32_t lane) const {
        AlleleList out;
        for (const auto& a : list)
            if (a->getLane() == lane) out.push_back(a);
        return out;
    }
    AllelePtr best(double size, int32_t lane, double tol) const {
        AllelePtr b;
        for (const auto& a : list)
            if (a->getLane() == lane && withinTolerance(a->getSize(), size, tol) && (!b || a->getHeight() > b->getHeight()))
                b = a;
        return b;
    }
};

class SilentLog : public LogSink {
public:
    void line(std::string_view) override {}
};

std::vector<int32_t> keysOf(const AlleleList& list) {
    std::vector<int32_t> out;
    for (const auto& a : list) out.push_back(a ? a->getKey() : -1);
    return out;
}

int32_t keyOf(const AllelePtr& a) { return a ? a->getKey() : -1; }

// Every query that looks at lanes, keys or order, on both.
void expectSame(const AlleleDB& db, const Model& m, const std::string& where) {
    SCOPED_TRACE(where);
    ASSERT_EQ(db.count(), static_cast<int32_t>(m.list.size()));
    for (const int32_t lane : {1, 2, 3, 4}) {
        EXPECT_EQ(keysOf(db.getLane(lane)), keysOf(m.lane(lane))) << "lane " << lane;
        for (double size = 98.0; size <= 112.0; size += 0.5)
            EXPECT_EQ(keyOf(db.getAlleleSize(size, lane, 0.5)), keyOf(m.best(size, lane, 0.5)))
                << "best at " << size << " in lane " << lane;
        AlleleList inRange;
        for (const auto& a : m.lane(lane))
            if (a->getScore() == UNMARKED && a->getSize() > 99.0 && a->getSize() < 107.0) inRange.push_back(a);
        EXPECT_EQ(keysOf(db.getAllelesInLane(lane, 99.0, 107.0, UNMARKED)), keysOf(inRange)) << "range in " << lane;
    }
    std::vector<int32_t> askedKeys = {5000000};
    for (int32_t key = -1; key <= static_cast<int32_t>(db.nextKey()); ++key) askedKeys.push_back(key);
    for (const int32_t key : askedKeys)
        EXPECT_EQ(db.getAlleleWithKey(key).get(), m.firstWithKey(key).get()) << "key " << key;
    AlleleList near;
    for (const auto& a : m.list)
        if (withinTolerance(a->getSize(), 104.0, 0.5)) near.push_back(a);
    EXPECT_EQ(keysOf(db.getAlleleSize(104.0, 0.5)), keysOf(near));
    // Last: asking for the list squeezes out the holes.
    EXPECT_EQ(keysOf(db.workingList()), keysOf(m.list));
}

// Rekey gives backup record number lane the key in key; only a restore
// lets the store see it (keys are the store's to give).
enum class Op { Add, RemoveKey, RemoveSize, Restore, RemoveAll, Purge, Rekey };

struct Step {
    Op op;
    double size = 0;  // Add, RemoveSize
    int32_t lane = 0;
    int32_t key = 0;        // RemoveKey; height for Add
    double tol = 0.5;
};

struct OrderCase {
    const char* name;
    std::vector<Step> steps;
};

void PrintTo(const OrderCase& c, std::ostream* os) { *os << c.name; }

// Peaks of equal height in one lane: the earliest still in the list wins.
const std::vector<Step> kTies = {
    {Op::Add, 104.0, 1, 500}, {Op::Add, 104.2, 1, 500}, {Op::Add, 103.9, 2, 500}, {Op::Add, 104.1, 1, 500},
    {Op::Add, 106.0, 1, 300}, {Op::Add, 104.3, 2, 700},
};

std::vector<Step> with(std::vector<Step> steps, const std::vector<Step>& more) {
    steps.insert(steps.end(), more.begin(), more.end());
    return steps;
}

class AlleleDBOrderTest : public ::testing::TestWithParam<OrderCase> {};

void apply(AlleleDB& db, Model& m, const Step& s) {
    switch (s.op) {
        case Op::Add:
            db.addAlleleWithSize(s.size, s.key, 0, s.lane);
            // The model shares the store's new record, as the two lists do.
            m.list.push_back(db.backupList().back());
            m.backup.push_back(db.backupList().back());
            break;
        case Op::RemoveKey:
            db.removeAlleleWithKey(s.key);
            m.removeKey(s.key);
            break;
        case Op::RemoveSize:
            db.removeAlleleSize(s.size, s.lane, s.tol);
            m.removeSize(s.size, s.lane, s.tol);
            break;
        case Op::Restore:
            db.restore();
            m.list = m.backup;
            break;
        case Op::RemoveAll:
            db.removeAllAlleles();
            m.list.clear();
            break;
        case Op::Purge:
            db.purgeBackup();
            m.backup.clear();
            break;
        case Op::Rekey:
            m.backup[static_cast<size_t>(s.lane)]->assignKey(s.key);
            break;
    }
}

TEST_P(AlleleDBOrderTest, AnswersLikeAPlainList) {
    SilentLog log;
    AlleleDB db(log);
    Model m;
    const auto& steps = GetParam().steps;
    for (size_t i = 0; i < steps.size(); ++i) {
        apply(db, m, steps[i]);
        if (steps[i].op != Op::Rekey)
            expectSame(db, m, std::string(GetParam().name) + ", after step " + std::to_string(i));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Steps, AlleleDBOrderTest,
    ::testing::Values(
        OrderCase{"ties", kTies},
        OrderCase{"first of equals removed, then back",
                  with(kTies, {{Op::RemoveKey, 0, 0, 0}, {Op::RemoveKey, 0, 0, 1}, {Op::Restore}})},
        OrderCase{"removal by size takes the first in the lane",
                  with(kTies, {{Op::RemoveSize, 104.1, 1}, {Op::RemoveSize, 104.1, 1}, {Op::RemoveSize, 104.1, 2},
                               {Op::RemoveSize, 104.1, 3}, {Op::Restore}, {Op::RemoveSize, 104.0, 1, 0, 0.15}})},
        OrderCase{"interleaved removals, restores and adds",
                  with(kTies, {{Op::RemoveKey, 0, 0, 3}, {Op::Add, 104.15, 1, 500}, {Op::RemoveKey, 0, 0, 1},
                               {Op::Restore}, {Op::RemoveKey, 0, 0, 6}, {Op::RemoveKey, 0, 0, 0}, {Op::Add, 104.0, 3, 900},
                               {Op::RemoveKey, 0, 0, 42}, {Op::Restore}})},
        OrderCase{"emptied working list comes back in backup order",
                  with(kTies, {{Op::RemoveKey, 0, 0, 2}, {Op::RemoveAll}, {Op::Add, 104.0, 1, 500}, {Op::Restore}})},
        OrderCase{"keys far apart are still found",
                  with(kTies, {{Op::Rekey, 0, 2, 5000000}, {Op::Restore}, {Op::RemoveKey, 0, 0, 5000000},
                               {Op::RemoveKey, 0, 0, 1}, {Op::Restore}, {Op::Add, 104.0, 1, 900}})},
        OrderCase{"two records with one key",
                  with(kTies, {{Op::Rekey, 0, 4, 1}, {Op::Restore}, {Op::RemoveKey, 0, 0, 1}, {Op::RemoveKey, 0, 0, 1},
                               {Op::Restore}})},
        OrderCase{"purged backup, records stay in the working list",
                  with(kTies, {{Op::Purge}, {Op::Add, 104.05, 1, 500}, {Op::RemoveKey, 0, 0, 0}, {Op::Restore},
                               {Op::Add, 104.0, 2, 700}})}),
    [](const ::testing::TestParamInfo<OrderCase>& info) {
        std::string id = info.param.name;
        for (char& c : id)
            if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
        return id;
    });

// Long mixed runs that cross the point where holes get squeezed out, with
// many equal heights so that ties decide most best-peak answers.
TEST(AlleleDBOrderTest, LongRunsMatchThePlainList) {
    uint32_t state = 12345;
    const auto next = [&](uint32_t n) {
        state = 1664525u * state + 1013904223u;
        return (state >> 8) % n;
    };
    SilentLog log;
    AlleleDB db(log);
    Model m;
    for (int round = 0; round < 4; ++round) {
        for (int i = 0; i < 400; ++i)
            apply(db, m, {Op::Add, 98.0 + 0.25 * next(56), static_cast<int32_t>(1 + next(4)),
                          static_cast<int32_t>(100 * (1 + next(3)))});
        for (int i = 0; i < 700; ++i) {
            const uint32_t what = next(10);
            if (what < 6) apply(db, m, {Op::RemoveKey, 0, 0, static_cast<int32_t>(next(db.nextKey() + 5))});
            else if (what < 9) apply(db, m, {Op::RemoveSize, 98.0 + 0.25 * next(56), static_cast<int32_t>(1 + next(4))});
            else apply(db, m, {Op::Restore});
            if (i % 97 == 0) expectSame(db, m, "round " + std::to_string(round) + " step " + std::to_string(i));
            if (HasFatalFailure()) return;
        }
        expectSame(db, m, "end of round " + std::to_string(round));
        if (round == 1) apply(db, m, {Op::RemoveAll});
        if (round == 2) apply(db, m, {Op::Purge});
    }
}

}  // namespace
}  // namespace lociview
