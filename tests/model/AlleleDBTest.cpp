// The store keeps a per-lane index, a key map and holes for removed records;
// none of that may show. Every query is compared with a plain list that
// follows the store's rules by linear scans.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include "model/AlleleDB.h"
#include "model/LaneData.h"

namespace lociview {
namespace {

using ::testing::ElementsAreArray;

// The working and backup lists as plain lists, scanned from the front; it
// answers the store's queries under the store's names.
struct Model {
    AlleleList list, backup;

    AlleleList select(const std::function<bool(const Allele&)>& keep) const {
        AlleleList out;
        std::copy_if(list.begin(), list.end(), std::back_inserter(out), [&](const AllelePtr& a) { return keep(*a); });
        return out;
    }
    static double weighted(const AlleleList& records, double none) {
        double squares = 0, heights = 0;
        for (const auto& a : records) squares += double(a->getHeight()) * a->getHeight(), heights += a->getHeight();
        return records.empty() ? none : heights == 0 ? 0.0 : squares / heights;
    }
    int32_t count() const { return static_cast<int32_t>(list.size()); }
    const AlleleList& workingList() const { return list; }
    AlleleList getLane(int32_t lane) const { return select([&](auto& a) { return a.getLane() == lane; }); }
    void removeKey(int32_t key) {
        if (const auto a = getAlleleWithKey(key)) list.erase(std::find(list.begin(), list.end(), a));
    }
    bool hasRecordsInLane(int32_t lane) const { return !getLane(lane).empty(); }
    template <typename F>
    void forEachInLane(int32_t lane, F&& visit) const {
        for (const auto& a : getLane(lane)) visit(a);
    }
    AllelePtr getAlleleWithKey(int32_t key) const {
        const auto found = std::find_if(list.begin(), list.end(), [&](const AllelePtr& a) { return a->getKey() == key; });
        return found == list.end() ? nullptr : *found;
    }
    AlleleList getAlleleSize(double size, double tol) const {
        return select([&](auto& a) { return withinTolerance(a.getSize(), size, tol); });
    }
    AllelePtr getAlleleSize(double size, int32_t lane, double tol) const {
        AllelePtr best;
        for (const auto& a : getLane(lane))
            if (withinTolerance(a->getSize(), size, tol) && (!best || a->getHeight() > best->getHeight())) best = a;
        return best;
    }
    AlleleList getAllelesInLane(int32_t lane, double low, double high, int32_t score) const {
        return select([&](auto& a) { return a.getLane() == lane && a.getScore() == score && low < a.getSize() && a.getSize() < high; });
    }
    AlleleList getAllScoreAllelesWithMaybes(bool maybes) const {
        return select([&](auto& a) { return a.getScore() == SCORED || (maybes && a.getScore() == MAYBE); });
    }
    AlleleList getAllAllelesWithScore(int32_t score) const { return select([&](auto& a) { return a.getScore() == score; }); }
    AlleleList getAllelesWithSize(double size, double tol, int32_t score) const {
        return select([&](auto& a) { return a.getScore() == score && withinTolerance(a.getSize(), size, tol); });
    }
    AlleleList getAllAllelesWithHeightLessThan(int32_t h, int32_t s) const { return select([&](auto& a) { return a.getScore() == s && a.getHeight() < h; }); }
    AlleleList getAllAllelesWithHeightGreaterThan(int32_t h, int32_t s) const { return select([&](auto& a) { return a.getScore() == s && a.getHeight() > h; }); }
    double getWeightedHeightOfLane(int32_t lane) const { return weighted(getLane(lane), -1.0); }
    double getWeightedHeightOfSize(double size, double tol) const { return weighted(getAlleleSize(size, tol), 0.0); }
    double getWeightedHeightOfAllAlleles() const { return weighted(list, 0.0); }
    double getWeightedHeightOfAllScoredAlleleMaybes(bool maybes) const { return weighted(getAllScoreAllelesWithMaybes(maybes), 0.0); }
};

std::string keysOf(const AlleleList& list) {
    std::string out;
    for (const auto& a : list) out += std::to_string(a->getKey()) + " ";
    return out;
}
std::string keyOf(const AllelePtr& a) { return a ? std::to_string(a->getKey()) : "none"; }

// Every query that looks at lanes, keys, scores or order, one line each.
template <class Store>
std::vector<std::string> answers(const Store& s, int32_t lastKey) {
    std::vector<std::string> out = {"count " + std::to_string(s.count()), "near 104: " + keysOf(s.getAlleleSize(104.0, 0.5)),
                                    format("weights %.17g %.17g", s.getWeightedHeightOfSize(104.0, 0.5), s.getWeightedHeightOfAllAlleles())};
    for (const int32_t lane : {1, 2, 3, 4}) {
        AlleleList visited;
        s.forEachInLane(lane, [&](const AllelePtr& a) { visited.push_back(a); });
        out.push_back(format("lane %d: %s weight %.17g visits %s%s", lane, keysOf(s.getLane(lane)).c_str(),
                             s.getWeightedHeightOfLane(lane), keysOf(visited).c_str(),
                             s.hasRecordsInLane(lane) ? "" : " (none)"));
        for (double size = 98.0; size <= 112.0; size += 0.5)
            out.push_back(format("best at %.1f in %d: ", size, lane) + keyOf(s.getAlleleSize(size, lane, 0.5)));
        for (const int32_t score : {UNMARKED, SCORED, MAYBE, DISCARDED})
            out.push_back(format("lane %d 99..107 score %d: ", lane, score) + keysOf(s.getAllelesInLane(lane, 99.0, 107.0, score)));
    }
    for (const int32_t score : {UNMARKED, SCORED, MAYBE, DISCARDED})
        out.push_back(format("score %d: ", score) + keysOf(s.getAllAllelesWithScore(score)) + "| " +
                      keysOf(s.getAllelesWithSize(104.0, 0.5, score)) + "| " +
                      keysOf(s.getAllAllelesWithHeightLessThan(500, score)) + "| " +
                      keysOf(s.getAllAllelesWithHeightGreaterThan(500, score)));
    for (const bool maybes : {false, true})
        out.push_back(format("counted %.17g: ", s.getWeightedHeightOfAllScoredAlleleMaybes(maybes)) +
                      keysOf(s.getAllScoreAllelesWithMaybes(maybes)));
    for (int32_t key = -1; key <= lastKey; ++key) out.push_back("key " + std::to_string(key) + ": " + keyOf(s.getAlleleWithKey(key)));
    for (const int32_t key : {5000000, 5000001, 5000002}) out.push_back(format("key %d: ", key) + keyOf(s.getAlleleWithKey(key)));
    out.push_back("list " + keysOf(s.workingList()));  // last: asking for the list squeezes out the holes
    return out;
}

void expectSame(const AlleleDB& db, const Model& m, const std::string& where) {
    const auto lastKey = static_cast<int32_t>(db.nextKey());
    ASSERT_THAT(answers(db, lastKey), ElementsAreArray(answers(m, lastKey))) << where;
}

// Rekey gives backup record number lane the key in key, and a restore lets
// the store see it (keys are the store's to give): keys far apart, or shared.
// Score gives working record number lane the score.
// RemoveLow removes a lane's records below a height in one walk, by their
// keys in turn (a shared key takes the first record with it, wherever it
// lies); RemoveKeys the key and the two after it, in turn.
enum class Op { Add, RemoveKey, RemoveSize, Restore, RemoveAll, Purge, Rekey, Score, RemoveLow, RemoveKeys };

struct Step {
    Op op;
    double size = 0;  // Add, RemoveSize
    int32_t lane = 0, key = 0, score = UNMARKED;  // key: height for Add
    double tol = 0.5;
};

void apply(AlleleDB& db, Model& m, const Step& s) {
    switch (s.op) {
        case Op::Add:  // the model shares the store's new record, as the two lists do
            db.addAlleleWithSize(s.size, s.key, 0, s.lane);
            db.backupList().back()->changeScore(s.score);
            m.list.push_back(db.backupList().back());
            m.backup.push_back(db.backupList().back());
            break;
        case Op::RemoveKey:
            db.removeAlleleWithKey(s.key);
            m.removeKey(s.key);
            break;
        case Op::RemoveSize:
            db.removeAlleleSize(s.size, s.lane, s.tol);
            for (auto it = m.list.begin(); it != m.list.end(); ++it)
                if ((*it)->getLane() == s.lane && withinTolerance((*it)->getSize(), s.size, s.tol)) {
                    m.list.erase(it);
                    break;
                }
            break;
        case Op::Restore:  // brings the records back unmarked
            for (const auto& a : m.backup) a->changeScore(DISCARDED);
            db.restore();
            m.list = m.backup;
            for (const auto& a : m.list) ASSERT_EQ(a->getScore(), UNMARKED);
            break;
        case Op::RemoveAll: db.removeAllAlleles(), m.list.clear(); break;
        case Op::Purge: db.purgeBackup(), m.backup.clear(); break;
        case Op::Rekey:
            if (!m.backup.empty()) m.backup[static_cast<size_t>(s.lane) % m.backup.size()]->assignKey(s.key);
            return apply(db, m, {Op::Restore});
        case Op::Score:
            if (!m.list.empty()) m.list[static_cast<size_t>(s.lane) % m.list.size()]->changeScore(s.score);
            break;
        case Op::RemoveLow: {
            db.removeFromLane(s.lane, [&](const Allele& a) { return a.getHeight() < s.key; });
            std::vector<int32_t> keys;
            for (const auto& a : m.getLane(s.lane))
                if (a->getHeight() < s.key) keys.push_back(a->getKey());
            for (const int32_t key : keys) m.removeKey(key);
            break;
        }
        case Op::RemoveKeys:
            db.removeAllelesWithKeys({s.key, s.key + 1, s.key + 2});
            for (const int32_t key : {s.key, s.key + 1, s.key + 2}) m.removeKey(key);
            break;
    }
}

// Long mixed runs that cross the point where holes get squeezed out, with
// many equal heights so that ties decide most best-peak answers: the
// earliest record still in the list wins.
TEST(AlleleDBTest, AnswersLikeAPlainList) {
    uint32_t state = 12345;
    const auto next = [&](uint32_t n) {
        state = 1664525u * state + 1013904223u;
        return static_cast<int32_t>((state >> 8) % n);
    };
    NullLog log;
    AlleleDB db(log);
    Model m;
    // A restore of a list nothing was taken from still sees keys given anew.
    for (int i = 0; i < 3; ++i) apply(db, m, {Op::Add, 100.0 + i, 1, 100});
    apply(db, m, {Op::Rekey, 0, 1, 5000001});
    expectSame(db, m, "a key far off");
    apply(db, m, {Op::Rekey, 0, 0, 2});
    expectSame(db, m, "a key shared");
    for (int round = 0; round < 4; ++round) {
        for (int i = 0; i < 400; ++i) {
            apply(db, m, {Op::Add, 98.0 + 0.25 * next(56), 1 + next(4), 100 * next(10), next(4)});
            if (i < 12) expectSame(db, m, format("round %d add %d", round, i));
        }
        for (int i = 0; i < 700; ++i) {
            const int32_t what = next(12);
            if (what < 6) apply(db, m, {Op::RemoveKey, 0, 0, next(static_cast<uint32_t>(db.nextKey()) + 5)});
            else if (what < 9) apply(db, m, {Op::RemoveSize, 98.0 + 0.25 * next(56), 1 + next(4)});
            else if (what < 11 && next(3) == 0) apply(db, m, {Op::RemoveLow, 0, 1 + next(4), 100 * next(4)});
            else if (what < 11 && next(2) == 0) apply(db, m, {Op::RemoveKeys, 0, 0, next(static_cast<uint32_t>(db.nextKey()) + 5)});
            else if (what < 11) apply(db, m, {Op::Score, 0, next(5000), 0, next(4)});
            else if (next(4) == 0) apply(db, m, {Op::Rekey, 0, next(5000), next(2) ? 5000000 + next(3) : next(static_cast<uint32_t>(db.nextKey()))});
            else apply(db, m, {Op::Restore});
            if (i % 29 == 0 || i == 699) expectSame(db, m, format("round %d step %d", round, i));
            if (HasFatalFailure()) return;
        }
        if (round == 1) apply(db, m, {Op::RemoveAll});
        if (round == 2) apply(db, m, {Op::Purge});
    }
}

// Heights are whole numbers: truncated toward 0, saturated, NaN is 0.
TEST(AlleleTest, ChangeHeightTruncatesAndSaturates) {
    for (const auto& [in, out] : {std::pair{250.7, 250}, {-99.9, -99}, {1e12, INT32_MAX}, {-1e12, INT32_MIN}, {std::nan(""), 0}}) {
        Allele a(150, 1, 1, 1);
        a.changeHeight(in);
        EXPECT_EQ(a.getHeight(), out) << in;
    }
}

// The lanes asked for, each once in that order with its sample, its records
// in store order as values; a lane without records is there, empty; other
// lanes are not.
TEST(LaneDataTest, RecordsGroupedByTheLanesAskedFor) {
    NullLog log;
    AlleleDB db(log);
    for (const auto& [size, lane] : {std::pair{150.0, 2}, {151.0, 1}, {152.0, 2}, {153.0, 9}}) db.addAlleleWithSize(size, 7, 8, lane);
    db.workingList()[2]->changeScore(MAYBE);
    const std::vector<LaneData> lanes = lanesFromRecords(db.backupList(), {2, 5, 1, 2}, {"b", "e"});
    std::vector<std::string> got;
    for (const LaneData& l : lanes) {
        std::string text = std::to_string(l.lane) + l.sample + ":";
        for (const LanePeak& p : l.peaks) text += format(" %g/%d/%d/%d/%d/%d", p.size, p.height, p.area, p.score, p.key, p.offScale);
        got.push_back(text);
    }
    EXPECT_EQ(got, (std::vector<std::string>{"2b: 150/7/8/0/0/0 152/7/8/2/2/0", "5e:", "1: 151/7/8/0/1/0"}));
}

}  // namespace
}  // namespace lociview
