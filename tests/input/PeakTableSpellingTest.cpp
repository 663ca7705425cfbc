// The same peak table spelt another way (UTF-16 in either byte order, CR or
// CR LF line ends) must read to the same rows and toss out the same lines,
// and every segment is either a row or one tossed-out line.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "input/PeakTableReader.h"
#include "support/RecordingLog.h"

namespace lociview {
namespace {

struct Read {
    std::vector<PeakRow> rows;
    std::vector<std::string> log;
};

Read read(std::string_view bytes) {
    RecordingLog log;
    Read r;
    readPeakTable(bytes, r.rows, log);
    r.log = std::move(log.lines);
    return r;
}

std::string fileText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

enum class Spelling { Utf16LE, Utf16BE, CR, CRLF };

// Each byte as one UTF-16 unit (Latin-1 is the first 256 code points), or
// each line feed replaced.
std::string respell(const std::string& text, Spelling how) {
    std::string out;
    switch (how) {
        case Spelling::Utf16LE:
        case Spelling::Utf16BE: {
            const bool le = how == Spelling::Utf16LE;
            out = le ? "\xFF\xFE" : "\xFE\xFF";
            for (char c : text) {
                out += le ? c : '\0';
                out += le ? '\0' : c;
            }
            return out;
        }
        case Spelling::CR:
        case Spelling::CRLF:
            for (char c : text) out += c == '\n' ? (how == Spelling::CR ? "\r" : "\r\n") : std::string(1, c);
            return out;
    }
    return out;
}

struct Sample {
    const char* name;
    std::string text;  // LF line ends, Latin-1
};

std::vector<Sample> samples() {
    return {
        {"example plate", fileText(LOCIVIEW_EXAMPLES_DIR "/di-locus-plate.txt")},
        {"small golden file", fileText(LOCIVIEW_GOLDEN_DIR "/data/small.txt")},
        // Header, blank lines, a line failing at each later item, Latin-1
        // letters, a vertical tab and form feed as white space, no final
        // line break.
        {"mixed lines",
         "Lane\tName\n\n12B,7 1 2 3 4 5\n3\xE9;4 1 2 3 4\n9 x , 1 2\n5Q!!2\v1\f2 -3 4e1 .5\n7A,1 1 2 3.5 4 5 junk\n"
         "8Z,9 1e 2 3 4 5\n1A,1 1 2 3 4 5"},
    };
}

class PeakTableSpelling : public testing::TestWithParam<Spelling> {};

TEST_P(PeakTableSpelling, ReadsLikeLatin1WithLineFeeds) {
    for (const Sample& s : samples()) {
        SCOPED_TRACE(s.name);
        ASSERT_FALSE(s.text.empty());
        const Read plain = read(s.text);
        ASSERT_FALSE(plain.rows.empty());
        const Read other = read(respell(s.text, GetParam()));
        EXPECT_EQ(other.rows, plain.rows);
        ASSERT_EQ(other.log.size(), plain.log.size());
        const bool sameLineEnds = GetParam() == Spelling::Utf16LE || GetParam() == Spelling::Utf16BE;
        EXPECT_EQ(other.log.front(), sameLineEnds ? plain.log.front() : "Uses \\r format");
        EXPECT_TRUE(std::equal(other.log.begin() + 1, other.log.end(), plain.log.begin() + 1));
    }
}

std::string spellingName(const testing::TestParamInfo<Spelling>& info) {
    switch (info.param) {
        case Spelling::Utf16LE: return "Utf16LE";
        case Spelling::Utf16BE: return "Utf16BE";
        case Spelling::CR: return "CR";
        case Spelling::CRLF: return "CRLF";
    }
    return "Unknown";
}

INSTANTIATE_TEST_SUITE_P(Spellings, PeakTableSpelling,
                         testing::Values(Spelling::Utf16LE, Spelling::Utf16BE, Spelling::CR, Spelling::CRLF),
                         spellingName);

TEST(PeakTableSpellingAccount, EverySegmentIsARowOrOneTossedLine) {
    for (const Sample& s : samples()) {
        SCOPED_TRACE(s.name);
        const Read r = read(s.text);
        const auto segments = static_cast<size_t>(std::count(s.text.begin(), s.text.end(), '\n')) + 1;
        EXPECT_EQ(r.rows.size() + r.log.size() - 1, segments);
    }
}

}  // namespace
}  // namespace lociview
