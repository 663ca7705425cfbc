#pragma once
// What only a trace gives a lane: the scored dye's signal sized scan by
// scan, the size standard's fit with its own dye's signal, the spikes left
// out, and which of the scored dye's peaks saturated the detector. Kept
// with the opened data set; the lanes built from its records take them on.
#include <vector>

#include "model/LaneData.h"
#include "trace/TraceSizing.h"

namespace lociview {

// One lane per file, numbered 1, 2, 3... in order as importTraces numbers
// them, each with its sample, signal, standard and spikes; its peaks are
// only the scored dye's off-scale ones, sized as the records read them.
// `dye` is the letter scored; standards name the fragments a fit missed.
// A trace kept without its signals gives none.
std::vector<LaneData> traceLaneParts(const std::vector<SizedTrace>& traces, char dye,
                                     const std::vector<SizeStandard>& standards);

// Gives each lane of the records its trace's parts (by lane number): the
// signal, standard and spikes, and the off-scale mark of a peak of the same
// size and height.
void addTraceParts(std::vector<LaneData>& lanes, const std::vector<LaneData>& parts);

}  // namespace lociview
