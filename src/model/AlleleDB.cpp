#include "model/AlleleDB.h"

#include <algorithm>
#include <cmath>

#include "app/FieldText.h"

namespace lociview {

AlleleDB::AlleleDB(LogSink& sink) : log(sink) {
    if (log.enabled()) logf(log, "list made %s", describe(AlleleList{}).c_str());
}

namespace {

// Below this many holes a compaction is not worth its rebuild.
constexpr size_t kHolesBeforeCompacting = 64;

}  // namespace

template <typename F>
void AlleleDB::forEachRecord(F&& visit) const {
    for (const AllelePtr& a : slots)
        if (a) visit(a);
}

template <typename F>
void AlleleDB::forEachInLane(int32_t lane, F&& visit) const {
    const auto it = laneSlots.find(lane);
    if (it == laneSlots.end()) return;
    for (const uint32_t slot : it->second)
        if (const AllelePtr& a = slots[slot]) visit(a);
}

void AlleleDB::addAlleleWithSize(double size, int32_t height, int32_t area, int32_t lane) {
    auto allele = std::make_shared<Allele>(size, height, area, lane);
    allele->assignKey(static_cast<int32_t>(key));
    append(allele);
    backup.push_back(std::move(allele));
    ++key;
}

void AlleleDB::append(AllelePtr allele) {
    const auto slot = static_cast<uint32_t>(slots.size());
    laneSlots[allele->getLane()].push_back(slot);
    if (!slotOfKey.emplace(allele->getKey(), slot).second) sharedKeys = true;
    slots.push_back(std::move(allele));
}

void AlleleDB::rebuildIndex() const {
    laneSlots.clear();
    slotOfKey.clear();
    slotOfKey.reserve(slots.size());
    sharedKeys = false;
    // A file lists a lane's peaks together: remember the last lane's entry.
    std::vector<uint32_t>* current = nullptr;
    int32_t currentLane = 0;
    for (uint32_t slot = 0; slot < slots.size(); ++slot) {
        const Allele& a = *slots[slot];
        if (!current || a.getLane() != currentLane) {
            currentLane = a.getLane();
            current = &laneSlots[currentLane];
        }
        current->push_back(slot);
        if (!slotOfKey.emplace(a.getKey(), slot).second) sharedKeys = true;
    }
}

void AlleleDB::compact() const {
    if (holes == 0) return;
    std::erase_if(slots, [](const AllelePtr& a) { return !a; });
    holes = 0;
    rebuildIndex();
}

void AlleleDB::removeSlot(uint32_t slot) {
    const int32_t k = slots[slot]->getKey();
    slots[slot].reset();
    ++holes;
    const auto it = slotOfKey.find(k);
    if (it != slotOfKey.end() && it->second == slot) {
        slotOfKey.erase(it);
        if (sharedKeys)
            for (uint32_t next = slot + 1; next < slots.size(); ++next)
                if (slots[next] && slots[next]->getKey() == k) {
                    slotOfKey.emplace(k, next);
                    break;
                }
    }
    if (holes > kHolesBeforeCompacting && holes * 2 > slots.size()) compact();
}

const AlleleList& AlleleDB::workingList() const {
    compact();
    return slots;
}

AlleleList AlleleDB::getLane(int32_t lane) const {
    AlleleList out;
    if (const auto it = laneSlots.find(lane); it != laneSlots.end()) out.reserve(it->second.size());
    forEachInLane(lane, [&](const AllelePtr& a) { out.push_back(a); });
    return out;
}

AllelePtr AlleleDB::getAlleleWithKey(int32_t k) const {
    const auto it = slotOfKey.find(k);
    return it == slotOfKey.end() ? nullptr : slots[it->second];
}

void AlleleDB::removeAlleleWithKey(int32_t k) {
    const auto it = slotOfKey.find(k);
    if (it != slotOfKey.end()) removeSlot(it->second);
}

void AlleleDB::removeAlleleSize(double size, int32_t lane, double tol) {
    if (const auto it = laneSlots.find(lane); it != laneSlots.end())
        for (const uint32_t slot : it->second) {
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
    slotOfKey.clear();
    sharedKeys = false;
}

void AlleleDB::restore() {
    slots = backup;
    holes = 0;
    for (const auto& a : slots) a->changeScore(UNMARKED);
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
    AllelePtr best;
    // Only a strictly taller record replaces the best: the first of equally
    // tall ones wins.
    forEachInLane(lane, [&](const AllelePtr& a) {
        if (withinTolerance(a->getSize(), size, tol) && (!best || a->getHeight() > best->getHeight())) best = a;
    });
    return best;
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
