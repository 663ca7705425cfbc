#pragma once
// The peak store: a working list that scoring and clean-up shrink and a
// backup list of the same shared records that puts the working list back
// before every scoring run. Keys come from a counter that never resets.
#include <cstdint>
#include <string>

#include "app/DevLog.h"
#include "model/Allele.h"

namespace lociview {

class AlleleDB {
public:
    explicit AlleleDB(LogSink& log);  // initDB: writes "list made %@"

    void addAlleleWithSize(double size, int32_t height, int32_t area, int32_t lane);
    int32_t count() const { return static_cast<int32_t>(list.size()); }
    AlleleList getLane(int32_t lane) const;
    AllelePtr getAlleleWithKey(int32_t key) const;
    void removeAlleleWithKey(int32_t key);
    void removeAlleleSize(double size, int32_t lane, double tol);
    void removeAllAlleles() { list.clear(); }
    void purgeBackup() { backup.clear(); }
    void restore();
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

    const AlleleList& workingList() const { return list; }
    const AlleleList& backupList() const { return backup; }
    uint32_t nextKey() const { return key; }

private:
    LogSink& log;
    uint32_t key = 0;
    AlleleList list;
    AlleleList backup;
};

// True when size lies strictly within tol of target.
inline bool withinTolerance(double size, double target, double tol) {
    const double d = size - target;
    return (d < 0 ? -d : d) < tol;
}

// Printed form of a list of peaks for "%@" log lines, on one line.
std::string describe(const AlleleList& alleles);

}  // namespace lociview
