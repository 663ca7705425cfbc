#pragma once
// Reading the peak tables labs export today (sizing tables with a header
// row, genotype tables of Size/Height pairs, per-sample peak files without
// lane numbers) into samples laid out as lanes, and handing one dye of
// them to the classic pipeline as classic rows. Values in, values out: no
// file, no controller, no toolkit.
//
// A header row is looked for in the first 50 lines; it splits at tabs, else
// commas, else semicolons. Each number column is read as plain decimals,
// unless its cells read as written with a decimal comma (where the
// delimiter is not a comma) or with marks between thousands ("2,133",
// "3.394", "2 133"): then in that form, which a note names.
// Columns are found by name, case aside, trimmed, without quotes, with dots,
// underscores and slashes read as spaces: sample "Sample File Name", else
// "Sample Name", "Sample File", "Sample"; "Size"; "Height", else "Peak
// Height"; area "Area", else "Area in Point", "Peak Area"; "Lane"; dye
// "Dye/Sample Peak" ("B,12"), else "Dye" (a letter or colour); genotype pairs
// "Size N" / "Height N" (/ "Area N"). Text is UTF-16 after a byte-order
// mark, else UTF-8 when it is valid UTF-8, else Latin-1.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "base/DevLog.h"
#include "input/PeakTableReader.h"

