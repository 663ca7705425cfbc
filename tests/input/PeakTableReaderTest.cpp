// The classic peak file: the grammar of one line and the lines it tosses,
// line ends and encodings, and the texts numbers become. The records and
// lanes the rows become are pinned by the golden traces and BadInputTest.
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

#include "base/DevLog.h"
#include "input/NumberForms.h"
#include "input/PeakImport.h"
#include "input/PeakTableReader.h"
#include "support/RecordingLog.h"

namespace lociview {
namespace {

// The log of a read: "n" or "r" for the line end taken, then " item@line"
// for each tossed line. Rows: fields joined by '|', rows by ';'.
std::pair<std::string, std::string> read(std::optional<std::string_view> bytes) {
    RecordingLog log;
    std::vector<PeakRow> rows;
    readPeakTable(bytes, rows, log);
    std::string said = log.lines.at(0) == "Uses \\n format" ? "n" : log.lines[0] == "Uses \\r format" ? "r" : log.lines[0];
    for (size_t i = 1; i < log.lines.size(); ++i) {
        const std::string& l = log.lines[i];
        const size_t item = l.find("scan ") + 5, on = l.find(" on line "), end = l.find(". Entire");
        said += " " + l.substr(item, on - item) + "@" + l.substr(on + 9, end - on - 9);
    }
    std::string text;
    for (const PeakRow& row : rows) {
        text += text.empty() ? "" : ";";
        for (size_t f = 0; f < row.size(); ++f) text += (f ? "|" : "") + std::string(row[f]);
    }
    return {said, text};
}

// UTF-16 with a byte-order mark, from code points.
std::string utf16(const std::u32string& text, bool littleEndian) {
    std::string out = littleEndian ? "\xFF\xFE" : "\xFE\xFF";
    const auto put = [&](char32_t u) {
        out += static_cast<char>(littleEndian ? u & 0xFF : u >> 8);
        out += static_cast<char>(littleEndian ? u >> 8 : u & 0xFF);
    };
    for (char32_t c : text) {
        if (c >= 0x10000) {
            put(0xD800 + ((c - 0x10000) >> 10));
            put(0xDC00 + ((c - 0x10000) & 0x3FF));
        } else {
            put(c);
        }
    }
    return out;
}

struct ReadCase {
    std::string text;
    std::string log, rows;
    std::optional<std::u32string> wide = {};  // read instead of text, in both byte orders
};
void PrintTo(const ReadCase& c, std::ostream* os) { *os << ::testing::PrintToString(c.text); }

class PeakTableReaderTest : public ::testing::TestWithParam<ReadCase> {};

TEST_P(PeakTableReaderTest, ReadsRowsAndTossesLines) {
    const ReadCase& c = GetParam();
    for (const bool le : {true, false})
        EXPECT_EQ(read(c.wide ? utf16(*c.wide, le) : c.text), std::pair(c.log, c.rows)) << (le ? "LE" : "BE");
}

std::string repeated(const std::string& text, int times) {
    std::string out;
    for (int i = 0; i < times; ++i) out += text;
    return out;
}

const std::string L = "1A,1 1 2 3 4 5", kL = "1|A|1|1.000000|2.000000|3|4.000000|5.000000";
const std::string k12345 = "|1.000000|2.000000|3|4.000000|5.000000";

INSTANTIATE_TEST_SUITE_P(
    Lines, PeakTableReaderTest,
    ::testing::Values(
        ReadCase{"12B,7\t21.35\t185.32\t2451\t18923.5\t3012", "r", "12|B|7|21.350000|185.320007|2451|18923.500000|3012.000000"},
        // Each item in turn, and its message.
        ReadCase{"Lane\tSize\tHeight", "r initial decimal@0", ""}, ReadCase{"", "r initial decimal@0", ""},
        ReadCase{"12,7 1 2 3 4 5", "r letter@0", ""}, ReadCase{"12B7 1 2 3 4 5", "r a comma@0", ""},
        ReadCase{"12B,x 1 2 3 4 5", "r dataID decimal@0", ""}, ReadCase{"12B,7 x", "r first float@0", ""},
        ReadCase{"12B,7 1 .", "r second float@0", ""}, ReadCase{"12B,7 1 2 .5", "r first integer@0", ""},
        ReadCase{"12B,7 1 2 3 x", "r third float@0", ""}, ReadCase{"12B,7 21.35 185.32 2451 18923.5", "r last float@0", ""},
        // White space between the first four items and before the line; any punctuation.
        ReadCase{"  12 B , 7\t21.35 185.32 2451 18923.5 3012", "r", "12|B|7|21.350000|185.320007|2451|18923.500000|3012.000000"},
        ReadCase{"12B;7 1 2 3 4 5", "r", "12|B|7" + k12345}, ReadCase{"12B,,7 1 2 3 4 5", "r", "12|B|7" + k12345},
        // An integer stops at the point; signs split numbers; an exponent needs digits.
        ReadCase{"12B,7 21.35 185.32 2451.6 18923.5 3012", "r", "12|B|7|21.350000|185.320007|2451|0.600000|18923.500000"},
        ReadCase{"1A,1 1-2 +3 -4 5e 9", "r", "1|A|1|1.000000|-2.000000|3|-4.000000|5.000000"},
        ReadCase{"1A,1 1e2 2E-3 0 5. .5e+1x", "r", "1|A|1|100.000000|0.002000|0|5.000000|5.000000"},
        ReadCase{"1A,1 1 2 3 4 -.", "r last float@0", ""}, ReadCase{"1A,1 1 2 3 4 +e5", "r last float@0", ""},
        // Saturation, infinity and underflow.
        ReadCase{"1A,1 1e39 -1e39 99999999999 1e-50 3.4028235e38", "r",
                 "1|A|1|inf|-inf|2147483647|0.000000|340282346638528859811704183484516925440.000000"},
        ReadCase{"1A,1 " + std::string(400, '9') + " 0 -" + std::string(400, '7') + " 0 0", "r",
                 "1|A|1|inf|0.000000|-2147483648|0.000000|0.000000"},
        ReadCase{"1A,1 0 0 -2147483648 0 0", "r", "1|A|1|0.000000|0.000000|-2147483648|0.000000|0.000000"},
        // Latin-1: one character per byte; letters, NBSP and NEL; NUL is nothing.
        ReadCase{"12\xE9,7 1 2 3 4 5", "r", "12|\xC3\xA9|7" + k12345},
        ReadCase{"12\xA0" "B\x85,\v7\f1 2 3 4 5", "r", "12|B|7" + k12345}, ReadCase{"12\xD7,7 1 2 3 4 5", "r letter@0", ""},
        ReadCase{"12B\xAB" "7 1 2 3 4 5", "r", "12|B|7" + k12345},
        ReadCase{std::string("12B,7\0 1 2 3 4 5", 16), "r first float@0", ""},
        ReadCase{std::string("\0" "12B,7 1 2 3 4 5", 16), "r initial decimal@0", ""},
        // Line ends: the more frequent wins, ties go to CR; an LF line keeps a stray CR as white space.
        ReadCase{"Lane\n" + L + "\n" + L + "\n", "n initial decimal@0 initial decimal@3", kL + ";" + kL},
        ReadCase{L + "\r" + L + "\r\n", "r initial decimal@2", kL + ";" + kL},
        ReadCase{L + "\n" + L + "\r", "r initial decimal@1", kL}, ReadCase{L + "\r\n" + L + "\n" + L, "n", kL + ";" + kL + ";" + kL},
        ReadCase{"x\n" + L + "\nB,\n" + L, "n initial decimal@0 initial decimal@2", kL + ";" + kL},
        // Counted the same in texts long enough to be counted in blocks: one
        // line feed more than returns, then as many.
        ReadCase{repeated(L + "\r\n", 30) + L + "\n", "n initial decimal@31", repeated(kL + ";", 30) + kL},
        ReadCase{repeated(L + "\r\n", 30) + L, "r", repeated(kL + ";", 30) + kL},
        // UTF-16, whose odd lengths read nothing, and no file at all.
        ReadCase{std::string("\xFF\xFE" "1\0" "A", 5), "r", ""}, ReadCase{"\xFF\xFF\n" + L, "n initial decimal@0", kL},
        ReadCase{"", "r initial decimal@0", "", U""},
        ReadCase{"", "n initial decimal@0 initial decimal@2", kL, U"Lane\n1A,1 1 2 3 4 5\n"},
        // Arabic-Indic digits, a Greek letter with a combining mark, the Arabic
        // comma, the ideographic space and the line separator as white space.
        ReadCase{"", "r", "\u0661\u0662|\u03B2\u0301|\u0667" + k12345, U"\u0661\u0662\u03B2\u0301\u060C\u0667\u3000" "1\u2028" "2 3 4 5"},
        ReadCase{"", "r", "1|\U00010400|1" + k12345, U"1\U00010400,1 1 2 3 4 5"},
        ReadCase{"", "r initial decimal@1", "12|\xC3\xA9|7" + k12345, U"12\u00E9,7 1 2 3 4 5\r\n"},
        // A lone surrogate is no letter nor punctuation; fullwidth digits are no ASCII number.
        ReadCase{"", "r letter@0", "", U"1\xD800" "A,1 1 2 3 4 5"},
        ReadCase{"", "r a comma@0", "", U"1\uFF21\xDC00" "1 1 2 3 4 5"},
        ReadCase{"", "r first float@0", "", U"1A,1 \uFF11 2 3 4 5"}));

TEST(PeakTableReaderTest, NoFileIsNoTextAndSymbolsAreNoComma) {
    EXPECT_EQ(read(std::nullopt), std::pair(std::string("r"), std::string()));
    for (const char c : std::string("!\"#%&'()*,-./:;?@[\\]_{}$+<=>^`|~"))
        EXPECT_EQ(read(std::string("12B") + c + "7 1 2 3 4 5").second.empty(), std::string("$+<=>^`|~").find(c) != std::string::npos) << c;
}

// Number items take quick paths (short plain decimals, the "%f" texts of the
// row); whatever path a spelling takes and whatever the layout, the row holds
// what strtof and "%f" make of it.
TEST(PeakTableReaderTest, NumberTextsAreWhatStrtofAndPercentFMake) {
    const char* const spellings[] = {
        "185.32", "21.35", "18923.5", "0.0078125", "0.0234375", "1234567", "12345678", "1234567.8", "0.1234567",
        "0.12345678", "-0.0", "-0", "+7.5", "007.50", "5.", ".5", "-.25", "9999999", "16777217", "3.4028235e38", "1e39",
        "-1e39", "1e-46", "2.5e-3", "1E3", "8796093022208", "8796093022209.5", "4294967296.1", "0.000000499", "0.0000005",
        "123.4560001", "99999.995", "1.5e+2"};
    RecordingLog log;
    std::vector<PeakRow> rows;
    std::string table = "Sample,Dye,Size,Height,Area\n", perSample;
    std::vector<std::string> expected, finite;
    for (const char* s : spellings) {
        readPeakTable(std::string("1A,1 ") + s + " " + s + " 7 " + s + " " + s, rows, log);
        expected.push_back(format("%f", static_cast<double>(std::strtof(s, nullptr))));
        if (!std::isfinite(std::strtof(s, nullptr))) continue;  // a sizing table skips those
        finite.push_back(expected.back());
        table += std::string("S,B,") + s + ",7," + s + "\n";
        perSample += std::string("B,1 0 ") + s + " 7 " + s + " 0\n";
    }
    ASSERT_EQ(rows.size(), std::size(spellings));
    for (size_t i = 0; i < rows.size(); ++i)
        for (const size_t field : {3u, 4u, 6u, 7u}) EXPECT_EQ(rows[i][field], expected[i]) << spellings[i] << " " << field;
    for (const std::string& text : {table, perSample}) {
        const std::vector<PeakRow> imported = classicRows(importPeakTables({{"f.txt", text}}, log), 'B');
        ASSERT_EQ(imported.size(), finite.size());
        for (size_t i = 0; i < imported.size(); ++i)
            EXPECT_EQ(std::string(imported[i][0]) + std::string(imported[i][1]) + std::string(imported[i][2]) + " " +
                          std::string(imported[i][4]) + " " + std::string(imported[i][6]),
                      "1B" + std::to_string(i + 1) + " " + finite[i] + " " + finite[i]);
    }
    // Every kind of float, and sixteenths of a millionth that round to even.
    uint32_t bits = 1;
    for (int i = 0; i < 100000; ++i) {
        bits = bits * 1664525u + 1013904223u;
        for (const float v : {std::bit_cast<float>(bits), static_cast<float>(bits % 1000000000u) / 1024.0f})
            if (!std::isnan(v)) {
                ASSERT_EQ(floatText(v), format("%f", static_cast<double>(v))) << bits;
            }
    }
}

// A row read as numbers gives every field's text and number exactly as the
// same row made of its texts: the quick path for a number that reads back as
// itself must agree with reading the text, on both sides of where it applies.
TEST(PeakTableReaderTest, RowOfNumbersReadsAsItsTexts) {
    const float floats[] = {0.0f, -0.0f, 1e-7f, 4e-7f, 5e-7f, 0.1f, 1.0f / 3, 15.999999f, 16.0f, 16.000002f,
                            -16.000002f, 150.123f, 2.5e6f, 8.8e12f, 3.4e38f, 1e-45f, INFINITY, -INFINITY};
    const int32_t heights[] = {0, -1, 800, (1 << 24) - 1, 1 << 24, (1 << 24) + 1, -(1 << 24) - 1, INT32_MAX,
                               INT32_MIN};
    std::srand(7);
    std::vector<float> all(std::begin(floats), std::end(floats));
    for (int i = 0; i < 2000; ++i) all.push_back(std::bit_cast<float>(static_cast<uint32_t>(std::rand()) << 1));
    // Runs of neighbours just below and at 16, where texts start to read back as themselves.
    for (float x : {1.5f, 9.75f, 15.9999f, 16.0f})
        for (int i = 0; i < 200; ++i, x = std::nextafter(x, INFINITY)) all.push_back(x);
    size_t h = 0;
    for (const float x : all) {
        const PeakNumbers n{x, -x, heights[h++ % std::size(heights)], x * 0.5f, x + 1};
        const PeakRow quick("12", "B,", "3", n);
        const PeakRow plain({"12", "B,", "3", floatText(n.minutes), floatText(n.size), intText(n.height),
                             floatText(n.area), floatText(n.dataPoint)});
        ASSERT_EQ(quick, plain) << x;
        EXPECT_EQ(quick.lane(), "12");
        for (size_t f = 3; f < PeakRow::kFields; ++f) {
            const float a = quick.number(f), b = plain.number(f);
            EXPECT_TRUE(std::bit_cast<uint32_t>(a) == std::bit_cast<uint32_t>(b) || (std::isnan(a) && std::isnan(b)))
                << "field " << f << " of " << x << ": " << a << " against " << b;
        }
    }
}

}  // namespace
}  // namespace lociview
