#pragma once
// Reading one file that has a header row: finding the header, telling its
// columns by name and reading the rows below it into the file's samples and
// peaks, before lanes are given across files.
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "input/NumberForms.h"
#include "input/PeakImport.h"

namespace lociview {

// What one file gave.
struct FileSamples {
    PeakLayout layout = PeakLayout::Classic;
    char delimiter = 0;                // of a table
    int64_t headerLine = 0;            // 1 for the first line
    bool laneColumn = false;
    std::vector<std::string> names;    // samples in order of first appearance
    std::vector<int64_t> laneOf;       // per sample, with a Lane column: its number, or kNoLane
    std::vector<ImportedPeak> peaks;   // sample: index into names; lane not yet given
    // A Marker column's markers in order of first appearance (peaks index
    // them), and (sample, marker) of every row that names both, peaks or not.
    std::vector<std::string> markers;
    std::vector<std::pair<uint32_t, uint16_t>> sampleMarkers;
    SkipCounts skipped{};
    int64_t skippedRows = 0;           // rows with anything skipped
    int64_t dataRows = 0;
    // Rows whose size cell (any size cell of a pair table) holds a number;
    // rows split by another delimiter than the header's count when that
    // delimiter puts a number there. A file with none holds no data at all.
    int64_t sizedRows = 0;
    std::string refusal;               // not empty: the file is refused
    // The number columns not written as plain decimals, by their titles.
    std::vector<std::pair<std::string, NumberForm>> forms;

    static constexpr int64_t kNoLane = -1;  // no number, or not the same on every row
};

// Looks for a header row in the first 50 lines of the text: a line with at
// least two cells that name known columns. False when there is none;
// otherwise out holds the rows below it, or a refusal. A file without a
// Sample and a Lane column is one sample, named `sampleName`.
bool readHeaderTable(std::string_view text, const std::string& fileName, const std::string& sampleName,
                     FileSamples& out);

}  // namespace lociview
