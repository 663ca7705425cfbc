#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "support/ControllerHarness.h"

namespace lociview {
namespace {

std::vector<std::string> traceLines(const std::string& trace) {
    std::vector<std::string> out;
    std::istringstream in(trace);
    for (std::string line; std::getline(in, line);) out.push_back(line);
    return out;
}

// True when every expected line appears in the trace, in this order.
::testing::AssertionResult inOrder(const std::string& trace, const std::vector<std::string>& expected) {
    const std::vector<std::string> lines = traceLines(trace);
    size_t at = 0;
    for (const std::string& want : expected) {
        while (at < lines.size() && lines[at] != want) ++at;
        if (at == lines.size()) return ::testing::AssertionFailure() << "missing in order: " << want << "\n" << trace;
        ++at;
    }
    return ::testing::AssertionSuccess();
}

const std::string kGood = "12B,7\t21.35\t185.32\t2451\t18923.5\t3012\n";
const char* const kNoData = "Your file has no data in it. Try to select a file with data in it next time.";

TEST(OpenFileTest, FirstOpeningReadsRecordsWithoutAsking) {
    ControllerHarness h;
    h.takeTrace();
    h.openText("Lane\tSize\tHeight\n" + kGood, "peaks.txt");
    EXPECT_TRUE(h.tk.dialogs.shown.empty());
    EXPECT_EQ(h.tk.window.title(), "Lociview: peaks.txt");
    EXPECT_EQ(h.controller.workingOnFile(), 1);
    ASSERT_EQ(h.controller.store().count(), 1);
    const Allele& a = *h.controller.store().workingList()[0];
    EXPECT_EQ(a.getSize(), 185.32000732421875);
    EXPECT_EQ(a.getHeight(), 2451);
    EXPECT_EQ(a.getArea(), 18923);
    EXPECT_EQ(a.getLane(), 12);
    EXPECT_EQ(h.controller.lanes(), std::vector<int32_t>{12});
}

struct LaneCase {
    std::string labels;  // one row per character group, separated by blanks
    std::vector<int32_t> lanelist;
    std::vector<std::string> log;
};

class OpenFileLanesTest : public ::testing::TestWithParam<LaneCase> {};

TEST_P(OpenFileLanesTest, LaneListAscendsWithDotsPerRecord) {
    ControllerHarness h;
    std::istringstream labels(GetParam().labels);
    std::string text;
    for (std::string label; labels >> label;) text += label + "A,1 1 150 100 100 1\n";
    h.takeTrace();
    h.controller.openFileBytes(text);
    h.controller.convertDataTextToDataData();
    EXPECT_EQ(h.controller.lanes(), GetParam().lanelist);
    EXPECT_EQ(h.controller.laneCount(), static_cast<int32_t>(GetParam().lanelist.size()));
    std::vector<std::string> tail = traceLines(h.takeTrace());
    tail.erase(tail.begin(), tail.end() - static_cast<long>(GetParam().log.size()));
    EXPECT_EQ(tail, GetParam().log);
}

INSTANTIATE_TEST_SUITE_P(
    Labels, OpenFileLanesTest,
    ::testing::Values(
        LaneCase{"3 1 2 2", {1, 2, 3},
                 {"log: (3, 1, 2)", "log: lane # 1", "log: .", "log: lane # 2", "log: .", "log: .", "log: lane # 3", "log: ."}},
        // Equal values written differently are two labels of one lane.
        LaneCase{"07 7", {7, 7}, {"log: (07, 7)", "log: lane # 7", "log: .", "log: .", "log: lane # 7", "log: .", "log: ."}},
        LaneCase{"100 0 100", {0, 100}, {"log: (100, 0)", "log: lane # 0", "log: .", "log: lane # 100", "log: .", "log: ."}},
        LaneCase{"99999999999", {2147483647}, {"log: (99999999999)", "log: lane # 2147483647", "log: ."}}));

struct RecordCase {
    std::string numbers;  // the five numbers after "1A,1"
    double size;
    int32_t height, area;
};

class OpenFileRecordTest : public ::testing::TestWithParam<RecordCase> {};

TEST_P(OpenFileRecordTest, RecordReadsBackRowTexts) {
    ControllerHarness h;
    h.controller.openFileBytes("1A,1 " + GetParam().numbers);
    h.controller.convertDataTextToDataData();
    ASSERT_EQ(h.controller.store().count(), 1);
    const Allele& a = *h.controller.store().workingList()[0];
    EXPECT_EQ(a.getSize(), GetParam().size);
    EXPECT_EQ(a.getHeight(), GetParam().height);
    EXPECT_EQ(a.getArea(), GetParam().area);
}

INSTANTIATE_TEST_SUITE_P(
    Numbers, OpenFileRecordTest,
    ::testing::Values(RecordCase{"0 150.5 -12 -0.9 0", 150.5, -12, 0},
                      RecordCase{"0 1e-50 2147483647 3e9 0", 0.0, 2147483647, 2147483647},
                      RecordCase{"0 -7.25 -2147483648 -3e9 0", -7.25, -2147483647 - 1, -2147483647 - 1},
                      // Heights beyond 2^24 pass through single precision.
                      RecordCase{"0 1 16777217 16777217.0 0", 1.0, 16777216, 16777216},
                      // An infinite area is stored as "inf", which reads as no number.
                      RecordCase{"0 1e39 5 1e39 0", 0.0, 5, 0}));

// Keep Scoring, Open Another with a cancelled dialog and a file with no
// rows are pinned by the open-confirm and open-empty golden traces; the
// results kept over an opening by BadInputTest.
TEST(OpenFileTest, OpenAnotherReplacesStoreAndKeysContinue) {
    ControllerHarness h;
    h.openText(kGood + kGood);
    h.tk.chart.addAllele(h.controller.store().workingList()[0]);
    h.openText("5A,1 1 2 3 4 5\n", "other.txt");
    ASSERT_EQ(h.controller.store().count(), 1);
    EXPECT_EQ(h.controller.store().backupList().size(), 1u);
    EXPECT_EQ(h.controller.store().workingList()[0]->getKey(), 2);
    EXPECT_EQ(h.controller.lanes(), std::vector<int32_t>{5});
    EXPECT_TRUE(h.tk.chart.peaks().empty());
    EXPECT_EQ(h.tk.window.title(), "Lociview: other.txt");
}

TEST(OpenFileTest, UnreadablePathsGiveNoText) {
    const auto dir = std::filesystem::temp_directory_path() / ("lociview-open-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    for (const std::string& path : {(dir / "missing.txt").string(), dir.string() + "/", std::string()}) {
        ControllerHarness h;
        h.takeTrace();
        h.tk.dialogs.setOpenAnswer(path);
        h.controller.openData();
        EXPECT_TRUE(inOrder(h.takeTrace(), {"log: Uses \\\\r format", "log: datacount = 0",
                                            std::string("alert: ") + kNoData + " [Okie Dokie] -> Okie Dokie"}))
            << path;
        EXPECT_EQ(h.controller.workingOnFile(), 0);
    }
    ControllerHarness h;
    h.tk.dialogs.setOpenAnswer(dir.string() + "/");
    h.controller.openData();
    EXPECT_EQ(h.tk.window.title(), "Lociview: " + dir.filename().string());
    std::filesystem::remove_all(dir);
}

TEST(OpenFileTest, OpeningTurnsTheByLaneTableSwitchOff) {
    ControllerHarness h;
    h.tk.toggleTable.setState(1);
    h.openText(kGood);
    EXPECT_EQ(h.tk.toggleTable.state(), 0);
}

}  // namespace
}  // namespace lociview
