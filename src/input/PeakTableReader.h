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

// The numbers of a peak line as read: minutes, size, area and data point
// as single floats, the height as an int.
struct PeakNumbers {
    float minutes = 0.0f;
    float size = 0.0f;
    int32_t height = 0;
    float area = 0.0f;
    float dataPoint = 0.0f;
};

// One accepted line: lane digits, letters, dataID digits, then the five
// numbers as "%f" / "%d" texts. All texts are UTF-8. A row read as numbers
// keeps them and writes their texts only when they are asked for: a plate
// of tens of thousands of rows is scored without its numbers ever becoming
// text. A row made of texts keeps the eight one after another in one
// string with their ends beside them.
class PeakRow {
public:
    static constexpr size_t kFields = 8;

    PeakRow() = default;  // eight empty texts
    explicit PeakRow(const std::array<std::string_view, kFields>& fields);
    PeakRow(std::string_view lane, std::string_view letters, std::string_view dataId, const PeakNumbers& numbers);

    size_t size() const { return kFields; }
    std::string operator[](size_t i) const;
    std::string_view lane() const { return std::string_view(text).substr(0, ends[0]); }
    // Field i (3 to 7) read back from its text as a float, as a reader of
    // the row's texts gets it.
    float number(size_t i) const;
    bool operator==(const PeakRow& other) const;  // the same eight texts

private:
    std::string_view stored(size_t i) const;

    std::string text;
    std::array<uint32_t, kFields> ends{};
    std::optional<PeakNumbers> numbers;  // fields 3 to 7, when read as numbers
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
