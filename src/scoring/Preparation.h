#pragma once
// The cleaning of the peak set before lanes are scored: the size shift
// (kept track of across runs, as sizes keep it across a restore), the range
// filter, merging split peaks and removing small ones, each lane by lane in
// the order of the lane list.
#include <cstdint>
#include <vector>

#include "base/DevLog.h"
#include "model/AlleleDB.h"

namespace lociview {

// The shift the records already carry.
struct ShiftState {
    bool alreadyScored = false;
    double shiftvalue = 0.0;
};

// Moves every record so that it carries the shift s in total.
void shiftSizes(AlleleDB& db, const std::vector<int32_t>& lanes, double s, ShiftState& state, LogSink& log);

// Removes the records below lowInt or above highInt (bounds stay).
void filterRange(AlleleDB& db, const std::vector<int32_t>& lanes, int32_t lowInt, int32_t highInt, LogSink& log);

// What a merge changed in its surviving record, so the next run can put
// the file's own size and height back.
struct MergedRecord {
    AllelePtr survivor;
    double size;
    int32_t height;
};
using MergeLog = std::vector<MergedRecord>;

// Merges neighbouring records of a lane closer than tol into the second of
// them; appends each merge to merges.
void mergeSplitPeaks(AlleleDB& db, const std::vector<int32_t>& lanes, double tol, MergeLog& merges, LogSink& log);

// Gives the survivors of the merges back their sizes and heights, latest
// merge first, and forgets them.
void undoMerges(MergeLog& merges);

// Removes the records of each lane lower than a tenth of its weighted height.
void removeSmallPeaks(AlleleDB& db, const std::vector<int32_t>& lanes, LogSink& log);

}  // namespace lociview
