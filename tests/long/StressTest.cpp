// The largest inputs, run once by scripts/test (ctest -L long) rather than
// in every test run: a 200 MB line, a million lanes, a million samples.
// Smaller in sanitizer and unoptimised builds.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "input/PeakImport.h"
#include "support/ControllerHarness.h"
#include "support/ScratchDir.h"
#include "support/SlowBuild.h"

namespace lociview {
namespace {

namespace fs = std::filesystem;

// One line, read once, its numbers scanned however long they run.
TEST(StressTest, TwoHundredMegabytesWithoutALineBreak) {
    const long megabytes = kSlowBuild ? 16 : 200;
    ScratchDir dir{"long"};
    const fs::path path = dir.path / "one-line.txt";
    {
        // The last number's fraction runs to the end of the file.
        std::ofstream out(path, std::ios::binary);
        out << "1A,1 1.0 150.0 1000 2000.0 3.";
        const std::string chunk(1 << 20, '0');
        for (long i = 0; i < megabytes; ++i) out.write(chunk.data(), static_cast<std::streamsize>(chunk.size()));
    }
    ControllerHarness h;
    h.tk.dialogs.setOpenAnswer(path.string());
    h.controller.openData();
    EXPECT_TRUE(h.tk.dialogs.shown.empty());
    ASSERT_EQ(h.controller.rows().size(), 1u);
    EXPECT_EQ(h.controller.rows()[0][7], "3.000000");
}

// A lane for every peak: reading, scoring, the lane table and the chart all
// stay linear.
TEST(StressTest, MillionLanesOfOnePeak) {
    const long lanes = kSlowBuild ? 100000 : 1000000;
    ScratchDir dir{"long"};
    const fs::path path = dir.path / "lanes.txt";
    {
        std::ofstream out(path, std::ios::binary);
        for (long lane = 1; lane <= lanes; ++lane) out << lane << "A,1 1.0 150.0 1000 2000.0 3.0\n";
    }
    // The developer log is not kept: it would hold tens of millions of lines.
    std::ostringstream trace;
    headless::HeadlessProgram program(trace, false);
    headless::HeadlessToolkit& tk = program.tk;
    GeneController& c = program.controller;
    tk.progenitor1.setText("150");
    tk.progenitor2.setText("156");
    tk.dialogs.setOpenAnswer(path.string());
    c.openData();
    ASSERT_EQ(c.laneCount(), lanes);
    c.scoreData();
    EXPECT_TRUE(tk.dialogs.shown.empty());
    // A lone peak has no peak one step below it: a garbage peak, discarded.
    EXPECT_EQ(tk.numemptylanes.text(), std::to_string(lanes));
    EXPECT_EQ(c.result().tbllane.size(), static_cast<size_t>(lanes));
    tk.toggleTable.setState(1);
    c.toggleTable();
    EXPECT_EQ(c.numberOfRowsInTableView(), lanes);
    tk.tabl.select({0, lanes - 1});
    c.graphSelections();
    EXPECT_EQ(tk.chart.peaks().size(), 2u);
}

TEST(StressTest, MillionSamplesAreMillionLanes) {
    const int n = kSlowBuild ? 100000 : 1000000;
    std::string text = "Sample Name,Size,Height\n";
    text.reserve(static_cast<size_t>(n) * 24);
    for (int i = 1; i <= n; ++i) text += "sample-" + std::to_string(i) + ",150.5,10\n";
    NullLog log;
    const PeakImport im = importPeakTables({{"many.csv", std::string_view(text)}}, log);
    ASSERT_EQ(im.status, ImportStatus::Imported);
    ASSERT_EQ(im.samples.size(), static_cast<size_t>(n));
    EXPECT_EQ(im.samples.back().lane, n);
    EXPECT_EQ(im.samples.back().sample, "sample-" + std::to_string(n));
    const std::vector<PeakRow> rows = classicRows(im, kNoDye);
    ASSERT_EQ(rows.size(), static_cast<size_t>(n));
    EXPECT_EQ(rows.back()[0], std::to_string(n));
}

}  // namespace
}  // namespace lociview
