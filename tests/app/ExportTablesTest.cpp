// The exported tables of the example plate scored, as a spreadsheet reads
// them: the commented header naming the file, its checksum and the fields
// as typed, then each table as CSV or TSV.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "base/Sha256.h"
#include "base/Version.h"
#include "support/ControllerHarness.h"

namespace lociview {
namespace {

const std::string kPlate = std::string(LOCIVIEW_EXAMPLES_DIR) + "/di-locus-plate.txt";

// The lines of a text without those starting "# date:" (the time of export).
std::vector<std::string> linesWithoutDate(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        if (line.rfind("# date: ", 0) != 0) lines.push_back(line);
    return lines;
}

std::string plateBytes() {
    std::ifstream in(kPlate, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

struct Case {
    ExportTable table;
    Delimiter delimiter;
    std::vector<std::string> body;  // after the header
};

class ExportTablesTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (const auto& [field, text] : {std::pair{&h.tk.progenitor1, "150"}, {&h.tk.progenitor2, "156bp"},
                                          {&h.tk.shift, "0.0\r\n# not a line"}})
            field->setText(text);
        h.tk.dialogs.setOpenAnswer(kPlate);
        ASSERT_EQ(h.controller.openData(), Outcome::Done);
        ASSERT_EQ(h.controller.scoreData(), Outcome::Done);
    }

    ControllerHarness h;
};

TEST_F(ExportTablesTest, EachTableWithItsHeaderAsCsvAndTsv) {
    EXPECT_EQ(h.controller.exportText(ExportTable::AccumulatedStatistics, Delimiter::Comma), "");  // no run yet
    EXPECT_EQ(h.controller.exportText(ExportTable::Samples, Delimiter::Comma), "");  // a classic peak table

    const std::vector<std::string> header = {
        "# Lociview " + std::string(kVersion) + ", by-allele table",
        "# file: di-locus-plate.txt",
        "# file SHA-256: " + sha256Hex(plateBytes()),
        "# P1: 150",
        "# P2: 156bp (read as 156)",  // as typed, and what was used
        "# low range: 120.0",
        "# high range: 180.0",
        "# shift: 0.0  # not a line (read as 0)",
        "# stutter tolerance: 1.5",
        "# locus: di",
        "# Maybes: off",
    };
    const std::string csv = h.controller.exportText(ExportTable::ByAllele, Delimiter::Comma);
    ASSERT_EQ(csv.rfind("# Lociview ", 0), 0u);
    EXPECT_NE(csv.find("\n# date: 20"), std::string::npos);
    const std::vector<std::string> lines = linesWithoutDate(csv);
    ASSERT_GE(lines.size(), header.size());
    EXPECT_EQ(std::vector<std::string>(lines.begin(), lines.begin() + static_cast<std::ptrdiff_t>(header.size())),
              header);

    const std::vector<Case> cases = {
        {ExportTable::ByAllele, Delimiter::Comma,
         {"Allele Size,\"# of peaks at this size\",% of weighted height", "146,1,0.943598", "150,7,1.425948",
          "156,6,1.213576", "158,1,0.742183", "162,1,0.803218"}},
        {ExportTable::ByAllele, Delimiter::Tab,
         {"Allele Size\t# of peaks at this size\t% of weighted height", "146\t1\t0.943598", "150\t7\t1.425948",
          "156\t6\t1.213576", "158\t1\t0.742183", "162\t1\t0.803218"}},
        {ExportTable::ByLane, Delimiter::Comma,
         // The last column says why a lane is flagged: here, the primer peak near 62 bp outranks the alleles.
         {"Lane number,alle146,alle150,alle156,alle158,alle162,Flags",
          "1,,2424,,,,\"outside-range: tallest peak 2754 RFU at 62.13 bp, outside 120..180 bp\"", "2,,,1944,,,",
          "3,,2196,1858,,,\"outside-range: tallest peak 3075 RFU at 61.64 bp, outside 120..180 bp\"", "4,,2429,,,,",
          "5,,,,,,\"outside-range: tallest peak 2941 RFU at 61.55 bp, outside 120..180 bp\"", "6,1546,,,,,",
          "7,,,2193,,1316,", "8,,2006,1944,,,",
          "9,,3062,,,,\"outside-range: tallest peak 3209 RFU at 62.32 bp, outside 120..180 bp\"", "10,,2613,,1216,,",
          "11,,,2384,,,", "12,,1624,1607,,,\"outside-range: tallest peak 3177 RFU at 61.71 bp, outside 120..180 bp\""}},
        {ExportTable::Counters, Delimiter::Tab,
         {"counter\tvalue", "lanes\t12", "numemptylanes\t1", "numones\t6", "numtwos\t5"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(exportTableName(c.table)) + (c.delimiter == Delimiter::Tab ? " TSV" : " CSV"));
        const std::vector<std::string> all = linesWithoutDate(h.controller.exportText(c.table, c.delimiter));
        std::vector<std::string> body;
        for (const std::string& line : all)
            if (line.rfind("# ", 0) != 0 || body.size() > 0) body.push_back(line);
        EXPECT_EQ(body, c.body);
    }

    // The report carries the same counters and tables, by name.
    const Report report = h.controller.report();
    const auto sectionNamed = [&](const std::string& heading) {
        for (const ReportSection& s : report.sections)
            if (s.heading == heading) return s;
        return ReportSection{};
    };
    EXPECT_EQ(sectionNamed("Lane counters").facts,
              (std::vector<std::pair<std::string, std::string>>{
                  {"lanes", "12"}, {"numemptylanes", "1"}, {"numones", "6"}, {"numtwos", "5"}}));
    const std::vector<TextTable> byLane = sectionNamed("Results by lane").tables;
    ASSERT_EQ(byLane.size(), 1u);
    EXPECT_EQ(byLane[0].rows[6], (std::vector<std::string>{"7", "", "", "2193", "", "1316"}));

    // The statistics as the command line prints them, under the GE typed for the run.
    h.tk.accumgeforun.setText("12,5");
    const std::string stats = h.controller.exportText(ExportTable::RunStatistics, Delimiter::Tab);
    EXPECT_NE(stats.find("\n# statistics of: Scored run of di-locus-plate.txt\n# GE: 12,5 (read as 12)\n"),
              std::string::npos)
        << stats;
    EXPECT_EQ(stats.substr(stats.find("\nname\t") + 1), statsText(statRows(*h.controller.runStatistics())));
}

// A report's wide table: parts of at most the width, each led by the row
// names, that together hold every column once in order (short rows padded);
// a table that fits is its own part.
TEST(ExportTables, WideTablesSplitIntoPartsLedByTheRowNames) {
    for (size_t width = 1; width <= 8; ++width)
        for (size_t most = 2; most <= 4; ++most) {
            TextTable table;
            for (size_t c = 0; c < width; ++c) table.columns.push_back("c" + std::to_string(c));
            table.rows = {{"r0"}, {}};
            for (size_t c = 1; c < width; ++c) table.rows[0].push_back(std::to_string(c));
            table.rows[0].resize(width - width / 3);
            if (width <= most) {
                EXPECT_EQ(splitColumns(table, most), std::vector<TextTable>{table});
                continue;
            }
            TextTable joined{{table.columns.front()}, {{"r0"}, {""}}};
            for (const TextTable& part : splitColumns(table, most)) {
                ASSERT_LE(part.columns.size(), most);
                ASSERT_EQ(part.rows.size(), 2u);
                EXPECT_EQ(std::tuple(part.columns[0], part.rows[0][0], part.rows[1][0]),
                          std::tuple(table.columns[0], std::string("r0"), std::string()));
                joined.columns.insert(joined.columns.end(), part.columns.begin() + 1, part.columns.end());
                for (size_t r = 0; r < 2; ++r)
                    joined.rows[r].insert(joined.rows[r].end(), part.rows[r].begin() + 1, part.rows[r].end());
            }
            table.rows[0].resize(width);
            table.rows[1].resize(width);
            EXPECT_EQ(joined, table) << width << " columns, at most " << most;
        }
}

// The instability tables export under the choices made, said in their
// header, and join the report; choices that give no index leave both out.
TEST_F(ExportTablesTest, InstabilityTablesFollowTheChoices) {
    InstabilityChoices choices;
    choices.index = IndexSizeChoice::Progenitor1;
    choices.threshold = 0.25;
    choices.controls = {"1", "2"};
    h.controller.setInstabilityChoices(choices, {{"late", "", {"11", "12"}}});
    const std::string csv = h.controller.exportText(ExportTable::Instability, Delimiter::Comma);
    for (const char* part : {"# index size: P1\n", "# peak threshold: 0.25\n", "# repeat unit: 2 bp\n",
                             "# controls: 1, 2\n", "\nlane,sample,index_size,main_size,peaks_kept,", "\n12,,150,"})
        EXPECT_NE(csv.find(part), std::string::npos) << part << " in " << csv;
    const std::string groups = h.controller.exportText(ExportTable::InstabilityGroups, Delimiter::Tab);
    for (const char* part : {"\nall\tinstability\t11\t", "\ncontrol\tcontraction\t2\t", "\nlate\texpansion\t2\t"})
        EXPECT_NE(groups.find(part), std::string::npos) << part << " in " << groups;
    const auto instabilitySections = [&] {
        int found = 0;
        for (const ReportSection& section : h.controller.report().sections)
            if (section.heading == "Repeat instability") found += static_cast<int>(section.tables.size());
        return found;
    };
    EXPECT_GE(instabilitySections(), 2);

    choices.index = IndexSizeChoice::ControlMean;
    choices.controls.clear();
    h.controller.setInstabilityChoices(choices);
    EXPECT_FALSE(h.controller.hasExportTable(ExportTable::InstabilityGroups));
    EXPECT_EQ(h.controller.exportText(ExportTable::Instability, Delimiter::Comma), "");
    EXPECT_EQ(instabilitySections(), 0);
}

TEST(ExportTables, SampleNamesWithCommasAndQuotesAreQuotedInCsv) {
    ControllerHarness h;
    h.openText("Sample Name\tSize\tHeight\n"
               "A01, \"left\"\t150.1\t800\n"
               "#2 right\t152.2\t600\n",
               "plate.tsv");
    const std::string csv = h.controller.exportText(ExportTable::Samples, Delimiter::Comma);
    EXPECT_NE(csv.find("\n# file: plate.tsv\n"), std::string::npos);
    // The file column names the file as it was given: here a path.
    for (const char* row : {"\n1,\"A01, \"\"left\"\"\",", "\n2,\"#2 right\","})
        EXPECT_NE(csv.find(row), std::string::npos) << row << " in " << csv;
    const std::string tsv = h.controller.exportText(ExportTable::Samples, Delimiter::Tab);
    EXPECT_NE(tsv.find("\n1\tA01, \"left\"\t"), std::string::npos) << tsv;

    // Scored, the table by lane names each lane's sample, in the file, the
    // report and what Copy takes; once another file is open, no more.
    h.tk.progenitor1.setText("150");
    h.tk.progenitor2.setText("152");
    ASSERT_EQ(h.controller.scoreData(), Outcome::Done);
    const std::string byLane = h.controller.exportText(ExportTable::ByLane, Delimiter::Comma);
    EXPECT_NE(byLane.find("\nLane number,Sample,Flags\n1,\"A01, \"\"left\"\"\",\n2,\"#2 right\",\n"), std::string::npos) << byLane;
    for (const ReportSection& section : h.controller.report().sections)
        if (section.heading == "Results by lane") {
            EXPECT_EQ(section.tables.at(0).rows.at(1).at(1), "#2 right");
        }
    h.tk.toggleTable.setState(1);
    h.controller.toggleTable();
    EXPECT_EQ(h.controller.shownTableRows({1}).rows, (std::vector<std::vector<std::string>>{{"2", "#2 right", ""}}));
    h.openText("1A,1\t1\t150.1\t900\t1\t1\n");
    EXPECT_EQ(h.controller.exportTable(ExportTable::ByLane)->columns, std::vector<std::string>{"Lane number"});
}

// One row per flag; a sample name holding a tab or a line break keeps the
// TSV's columns, and CSV quotes it.
TEST(ExportTables, QualityFlagsOneRowPerFlag) {
    const std::vector<QualityFlag> flags = {{3, "A\t03\nx", QualityFlagKind::OffScale, "1 peak, the tallest 500 RFU"},
                                            {3, "A\t03\nx", QualityFlagKind::Spike, "1 spike left out, at scan 77"},
                                            {12, "", QualityFlagKind::StandardPoor, "worst 0.99"}};
    EXPECT_EQ(qualityFlagsText(flags), "lane\tsample\tflag\tdetail\n"
                                       "3\tA 03 x\toff-scale\t1 peak, the tallest 500 RFU\n"
                                       "3\tA 03 x\tspike\t1 spike left out, at scan 77\n"
                                       "12\t\tstandard-poor\tworst 0.99\n");
    EXPECT_EQ(delimitedText(qualityFlagsTable({flags[0]}), Delimiter::Comma),
              "lane,sample,flag,detail\n3,\"A\t03\nx\",off-scale,\"1 peak, the tallest 500 RFU\"\n");
    EXPECT_EQ(qualityFlagsText({}), "lane\tsample\tflag\tdetail\n");
}

}  // namespace
}  // namespace lociview
