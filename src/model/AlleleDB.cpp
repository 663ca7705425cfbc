#include "model/AlleleDB.h"

#include <algorithm>
#include <cmath>

#include "base/NumberText.h"

namespace lociview {

AlleleDB::AlleleDB(LogSink& sink) : log(sink) {
    if (log.enabled()) logf(log, "list made %s", describe(AlleleList{}).c_str());
}

namespace {

// Below this many holes a compaction is not worth its rebuild.
constexpr size_t kHolesBeforeCompacting = 64;

constexpr uint32_t kNoSlot = 0xFFFFFFFFu;

}  // namespace

template <typename F>
void AlleleDB::forEachRecord(F&& visit) const {
    for (const AllelePtr& a : slots)
        if (a) visit(a);
}

void AlleleDB::reserve(size_t records) {
    slots.reserve(slots.size() + records);
    backup.reserve(backup.size() + records);
    block = std::make_shared<std::vector<Allele>>();
    block->reserve(records);
}

void AlleleDB::addAlleleWithSize(double size, int32_t height, int32_t area, int32_t lane) {
    // Records added without room asked for come in blocks of this many.
    constexpr size_t kBlockRecords = 256;
    if (!block || block->size() == block->capacity()) {
        block = std::make_shared<std::vector<Allele>>();
        block->reserve(kBlockRecords);
    }
    Allele& record = block->emplace_back(size, height, area, lane);
    record.assignKey(static_cast<int32_t>(key));
    AllelePtr allele(block, &record);
    append(allele);
    backup.push_back(std::move(allele));
    ++key;
}

void AlleleDB::append(AllelePtr allele) {
    const auto slot = static_cast<uint32_t>(slots.size());
    if (slot == 0) {
        slotOfKey.clear();
        keyBase = static_cast<uint32_t>(allele->getKey());
        keysIndexed = true;
        sharedKeys = false;
    }
    // A file lists a lane's peaks together: the last lane's entry is kept
    // at hand (map entries stay where they are until the map is cleared).
    if (!lastLane || allele->getLane() != lastLaneNumber) {
        lastLaneNumber = allele->getLane();
        lastLane = &laneSlots[lastLaneNumber];
    }
    lastLane->slots.push_back(slot);
    indexKey(allele->getKey(), slot);
    slots.push_back(std::move(allele));
}

void AlleleDB::indexKey(int32_t k, uint32_t slot) const {
    if (!keysIndexed) return;
    const uint32_t offset = static_cast<uint32_t>(k) - keyBase;
    if (offset >= slotOfKey.size()) {
        // The keys of the list lie among those of the backup list, however
        // many records scoring took out: the map grows with the file.
        if (size_t{offset} >= 2 * std::max(slots.size(), backup.size()) + 1024) {
            keysIndexed = false;
            slotOfKey.clear();
            return;
        }
        slotOfKey.resize(size_t{offset} + 1, kNoSlot);
    }
    if (slotOfKey[offset] == kNoSlot) slotOfKey[offset] = slot;
    else sharedKeys = true;
}

uint32_t AlleleDB::slotWithKey(int32_t k) const {
    if (keysIndexed) {
        const uint32_t offset = static_cast<uint32_t>(k) - keyBase;
        return offset < slotOfKey.size() ? slotOfKey[offset] : kNoSlot;
    }
    for (uint32_t slot = 0; slot < slots.size(); ++slot)
        if (slots[slot] && slots[slot]->getKey() == k) return slot;
    return kNoSlot;
}

void AlleleDB::rebuildIndex() const {
    laneSlots.clear();
    foundLane = nullptr;
    lastLane = nullptr;
    slotOfKey.clear();
    sharedKeys = false;
    keysIndexed = true;
    keyBase = 0;
    if (!slots.empty()) {
        keyBase = static_cast<uint32_t>(slots.front()->getKey());
        for (const AllelePtr& a : slots) keyBase = std::min(keyBase, static_cast<uint32_t>(a->getKey()));
    }
    // A file lists a lane's peaks together: remember the last lane's entry.
    LaneIndex* current = nullptr;
    int32_t currentLane = 0;
    for (uint32_t slot = 0; slot < slots.size(); ++slot) {
        const Allele& a = *slots[slot];
        if (!current || a.getLane() != currentLane) {
            currentLane = a.getLane();
            current = &laneSlots[currentLane];
        }
        current->slots.push_back(slot);
        indexKey(a.getKey(), slot);
    }
}

void AlleleDB::compact() const {
    if (holes == 0) return;
    // The records keep their order, so each index keeps its order too: the
    // positions are moved through a map from old to new instead of
    // rebuilding the lane and key indexes from nothing.
    std::vector<uint32_t> moved(slots.size(), kNoSlot);
    uint32_t next = 0;
    for (uint32_t slot = 0; slot < slots.size(); ++slot)
        if (slots[slot]) {
            if (next != slot) slots[next] = std::move(slots[slot]);
            moved[slot] = next++;
        }
    slots.resize(next);
    holes = 0;
    for (auto& [lane, index] : laneSlots) {
        std::erase_if(index.slots, [&moved](uint32_t slot) { return moved[slot] == kNoSlot; });
        for (uint32_t& slot : index.slots) slot = moved[slot];
        index.holes = 0;
    }
    for (uint32_t& slot : slotOfKey)
        if (slot != kNoSlot) slot = moved[slot];
}

void AlleleDB::removeAllelesWithKeys(const std::vector<int32_t>& keys) {
    for (const int32_t k : keys)
        if (const uint32_t slot = slotWithKey(k); slot != kNoSlot) removeSlot(slot, false);
    compactIfSparse();
}

void AlleleDB::compactIfSparse() const {
    if (holes > kHolesBeforeCompacting && holes * 2 > slots.size()) compact();
}

void AlleleDB::removeSlot(uint32_t slot, bool squeeze) {
    const int32_t k = slots[slot]->getKey();
    const int32_t lane = slots[slot]->getLane();
    slots[slot].reset();
    ++holes;
    if (LaneIndex* found = laneIndex(lane)) {
        LaneIndex& index = *found;
        if (++index.holes > 8 && index.holes * 2 > index.slots.size()) {
            std::erase_if(index.slots, [this](uint32_t s) { return !slots[s]; });
            index.holes = 0;
        }
    }
    const uint32_t offset = static_cast<uint32_t>(k) - keyBase;
    if (keysIndexed && offset < slotOfKey.size() && slotOfKey[offset] == slot) {
        uint32_t& first = slotOfKey[offset];
        first = kNoSlot;
        if (sharedKeys)
            for (uint32_t next = slot + 1; next < slots.size(); ++next)
                if (slots[next] && slots[next]->getKey() == k) {
                    first = next;
                    break;
                }
    }
    if (squeeze) compactIfSparse();
}

const AlleleList& AlleleDB::workingList() const {
    compact();
    return slots;
}

AlleleList AlleleDB::getLane(int32_t lane) const {
    AlleleList out;
    if (const LaneIndex* index = laneIndex(lane)) out.reserve(index->slots.size());
    forEachInLane(lane, [&](const AllelePtr& a) { out.push_back(a); });
    return out;
}

bool AlleleDB::hasRecordsInLane(int32_t lane) const {
    const LaneIndex* index = laneIndex(lane);
    return index && std::any_of(index->slots.begin(), index->slots.end(), [this](uint32_t s) { return slots[s] != nullptr; });
}

AllelePtr AlleleDB::getAlleleWithKey(int32_t k) const {
    const uint32_t slot = slotWithKey(k);
    return slot == kNoSlot ? nullptr : slots[slot];
}

void AlleleDB::removeAlleleWithKey(int32_t k) {
    const uint32_t slot = slotWithKey(k);
    if (slot != kNoSlot) removeSlot(slot);
}

void AlleleDB::removeAlleleSize(double size, int32_t lane, double tol) {
    if (const LaneIndex* index = laneIndex(lane))
        for (const uint32_t slot : index->slots) {
            const AllelePtr& a = slots[slot];
            if (a && withinTolerance(a->getSize(), size, tol)) {
                removeSlot(slot);
                return;
            }
        }
    logf(log, "didn't find (and thus remove) Allele with size %lf in lane %d", size, lane);
}

void AlleleDB::removeAllAlleles() {
    slots.clear();
    holes = 0;
    laneSlots.clear();
    foundLane = nullptr;
    lastLane = nullptr;
    slotOfKey.clear();
    keysIndexed = true;
    sharedKeys = false;
}

void AlleleDB::restore() {
    for (const auto& a : backup) a->changeScore(UNMARKED);
    // Scoring a file just opened finds the working list still the backup
    // list, its indexes already built: they stand if every key still leads
    // to its own record (a key given anew is seen here).
    if (holes == 0 && keysIndexed && slots == backup) {
        uint32_t slot = 0;
        while (slot < slots.size() && slotWithKey(slots[slot]->getKey()) == slot) ++slot;
        if (slot == slots.size()) return;
    }
    slots = backup;
    holes = 0;
    rebuildIndex();
}

void AlleleDB::restoreWorkingList(AlleleList list) {
    slots = std::move(list);
    holes = 0;
    rebuildIndex();
}

void AlleleDB::printDB() const {
    forEachRecord([&](const AllelePtr& a) { logf(log, "Allele %lf", a->getSize()); });
}

AlleleList AlleleDB::getAlleleSize(double size, double tol) const {
    AlleleList out;
    forEachRecord([&](const AllelePtr& a) {
        if (withinTolerance(a->getSize(), size, tol)) out.push_back(a);
    });
    return out;
}

AllelePtr AlleleDB::getAlleleSize(double size, int32_t lane, double tol) const {
    // Held by address until the end: scoring asks this several times per
    // peak, and each copy of a shared pointer on the way is a locked count.
    const AllelePtr* best = nullptr;
    // Only a strictly taller record replaces the best: the first of equally
    // tall ones wins.
    forEachInLane(lane, [&](const AllelePtr& a) {
        if (withinTolerance(a->getSize(), size, tol) && (!best || a->getHeight() > (*best)->getHeight())) best = &a;
    });
    return best ? *best : nullptr;
}

AlleleList AlleleDB::getAllelesInLane(int32_t lane, double low, double high, int32_t score) const {
    AlleleList out;
    if (!(high - low > 0)) {
        logf(log, "range for getAllelesInLane: inRangeLow: high: withScore:  is borked (%d, %d)",
             saturatingInt(low), saturatingInt(high));
        return out;
    }
    forEachInLane(lane, [&](const AllelePtr& a) {
        if (a->getScore() == score && low < a->getSize() && a->getSize() < high) out.push_back(a);
    });
    return out;
}

AlleleList AlleleDB::getAllScoreAllelesWithMaybes(bool withMaybes) const {
    AlleleList out;
    forEachRecord([&](const AllelePtr& a) {
        if (a->getScore() == SCORED || (withMaybes && a->getScore() == MAYBE)) out.push_back(a);
    });
    return out;
}

AlleleList AlleleDB::getAllAllelesWithScore(int32_t score) const {
    AlleleList out;
    forEachRecord([&](const AllelePtr& a) {
        if (a->getScore() == score) out.push_back(a);
    });
    return out;
}

AlleleList AlleleDB::getAllelesWithSize(double size, double tol, int32_t score) const {
    AlleleList out;
    forEachRecord([&](const AllelePtr& a) {
        if (a->getScore() == score && withinTolerance(a->getSize(), size, tol)) out.push_back(a);
    });
    return out;
}

AlleleList AlleleDB::getAllAllelesWithHeightLessThan(int32_t height, int32_t score) const {
    AlleleList out;
    forEachRecord([&](const AllelePtr& a) {
        if (a->getScore() == score && a->getHeight() < height) {
            logf(log, "adding (%.2lf, %d) as < than %d", a->getSize(), a->getHeight(), height);
            out.push_back(a);
        }
    });
    return out;
}

AlleleList AlleleDB::getAllAllelesWithHeightGreaterThan(int32_t height, int32_t score) const {
    AlleleList out;
    forEachRecord([&](const AllelePtr& a) {
        if (a->getScore() == score && a->getHeight() > height) {
            logf(log, "adding (%.2lf, %d) as > than %d", a->getSize(), a->getHeight(), height);
            out.push_back(a);
        }
    });
    return out;
}

namespace {

// Sums in working-list order, in double precision.
struct Sums {
    double squares = 0.0;
    double heights = 0.0;
    size_t records = 0;
    void add(const Allele& a) {
        const double h = a.getHeight();
        squares += h * h;
        heights += h;
        ++records;
    }
};

}  // namespace

double AlleleDB::getWeightedHeightOfLane(int32_t lane) const {
    Sums s;
    forEachInLane(lane, [&](const AllelePtr& a) { s.add(*a); });
    if (s.records == 0) {
        logf(log, "lane %d doesn't exist", lane);
        return -1.0;
    }
    if (s.heights == 0.0) {
        logf(log, "denominator = 0 in getWeightedHeighOfLane %d", lane);
        return 0.0;
    }
    return s.squares / s.heights;
}

double AlleleDB::getWeightedHeightOfSize(double size, double tol) const {
    Sums s;
    forEachRecord([&](const AllelePtr& a) {
        if (withinTolerance(a->getSize(), size, tol)) s.add(*a);
    });
    if (s.heights == 0.0) {
        logf(log, "denominator = 0 in getWeightedHeighOfSize %lf", size);
        return 0.0;
    }
    return s.squares / s.heights;
}

double AlleleDB::getWeightedHeightOfAllAlleles() const {
    Sums s;
    forEachRecord([&](const AllelePtr& a) { s.add(*a); });
    if (s.heights == 0.0) {
        logf(log, "denominator = 0 in getWeightedHeightOfAllAlleles");
        return 0.0;
    }
    return s.squares / s.heights;
}

double AlleleDB::getWeightedHeightOfAllScoredAlleleMaybes(bool withMaybes) const {
    Sums s;
    forEachRecord([&](const AllelePtr& a) {
        if (a->getScore() == SCORED || (withMaybes && a->getScore() == MAYBE)) s.add(*a);
    });
    if (s.heights == 0.0) {
        logf(log, "denominator = 0 in getWeightedHeightOfAllScoredAlleleMaybes");
        return 0.0;
    }
    return s.squares / s.heights;
}

std::string describe(const AlleleList& alleles) {
    std::string out = "(";
    for (size_t i = 0; i < alleles.size(); ++i) {
        const Allele& a = *alleles[i];
        if (i) out += ", ";
        out += format("{key %d size %.2f height %d lane %d}", a.getKey(), a.getSize(), a.getHeight(), a.getLane());
    }
    out += ")";
    return out;
}

}  // namespace lociview
