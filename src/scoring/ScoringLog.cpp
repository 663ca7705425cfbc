#include "scoring/ScoringLog.h"

#include <algorithm>
#include <charconv>
#include <string_view>

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
    char buf[400];
    char* const end = buf + sizeof buf;
    const auto text = [&](char* at, std::string_view words) {
        return std::copy(words.begin(), words.end(), at);
    };
    char* at = text(buf, "marked allele ");
    at = std::to_chars(at, end, size, std::chars_format::fixed, 2).ptr;
    at = text(at, " with height ");
    at = std::to_chars(at, end, height).ptr;
    at = text(at, " in lane ");
    at = std::to_chars(at, end, lane).ptr;
    at = text(at, " as ");
    std::string line(buf, at);
    line += stringScore(mark);
    line += '\n';
    return line;
}

}  // namespace lociview
