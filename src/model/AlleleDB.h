#pragma once
// The peak store: a working list that scoring and clean-up shrink and a
// backup list of the same shared records that puts the working list back
// before every scoring run. Keys come from a counter that never resets.
//
// Scoring asks for one lane at a time and removes records one by one, over
// plates of tens of thousands of peaks. So the working list keeps, next to
// its records, a per-lane index and a key -> position map, and a removal
// leaves a hole instead of shifting every later record; the holes are
// squeezed out when they outnumber the records, or when the list itself is
// asked for. Every query still answers in working-list order.
#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "base/DevLog.h"
#include "model/Allele.h"

namespace lociview {

class AlleleDB {
public:
    explicit AlleleDB(LogSink& log);  // initDB: writes "list made %@"
    AlleleDB(const AlleleDB&) = delete;  // its index points into itself

    void addAlleleWithSize(double size, int32_t height, int32_t area, int32_t lane);
    // Room for that many more records, so a file's records go in without
    // regrowing, and in one allocation.
    void reserve(size_t records);
    int32_t count() const { return static_cast<int32_t>(slots.size() - holes); }
    AlleleList getLane(int32_t lane) const;
    bool hasRecordsInLane(int32_t lane) const;
    AllelePtr getAlleleWithKey(int32_t key) const;
    void removeAlleleWithKey(int32_t key);
    void removeAlleleSize(double size, int32_t lane, double tol);
    void removeAllAlleles();
    void purgeBackup() {
        backup.clear();
        block.reset();
    }
    // removeAlleleWithKey for each key in turn.
    void removeAllelesWithKeys(const std::vector<int32_t>& keys);
    // Visits the working records of a lane in order and removes those for
    // which remove(record) is true, as removeAlleleWithKey would one by one.
    template <typename F>
    void removeFromLane(int32_t lane, F&& remove);
    // Calls visit(const AllelePtr&) for each working record of a lane in
    // order, without a copy of the list; visit must not remove any.
    template <typename F>
    void forEachInLane(int32_t lane, F&& visit) const;
    void restore();
    // Puts back a working list taken earlier (records, order), scores untouched.
    void restoreWorkingList(AlleleList list);
    void printDB() const;

    // Queries: read the working list only, in its order.
    AlleleList getAlleleSize(double size, double tol) const;
    AllelePtr getAlleleSize(double size, int32_t lane, double tol) const;
    AlleleList getAllelesInLane(int32_t lane, double low, double high, int32_t score) const;
    AlleleList getAllScoreAllelesWithMaybes(bool withMaybes) const;
    AlleleList getAllAllelesWithScore(int32_t score) const;
    AlleleList getAllelesWithSize(double size, double tol, int32_t score) const;
    AlleleList getAllAllelesWithHeightLessThan(int32_t height, int32_t score) const;
    AlleleList getAllAllelesWithHeightGreaterThan(int32_t height, int32_t score) const;

    double getWeightedHeightOfLane(int32_t lane) const;
    double getWeightedHeightOfSize(double size, double tol) const;
    double getWeightedHeightOfAllAlleles() const;
    double getWeightedHeightOfAllScoredAlleleMaybes(bool withMaybes) const;

    // The working list in order (squeezes out the holes first).
    const AlleleList& workingList() const;
    const AlleleList& backupList() const { return backup; }
    uint32_t nextKey() const { return key; }

private:
    void append(AllelePtr allele);
    void indexKey(int32_t key, uint32_t slot) const;
    uint32_t slotWithKey(int32_t key) const;
    void removeSlot(uint32_t slot, bool squeeze = true);
    void compactIfSparse() const;
    void rebuildIndex() const;
    void compact() const;
    template <typename F>
    void forEachRecord(F&& visit) const;

    LogSink& log;
    uint32_t key = 0;
    // The working list with holes (null) where records were removed; the
    // order of the records left is the working-list order. Compacting
    // changes only positions, never what a query sees, so it may happen
    // inside const queries.
    mutable AlleleList slots;
    mutable size_t holes = 0;
    // Lane -> positions in slots, ascending. Removed records stay listed
    // until their lane (or the whole list) is squeezed; scoring asks for
    // the tallest peak near a size in a lane many times per peak.
    struct LaneIndex {
        std::vector<uint32_t> slots;
        size_t holes = 0;
    };
    mutable std::unordered_map<int32_t, LaneIndex> laneSlots;
    // The lane's entry, or null. Scoring asks about one lane many times in a
    // row: the entry last found is kept at hand (entries stay where they are
    // until the map is cleared, which forgets it).
    LaneIndex* laneIndex(int32_t lane) const {
        if (foundLane && foundLaneNumber == lane) return foundLane;
        const auto it = laneSlots.find(lane);
        if (it == laneSlots.end()) return nullptr;
        foundLaneNumber = lane;
        return foundLane = &it->second;
    }
    mutable LaneIndex* foundLane = nullptr;
    mutable int32_t foundLaneNumber = 0;
    mutable LaneIndex* lastLane = nullptr;  // the entry of the lane last added to
    mutable int32_t lastLaneNumber = 0;
    // Key -> position of the first record in the list with that key, for
    // keys from keyBase on (the keys of a file are consecutive). Should the
    // keys ever spread far wider than the list, look-ups scan the list as
    // plain searches would. Keys are unique unless the counter wrapped
    // around; then a removal looks for the next record with the same key.
    mutable std::vector<uint32_t> slotOfKey;
    mutable uint32_t keyBase = 0;
    mutable bool keysIndexed = true;
    mutable bool sharedKeys = false;
    AlleleList backup;
    // Records are made in blocks, a block of a file's records at once:
    // one allocation instead of one per record. Each record's pointer
    // shares its block's count, so a block lives while any of its records
    // does. The block never grows past the room it was made with.
    std::shared_ptr<std::vector<Allele>> block;
};

template <typename F>
void AlleleDB::removeFromLane(int32_t lane, F&& remove) {
    const LaneIndex* index = laneIndex(lane);
    if (!index) return;
    // Walks the lane's entry in place rather than a copy of its records;
    // the removals wait until the walk is over, as they may squeeze it.
    std::vector<int32_t> keys;
    for (const uint32_t slot : index->slots)
        if (slots[slot] && remove(*slots[slot])) keys.push_back(slots[slot]->getKey());
    removeAllelesWithKeys(keys);
}

template <typename F>
void AlleleDB::forEachInLane(int32_t lane, F&& visit) const {
    const LaneIndex* index = laneIndex(lane);
    if (!index) return;
    for (const uint32_t slot : index->slots)
        if (const AllelePtr& a = slots[slot]) visit(a);
}

// True when size lies strictly within tol of target.
inline bool withinTolerance(double size, double target, double tol) {
    const double d = size - target;
    return (d < 0 ? -d : d) < tol;
}

// Printed form of a list of peaks for "%@" log lines, on one line.
std::string describe(const AlleleList& alleles);

}  // namespace lociview
