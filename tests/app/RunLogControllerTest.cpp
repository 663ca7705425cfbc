// The controller writing through a run log: a restart gives back the same
// accumulator, export and list of runs as the session before it, and as a
// controller without a log; the same run asks before it goes in twice; a
// reset asks, and lasts.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <tuple>

#include "base/Sha256.h"
#include "support/ControllerHarness.h"

namespace lociview {
namespace {

namespace fs = std::filesystem;

std::string plateText(size_t lines = 0) {
    std::ifstream in(LOCIVIEW_EXAMPLES_DIR "/di-locus-plate.txt", std::ios::binary);
    std::string text((std::istreambuf_iterator<char>(in)), {});
    if (lines == 0) return text;
    size_t end = 0;
    for (size_t n = 0; n < lines; ++n) end = text.find('\n', end) + 1;
    return text.substr(0, end);
}

struct Day : ControllerHarness {
    // Opens a run log at file; a failure fails the test.
    int32_t attach(const fs::path& file) {
        RunLogOpening opening = RunLog::open(file);
        EXPECT_TRUE(opening.log) << opening.message;
        const RestoreOutcome restored = controller.attachRunLog(std::move(*opening.log));
        EXPECT_EQ(restored.message, "");
        return restored.runs;
    }
    void score(const std::string& text, const std::string& name) {
        tk.progenitor1.setText("146");
        tk.progenitor2.setText("150");
        openText(text, name);
        ASSERT_EQ(controller.scoreData(), Outcome::Done);
    }
    Outcome add(const char* ge) {
        controller.preAddToAccumulator();
        tk.accumgeforun.setText(ge);
        return controller.addToAccumulator();
    }
    // A plate, the plate cleaned up and added at another GE, a part of it.
    void playDay() {
        score(plateText(), "plate.txt");
        EXPECT_EQ(add("12.5"), Outcome::Done);
        tk.cuwlessthanfield.setText("1300");
        controller.cleanUpLessThan();
        EXPECT_EQ(add("25"), Outcome::Done);
        score(plateText(30), "part.txt");
        EXPECT_EQ(add("12.5"), Outcome::Done);
    }
};

class RunLogController : public testing::Test {
protected:
    void SetUp() override {
        dir = fs::temp_directory_path() / ("lociview-runlog-controller-" + std::to_string(::getpid()));
        fs::remove_all(dir);
    }
    void TearDown() override { fs::remove_all(dir); }
    fs::path dir;
};

TEST_F(RunLogController, ARestartGivesBackTheAccumulatorExportAndList) {
    Day unlogged;
    unlogged.playDay();
    std::string exported;
    std::vector<LoggedRun> listed;
    {
        Day logged;
        EXPECT_EQ(logged.attach(dir / "runs.sqlite"), 0);
        logged.playDay();
        exported = logged.controller.accumulator().exportText();
        listed = logged.controller.accumulatedRunList();
        // The log changes nothing of what adding does.
        EXPECT_EQ(exported, unlogged.controller.accumulator().exportText());
        EXPECT_EQ(logged.controller.accumulator().records().size(), unlogged.controller.accumulator().records().size());
        ASSERT_EQ(listed.size(), 3u);
        for (size_t i = 0; i < listed.size(); ++i)
            EXPECT_TRUE(listed[i].record == unlogged.controller.accumulatedRunList()[i].record) << i;
    }
    Day restarted;
    EXPECT_EQ(restarted.attach(dir / "runs.sqlite"), 3);
    EXPECT_EQ(restarted.controller.accumulator().exportText(), exported);
    EXPECT_EQ(restarted.controller.accumulator().currentRun(), 3);
    const std::vector<LoggedRun>& again = restarted.controller.accumulatedRunList();
    ASSERT_EQ(again.size(), 3u);
    for (size_t i = 0; i < again.size(); ++i) {
        EXPECT_EQ(again[i].addedAt, listed[i].addedAt);
        EXPECT_TRUE(again[i].record == listed[i].record) << i;
    }

    // What a run keeps: the file's bytes, the fields as typed, the counters
    // as the clean-up left the counts.
    const RunRecord& cleaned = again[1].record;
    EXPECT_EQ(cleaned.fileName, "plate.txt");
    EXPECT_EQ(cleaned.fileSha256, sha256Hex(plateText()));
    EXPECT_EQ(cleaned.fields, (TypedFields{"146", "150", "120.0", "180.0", "0.0", "1.5", "25"}));
    EXPECT_EQ(again[2].record.fileSha256, sha256Hex(plateText(30)));
    // The plate's twelve lanes: one empty, six with one allele, five with more.
    EXPECT_EQ(std::tuple(cleaned.lanes, cleaned.emptyLanes, cleaned.oneLanes, cleaned.twoOrMoreLanes),
              std::tuple(12, 1, 6, 5));
    EXPECT_NE(cleaned.alleles, again[0].record.alleles);  // counts lowered by the clean-up
}

TEST_F(RunLogController, TheSameRunAsksBeforeGoingInTwiceAndAResetAsksAndLasts) {
    {
        Day day;
        day.attach(dir / "runs.sqlite");
        day.score(plateText(), "plate.txt");
        ASSERT_EQ(day.add("12.5"), Outcome::Done);
        struct Case {
            bool addAgain;
            Outcome outcome;
            size_t runs;
        };
        for (const Case& c : {Case{false, Outcome::Cancelled, 1}, Case{true, Outcome::Done, 2}}) {
            day.tk.dialogs.shown.clear();
            day.tk.dialogs.queueAnswer(c.addAgain);
            EXPECT_EQ(day.add("12.5"), c.outcome);
            ASSERT_EQ(day.tk.dialogs.shown.size(), 1u);
            EXPECT_EQ(day.tk.dialogs.shown[0].id, AlertId::AddRunAgain);
            EXPECT_EQ(day.controller.accumulatedRunList().size(), c.runs);
        }
        // Another GE is another run: nothing asked.
        day.tk.dialogs.shown.clear();
        EXPECT_EQ(day.add("25"), Outcome::Done);
        EXPECT_TRUE(day.tk.dialogs.shown.empty());

        day.tk.dialogs.queueAnswer(true);  // Keep Runs
        EXPECT_EQ(day.controller.confirmResetAccumulator(), Outcome::Cancelled);
        EXPECT_EQ(day.controller.accumulator().currentRun(), 3);
        EXPECT_NE(day.tk.dialogs.shown.back().informative.find("3 runs"), std::string::npos);
        EXPECT_EQ(day.controller.confirmResetAccumulator(), Outcome::Done);
        EXPECT_EQ(day.controller.accumulator().currentRun(), 0);
        EXPECT_TRUE(day.controller.accumulatedRunList().empty());
    }
    Day restarted;
    EXPECT_EQ(restarted.attach(dir / "runs.sqlite"), 0);
    // After the reset the same run is new again.
    restarted.score(plateText(), "plate.txt");
    EXPECT_EQ(restarted.add("12.5"), Outcome::Done);
    EXPECT_TRUE(restarted.tk.dialogs.shown.empty());
}

}  // namespace
}  // namespace lociview
