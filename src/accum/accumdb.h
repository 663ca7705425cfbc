#pragma once
// The run accumulator: every allele occurrence of the runs added so far,
// the sorted distinct sizes seen, the run counter and the latched
// progenitor pair; pooled by GE value into the accumulated export text.
#include <cstdint>
#include <string>
#include <vector>

#include "accum/accumallele.h"
#include "base/DevLog.h"
#include "scoring/ScoringResult.h"

namespace lociview {

// What the statistics of the accumulated runs need of each run besides its
// alleles: its GE, its lanes, how many had no, one, two or more alleles, and
// the locus it was scored as (its repeat unit).
struct AccumulatedRun {
    int32_t run = 0;
    double ge = 0.0;
    int32_t lanes = 0;
    LaneCounters counters;
    int32_t locus = 0;
};

class accumdb {
public:
    explicit accumdb(LogSink& log) : log(log) {}  // initDB

    void reset();
    bool setP1(int32_t p1, int32_t p2);  // setP1:P2:
    void incRuns() { ++rkey; }
    int32_t currentRun() const { return static_cast<int32_t>(rkey); }
    void addAccAlle(const accumallele& record);
    void addSize(int32_t size);
    // One run: every counted peak of the rows as a record with the run's
    // number, GE and reps, its lane counts and locus, then the next run number.
    void addRun(const std::vector<AlleleRow>& rows, double ge, int32_t reps, const LaneCounters& counters,
                int32_t locus);
    void noteRun(const AccumulatedRun& run) { runs.push_back(run); }
    const std::vector<AccumulatedRun>& accumulatedRuns() const { return runs; }
    std::vector<double> getNumberOfRuns() const;
    int32_t getIntNumberOfRuns() const;
    int32_t getNumAlleles() const { return static_cast<int32_t>(allelesizes.size()); }
    const std::vector<int32_t>& getAlleleSizes() const { return allelesizes; }
    int32_t getRepsForGE(double ge) const;
    std::vector<int32_t> alleleCountsForGE(double ge) const;
    std::string exportText() const;  // `export`, a reserved word in C++

    int32_t getP1() const { return p1; }
    int32_t getP2() const { return p2; }
    const std::vector<accumallele>& records() const { return list; }

private:
    LogSink& log;
    uint32_t rkey = 0;
    int32_t p1 = -1;
    int32_t p2 = -1;
    std::vector<int32_t> allelesizes;
    std::vector<accumallele> list;
    std::vector<AccumulatedRun> runs;
};

// Each entry as "%d " in order; logs "bob== %@" and each entry.
std::string convertArray(const std::vector<int32_t>& numbers, LogSink& log);

}  // namespace lociview
