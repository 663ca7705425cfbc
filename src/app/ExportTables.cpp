// The exported tables: each as the window shows it, with a header naming
// the file, its checksum and the fields the results come from.
#include <chrono>

#include "app/FieldNotes.h"
#include "app/GeneController.h"
#include "app/ScoringFields.h"
#include "base/NumberText.h"
#include "export/InstabilityTables.h"
#include "scoring/Locus.h"

namespace lociview {

namespace {

using Facts = std::vector<std::pair<std::string, std::string>>;

const char* onOff(bool on) { return on ? "on" : "off"; }

// A field as typed, and what was used where its text is not one plain
// number: "1,5 (read as 1)".
std::string typed(const char* field, const std::string& text) {
    return typedAndRead(text, numberField(field).reading);
}

// The results' file and the fields as typed for their run.
Facts resultFacts(const ResultProvenance& source) {
    const ParameterTexts& f = source.fields;
    Facts facts = {{"file", source.fileName}, {"file SHA-256", source.fileSha256}};
    for (const ScoringField& field : scoringFields())
        facts.emplace_back(field.number.label, typedAndRead(f.*field.text, field.number.reading));
    facts.emplace_back("locus", std::string(locusName(source.locus)));
    facts.emplace_back("Maybes", onOff(source.maybes));
    if (source.previousFile)
        facts.emplace_back("note", "another file has been opened since; these are the results of the file named here");
    return facts;
}

void addLayout(Facts& facts, const ImportedDataSet& imported) {
    if (imported.dye == 0) return;
    facts.emplace_back("layout", imported.tables.layoutName);
    facts.emplace_back("dye", dyeName(imported.dye));
}

}  // namespace

bool GeneController::hasExportTable(ExportTable which) const {
    switch (which) {
        case ExportTable::ByAllele:
        case ExportTable::ByLane:
        case ExportTable::Counters:
            return scored.scoring.counters.has_value();  // a run scored to its end
        case ExportTable::RunStatistics:
            return runStatisticsInput().has_value();  // and the file open is the one scored
        case ExportTable::AccumulatedStatistics:
            return !accumulation.loggedRuns.empty();
        case ExportTable::Samples:
            return dataSet.isWorkingOnFile && dataSet.imported.dye != 0;  // a sizing table, genotype table or per-sample file
        case ExportTable::Instability:
        case ExportTable::InstabilityGroups: {
            const std::optional<InstabilityResult> indices = runInstability(instabilityChosen);
            return indices && !indices->problem;
        }
    }
    return false;
}

std::optional<TextTable> GeneController::exportTable(ExportTable which) const {
    if (!hasExportTable(which)) return std::nullopt;
    const TableState state{scored.scoring, dataSet.database, scored.locustype, maybesOn()};
    switch (which) {
        case ExportTable::ByAllele:
            return resultsTable(state, false);
        case ExportTable::ByLane:
            return flagged(sampleNamed(resultsTable(state, true)));
        case ExportTable::Counters:
            return countersTable(dataSet.numlanes, *scored.scoring.counters);
        case ExportTable::RunStatistics:
            return statisticsTable(statRows(*runStatistics()));
        case ExportTable::AccumulatedStatistics:
            return statisticsTable(statRows(accumulatedStatistics()));
        case ExportTable::Samples:
            return samplesTable(dataSet.imported.tables.samples, dataSet.imported.tables.files);
        case ExportTable::Instability:
            return instabilityTable(runInstability(instabilityChosen)->lanes);
        case ExportTable::InstabilityGroups:
            return instabilityGroupsTable(
                groupInstability(runInstability(instabilityChosen)->lanes, instabilityGroups, instabilityChosen.controls)
                    .groups);
    }
    return std::nullopt;
}

ExportHeader GeneController::exportHeader(ExportTable which) const {
    ExportHeader header{exportTableName(which), isoLocalTime(std::chrono::system_clock::now()), {}};
    Facts& facts = header.facts;
    switch (which) {
        case ExportTable::Samples:
            facts = {{"file", dataSet.fileName}, {"file SHA-256", dataSet.fileSha256}};
            addLayout(facts, dataSet.imported);
            return header;
        case ExportTable::AccumulatedStatistics:
            facts = {{"runs", std::to_string(accumulation.loggedRuns.size())},
                     {"P1", std::to_string(accumulation.raccumulator.getP1())},
                     {"P2", std::to_string(accumulation.raccumulator.getP2())},
                     {"locus", accumulatedLocus()}};
            for (const LoggedRun& run : accumulation.loggedRuns) {
                const RunRecord& r = run.record;
                facts.emplace_back("run " + std::to_string(run.run),
                                   r.fileName + ", SHA-256 " + r.fileSha256 + ", GE " + r.fields.ge + ", P1 " +
                                       r.fields.p1 + ", P2 " + r.fields.p2 + ", range " + r.fields.low + " to " +
                                       r.fields.high + ", shift " + r.fields.shift + ", stutter tolerance " +
                                       r.fields.stutter + ", " + std::string(locusName(r.locus)) + ", Maybes " +
                                       onOff(r.maybes) + ", added " + run.addedAt);
            }
            return header;
        default:
            break;
    }
    if (scored.resultSource) {
        facts = resultFacts(*scored.resultSource);
        if (!scored.resultSource->previousFile) addLayout(facts, dataSet.imported);
    }
    if (which == ExportTable::RunStatistics) {
        facts.emplace_back("statistics of", runStatisticsSourceText());
        if (scored.scoring.cleanedUp && !scored.lastCleanUp.empty()) facts.emplace_back("last clean-up", scored.lastCleanUp);
        facts.emplace_back("GE", typed("accumgeforun", outlets.accumgeforun.text()));
    }
    if (which == ExportTable::Instability || which == ExportTable::InstabilityGroups) {
        const InstabilityChoices& c = instabilityChosen;
        const char* const index[] = {"each lane's main peak", "P1", "typed", "mean main peak of the controls"};
        facts.emplace_back("index size", index[static_cast<int>(c.index)] +
                                             (c.index == IndexSizeChoice::Typed ? " " + shortestNumber(c.indexSize) : ""));
        facts.emplace_back("peak threshold", shortestNumber(c.threshold));
        facts.emplace_back("repeat unit", shortestNumber(c.unit.value_or(scored.scoredLocus)) + " bp");
        std::string controls;
        for (const std::string& item : c.controls) controls += (controls.empty() ? "" : ", ") + item;
        facts.emplace_back("controls", controls.empty() ? "none" : controls);
    }
    // The table's cells show maybe peaks as the check box is now.
    if (which == ExportTable::ByLane) facts.emplace_back("Maybes in the cells", onOff(maybesOn()));
    return header;
}

std::string GeneController::exportText(ExportTable which, Delimiter delimiter) const {
    const std::optional<TextTable> table = exportTable(which);
    if (!table) return {};
    return lociview::exportText(exportHeader(which), *table, delimiter);
}

TextTable GeneController::shownTableRows(const std::vector<int>& rows) const {
    const std::vector<std::string> ids = outlets.tabl.columnIdentifiers();
    const std::vector<std::string> titles = outlets.tabl.columnTitles();
    std::vector<TableColumn> columns;
    for (size_t i = 0; i < ids.size(); ++i) columns.push_back({ids[i], i < titles.size() ? titles[i] : ids[i]});
    const int32_t count = numberOfRowsInTableView();
    std::vector<int32_t> shown;
    for (const int r : rows)
        if (r >= 0 && r < count) shown.push_back(r);
    const TextTable table = resultsTable({scored.scoring, dataSet.database, scored.locustype, maybesOn()}, columns, shown);
    return !ids.empty() && ids.front() == byLaneColumns(scored.scoring).front().identifier ? flagged(sampleNamed(table)) : table;
}

bool GeneController::flagsShownByLane() const { return dataSet.isWorkingOnFile && !(scored.resultSource && scored.resultSource->previousFile); }

TextTable GeneController::flagged(const TextTable& byLane) const {
    // Flags are the open data set's: none for the lanes of a file before it.
    return flagsShownByLane() ? withFlagsColumn(byLane, qualityFlags()) : byLane;
}

TextTable GeneController::sampleNamed(const TextTable& byLane) const {
    // The lanes of a sizing table, genotype table or per-sample file are samples: their names.
    if (dataSet.imported.dye == 0 || (scored.resultSource && scored.resultSource->previousFile)) return byLane;
    return withSampleColumn(byLane, dataSet.imported.tables.samples);
}

}  // namespace lociview
