// Reading sizing tables, genotype tables and per-sample files: each layout into samples, lanes and classic
// rows, and the cells it skips; refusals; numbers read as the classic reader
// reads them; the dye.
#include <gtest/gtest.h>

#include <optional>
#include <tuple>
#include <string>
#include <utility>
#include <vector>

#include "input/PeakImport.h"
#include "input/PeakTableReader.h"

namespace lociview {
namespace {

using Files = std::vector<std::pair<std::string, std::optional<std::string>>>;  // nothing: unreadable

PeakImport run(const Files& files) {
    std::vector<ImportFile> in;
    for (const auto& [name, bytes] : files) in.push_back({name, bytes});
    NullLog log;
    return importPeakTables(in, log);
}

// "lane:size:height" of each classic row of the dye, in row order.
std::string rowSizes(const PeakImport& import, char dye) {
    std::string out;
    for (const PeakRow& row : classicRows(import, dye)) out += (out.empty() ? "" : " ") + std::string(row[0]) + ":" + std::string(row[4]) + ":" + std::string(row[5]);
    return out;
}

std::string utf16le(const std::string& ascii) {
    std::string out = "\xFF\xFE";
    for (char c : ascii) out += {c, '\0'};
    return out;
}

// Of the default dye: the sample table without its header line, and the
// rows; then skippedSummary and the notes.
struct LayoutCase {
    const char* name;
    Files files;
    PeakLayout layout;
    char dye;
    std::string samples, rows, skipped;
};

class PeakImportLayoutTest : public ::testing::TestWithParam<LayoutCase> {};

TEST_P(PeakImportLayoutTest, ReadsSamplesLanesAndRows) {
    const LayoutCase& c = GetParam();
    const PeakImport im = run(c.files);
    ASSERT_EQ(im.status, ImportStatus::Imported) << im.message;
    EXPECT_EQ(im.layout, c.layout);
    EXPECT_EQ(defaultDye(im), c.dye);
    EXPECT_EQ(sampleTableText(im, c.dye), "lane\tsample\tfile\tpeaks\n" + c.samples);
    EXPECT_EQ(rowSizes(im, c.dye), c.rows);
    std::string said = skippedSummary(im);
    for (const std::string& note : im.notes) said += " / " + note;
    EXPECT_EQ(said, c.skipped);
    int64_t peaks = 0;
    for (const SampleLane& s : im.samples) peaks += s.peaks;
    EXPECT_EQ(peaks, static_cast<int64_t>(im.peaks.size()));
}

INSTANTIATE_TEST_SUITE_P(
    Layouts, PeakImportLayoutTest,
    ::testing::Values(
        // Title lines padded with tabs, a ragged row, NA, another dye and the
        // orange standard; samples interleaved.
        LayoutCase{"TitledTabTable",
                   {{"run.txt",
                     "Sizing Table\t\t\t\nGeneMapper 5\t\n\n"
                     "Dye/Sample Peak\tSample File Name\tMarker\tSize\tHeight\tArea in Point\tData Point\n"
                     "B,1\tA01.fsa\tD1\t185.32\t2451\t18923.5\t3012\n"
                     "O,1\tA01.fsa\t\t100\t900\t10\t1\n"
                     "B,1\tB01.fsa\tD1\t150.5\t310\n"
                     "B,2\tA01.fsa\tD1\t187.3\t1200.9\t900\t3100\t\t\n"
                     "B,3\tA01.fsa\tD1\tNA\t10\t\t\n"
                     "\t\t\t\t\n"}},
                   PeakLayout::SizingTable, 'B', "1\tA01.fsa\trun.txt\t2\n2\tB01.fsa\trun.txt\t1\n",
                   "1:185.320007:2451 1:187.300003:1200 2:150.500000:310", "Skipped: 1 size empty or NA."},
        // Excel's UTF-8 CSV: a byte-order mark, quoted "B, 12" dye cells, a
        // quoted sample holding the comma and a doubled quote, CR LF.
        LayoutCase{"CommaQuotedDyes",
                   {{"plate.csv",
                     "\xEF\xBB\xBF\"Sample Name\",\"Dye/Sample Peak\",\"Size\",\"Height\",\"Area\"\r\n"
                     "\"S \"\"1\"\", left\",\"B, 12\",185.32,2451,18923.5\r\n"
                     "\"S \"\"1\"\", left\",\"G, 1\",190,20,5\r\n"
                     "S2,\"B, 2\",201.25,77,9\r\n"}},
                   PeakLayout::SizingTable, 'B', "1\tS \"1\", left\tplate.csv\t1\n2\tS2\tplate.csv\t1\n",
                   "1:185.320007:2451 2:201.250000:77", ""},
        // Semicolons with decimal commas, colour words for dyes.
        LayoutCase{"SemicolonDecimalComma",
                   {{"eu.csv", "Sample;Dye;Size;Height\nS1;Blue;185,32;2451\nS2;green;99;1\nS1;BLUE;186,5;12,7\n"}},
                   PeakLayout::SizingTable, 'B', "1\tS1\teu.csv\t2\n2\tS2\teu.csv\t0\n",
                   "1:185.320007:2451 1:186.500000:12", " / Numbers in \"eu.csv\": \"Size\" and \"Height\" with a decimal comma."},
        // Number forms, decided column by column and said: decimal commas
        // in a tab-separated table; an English spreadsheet's quoted "2,133"
        // (a cell in no one form is skipped); decimal commas with points or
        // blanks (a no-break space too) between thousands.
        LayoutCase{"DecimalCommaTabs",
                   {{"eu.txt", "Sample\tSize\tHeight\nS1\t185,32\t2133\nS1\t187,3\t850\n"}},
                   PeakLayout::SizingTable, kNoDye, "1\tS1\teu.txt\t2\n", "1:185.320007:2133 1:187.300003:850",
                   " / Numbers in \"eu.txt\": \"Size\" with a decimal comma."},
        LayoutCase{"ThousandsCommasQuoted",
                   {{"en.csv", "Sample,Size,Height\nS1,185.32,\"2,133\"\nS1,187.3,850\nS1,188.1,\"21,33\"\n"}},
                   PeakLayout::SizingTable, kNoDye, "1\tS1\ten.csv\t2\n", "1:185.320007:2133 1:187.300003:850",
                   "Skipped: 1 height not a number. / Numbers in \"en.csv\": \"Height\" with commas between thousands."},
        LayoutCase{"ThousandsPointsDecimalCommas",
                   {{"de.csv", "Sample;Size;Height;Area\nS1;185,32;3.394;12,5\nS1;187,3;1.234.567;7\n"}},
                   PeakLayout::SizingTable, kNoDye, "1\tS1\tde.csv\t2\n", "1:185.320007:3394 1:187.300003:1234567",
                   " / Numbers in \"de.csv\": \"Size\" and \"Area\" with a decimal comma; \"Height\" with a decimal comma "
                   "and points between thousands."},
        LayoutCase{"ThousandsBlanks",
                   {{"fr.txt", "Height\tSample\tSize\n2 133\tS1\t185.32\n1\xC2\xA0" "234\tS1\t187.3\n"}},
                   PeakLayout::SizingTable, kNoDye, "1\tS1\tfr.txt\t2\n", "1:185.320007:2133 1:187.300003:1234",
                   " / Numbers in \"fr.txt\": \"Height\" with blanks between thousands."},
        // R's rewriting of a genotype table: Sample.Name, Size.1, Height.1...
        LayoutCase{"RWideTable",
                   {{"geno.csv",
                     "\"Sample.Name\",\"Marker\",\"Dye\",\"Allele.1\",\"Size.1\",\"Height.1\",\"Allele.2\",\"Size.2\","
                     "\"Height.2\"\n"
                     "\"A\",\"DM1\",\"B\",\"5\",150.1,800,\"7\",154.2,650\n"
                     "\"B\",\"DM1\",\"B\",\"5\",150.3,700,NA,NA,NA\n"
                     "\"C\",\"DM1\",\"B\",NA,NA,NA,NA,NA,NA\n"
                     "\"D\",\"DM1\",\"B\",\"5\",150.0,NA,NA,,\n"}},
                   PeakLayout::GenotypeTable, 'B',
                   "1\tA\tgeno.csv\t2\n2\tB\tgeno.csv\t1\n3\tC\tgeno.csv\t0\n4\tD\tgeno.csv\t0\n",
                   "1:150.100006:800 1:154.199997:650 2:150.300003:700",
                   "Skipped: 1 height empty or NA, 1 no Size/Height pair filled."},
        // Per-sample files, CR LF without a final line break, one in UTF-16:
        // one lane each, named after the file, in the order given.
        LayoutCase{"PerSampleFiles",
                   {{"runs/s07.txt", "Dye/Sample Peak Minutes Size\r\nB,1\t21.35\t185.32\t2451\t18923.5\t3012\r\n"
                                     "G,1\t22.1\t190.5\t120\t800\t3100\r\nB,3\t22.3\t1e999\t10\t10\t10\r\nB,2\t22.4\t187.3\t1200\t900\t3200"},
                    {"s02.txt", utf16le("B,1\t21.4\t160.25\t800\t5000\t2800\r\nB,2 x")}},
                   PeakLayout::PerSampleFile, 'B', "1\ts07\truns/s07.txt\t2\n2\ts02\ts02.txt\t1\n",
                   "1:185.320007:2451 1:187.300003:1200 2:160.250000:800", "Skipped: 1 size out of range, 2 not a peak line."},
        // Headers in capitals, the better sample column to the right, names
        // in UTF-8 with quotes doubled or text after them, a colour word
        // that is no dye; the same table in UTF-16.
        LayoutCase{"NamesQuotesAndCase",
                   {{"t.txt", "SAMPLE NAME\tSample File Name\tDye\tSIZE\tHEIGHT\nx\tR\xC3\xA9" "1.fsa\tBlue\t150\t10\n"
                              "x\t\"say \"\"hi\"\"\"\tBlue\t151\t20\nx\t\"A\"01\tBlue\t152\t30\nx\tA01\tCyan\t153\t40\n"}},
                   PeakLayout::SizingTable, 'B', "1\tR\xC3\xA9" "1.fsa\tt.txt\t1\n2\tsay \"hi\"\tt.txt\t1\n3\tA01\tt.txt\t1\n",
                   "1:150.000000:10 2:151.000000:20 3:152.000000:30", "Skipped: 1 dye not recognised."},
        // Text that is not UTF-8 (a lone continuation byte, an overlong
        // form) is read as Latin-1, file by file.
        LayoutCase{"Latin1Tables",
                   {{"a.txt", "Sample\tSize\tHeight\n\x80\t150\t10\n"}, {"b.txt", "Sample\tSize\tHeight\n\xF0\x8F\xBF\xBF\t151\t20\n"}},
                   PeakLayout::SizingTable, kNoDye, "1\t\xC2\x80\ta.txt\t1\n2\t\xC3\xB0\xC2\x8F\xC2\xBF\xC2\xBF\tb.txt\t1\n",
                   "1:150.000000:10 2:151.000000:20", ""},
        LayoutCase{"Utf16Table",
                   {{"u.txt", utf16le("Sample\tSize\tHeight\r\nS\t150\t10\r\n")}},
                   PeakLayout::SizingTable, kNoDye, "1\tS\tu.txt\t1\n", "1:150.000000:10", ""},
        // A single table's Lane column gives the lanes; rows come in lane order.
        LayoutCase{"LaneColumn",
                   {{"lanes.txt", "Lane\tSample\tSize\tHeight\n12\tX\t150\t10\n3\tY\t160\t20\n12\tX\t151\t30\n"}},
                   PeakLayout::SizingTable, kNoDye, "3\tY\tlanes.txt\t1\n12\tX\tlanes.txt\t2\n",
                   "3:160.000000:20 12:150.000000:10 12:151.000000:30", ""},
        // ...unless it numbers two samples alike: then order of appearance.
        LayoutCase{"SharedLane",
                   {{"lanes.txt", "Lane\tSample\tSize\tHeight\n1\tX\t150\t10\n1\tY\t160\t20\n"}},
                   PeakLayout::SizingTable, kNoDye, "1\tX\tlanes.txt\t1\n2\tY\tlanes.txt\t1\n",
                   "1:150.000000:10 2:160.000000:20",
                   " / The Lane column was not used (samples \"X\" and \"Y\" share lane 1): samples are numbered 1, 2, 3... in "
                   "order of appearance."},
        // Two tables appended sample by sample; a header without Sample or
        // Lane column is one sample per file.
        LayoutCase{"TwoTables",
                   {{"a.txt", "Sample\tSize\tHeight\nP\t150\t1\nQ\t151\t2\n"}, {"b.txt", "Sample\tSize\tHeight\nP\t152\t3\n"}},
                   PeakLayout::SizingTable, kNoDye, "1\tP\ta.txt\t1\n2\tQ\ta.txt\t1\n3\tP\tb.txt\t1\n",
                   "1:150.000000:1 2:151.000000:2 3:152.000000:3", ""},
        LayoutCase{"HeaderWithoutSample",
                   {{"w1.tsv", "Size\tPeak Height\tDye\n150\t1\tB\n"}, {"w2.tsv", "Size\tHeight\tDye\n151\t2\tB\n"}},
                   PeakLayout::PerSampleFile, 'B', "1\tw1\tw1.tsv\t1\n2\tw2\tw2.tsv\t1\n",
                   "1:150.000000:1 2:151.000000:2", ""},
        // A Sample File column names the sample before a Sample column does,
        // and a Dye/Sample Peak column gives the dye before a Dye column.
        LayoutCase{"BetterNamedColumnsFirst",
                   {{"f.txt", "Sample\tSample File\tDye\tDye/Sample Peak\tSize\tHeight\nA\tf1\tG\tB,1\t150\t10\n"
                              "B\tf1\tG\tB,2\t151\t20\n"}},
                   PeakLayout::SizingTable, 'B', "1\tf1\tf.txt\t2\n", "1:150.000000:10 1:151.000000:20", ""},
        // Cells a lab's table may hold, each in a row of its own: skipped
        // with their reason, or read as the classic reader reads them.
        LayoutCase{"BadCells",
                   {{"t.txt", "Sample\tSize\tHeight\nS\t1e999\t10\nS\t-1e999\t10\nS\tNaN\t10\nS\t150 bp\t10\nS\t\t10\n"
                              "S\tna\t10\nS\t150\t1e999\nS\t150\tnan\nS\t150\tNA\n\t150\t1\nS\t-42.5\t-7\nS\t150\t2451.9\n"
                              "S\t150\t1e12\nS\t1e-50\t-0\nS\t+7.25e1\t9\nS\t150..5\t9\n"}},
                   PeakLayout::SizingTable, kNoDye, "1\tS\tt.txt\t5\n",
                   "1:-42.500000:-7 1:150.000000:2451 1:150.000000:2147483647 1:0.000000:0 1:72.500000:9",
                   "Skipped: 1 no sample name, 2 size empty or NA, 3 size not a number, 2 size out of range, 1 height empty or NA, "
                   "1 height not a number, 1 height out of range."}),
    [](const auto& info) { return std::string(info.param.name); });

struct RefusalCase {
    const char* name;
    Files files;
    ImportStatus status;
    std::vector<std::string> words;  // the message holds each
};

class PeakImportRefusalTest : public ::testing::TestWithParam<RefusalCase> {};

TEST_P(PeakImportRefusalTest, RefusesWithAClearMessage) {
    const RefusalCase& c = GetParam();
    const PeakImport im = run(c.files);
    EXPECT_EQ(im.status, c.status) << im.message;
    EXPECT_TRUE(im.peaks.empty());
    EXPECT_EQ(im.message.empty(), c.words.empty()) << im.message;
    for (const std::string& w : c.words) EXPECT_NE(im.message.find(w), std::string::npos) << w << " / " << im.message;
}

const std::string kTable = "Sample\tSize\tHeight\nS\t150\t10\n";
const std::string kPerSample = "B,1\t21.35\t185.32\t2451\t18923.5\t3012";
const std::string kClassicTitles = "Lane\tSample\tID\tTime\tSize\tHeight\tArea\tData\n";

INSTANTIATE_TEST_SUITE_P(
    BadInput, PeakImportRefusalTest,
    ::testing::Values(
        RefusalCase{"QuoteNeverClosed", {{"q.csv", "Sample,Size,Height\nS1,150,10\n\"S2,151,11\nS3,152,12\n"}},
                    ImportStatus::Refused, {"\"q.csv\"", "opens on line 3 is never closed"}},
        RefusalCase{"DuplicateColumns", {{"d.txt", "Sample\tSize\tHeight\tsize\n"}}, ImportStatus::Refused,
                    {"line 1", "\"size\" twice (columns 2 and 4)"}},
        RefusalCase{"NoSizeColumn", {{"n.txt", "Title\nSample\tHeight\tArea\nS\t1\t2\n"}}, ImportStatus::Refused,
                    {"(line 2) has no Size column"}},
        RefusalCase{"NoHeightColumn", {{"n.txt", "Sample,Size,Area\nS,1,2\n"}}, ImportStatus::Refused,
                    {"Size column but no Height column"}},
        RefusalCase{"PairWithoutHeight", {{"w.csv", "Sample,Size 1,Height 1,Size 2\nS,1,2,3\n"}},
                    ImportStatus::Refused, {"Size 2 column but no Height 2"}},
        // The header splits at tabs, its rows do not.
        RefusalCase{"WrongDelimiter", {{"x.txt", "Sample\tSize\tHeight\nS,150,10\nS,151,11\n"}}, ImportStatus::Refused,
                    {"line 1 (tab-separated)", "none of its 2 rows", "2 size empty or NA", "separated like the header"}},
        // Column titles with no row that holds a size: a file without data,
        // which ends as the classic reader ends it.
        RefusalCase{"HeaderOnly", {{"h.txt", "Sample\tSize\tHeight\n"}}, ImportStatus::NotRecognised, {}},
        RefusalCase{"HeaderRepeated", {{"h.csv", "Sample,Size,Height\r\nSample,Size,Height\r\n\r\n\"Sample\",Size,Height"}},
                    ImportStatus::NotRecognised, {}},
        RefusalCase{"ClassicTitlesOnce", {{"t.txt", kClassicTitles}}, ImportStatus::NotRecognised, {}},
        RefusalCase{"ClassicTitlesTwice", {{"t.txt", kClassicTitles + kClassicTitles + "\n"}}, ImportStatus::NotRecognised,
                    {}},
        RefusalCase{"ClassicTitlesAndText", {{"t.txt", kClassicTitles + "No peaks, 2 runs failed\n"}},
                    ImportStatus::NotRecognised, {}},
        // A row with a size but no height is data that cannot be used.
        RefusalCase{"SizeWithoutHeight", {{"s.txt", kClassicTitles + "1\tS\t1\t2\t150.5\tNA\t1\t2\n"}},
                    ImportStatus::Refused, {"none of its 1 rows", "1 height empty or NA"}},
        RefusalCase{"LayoutsMixed", {{"s1.txt", kPerSample}, {"plate.txt", kTable}}, ImportStatus::Refused,
                    {"\"s1.txt\" is a per-sample peak file", "\"plate.txt\" is a sizing table", "one layout"}},
        RefusalCase{"ClassicAmongOthers", {{"s1.txt", kPerSample}, {"old.txt", "1" + kPerSample}}, ImportStatus::Refused,
                    {"\"old.txt\" is a peak table with lane numbers"}},
        RefusalCase{"UnknownAmongOthers", {{"s1.txt", kPerSample}, {"notes.txt", "hello\n"}}, ImportStatus::Refused,
                    {"\"notes.txt\" is not a peak table"}},
        RefusalCase{"NothingKnown", {{"notes.txt", "Sample\tWeight\n1\t2\n"}}, ImportStatus::NotRecognised, {}},
        RefusalCase{"OddUtf16", {{"odd.txt", "\xFF\xFE" "a"}}, ImportStatus::NotRecognised, {}},
        RefusalCase{"ClassicAlone", {{"old.txt", "1" + kPerSample}}, ImportStatus::Classic, {}},
        RefusalCase{"UnreadableAlone", {{"gone.txt", std::nullopt}}, ImportStatus::NotRecognised, {}},
        RefusalCase{"UnreadableAmongOthers", {{"s1.txt", kPerSample}, {"gone.txt", std::nullopt}}, ImportStatus::Refused,
                    {"\"gone.txt\" could not be read."}}),
    [](const auto& info) { return std::string(info.param.name); });

// Samples past what the name index first holds keep their own lanes.
TEST(PeakImportTest, ManySamplesEachHaveALane) {
    std::string text = "Sample\tSize\tHeight\n";
    for (int i = 0; i < 400; ++i) text += "S" + std::to_string(i % 200) + "\t150\t1\n";
    const PeakImport im = run({{"many.txt", text}});
    ASSERT_EQ(im.samples.size(), 200u);
    for (int i = 0; i < 200; ++i) {
        const SampleLane& s = im.samples[static_cast<size_t>(i)];
        EXPECT_EQ(s.sample + " " + std::to_string(s.lane) + " " + std::to_string(s.peaks), format("S%d %d 2", i, i + 1));
    }
}

// The line the command line says for a file with rows skipped: counts
// written with commas between thousands; the reason alone when there is one.
TEST(PeakImportTest, SkippedRowsText) {
    FileRows rows{22016, 2603, {}};
    rows.skipped[static_cast<size_t>(SkipReason::HeightNotNumber)] = 2603;
    EXPECT_EQ(skippedRowsText(rows), "2,603 of 22,016 rows skipped: height not a number");
    rows = {1234567, 999, {}};
    rows.skipped[static_cast<size_t>(SkipReason::SizeEmpty)] = 998;
    rows.skipped[static_cast<size_t>(SkipReason::DyeUnknown)] = 1;
    EXPECT_EQ(skippedRowsText(rows), "999 of 1,234,567 rows skipped: 998 size empty or NA, 1 dye not recognised");
    EXPECT_EQ(skippedRowsText({5, 0, {}}), "");
}

// The default dye is blue, else the one with most rows but never the size
// standard; a dye asked for by letter or colour, or the dyes there are.
TEST(PeakImportTest, Dyes) {
    for (const auto& [dyes, byDefault, standard] : {std::tuple{"OOOOBG", 'B', 'O'}, {"GYYOOOOO", 'Y', 'O'}, {"GRRR", 'G', 'R'},
                                                    {"OO", 'O', 'O'}, {"RRRRROOOOOOG", 'R', 'O'}, {"YG", 'G', '\0'}, {"KKP", 'K', '\0'}}) {
        std::string text = "Sample\tDye\tSize\tHeight\n";
        for (const char* d = dyes; *d; ++d) text += std::string("S\t") + *d + "\t150\t10\n";
        const PeakImport im = run({{"d.txt", text}});
        EXPECT_EQ(std::tuple(defaultDye(im), sizeStandardDye(im), selectDye(im, "").dye), std::tuple(byDefault, standard, byDefault)) << dyes;
    }
    const PeakImport im = run({{"d.txt", "Sample\tDye/Sample Peak\tSize\tHeight\nS\tB,1\t1\t1\nS\tG,1\t1\t1\nS\tG,2\t1\t1\n"}});
    EXPECT_EQ(std::string() + selectDye(im, "g").dye + selectDye(im, " Blue ").dye, "GB");
    EXPECT_EQ(selectDye(im, "Y").dye, 0);
    EXPECT_EQ(selectDye(im, "Y").refusal, "There are no peaks in dye Y (yellow). The dyes present are B (blue): 1 peak, G (green): 2 peaks.");
    EXPECT_NE(selectDye(im, "magenta").refusal.find("\"magenta\" is not a dye"), std::string::npos);
    EXPECT_EQ(selectDye(im, "magenta").dye, 0);
    EXPECT_EQ(classicRows(im, 'Y').size(), 0u);
}

// A Marker column (multiplex exports): the markers with their rows by dye;
// one marker is scored, never all pooled: by default the one with most
// rows in the dye, said in a note; its samples (those with a row of it,
// peaks or not) are the lanes, numbered anew, and only its peaks count.
TEST(PeakImportTest, MarkersAreChosenNeverPooled) {
    const std::string table = "Sample.Name,Marker,Dye,Size.1,Height.1,Size.2,Height.2\n"
                              "A,D1,B,150.1,800,154.2,650\n"
                              "A,D2,B,220.0,500,,\n"
                              "B,D1,B,150.3,700,,\n"
                              "B,D2,G,221.0,300,,\n"
                              "C,D2,B,,,,\n"
                              "C,D1,G,148.0,90,,\n";
    const PeakImport all = run({{"multiplex.csv", table}});
    ASSERT_EQ(all.status, ImportStatus::Imported) << all.message;
    ASSERT_EQ(all.markers.size(), 2u);
    EXPECT_EQ(all.markers[0].name, "D1");
    EXPECT_EQ(all.markers[0].dyes.size(), 2u);
    EXPECT_EQ(std::tuple(all.markers[0].dyes[0].dye, all.markers[0].dyes[0].peaks, all.markers[0].dyes[1].peaks),
              std::tuple('B', int64_t{3}, int64_t{1}));
    EXPECT_EQ(std::tuple(all.markers[1].name, all.markers[1].dyes[0].peaks, all.markers[1].dyes[1].peaks),
              std::tuple(std::string("D2"), int64_t{1}, int64_t{1}));
    EXPECT_EQ(std::string() + defaultMarker(all, 'B') + defaultMarker(all, 'G'), "D1D1");

    const struct {
        const char* asked;
        char dye;
        std::string samples, rows, note, refusal;
    } cases[] = {
        {"", 'B', "1\tA\tmultiplex.csv\t2\n2\tB\tmultiplex.csv\t1\n3\tC\tmultiplex.csv\t0\n",
         "1:150.100006:800 1:154.199997:650 2:150.300003:700", "The Marker column names 2 markers; \"D1\"", ""},
        {"D2", 'B', "1\tA\tmultiplex.csv\t1\n2\tB\tmultiplex.csv\t0\n3\tC\tmultiplex.csv\t0\n", "1:220.000000:500", "", ""},
        {"D2", 'G', "1\tA\tmultiplex.csv\t0\n2\tB\tmultiplex.csv\t1\n3\tC\tmultiplex.csv\t0\n", "2:221.000000:300", "", ""},
        {"D9", 'B', "", "", "", "There is no marker \"D9\" in the Marker column. The markers there are \"D1\", \"D2\"."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.asked);
        PeakImport im = all;
        EXPECT_EQ(selectMarker(im, c.asked, c.dye), c.refusal);
        if (!c.refusal.empty()) continue;
        EXPECT_EQ(im.marker, *c.asked ? c.asked : "D1");
        EXPECT_EQ(sampleTableText(im, c.dye), "lane\tsample\tfile\tpeaks\n" + c.samples);
        EXPECT_EQ(rowSizes(im, c.dye), c.rows);
        EXPECT_EQ(im.markerNote.substr(0, c.note.size()), c.note);
    }
    // Samples without a row of the marker are no lanes; a table without a
    // Marker column is left as it is.
    PeakImport one = run({{"two.csv", "Sample,Marker,Size,Height\nA,D1,150,800\nB,D2,150,700\nC,D1,152,600\n"}});
    EXPECT_EQ(selectMarker(one, "D1", 0), "");
    EXPECT_EQ(sampleTableText(one, kNoDye), "lane\tsample\tfile\tpeaks\n1\tA\ttwo.csv\t1\n2\tC\ttwo.csv\t1\n");
    PeakImport none = run({{"none.csv", "Sample,Size,Height\nA,150,800\n"}});
    EXPECT_EQ(selectMarker(none, "D1", 0), "");
    EXPECT_EQ(std::tuple(none.samples.size(), none.peaks.size(), none.marker), std::tuple(size_t{1}, size_t{1}, std::string()));
}

}  // namespace
}  // namespace lociview
