// How peak lines are read: the grammar of one line and its failure
// messages, line ends, encodings, and the texts of the number items.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
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

Read read(std::optional<std::string_view> bytes) {
    RecordingLog log;
    Read r;
    readPeakTable(bytes, r.rows, log);
    r.log = log.lines;
    return r;
}

std::string tossed(const std::string& item, int line) {
    return "failed trying to scan " + item + " on line " + std::to_string(line) + ". Entire line tossed out.";
}

// UTF-16 with a byte-order mark, from code points.
std::string utf16(const std::u32string& text, bool littleEndian) {
    std::string out = littleEndian ? "\xFF\xFE" : "\xFE\xFF";
    auto put = [&](char16_t u) {
        const char hi = static_cast<char>(u >> 8), lo = static_cast<char>(u & 0xFF);
        out += littleEndian ? lo : hi;
        out += littleEndian ? hi : lo;
    };
    for (char32_t c : text) {
        if (c >= 0x10000) {
            put(static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10)));
            put(static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF)));
        } else {
            put(static_cast<char16_t>(c));
        }
    }
    return out;
}

const std::string kGood = "12B,7\t21.35\t185.32\t2451\t18923.5\t3012";
const PeakRow kGoodRow = {"12", "B", "7", "21.350000", "185.320007", "2451", "18923.500000", "3012.000000"};

TEST(PeakTableReaderTest, AcceptedLineBecomesEightTexts) {
    const Read r = read(kGood);
    ASSERT_EQ(r.rows.size(), 1u);
    EXPECT_EQ(r.rows[0], kGoodRow);
    EXPECT_EQ(r.log, std::vector<std::string>{"Uses \\r format"});
}

// One line each: either the row's fields that matter, or the tossed item.
struct LineCase {
    std::string line;
    std::string failedItem;  // empty: accepted
    PeakRow row;             // checked when accepted and not empty
};

void PrintTo(const LineCase& c, std::ostream* os) { *os << ::testing::PrintToString(c.line); }

class PeakLineGrammarTest : public ::testing::TestWithParam<LineCase> {};

