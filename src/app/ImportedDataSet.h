#pragma once
// What the open data set was read from: the layout, the files, the dye
// scored and the samples laid out as lanes, kept for the front ends to show.
#include "input/PeakImport.h"
#include "input/TraceImport.h"
#include "model/LaneData.h"

namespace lociview {

struct ImportedDataSet {
    // The tables as read, without their peaks (the rows hold what is
    // scored); here every sample counts the peaks of the scored dye only.
    // A classic peak table has its layout, name and file and nothing else.
    PeakImport tables;
    char dye = 0;  // the dye scored; 0 for a classic peak table, whose rows keep their letters
    std::vector<TraceReviewRow> traces;  // trace files: each as sized; empty for tables
    // Trace files: what only a trace gives each lane (traceLaneParts),
    // the signals shared with every lane list made from them.
    std::vector<LaneData> traceLanes;
};

}  // namespace lociview
