#pragma once
// The tables Lociview exports and reports, made from the values the
// results, the statistics, the sample map and the run log hold.
#include <cstdint>
#include <string>
#include <vector>

#include "accum/RunLog.h"
#include "export/TableText.h"
#include "input/PeakImport.h"
#include "results/ResultsTable.h"
#include "scoring/ProgenitorSuggestion.h"
#include "scoring/ScoringResult.h"
#include "stats/QualityFlags.h"
#include "stats/StatsText.h"

namespace lociview {

enum class ExportTable {
    ByAllele,
    ByLane,
    Counters,
    RunStatistics,
    AccumulatedStatistics,
    Samples,
    Instability,        // each lane's instability indices
    InstabilityGroups,  // their means over all lanes, the controls and the groups
};

// What the table is, for headers and menus ("by-allele table"), and the
// end of the file name it is suggested under ("alleles").
const char* exportTableName(ExportTable table);
const char* exportFileSuffix(ExportTable table);

// A results-table cell as text: whole numbers as they are, weights with six
// decimals as the command line prints them, the same in every locale.
std::string cellText(const CellValue& cell);

// Those rows of the results table under those columns, titled as the table
// titles them.
TextTable resultsTable(const TableState& state, const std::vector<TableColumn>& columns,
                       const std::vector<int32_t>& rows);
// Every row of the table by allele or by lane.
TextTable resultsTable(const TableState& state, bool byLane);

// counter, value: lanes, then numemptylanes, numones and numtwos as the
// command line names them.
TextTable countersTable(int32_t lanes, const LaneCounters& counters);

// name, value, lower, upper, note: the rows of statsText.
TextTable statisticsTable(const std::vector<StatRow>& rows);
// Statistic, Value, 95% interval, Note: the rows as the panel words them.
TextTable statisticsDisplayTable(const std::vector<StatRow>& rows);

// progenitor, change_units, size, count: the rows of spectrumText.
TextTable spectrumTable(const AlleleSpectrum& spectrum);

// lane, sample, file, peaks.
TextTable samplesTable(const std::vector<SampleLane>& samples, const std::vector<std::string>& files);

// The title of the column of sample names that a by-lane table of samples
// laid out as lanes has after its lane column.
inline constexpr const char* kSampleColumnTitle = "Sample";

// The by-lane table (its first column the lanes) with each lane's sample
// after the lane column.
TextTable withSampleColumn(const TextTable& byLane, const std::vector<SampleLane>& samples);
// A by-lane table with a last column of each lane's quality flags and why
// ("" for a lane without any).
inline constexpr const char* kFlagsColumnTitle = "Flags";
TextTable withFlagsColumn(const TextTable& byLane, const std::vector<QualityFlag>& flags);

// lane, sample, flag, detail: one row per flag.
TextTable qualityFlagsTable(const std::vector<QualityFlag>& flags);
// The same as TSV, the --show qc block.
std::string qualityFlagsText(const std::vector<QualityFlag>& flags);

// The suggested progenitors: progenitor, size, lanes, note; a progenitor
// not found has an empty size, 0 lanes and the note.
TextTable suggestionTable(const ProgenitorSuggestion& suggestion);
// The same as TSV, the --show suggest block.
std::string suggestionText(const ProgenitorSuggestion& suggestion);

// The accumulated runs: number, date added, file and checksum, the fields
// as typed, locus, Maybes and lane counts.
TextTable runsTable(const std::vector<LoggedRun>& runs);

}  // namespace lociview
