// The instability indices of the scored run, gathered from the controller's
// state into the plain inputs of stats/Instability. Nothing here changes
// the state or writes a log line.
#include <algorithm>

#include "app/GeneController.h"

namespace lociview {

std::optional<InstabilityResult> GeneController::runInstability(const InstabilityChoices& choices) const {
    const StatisticsSource source = runStatisticsSource();
    if (source == StatisticsSource::None || source == StatisticsSource::OtherFile) return std::nullopt;
    const ScoringParameters run = readParameters(resultSource->fields, resultSource->locus, resultSource->maybes);
    InstabilitySettings settings;
    // The range filter kept the whole-number bounds.
    settings.low = run.lowInt;
    settings.high = run.highInt;
    settings.index = choices.index;
    settings.indexSize = choices.index == IndexSizeChoice::Progenitor1 ? run.p1 : choices.indexSize;
    settings.threshold = choices.threshold;
    settings.unit = choices.unit.value_or(static_cast<double>(scoredLocus));
    settings.controls = choices.controls;
    // The lanes of a sizing table, genotype table or per-sample file are its samples.
    std::vector<std::string> samples;
    if (imported.dye != 0) {
        samples.resize(lanelist.size());
        for (const SampleLane& s : imported.tables.samples) {
            const auto at = std::lower_bound(lanelist.begin(), lanelist.end(), s.lane);
            if (at != lanelist.end() && *at == s.lane) samples[static_cast<size_t>(at - lanelist.begin())] = s.sample;
        }
    }
    return laneInstability(lanePeaks(database.workingList(), lanelist, samples), settings);
}

}  // namespace lociview
