#pragma once
// The peak table reader: turns the bytes of a peak file into rows of eight
// texts by the fixed line grammar, logging how the text was split and every
// line it tossed out. Pure: it touches no file and no controller state.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/DevLog.h"
#include "input/TextDecoding.h"

namespace lociview {

// One accepted line: lane digits, letters, dataID digits, then the five
// numbers as "%f" / "%d" texts. All texts are UTF-8.
using PeakRow = std::vector<std::string>;

// Reads the text of a peak file and appends every line that fits the grammar
// to rows. bytes is nothing for a file that could not be read at all.
void readPeakTable(std::optional<std::string_view> bytes, std::vector<PeakRow>& rows, LogSink& log);

// Whether readPeakTable would read at least one row from the bytes (it
// stops at the first).
bool peakTableHasRows(std::optional<std::string_view> bytes);

// A line of a per-sample peak file: the peak line without its lane item,
// "B,1<TAB>minutes<TAB>size<TAB>height<TAB>area<TAB>data point".
struct SamplePeakLine {
    std::string letters;  // UTF-8: the dye
    float size = 0.0f;
    int32_t height = 0;
    float area = 0.0f;
};

struct SamplePeakLines {
    std::vector<SamplePeakLine> lines;  // in file order
    size_t tossed = 0;                  // lines with text that do not fit
};

// Reads the bytes as readPeakTable does (the same text, line ends and item
// forms, so numbers read alike) by the grammar without the lane item. Blank
// lines are neither read nor tossed; nothing is logged.
SamplePeakLines readSamplePeakLines(std::optional<std::string_view> bytes);

}  // namespace lociview