namespace lociview {

// One file to read: its name as the user knows it (messages and the sample
// map show it; a per-sample file's sample is named after it) and its bytes,
// nothing when it could not be read. The bytes must outlive the call only.
struct ImportFile {
    std::string name;
    std::optional<std::string_view> bytes;
};

enum class PeakLayout {
    Classic,        // lines with lane numbers: read by readPeakTable, not here
    SizingTable,    // a header row, one peak per row, a Sample or Lane column
    GenotypeTable,  // a header row, "Size N" / "Height N" pairs, a Sample or Lane column
    PerSampleFile,  // one sample per file: peak lines without lane numbers, or a header without Sample and Lane
    Traces,         // instrument trace files, sized: read by importTraces (TraceImport.h), not here
};

enum class ImportStatus {
    Imported,       // peaks were read; the data set may be replaced
    Refused,        // message says why; nothing may change
    NotRecognised,  // no layout found: the caller ends as for a file without data
    Classic,        // one file the classic grammar reads: use readPeakTable
};

// Why a row (for genotype tables: a Size/Height pair) gave no peak.
enum class SkipReason : uint8_t {
    NoSample,          // the Sample (or Lane) cell is empty
    SizeEmpty,         // empty or NA
    SizeNotNumber,     // text, NaN, "185.3 bp"
    SizeOutOfRange,    // beyond single precision (1e999)
    HeightEmpty,
    HeightNotNumber,
    HeightOutOfRange,
    DyeUnknown,        // the dye cell is no dye letter or colour
    NoPairFilled,      // a genotype row without any Size/Height pair
    NotAPeakLine,      // a line of a per-sample file that fits no peak line
};
inline constexpr size_t kSkipReasons = 10;
using SkipCounts = std::array<int64_t, kSkipReasons>;

// A short phrase for the reason ("size not a number").
const char* skipReasonText(SkipReason reason);

// The dye of peaks from a table that has no dye column.
inline constexpr char kNoDye = '?';

struct ImportedPeak {
    int32_t lane = 0;
    uint32_t sample = 0;  // index into PeakImport::samples
    char dye = kNoDye;    // an upper-case letter, or kNoDye
    float size = 0.0f;    // single precision, read as the classic reader reads it
    int32_t height = 0;   // truncated toward zero, saturated at the 32-bit limits
    float area = 0.0f;    // 0 when the file gives none
    uint16_t marker = 0;  // index into PeakImport::markers (0 without a Marker column)
};

struct SampleLane {
    int32_t lane = 0;
    std::string sample;
    uint32_t file = 0;   // index into PeakImport::files
    int64_t peaks = 0;   // of every dye (sampleLanes() counts one dye)
};

struct DyeCount {
    char dye = kNoDye;
    int64_t peaks = 0;
};

// What one file of the data set gave: its rows (lines after any header,
// blank ones not counted) and those with anything skipped, and why.
struct FileRows {
    int64_t rows = 0;
    int64_t skippedRows = 0;
    SkipCounts skipped{};
};

// A marker of a Marker column (multiplex tables) with its peaks by dye.
struct MarkerCount {
    std::string name;            // "" for rows that name none
    std::vector<DyeCount> dyes;  // in the order of PeakImport::dyes
};

struct PeakImport {
    ImportStatus status = ImportStatus::NotRecognised;
    std::string message;                // Refused: what the user is told
    PeakLayout layout = PeakLayout::Classic;
    std::string layoutName;             // for the user: "Sizing table (comma-separated)"
    std::vector<std::string> files;     // the ImportFile names, in the order given
    std::vector<SampleLane> samples;    // ascending lane, one per sample
    std::vector<ImportedPeak> peaks;    // ascending lane; a sample's peaks in file order
    std::vector<DyeCount> dyes;         // every dye with peaks, in channel order B G Y R O P, others, kNoDye
    // A Marker column's markers, in order of first appearance, and the
    // (sample, marker) of every row that names both, ascending; both empty
    // without a Marker column, and once one marker is chosen (marker).
    std::vector<MarkerCount> markers;
    std::vector<std::pair<uint32_t, uint16_t>> sampleMarkers;
    std::string marker;                 // the marker chosen (selectMarker)
    std::string markerNote;             // which was scored of several, when none was named (also a note)
    bool lanesFromColumn = false;       // the Lane column numbers the samples
    SkipCounts skipped{};
    int64_t dataRows = 0;               // rows (lines) read after any header, blank ones not counted
    std::vector<FileRows> fileRows;     // per file, in the order given
    // Things the user should know ("the Lane column was not used: ...",
    // numbers written with a decimal comma or marks between thousands).
    std::vector<std::string> notes;
};

// An import refused with the message, nothing else in it.
PeakImport refusedImport(std::string message);

// Peaks counted per dye (indexed by the letter) as the dyes of a data set:
// in channel order B G Y R O P, other letters, then kNoDye.
std::vector<DyeCount> dyesInChannelOrder(const std::array<int64_t, 256>& perDye);

// Reads the files as one data set. Lanes: samples in order of first
// appearance, numbered 1, 2, 3... across the files in the order given (a
// per-sample file is one lane, tables are appended sample by sample); a
// single table's Lane column gives the lanes when it numbers every sample
// once. Writes a line per file read to the log; nothing when no layout is
// recognised.
PeakImport importPeakTables(const std::vector<ImportFile>& files, LogSink& log);

// The dye of a text: a letter (either case) or a colour word (blue B,
// green G, yellow Y, red R, orange O, purple P); "?" is kNoDye; 0 for any
// other text. A cell like "B,12" or "B, 12" gives its letter.
char dyeLetter(std::string_view text);

// "B (blue)", "K", "? (no dye column)".
std::string dyeName(char dye);

// The channel taken for the size standard: orange when there are orange
// peaks, else red when there are red ones (four-dye sets run their
// standard in red, five-dye sets in orange), else 0.
char sizeStandardDye(const PeakImport& import);

// B when there are B peaks; else the dye with most peaks other than the
// size standard (ties in channel order); the standard only when it is the
// only dye. 0 when there are no peaks.
char defaultDye(const PeakImport& import);

// The dye to score for what the user asked: empty text gives the default.
struct DyeChoice {
    char dye = 0;
    std::string refusal;  // not empty: the request is refused, naming the dyes present
};
DyeChoice selectDye(const PeakImport& import, std::string_view requested);

// The marker scored when none is asked for: the one with most peaks in the
// dye, a named one before rows that name none, the first on a tie; "" when
// there is no Marker column.
std::string defaultMarker(const PeakImport& import, char dye);

// Keeps the peaks and samples of one marker: the one named, or for an
// empty name the default for the dye (dye 0: the default dye). Samples
// without a row of it are no lanes; the others are numbered 1, 2, 3... in
// their order unless the Lane column numbered them. Nothing changes
// without a Marker column. A refusal names the markers there are; with
// several markers and none named, a note says which one is scored.
std::string selectMarker(PeakImport& import, std::string_view requested, char dye);

// The peaks of one dye as the classic reader's rows (lane, dye letter or
// "?", peak number in the lane, 0 minutes, size, height, area, 0 data point:
// "%d" and "%f" texts), in lane order and a sample's peaks in file order, so
// convertDataTextToDataData makes the same records a classic file of those
// numbers would.
std::vector<PeakRow> classicRows(const PeakImport& import, char dye);

// The sample map with the peaks of one dye counted.
std::vector<SampleLane> sampleLanes(const PeakImport& import, char dye);

// The sample laid out as a lane ("" for a lane no sample has).
std::string sampleOfLane(const std::vector<SampleLane>& samples, int32_t lane);

// The sample map as TSV: "lane<TAB>sample<TAB>file<TAB>peaks" and a line per
// sample, peaks of one dye; tabs and line breaks in names become spaces.
std::string sampleTableText(const PeakImport& import, char dye);
// The same of samples already counted (files: the names their file indexes
// point into).
std::string sampleTableText(const std::vector<SampleLane>& samples, const std::vector<std::string>& files);

// "Skipped: 10 size empty or NA, 2 height not a number." or "".
std::string skippedSummary(const PeakImport& import);

// "2,603 of 22,016 rows skipped: height not a number", or with several
// reasons "12 of 40 rows skipped: 10 size empty or NA, 2 height not a
// number"; "" when nothing was skipped.
std::string skippedRowsText(const FileRows& rows);

}  // namespace lociview
