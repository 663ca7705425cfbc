// The SP-PCR statistics of the current scored run and of the accumulated
// runs, gathered from the controller's state into the plain inputs of
// stats/. Nothing here changes the state, writes a log line or a field.
#include <algorithm>
#include <cstdint>
#include <limits>
#include <string_view>

#include "app/GeneController.h"
#include "base/NumberText.h"
#include "scoring/Locus.h"
#include "scoring/Summaries.h"

namespace lociview {

namespace {

// The run's GE is the text of the accumulate window's field, read as adding
// the run reads it. A field never typed into (or only blanks) is no GE,
// which the statistics say so; any other text reads as its leading number.
std::optional<double> typedGE(std::string_view text) {
    if (text.find_first_not_of(" \t") == std::string_view::npos) return std::nullopt;
    return doubleValue(text);
}

LaneCounts laneCounts(int32_t lanes, const LaneCounters& c) { return {lanes, c.empty, c.ones, c.twos}; }

// The accumulator holds one record per counted allele, run after run and
// size after size; equal neighbours become one row (a row's count stays a
// 32-bit number: a longer stretch is split).
std::vector<AlleleRow> recordRows(const std::vector<accumallele>& records) {
    std::vector<AlleleRow> rows;
    for (const accumallele& r : records) {
        const int32_t size = saturatingInt(r.getSize());
        if (rows.empty() || rows.back().size != size || rows.back().count == std::numeric_limits<int32_t>::max())
            rows.push_back({size, 0, 0.0});
        ++rows.back().count;
    }
    return rows;
}

// The loci of the accumulated runs, each once, in the order first added.
std::vector<int32_t> runLoci(const accumdb& accumulator) {
    std::vector<int32_t> loci;
    for (const AccumulatedRun& run : accumulator.accumulatedRuns())
        if (std::find(loci.begin(), loci.end(), run.locus) == loci.end()) loci.push_back(run.locus);
    return loci;
}

std::string lociText(const std::vector<int32_t>& loci) {
    std::string text;
    for (const int32_t locus : loci) text += (text.empty() ? "" : ", ") + std::string(locusName(locus));
    return text;
}

}  // namespace

std::string GeneController::accumulatedLocus() const {
    const std::vector<int32_t> loci = runLoci(accumulation.raccumulator);
    return loci.size() > 1 ? lociText(loci) + " (not pooled)" : lociText(loci);
}

StatisticsSource GeneController::runStatisticsSource() const {
    if (!scored.scoring.counters || !scored.resultSource) return StatisticsSource::None;
    if (scored.resultSource->previousFile) return StatisticsSource::OtherFile;
    return scored.scoring.cleanedUp ? StatisticsSource::AfterCleanUp : StatisticsSource::ScoredRun;
}

std::string GeneController::runStatisticsSourceText() const {
    return statisticsSourceText(runStatisticsSource(), scored.resultSource ? scored.resultSource->fileName : std::string());
}

std::optional<RunInput> GeneController::runStatisticsInput() const {
    const StatisticsSource source = runStatisticsSource();
    // The lanes of another file would mix with this run's classes.
    if (source == StatisticsSource::None || source == StatisticsSource::OtherFile) return std::nullopt;
    RunInput in;
    if (source == StatisticsSource::AfterCleanUp) {
        // The lane classes and counts of the peaks still counted, in the
        // run's own range and with its Maybes; the counters the window
        // shows keep the run's values.
        const ScoringParameters run = readParameters(scored.resultSource->fields, scored.resultSource->locus, scored.resultSource->maybes);
        in.lanes = laneCounts(dataSet.numlanes, countLanes(dataSet.database, dataSet.lanelist, run.lowInt, run.highInt, run.maybes()));
        in.alleles = countMarkedRows(dataSet.database, scored.scoring.alleles, static_cast<float>(tolForLocus(run.locustype)),
                                     run.maybes());
    } else {
        in.lanes = laneCounts(dataSet.numlanes, *scored.scoring.counters);
        in.alleles = scored.scoring.alleles;
    }
    in.ge = typedGE(outlets.accumgeforun.text());
    in.p1 = intValue(outlets.progenitor1.text());
    in.p2 = intValue(outlets.progenitor2.text());
    in.repeatUnit = scored.scoredLocus;
    return in;
}

AccumulatedInput GeneController::accumulatedStatisticsInput() const {
    AccumulatedInput in;
    for (const AccumulatedRun& run : accumulation.raccumulator.accumulatedRuns())
        in.runs.push_back({laneCounts(run.lanes, run.counters), run.ge});
    in.alleles = recordRows(accumulation.raccumulator.records());
    in.p1 = accumulation.raccumulator.getP1();
    in.p2 = accumulation.raccumulator.getP2();
    // Each run's own locus, as it was scored: runs of one locus pool, runs
    // of different loci have no one repeat unit.
    const std::vector<int32_t> loci = runLoci(accumulation.raccumulator);
    if (loci.size() == 1) in.repeatUnit = loci.front();
    if (loci.size() > 1) in.mixedLoci = lociText(loci);
    return in;
}

std::optional<RunStatistics> GeneController::runStatistics() const {
    const std::optional<RunInput> in = runStatisticsInput();
    if (!in) return std::nullopt;
    return lociview::runStatistics(*in);
}

AccumulatedStatistics GeneController::accumulatedStatistics() const {
    return lociview::accumulatedStatistics(accumulatedStatisticsInput());
}

}  // namespace lociview
