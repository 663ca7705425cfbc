#include "scoring/LaneScoring.h"

#include <algorithm>
#include <unordered_set>

#include "scoring/Locus.h"
#include "scoring/ScoringLog.h"

namespace lociview {

AllelePtr LargestAlleleHeight(const AlleleList& alleles, LogSink& log) {
    if (alleles.empty()) {
        logf(log, "Array passed to LargestAlleleHeight is empty");
        return nullptr;
    }
    const AllelePtr* best = &alleles.front();  // copied once, at the end
    for (const auto& a : alleles)
        if (a->getHeight() > (*best)->getHeight()) best = &a;
    return *best;
}

LaneScoringParams ladderWalkParams(const ScoringParameters& p) {
    LaneScoringParams walk;
    walk.step = p.locustype;
    walk.tol = static_cast<float>(tolForLocus(p.locustype));
    walk.stutter = p.stutter;
    return walk;
}

void markAllele(LogSink& log, Allele& allele, int32_t code, int32_t lane) {
    // The record in hand is the store's own (every record met here came from
    // the working list, and nothing leaves it while a lane is scored), so it
    // needs no second look-up by key.
    allele.changeScore(code);
    DebugLog(log, allele.getSize(), lane, code);
}

namespace {

// One lane's sweeps; the shared state of a sweep lives here.
class LaneSweeper {
public:
    LaneSweeper(AlleleDB& db, LogSink& log, int32_t lane, const LaneScoringParams& p)
        : db(db), log(log), lane(lane), step(p.step), tol(p.tol), st(p.stutter) {}

    SweepRange sweep(const AlleleList& candidates) {
        const AllelePtr L = LargestAlleleHeight(candidates, log);
        logf(log, "largest allele picked is %lf with height %d", L->getSize(), L->getHeight());
        const AllelePtr U = neighbour(L->getSize() + step);
        const AllelePtr D = neighbour(L->getSize() - step);
        SweepRange range;
        range.high = L->getSize() + step;
        upward(*L, U, range.high);
        range.low = L->getSize() - step;
        downward(*L, D, range.low);
        return range;
    }

private:
    AllelePtr neighbour(double size) const { return db.getAlleleSize(size, lane, tol); }
    void mark(Allele& a, int32_t code) { markAllele(log, a, code, lane); }

    void upward(Allele& L, const AllelePtr& U, double& high) {
        if (!U) {
            mark(L, SCORED);
            return;
        }
        if (L.getHeight() <= U->getHeight()) {
            mark(L, SCORED);
            logf(log,
                 "possibly something wrong with finding largest peak in finding right on largest allele is "
                 "progenitor. Investigate [right: %lf] %d > [all: %lf] %d",
                 U->getSize(), U->getHeight(), L.getSize(), L.getHeight());
            return;
        }
        mark(L, SCORED);
        if (L.getHeight() <= U->getHeight() * st) mark(L, DISCARDED);
        mark(*U, SCORED);
        if (U->getHeight() < L.getHeight() * 0.25) mark(*U, MAYBE);

        AllelePtr prev = U;
        AllelePtr cur = neighbour(prev->getSize() + step);
        high += step;
        // The ladder only climbs; a record that does not lie above the last
        // one (sizes too large for a step of a few bp to move) ends the walk.
        while (cur && cur->getSize() > prev->getSize()) {
            const int32_t hc = cur->getHeight();
            const int32_t hp = prev->getHeight();
            if (hc > hp) {
                mark(*prev, DISCARDED);
                mark(*cur, SCORED);
            } else if (hc > hp * 0.25) {
                mark(*cur, SCORED);
                mark(*prev, hp > hc * st ? SCORED : DISCARDED);
            } else if (hc > hp * 0.1) {
                mark(*cur, MAYBE);
            } else {
                mark(*cur, DISCARDED);
            }
            prev = cur;
            cur = neighbour(prev->getSize() + step);
            high += step;
        }
    }

    void downward(Allele& L, const AllelePtr& D, double& low) {
        if (!D) {
            mark(L, DISCARDED);
            logf(log, "garbage peak at %lf in lane %d", L.getSize(), lane);
            return;
        }
        if (D->getHeight() > L.getHeight()) {
            if (D->getHeight() >= L.getHeight() * st) L.changeScore(SCORED);
            // Written whether or not the code was set just now.
            DebugLog(log, L.getSize(), lane, SCORED);
            logf(log, "possibly something wrong with finding largest peak. Investigate [left: %lf] %d > [all: %lf] %d",
                 D->getSize(), D->getHeight(), L.getSize(), L.getHeight());
        } else {
            mark(*D, DISCARDED);
        }

        AllelePtr prev = D;
        AllelePtr cur = neighbour(prev->getSize() - step);
        low -= step;
        while (cur && cur->getSize() < prev->getSize()) {
            const int32_t hc = cur->getHeight();
            const int32_t hp = prev->getHeight();
            if (hc <= hp) mark(*cur, DISCARDED);
            else if (hc >= hp * st) mark(*cur, SCORED);
            else if (hc >= hp * (st - 0.2)) mark(*cur, MAYBE);
            else mark(*cur, DISCARDED);
            prev = cur;
            cur = neighbour(prev->getSize() - step);
            low -= step;
        }
    }

    AlleleDB& db;
    LogSink& log;
    const int32_t lane;
    const int32_t step;
    const double tol;
    const double st;
};

}  // namespace

std::vector<SweepRange> scoreLanePeaks(AlleleDB& db, LogSink& log, int32_t lane, const LaneScoringParams& params) {
    std::vector<SweepRange> ranges;
    AlleleList candidates = db.getLane(lane);
    if (candidates.empty()) {
        logf(log, "lane %d is an empty lane", lane);
        return ranges;
    }
    logf(log, "** scoring lane %d **", lane);
    LaneSweeper sweeper(db, log, lane, params);
    while (!candidates.empty()) {
        const SweepRange range = sweeper.sweep(candidates);
        ranges.push_back(range);

        std::erase_if(candidates, [](const AllelePtr& a) { return a->getScore() != UNMARKED; });
        logf(log, "arf has %d left in it", static_cast<int>(candidates.size()));
        logf(log, "high - low = %lf", range.high - range.low);

        // Undecided peaks inside the walked range sit off the ladder.
        const AlleleList offBase = db.getAllelesInLane(lane, range.low, range.high, UNMARKED);
        logf(log, "removing %d off base alleles in the range of %lf and %lf", static_cast<int>(offBase.size()),
             range.low, range.high);
        if (!offBase.empty()) {
            std::unordered_set<int32_t> keys;
            for (const auto& a : offBase) keys.insert(a->getKey());
            std::erase_if(candidates, [&](const AllelePtr& a) { return keys.count(a->getKey()) != 0; });
        }

        logf(log, "%d items left", static_cast<int>(candidates.size()));
        if (log.enabled())
            for (const auto& a : candidates) logf(log, "allele %lf with height %d", a->getSize(), a->getHeight());
    }
    return ranges;
}

bool scoreLanes(AlleleDB& db, const std::vector<int32_t>& lanes, const LaneScoringParams& params, LogSink& log,
                const std::function<bool()>& beforeLane) {
    for (const int32_t lane : lanes) {
        if (!beforeLane()) return false;
        scoreLanePeaks(db, log, lane, params);
    }
    return true;
}

}  // namespace lociview
