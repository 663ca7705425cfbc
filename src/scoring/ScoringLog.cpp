#include "scoring/ScoringLog.h"

#include <charconv>

#include "model/Allele.h"

namespace lociview {

const char* stringScore(int32_t code) {
    switch (code) {
        case UNMARKED: return "UNMARKED";
        case SCORED: return "SCORED";
        case MAYBE: return "MAYBE";
        case DISCARDED: return "DISCARDED";
        default: return "UNKNOWN VALUE PASSED TO stringScore(int x)";
    }
}

void DebugLog(LogSink& log, double size, int32_t lane, int32_t code) {
    logf(log, "marked allele %.2lf in lane %d as %s", size, lane, stringScore(code));
}

// "marked allele %.2lf with height %d in lane %d as %s\n", a line per peak
// of every run: written with to_chars, which prints as printf does in the C
// locale, without printf's parsing of the format each time.
std::string scoringLogLine(double size, int32_t height, int32_t lane, int32_t mark) {
    char number[400];  // the longest %.2f of a double is 312 characters
    const auto put = [&](std::string& line, std::to_chars_result written) { line.append(number, written.ptr); };
    std::string line = "marked allele ";
    put(line, std::to_chars(number, number + sizeof number, size, std::chars_format::fixed, 2));
    line += " with height ";
    put(line, std::to_chars(number, number + sizeof number, height));
    line += " in lane ";
    put(line, std::to_chars(number, number + sizeof number, lane));
    line += " as ";
    line += stringScore(mark);
    line += '\n';
    return line;
}

}  // namespace lociview
