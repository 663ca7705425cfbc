#pragma once
// The peak table reader: turns the bytes of a peak file into rows of eight
// texts by the fixed line grammar, logging how the text was split and every
// line it tossed out. Pure: it touches no file and no controller state.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/DevLog.h"
#include "input/TextDecoding.h"

namespace lociview {

// One accepted line: lane digits, letters, dataID digits, then the five
// numbers as "%f" / "%d" texts. All texts are UTF-8. The eight texts are
// kept one after another in one string with their ends beside them: a
// table of millions of rows then takes little more than its text, where
// eight strings of their own took about 300 bytes a row.
class PeakRow {
public:
    static constexpr size_t kFields = 8;

    PeakRow() = default;  // eight empty texts
    explicit PeakRow(const std::array<std::string_view, kFields>& fields);

    size_t size() const { return kFields; }
    std::string_view operator[](size_t i) const {
        const uint32_t begin = i == 0 ? 0 : ends[i - 1];
        return std::string_view(text).substr(begin, ends[i] - begin);
    }
    bool operator==(const PeakRow&) const = default;

private:
    std::string text;
    std::array<uint32_t, kFields> ends{};
};

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
