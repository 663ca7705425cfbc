#include "scoring/Preparation.h"

#include <cmath>
#include <unordered_set>
#include <utility>

#include "scoring/AlleleCount.h"

namespace lociview {

void shiftSizes(AlleleDB& db, const std::vector<int32_t>& lanes, double s, ShiftState& state, LogSink& log) {
    // The parameter checks refuse a shift that sizes could not give back;
    // this guards direct runs.
    if (!shiftIsSound(s)) return;
    double moveBy = 0.0;
    if (!state.alreadyScored) {
        if (s == 0.0) return;
        state.alreadyScored = true;
        state.shiftvalue = s;
    } else {
        if (s == state.shiftvalue || !std::isfinite(s - state.shiftvalue)) return;
        moveBy = state.shiftvalue;
    }
    logf(log, "***** Shifting all data by %lf *****", s);
    // A lane number listed twice (labels 7 and 07) still moves its peaks once.
    std::unordered_set<int32_t> visited;
    for (const int32_t lane : lanes) {
        if (!visited.insert(lane).second) continue;
        for (const auto& a : db.getLane(lane)) a->changeSize((a->getSize() + s) - moveBy);
    }
    state.shiftvalue = s;
}

void filterRange(AlleleDB& db, const std::vector<int32_t>& lanes, int32_t lowInt, int32_t highInt, LogSink& log) {
    logf(log, "***** Removing alleles not in range specified *****");
    int32_t removed = 0;
    for (const int32_t lane : lanes)
        db.removeFromLane(lane, [&](const Allele& a) {
            const bool out = a.getSize() < lowInt || a.getSize() > highInt;
            removed += out ? 1 : 0;
            return out;
        });
    logf(log, "%d alleles nodes removed. %d alleles remaining", removed, db.count());
}

void mergeSplitPeaks(AlleleDB& db, const std::vector<int32_t>& lanes, double tol, MergeLog& merges, LogSink& log) {
    logf(log, "***** Merging split peaks *****");
    std::vector<int32_t> merged;
    for (size_t i = 0; i < lanes.size(); ++i) {
        // Walk neighbouring pairs of the lane as it stands, in place; a
        // merged pair lives on in its second record. The first records go
        // once the lane is walked, in the order they were merged.
        merged.clear();
        const AllelePtr* previous = nullptr;
        db.forEachInLane(lanes[i], [&](const AllelePtr& next) {
            const AllelePtr* pair = std::exchange(previous, &next);
            if (!pair) return;
            Allele& first = **pair;
            Allele& second = *next;
            if (!withinTolerance(first.getSize(), second.getSize(), tol)) return;
            logf(log, "merged peak %lf in lane %d (%d in Real Lane)", first.getSize(), static_cast<int>(i),
                 first.getLane());
            merges.push_back({next, second.getSize(), second.getHeight()});
            const int64_t heightSum = int64_t{first.getHeight()} + second.getHeight();
            second.changeHeight(static_cast<double>(heightSum / 2));
            second.changeSize((first.getSize() + second.getSize()) * 0.5);
            merged.push_back(first.getKey());
        });
        db.removeAllelesWithKeys(merged);
    }
}

void undoMerges(MergeLog& merges) {
    // Latest first: a record that survived two merges gets its first values back.
    for (auto it = merges.rbegin(); it != merges.rend(); ++it) {
        it->survivor->changeSize(it->size);
        it->survivor->changeHeight(it->height);
    }
    merges.clear();
}

void removeSmallPeaks(AlleleDB& db, const std::vector<int32_t>& lanes, LogSink& log) {
    logf(log, "***** Cleaning lanes of small data *****");
    for (const int32_t lane : lanes) {
        if (!db.hasRecordsInLane(lane)) {
            logf(log, "lane %d has 0 data in it", lane);
            continue;
        }
        const double w = db.getWeightedHeightOfLane(lane);
        logf(log, "lane %d has a weighted height of %lf", lane, w);
        db.removeFromLane(lane, [&](const Allele& a) {
            if (!(static_cast<double>(a.getHeight()) < w * 0.1)) return false;
            logf(log, "REMOVING Allele size %lf with height %d in lane %d", a.getSize(), a.getHeight(), a.getLane());
            return true;
        });
    }
}

}  // namespace lociview
