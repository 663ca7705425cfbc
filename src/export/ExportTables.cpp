#include "export/ExportTables.h"

#include <algorithm>
#include <charconv>

#include "base/NumberText.h"
#include "scoring/Locus.h"
#include "stats/StatDisplay.h"

namespace lociview {

namespace {

std::string cell(const std::optional<double>& value) { return value ? statNumber(*value) : std::string(); }

}  // namespace

const char* exportTableName(ExportTable table) {
    switch (table) {
        case ExportTable::ByAllele: return "by-allele table";
        case ExportTable::ByLane: return "by-lane table";
        case ExportTable::Counters: return "lane counters";
        case ExportTable::RunStatistics: return "statistics of the run";
        case ExportTable::AccumulatedStatistics: return "statistics of the accumulated runs";
        case ExportTable::Samples: return "samples as lanes";
        case ExportTable::Instability: return "instability indices by lane";
        case ExportTable::InstabilityGroups: return "instability indices by group";
    }
    return "table";
}

const char* exportFileSuffix(ExportTable table) {
    switch (table) {
        case ExportTable::ByAllele: return "alleles";
        case ExportTable::ByLane: return "lanes";
        case ExportTable::Counters: return "counters";
        case ExportTable::RunStatistics: return "stats";
        case ExportTable::AccumulatedStatistics: return "accumulated-stats";
        case ExportTable::Samples: return "samples";
        case ExportTable::Instability: return "instability";
        case ExportTable::InstabilityGroups: return "instability-groups";
    }
    return "table";
}

std::string cellText(const CellValue& value) {
    if (const auto* i = std::get_if<int32_t>(&value)) return std::to_string(*i);
    if (const auto* d = std::get_if<double>(&value)) return fixedText(*d, 6);
    return std::get<std::string>(value);
}

TextTable resultsTable(const TableState& state, const std::vector<TableColumn>& columns,
                       const std::vector<int32_t>& rows) {
    TextTable table;
    for (const TableColumn& c : columns) table.columns.push_back(c.title);
    for (const int32_t r : rows) {
        std::vector<std::string> cells;
        for (const TableColumn& c : columns) cells.push_back(cellText(tableCell(state, c.identifier, r)));
        table.rows.push_back(std::move(cells));
    }
    return table;
}

TextTable resultsTable(const TableState& state, bool byLane) {
    std::vector<TableColumn> columns;
    if (byLane) columns = byLaneColumns(state.result);
    else columns.assign(byAlleleColumns().begin(), byAlleleColumns().end());
    std::vector<int32_t> rows(static_cast<size_t>(tableRowCount(state.result, byLane)));
    for (size_t r = 0; r < rows.size(); ++r) rows[r] = static_cast<int32_t>(r);
    return resultsTable(state, columns, rows);
}

TextTable countersTable(int32_t lanes, const LaneCounters& counters) {
    return {{"counter", "value"},
            {{"lanes", std::to_string(lanes)},
             {"numemptylanes", std::to_string(counters.empty)},
             {"numones", std::to_string(counters.ones)},
             {"numtwos", std::to_string(counters.twos)}}};
}

TextTable statisticsTable(const std::vector<StatRow>& rows) {
    TextTable table{{"name", "value", "lower", "upper", "note"}, {}};
    for (const StatRow& r : rows)
        table.rows.push_back(
            {r.name, cell(r.estimate.value), cell(r.estimate.lower), cell(r.estimate.upper), r.estimate.note});
    return table;
}

TextTable statisticsDisplayTable(const std::vector<StatRow>& rows) {
    TextTable table{{"Statistic", "Value", "95% interval", "Note"}, {}};
    for (const StatLine& line : statLines(rows)) table.rows.push_back({line.title, line.value, line.interval, line.note});
    return table;
}

TextTable spectrumTable(const AlleleSpectrum& spectrum) {
    TextTable table{{"progenitor", "change_units", "size", "count"}, {}};
    for (const ProgenitorSpectrum& p : spectrum.progenitors)
        for (const SpectrumBar& bar : p.bars)
            table.rows.push_back({p.name, statNumber(bar.change), std::to_string(bar.size), std::to_string(bar.count)});
    return table;
}

TextTable samplesTable(const std::vector<SampleLane>& samples, const std::vector<std::string>& files) {
    TextTable table{{"lane", "sample", "file", "peaks"}, {}};
    for (const SampleLane& s : samples)
        table.rows.push_back({std::to_string(s.lane), s.sample, s.file < files.size() ? files[s.file] : std::string(),
                              std::to_string(s.peaks)});
    return table;
}

namespace {

// The lane a by-lane row is of: its first cell as a number.
std::optional<int32_t> laneOfRow(const std::vector<std::string>& row) {
    int32_t lane = 0;
    if (row.empty() || std::from_chars(row[0].data(), row[0].data() + row[0].size(), lane).ec != std::errc())
        return std::nullopt;
    return lane;
}

}  // namespace

TextTable withSampleColumn(const TextTable& byLane, const std::vector<SampleLane>& samples) {
    TextTable table = byLane;
    if (table.columns.empty()) return table;
    table.columns.insert(table.columns.begin() + 1, kSampleColumnTitle);
    for (auto& row : table.rows) {
        const std::optional<int32_t> lane = laneOfRow(row);
        row.insert(row.begin() + std::min<std::ptrdiff_t>(1, static_cast<std::ptrdiff_t>(row.size())),
                   lane ? sampleOfLane(samples, *lane) : std::string());
    }
    return table;
}

TextTable withFlagsColumn(const TextTable& byLane, const std::vector<QualityFlag>& flags) {
    TextTable table = byLane;
    if (table.columns.empty()) return table;
    table.columns.push_back(kFlagsColumnTitle);
    for (auto& row : table.rows) {
        const std::optional<int32_t> lane = laneOfRow(row);
        row.resize(table.columns.size() - 1);
        row.push_back(lane ? laneFlagsText(flags, *lane) : std::string());
    }
    return table;
}

TextTable qualityFlagsTable(const std::vector<QualityFlag>& flags) {
    TextTable table{{"lane", "sample", "flag", "detail"}, {}};
    for (const QualityFlag& f : flags)
        table.rows.push_back({std::to_string(f.lane), f.sample, qualityFlagName(f.kind), f.detail});
    return table;
}

std::string qualityFlagsText(const std::vector<QualityFlag>& flags) {
    return delimitedText(qualityFlagsTable(flags), Delimiter::Tab);
}

TextTable suggestionTable(const ProgenitorSuggestion& s) {
    TextTable table{{"progenitor", "size", "lanes", "note"}, {}};
    const std::pair<const char*, const std::optional<SuggestedSize>&> rows[] = {{"P1", s.p1}, {"P2", s.p2}};
    for (const auto& [name, size] : rows)
        table.rows.push_back(size ? std::vector<std::string>{name, std::to_string(size->size), std::to_string(size->lanes), ""}
                                  : std::vector<std::string>{name, "", "0", s.note});
    return table;
}

std::string suggestionText(const ProgenitorSuggestion& suggestion) {
    return delimitedText(suggestionTable(suggestion), Delimiter::Tab);
}

TextTable runsTable(const std::vector<LoggedRun>& runs) {
    TextTable table{{"run", "added", "file", "file SHA-256", "P1", "P2", "low range", "high range", "shift",
                     "stutter tolerance", "GE", "locus", "Maybes", "lanes", "empty lanes", "one-allele lanes",
                     "two-or-more-allele lanes"},
                    {}};
    for (const LoggedRun& run : runs) {
        const RunRecord& r = run.record;
        const TypedFields& f = r.fields;
        table.rows.push_back({std::to_string(run.run), run.addedAt, r.fileName, r.fileSha256, f.p1, f.p2, f.low,
                              f.high, f.shift, f.stutter, f.ge, std::string(locusName(r.locus)),
                              r.maybes ? "on" : "off", std::to_string(r.lanes), std::to_string(r.emptyLanes),
                              std::to_string(r.oneLanes), std::to_string(r.twoOrMoreLanes)});
    }
    return table;
}

}  // namespace lociview