TEST_P(PeakLineGrammarTest, ParsesOrTossesWithItsMessage) {
    const LineCase& c = GetParam();
    const Read r = read(c.line);
    if (c.failedItem.empty()) {
        ASSERT_EQ(r.rows.size(), 1u) << c.line;
        if (!c.row.empty()) {
            EXPECT_EQ(r.rows[0], c.row);
        }
        EXPECT_EQ(r.log.size(), 1u);
    } else {
        EXPECT_TRUE(r.rows.empty());
        ASSERT_EQ(r.log.size(), 2u);
        EXPECT_EQ(r.log[1], tossed(c.failedItem, 0));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Items, PeakLineGrammarTest,
    ::testing::Values(
        LineCase{"Lane\tSize\tHeight", "initial decimal", {}}, LineCase{"", "initial decimal", {}},
        LineCase{"12,7 1 2 3 4 5", "letter", {}}, LineCase{"12B7 1 2 3 4 5", "a comma", {}},
        LineCase{"12B,x 1 2 3 4 5", "dataID decimal", {}}, LineCase{"12B,7 x", "first float", {}},
        LineCase{"12B,7 1 .", "second float", {}}, LineCase{"12B,7 1 2 .5", "first integer", {}},
        LineCase{"12B,7 1 2 3 x", "third float", {}}, LineCase{"12B,7 21.35 185.32 2451 18923.5", "last float", {}},
        // White space between the first four items, and before the line.
        LineCase{"  12 B , 7\t21.35 185.32 2451 18923.5 3012", "", kGoodRow},
        LineCase{"12B;7 1 2 3 4 5", "", {}}, LineCase{"12B,,7 1 2 3 4 5", "", {}},
        // An integer stops at the point; the fraction is the next float.
        LineCase{"12B,7 21.35 185.32 2451.6 18923.5 3012", "",
                 {"12", "B", "7", "21.350000", "185.320007", "2451", "0.600000", "18923.500000"}},
        // Signs split numbers; exponents need digits after e and its sign.
        LineCase{"1A,1 1-2 +3 -4 5e 9", "", {"1", "A", "1", "1.000000", "-2.000000", "3", "-4.000000", "5.000000"}},
        LineCase{"1A,1 1e2 2E-3 0 5. .5e+1x", "",
                 {"1", "A", "1", "100.000000", "0.002000", "0", "5.000000", "5.000000"}},
        LineCase{"1A,1 1 2 3 4 -.", "last float", {}}, LineCase{"1A,1 1 2 3 4 +e5", "last float", {}},
        // Saturation, infinity and underflow.
        LineCase{"1A,1 1e39 -1e39 99999999999 1e-50 3.4028235e38", "",
                 {"1", "A", "1", "inf", "-inf", "2147483647", "0.000000", "340282346638528859811704183484516925440.000000"}},
        LineCase{"1A,1 " + std::string(400, '9') + " 0 -" + std::string(400, '7') + " 0 0", "",
                 {"1", "A", "1", "inf", "0.000000", "-2147483648", "0.000000", "0.000000"}},
        LineCase{"1A,1 0 0 -2147483648 0 0", "", {"1", "A", "1", "0.000000", "0.000000", "-2147483648", "0.000000", "0.000000"}},
        // Latin-1: one character per byte; letters, NBSP and NEL.
        LineCase{"12\xE9,7 1 2 3 4 5", "", {"12", "\xC3\xA9", "7", "1.000000", "2.000000", "3", "4.000000", "5.000000"}},
        LineCase{"12\xA0" "B\x85,\v7\f1 2 3 4 5", "", {}}, LineCase{"12\xD7,7 1 2 3 4 5", "letter", {}},
        LineCase{"12B\xAB" "7 1 2 3 4 5", "", {}},
        // NUL is neither white space nor part of an item.
        LineCase{std::string("12B,7\0 1 2 3 4 5", 16), "first float", {}},
        LineCase{std::string("\0" "12B,7 1 2 3 4 5", 16), "initial decimal", {}}));

// Item 3: ASCII punctuation matches, ASCII symbols do not.
TEST(PeakTableReaderTest, PunctuationClassOfAscii) {
    for (char c : std::string("!\"#%&'()*,-./:;?@[\\]_{}")) {
        const Read r = read(std::string("12B") + c + "7 1 2 3 4 5");
        EXPECT_EQ(r.rows.size(), 1u) << "punctuation " << c;
    }
    for (char c : std::string("$+<=>^`|~")) {
        const Read r = read(std::string("12B") + c + "7 1 2 3 4 5");
        EXPECT_TRUE(r.rows.empty()) << "symbol " << c;
        EXPECT_EQ(r.log.back(), tossed("a comma", 0)) << c;
    }
}

struct SplitCase {
    std::string text;
    std::string format;
    std::vector<std::string> tossed;  // "item@line"
    size_t rows;
};

void PrintTo(const SplitCase& c, std::ostream* os) { *os << ::testing::PrintToString(c.text); }

class PeakLineSplitTest : public ::testing::TestWithParam<SplitCase> {};

TEST_P(PeakLineSplitTest, PicksTheLineEndAndNumbersSegments) {
    const SplitCase& c = GetParam();
    const Read r = read(c.text);
    std::vector<std::string> expected = {c.format};
    for (const std::string& t : c.tossed) {
        const size_t at = t.find('@');
        expected.push_back(tossed(t.substr(0, at), std::stoi(t.substr(at + 1))));
    }
    EXPECT_EQ(r.log, expected);
    EXPECT_EQ(r.rows.size(), c.rows);
}

const std::string L = "1A,1 1 2 3 4 5";
INSTANTIATE_TEST_SUITE_P(
    LineEnds, PeakLineSplitTest,
    ::testing::Values(SplitCase{"Lane\n" + L + "\n" + L + "\n", "Uses \\n format",
                                {"initial decimal@0", "initial decimal@3"}, 2},
                      SplitCase{L + "\r" + L + "\r", "Uses \\r format", {"initial decimal@2"}, 2},
                      SplitCase{L + "\r\n" + L + "\r\n", "Uses \\r format", {"initial decimal@2"}, 2},
                      SplitCase{L, "Uses \\r format", {}, 1}, SplitCase{"", "Uses \\r format", {"initial decimal@0"}, 0},
                      // Ties go to CR; an LF line keeps a stray CR as white space.
                      SplitCase{L + "\n" + L + "\r", "Uses \\r format", {"initial decimal@1"}, 1},
                      SplitCase{L + "\r\n" + L + "\n" + L, "Uses \\n format", {}, 3},
                      SplitCase{"x\n" + L + "\nB,\n" + L, "Uses \\n format", {"initial decimal@0", "initial decimal@2"}, 2}));

TEST(PeakTableReaderTest, NoTextHasNoSegments) {
    EXPECT_EQ(read(std::nullopt).log, std::vector<std::string>{"Uses \\r format"});
    const Read odd = read(std::string("\xFF\xFE" "1\0" "A", 5));
    EXPECT_EQ(odd.log, std::vector<std::string>{"Uses \\r format"});
    EXPECT_TRUE(odd.rows.empty());
}

TEST(PeakTableReaderTest, DetectsEncodingFromByteOrderMark) {
    EXPECT_EQ(detectEncoding("\xFF\xFE"), TextEncoding::Utf16LE);
    EXPECT_EQ(detectEncoding("\xFE\xFF"), TextEncoding::Utf16BE);
    EXPECT_EQ(detectEncoding(std::string_view("\xFE\xFF\x00", 3)), TextEncoding::None);
    EXPECT_EQ(detectEncoding("\xFF"), TextEncoding::Latin1);
    EXPECT_EQ(detectEncoding("\xFF\xFF" "ab"), TextEncoding::Latin1);
    EXPECT_EQ(detectEncoding(""), TextEncoding::Latin1);
}

struct Utf16Case {
    std::u32string text;
    std::vector<std::string> log;
    PeakRow row;  // empty: no row
};

void PrintTo(const Utf16Case& c, std::ostream* os) { *os << ::testing::PrintToString(c.text); }

class PeakUtf16Test : public ::testing::TestWithParam<Utf16Case> {};

TEST_P(PeakUtf16Test, ReadsBothByteOrders) {
    for (bool le : {true, false}) {
        const Read r = read(utf16(GetParam().text, le));
        EXPECT_EQ(r.log, GetParam().log) << (le ? "LE" : "BE");
        if (GetParam().row.empty()) {
            EXPECT_TRUE(r.rows.empty());
        } else {
            ASSERT_EQ(r.rows.size(), 1u);
            EXPECT_EQ(r.rows[0], GetParam().row);
        }
    }
}

const PeakRow kSmallRow = {"1", "A", "1", "1.000000", "2.000000", "3", "4.000000", "5.000000"};
INSTANTIATE_TEST_SUITE_P(
    Texts, PeakUtf16Test,
    ::testing::Values(
        Utf16Case{U"", {"Uses \\r format", tossed("initial decimal", 0)}, {}},
        Utf16Case{U"Lane\n1A,1 1 2 3 4 5\n", {"Uses \\n format", tossed("initial decimal", 0), tossed("initial decimal", 2)}, kSmallRow},
        // Arabic-Indic digits, Greek letter with a combining mark, Arabic comma,
        // ideographic space and the line separator as white space.
        Utf16Case{U"\u0661\u0662\u03B2\u0301\u060C\u0667\u3000" "1\u2028" "2 3 4 5",
                  {"Uses \\r format"},
                  {"\u0661\u0662", "\u03B2\u0301", "\u0667", "1.000000", "2.000000", "3", "4.000000", "5.000000"}},
        // A letter outside the basic plane, from a surrogate pair.
        Utf16Case{U"1\U00010400,1 1 2 3 4 5", {"Uses \\r format"}, {"1", "\U00010400", "1", "1.000000", "2.000000", "3", "4.000000", "5.000000"}},
        // Latin-1 letters come through UTF-16 as they do as bytes.
        Utf16Case{U"12\u00E9,7 1 2 3 4 5\r\n", {"Uses \\r format", tossed("initial decimal", 1)},
                  {"12", "\xC3\xA9", "7", "1.000000", "2.000000", "3", "4.000000", "5.000000"}},
        // A lone surrogate is nothing, and fullwidth digits are no ASCII number.
        Utf16Case{U"1\xD800" "A,1 1 2 3 4 5", {"Uses \\r format", tossed("letter", 0)}, {}},
        Utf16Case{U"1A,1 \uFF11 2 3 4 5", {"Uses \\r format", tossed("first float", 0)}, {}}));

// Number items take quick paths (short plain decimals, the "%f" texts of
// the row); whatever path a spelling takes, the row must hold exactly what
// strtof and "%f" make of it.
TEST(PeakTableReaderTest, NumberTextsAreWhatStrtofAndPercentFMake) {
    const char* const spellings[] = {
        "185.32",      "21.35",      "18923.5",    "0.0078125",  "0.0234375",   "1234567",     "12345678",
        "1234567.8",   "0.1234567",  "0.12345678", "-0.0",       "-0",          "+7.5",        "007.50",
        "5.",          ".5",         "-.25",       "9999999",    "16777217",    "3.4028235e38", "1e39",
        "-1e39",       "1e-46",      "2.5e-3",     "1E3",        "8796093022208", "8796093022209.5",
        "4294967296.1", "0.000000499", "0.0000005", "123.4560001", "99999.995",  "1.5e+2",
    };
    std::string text;
    for (const char* s : spellings) text += std::string("1A,1 ") + s + " " + s + " 7 " + s + " " + s + "\n";
    const Read r = read(text);
    ASSERT_EQ(r.rows.size(), std::size(spellings));
    for (size_t i = 0; i < r.rows.size(); ++i) {
        char expected[128];
        std::snprintf(expected, sizeof expected, "%f", static_cast<double>(std::strtof(spellings[i], nullptr)));
        for (const size_t field : {3u, 4u, 6u, 7u}) EXPECT_EQ(r.rows[i][field], expected) << spellings[i] << " " << field;
    }
}

TEST(PeakTableReaderTest, HugeLineIsOneLabel) {
    const std::string lane(1 << 20, '4');
    const Read r = read(lane + "Q,1 1 2 3 4 5\n" + L);
    ASSERT_EQ(r.rows.size(), 2u);
    EXPECT_EQ(r.rows[0][0], lane);
}

}  // namespace
}  // namespace lociview
