// The report: everything needed to reproduce the results, gathered from
// the state into sections the desktop lays out on pages.
#include <chrono>

#include "app/FieldNotes.h"
#include "app/GeneController.h"
#include "base/DevLog.h"
#include "base/NumberText.h"
#include "base/Version.h"

namespace lociview {

namespace {

ReportSection section(std::string heading) {
    ReportSection s;
    s.heading = std::move(heading);
    return s;
}

void addTable(ReportSection& s, const TextTable& table, size_t maxColumns = kReportColumns) {
    for (TextTable& part : splitColumns(table, maxColumns)) s.tables.push_back(std::move(part));
}

}  // namespace

Report GeneController::report() const {
    Report r;
    const std::string file = scored.resultSource ? scored.resultSource->fileName : dataSet.fileName;
    r.title = "Lociview report" + (file.empty() ? std::string() : ": " + file);
    r.subtitle = "Lociview " + std::string(kVersion) + ", " + isoLocalTime(std::chrono::system_clock::now());

    if (!scored.scoring.counters) {
        ReportSection none = section("Results");
        none.paragraphs.push_back(dataSet.isWorkingOnFile ? "The open data set has not been scored yet."
                                                  : "No peak table has been opened and scored yet.");
        r.sections.push_back(std::move(none));
    } else {
        // Where the results come from and how they were scored.
        ReportSection source = section("Data and scoring parameters");
        source.facts = exportHeader(ExportTable::ByAllele).facts;
        if (scored.resultSource && !scored.resultSource->previousFile) {
            source.facts.emplace_back("lanes", std::to_string(dataSet.numlanes));
            source.facts.emplace_back("peaks", std::to_string(dataSet.database.count()));
        }
        const std::string ge = outlets.accumgeforun.text();
        source.facts.emplace_back("GE (accumulate window)",
                                  ge.empty() ? "none typed" : typedAndRead(ge, numberField("accumgeforun").reading));
        r.sections.push_back(std::move(source));

        ReportSection counters = section("Lane counters");
        for (const auto& row : countersTable(dataSet.numlanes, *scored.scoring.counters).rows)
            counters.facts.emplace_back(row[0], row[1]);
        r.sections.push_back(std::move(counters));

        ReportSection chart = section("Chart");
        chart.paragraphs.push_back("The peaks of the rows graphed: scored peaks black, the others grey.");
        chart.picture = ReportPicture::Chart;
        r.sections.push_back(std::move(chart));

        ReportSection stats = section("Statistics of the run");
        stats.paragraphs.push_back(runStatisticsSourceText() + ".");
        if (const std::optional<RunStatistics> run = runStatistics()) {
            stats.picture = ReportPicture::RunSpectrum;
            stats.tables.push_back(statisticsDisplayTable(statRows(*run)));
            stats.tables.push_back(spectrumTable(run->spectrum));
        }
        r.sections.push_back(std::move(stats));

        ReportSection byAllele = section("Results by allele");
        addTable(byAllele, *exportTable(ExportTable::ByAllele));
        r.sections.push_back(std::move(byAllele));

        ReportSection byLane = section("Results by lane");
        byLane.paragraphs.push_back(std::string("The height of each lane's peak at each allele size; maybe peaks ") +
                                    (maybesOn() ? "included." : "left out."));
        // Without the flags, which have a section of their own.
        addTable(byLane, sampleNamed(resultsTable({scored.scoring, dataSet.database, scored.locustype, maybesOn()}, true)));
        r.sections.push_back(std::move(byLane));

        if (hasExportTable(ExportTable::Instability)) {
            ReportSection indices = section("Repeat instability");
            indices.paragraphs.push_back(
                "The instability index of each lane and its expansion and contraction parts, in repeats from the "
                "index size, over the peaks at least the threshold times the lane's main peak; then their means over "
                "the lanes with 95% t intervals.");
            indices.facts = exportHeader(ExportTable::Instability).facts;
            addTable(indices, *exportTable(ExportTable::Instability));
            addTable(indices, *exportTable(ExportTable::InstabilityGroups));
            r.sections.push_back(std::move(indices));
        }

        ReportSection log = section("Scoring log");
        log.preformatted = outlets.datatext.text();
        if (log.preformatted.empty()) log.paragraphs.push_back("The scoring marked no peak.");
        r.sections.push_back(std::move(log));
    }

    if (dataSet.isWorkingOnFile) {
        ReportSection flagged = section("Flagged lanes");
        const std::vector<QualityFlag>& flags = qualityFlags();
        std::vector<int32_t> lanes;
        for (const QualityFlag& f : flags)
            if (lanes.empty() || lanes.back() != f.lane) lanes.push_back(f.lane);
        flagged.paragraphs.push_back(
            (lanes.empty() ? std::string("No lane is flagged")
                           : format("%zu of %d lanes %s flagged", lanes.size(), dataSet.numlanes, lanes.size() == 1 ? "is" : "are")) +
            format(" (off-scale at %s RFU, low signal below %s RFU).", shortestNumber(qualityLevels.saturation).c_str(),
                   shortestNumber(qualityLevels.lowSignal).c_str()));
        // A picture of the flagged lanes while they fit a page as bands.
        if (!lanes.empty() && lanes.size() <= kReportedLaneViews) flagged.picture = ReportPicture::FlaggedLanes;
        if (!flags.empty()) addTable(flagged, qualityFlagsTable(flags));
        r.sections.push_back(std::move(flagged));
    }

    if (const std::optional<TextTable> samples = exportTable(ExportTable::Samples)) {
        ReportSection s = section("Samples as lanes");
        s.facts = exportHeader(ExportTable::Samples).facts;
        addTable(s, *samples);
        r.sections.push_back(std::move(s));
    }

    ReportSection runs = section("Accumulated runs");
    if (accumulation.loggedRuns.empty()) {
        runs.paragraphs.push_back("The accumulator holds no run.");
        r.sections.push_back(std::move(runs));
        return r;
    }
    runs.facts = {{"runs", std::to_string(accumulation.loggedRuns.size())},
                  {"P1", std::to_string(accumulation.raccumulator.getP1())},
                  {"P2", std::to_string(accumulation.raccumulator.getP2())},
                  {"locus", accumulatedLocus()}};
    // Narrower parts: the dates and checksums are long.
    addTable(runs, runsTable(accumulation.loggedRuns), 5);
    r.sections.push_back(std::move(runs));

    const AccumulatedStatistics accumulated = accumulatedStatistics();
    ReportSection stats = section("Statistics of the accumulated runs");
    stats.picture = ReportPicture::AccumulatedSpectrum;
    stats.tables.push_back(statisticsDisplayTable(statRows(accumulated)));
    stats.tables.push_back(spectrumTable(accumulated.spectrum));
    r.sections.push_back(std::move(stats));
    return r;
}

}  // namespace lociview
