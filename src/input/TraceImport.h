#pragma once
// Sized traces (.fsa files) as the same data set the equivalent sizing
// table gives: one file is one sample is one lane, in the order given;
// the sample is the file's SpNm, else its name; dyes are lettered by
// position as peak tables write them; a peak outside the standard's range
// has no size and is left out. Also what the import review shows per file.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/DevLog.h"
#include "input/PeakImport.h"
#include "trace/TraceSizing.h"

namespace lociview {

// Whether a file is to be read as a trace: named .fsa or .hid (case
// aside), or beginning "ABIF" whatever its name.
bool isTraceFile(std::string_view name, std::string_view bytes);

// The text of a least peak height (--min-height, a script's min-height) as
// a height in RFU: a plain positive number; nothing for any other text.
std::optional<double> minHeightOption(const std::string& text);

// The letter of dye `dye` (0 for the first) of a trace of `dyes` dyes:
// four B G Y R, five B G Y R O, six B G Y R P O; fewer, B G Y.
char traceDyeLetter(int dyes, int dye);

// The cells a sizing table of traces writes for a peak's numbers: size in
// bp with two decimals, height and area as whole numbers. The import
// reads every trace peak through them, so the table read back gives the
// same numbers.
std::string traceSizeText(double size);
std::string traceHeightText(double height);
std::string traceAreaText(double area);

// The data set of the traces, in the order given. Refused, with the first
// file's problem, when any file could not be read, and when no peak of any
// file could be sized. The traces' messages become its notes.
PeakImport importTraces(const std::vector<SizedTrace>& traces, LogSink& log);

// One file as the import review shows it.
struct TraceReviewRow {
    std::string file, sample, well, standard;
    int matched = 0, expected = 0;
    double worstRSquared = 0.0;  // NaN when there is no fit
    bool sized = false;
    std::vector<DyeCount> peaks;  // sized peaks per dye, in channel order
    std::vector<std::string> messages;
};
std::vector<TraceReviewRow> traceReview(const std::vector<SizedTrace>& traces);

// The review as TSV with a title row: file, sample, well, standard,
// matched, expected, worst R-squared (four decimals, empty without a fit),
// message (the file's messages joined by a blank; tabs and line breaks
// become blanks).
std::string traceReviewText(const std::vector<SizedTrace>& traces);
std::string traceReviewText(const std::vector<TraceReviewRow>& rows);
// The same as titles and rows of cells.
std::vector<std::string> traceReviewTitles();
std::vector<std::vector<std::string>> traceReviewCells(const std::vector<TraceReviewRow>& rows);

}  // namespace lociview
