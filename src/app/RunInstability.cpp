// The instability indices of the scored run, gathered from the controller's
// state into the plain inputs of stats/Instability. Nothing here changes
// the state or writes a log line.
#include <algorithm>

#include "app/GeneController.h"

namespace lociview {

std::optional<InstabilityResult> GeneController::runInstability(const InstabilityChoices& choices) const {
    const StatisticsSource source = runStatisticsSource();
    if (source == StatisticsSource::None || source == StatisticsSource::OtherFile) return std::nullopt;
    const ScoringParameters run = readParameters(scored.resultSource->fields, scored.resultSource->locus, scored.resultSource->maybes);
    InstabilitySettings settings;
    // The range filter kept the whole-number bounds.
    settings.low = run.lowInt;
    settings.high = run.highInt;
    settings.index = choices.index;
    settings.indexSize = choices.index == IndexSizeChoice::Progenitor1 ? run.p1 : choices.indexSize;
    settings.threshold = choices.threshold;
    settings.unit = choices.unit.value_or(static_cast<double>(scored.scoredLocus));
    settings.controls = choices.controls;
    // The lanes of a sizing table, genotype table or per-sample file are its samples.
    std::vector<std::string> samples;
    if (dataSet.imported.dye != 0) {
        samples.resize(dataSet.lanelist.size());
        for (const SampleLane& s : dataSet.imported.tables.samples) {
            const auto at = std::lower_bound(dataSet.lanelist.begin(), dataSet.lanelist.end(), s.lane);
            if (at != dataSet.lanelist.end() && *at == s.lane) samples[static_cast<size_t>(at - dataSet.lanelist.begin())] = s.sample;
        }
    }
    return laneInstability(lanePeaks(dataSet.database.workingList(), dataSet.lanelist, samples), settings);
}

}  // namespace lociview
