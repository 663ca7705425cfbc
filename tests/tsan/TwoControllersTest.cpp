// Two controllers, each on its own headless toolkit, working through two
// different peak files on two threads at once. They share nothing, so
// each must trace exactly what it traces alone; under ThreadSanitizer any
// hidden shared state (a static cache, a global) is reported as a race.
#include <gtest/gtest.h>

#include <latch>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "headless/SessionScript.h"
#include "support/ControllerHarness.h"

namespace lociview {
namespace {

struct Work {
    std::string path;
    std::string p1, p2;
};

struct Outcome {
    std::string trace;
    std::string sppcr;
    size_t accumulated = 0;
    size_t peaks = 0;
};

// Everything a user does with one file, a few times over.
Outcome session(const Work& work, int rounds) {
    ControllerHarness h;
    headless::HeadlessToolkit& tk = h.tk;
    GeneController& c = h.controller;
    tk.progenitor1.setText(work.p1);
    tk.progenitor2.setText(work.p2);
    for (int round = 0; round < rounds; ++round) {
        // A second opening asks first; the default answer keeps scoring, so
        // open with the alternate one.
        tk.dialogs.queueAnswer(true);
        tk.dialogs.setOpenAnswer(work.path);
        c.openData();
        tk.dialogs.setOpenAnswer(std::nullopt);
        tk.dialogs.clearAnswers();

        c.scoreData();
        tk.toggleTable.setState(1);
        c.toggleTable();
        tk.toggleTable.setState(0);
        c.toggleTable();
        tk.Maybes.setState(round % 2);
        c.toggleMaybes();
        c.scoreData();

        tk.tabl.select({0, 1, 2});
        c.graphSelections();

        c.preAddToAccumulator();
        tk.accumgeforun.setText(std::to_string(10 + round));
        tk.dialogs.queueAnswer(true);  // go on past a progenitor-loss warning
        c.addToAccumulator();
        tk.dialogs.clearAnswers();

        c.exportSPPCRData();
        c.exportSPPCR2();
        c.exportAccumulatedSPPCRData();
    }
    h.tk.standardOutput.flush();
    return {h.takeTrace(), tk.sppcrtext.text(), c.accumulator().records().size(), tk.chart.peaks().size()};
}

TEST(TwoControllers, ConcurrentSessionsTraceAsAlone) {
    const std::vector<Work> works = {
        {LOCIVIEW_EXAMPLES_DIR "/di-locus-plate.txt", "150", "156"},
        {LOCIVIEW_GOLDEN_DIR "/data/small.txt", "150", "156"},
    };
    constexpr int kRounds = 3;

    std::vector<Outcome> alone;
    for (const Work& w : works) alone.push_back(session(w, kRounds));

    std::vector<Outcome> together(works.size());
    std::vector<std::thread> threads;
    std::latch start(static_cast<std::ptrdiff_t>(works.size()));  // both begin at once
    for (size_t i = 0; i < works.size(); ++i)
        threads.emplace_back([&, i] {
            start.arrive_and_wait();
            together[i] = session(works[i], kRounds);
        });
    for (std::thread& t : threads) t.join();

    for (size_t i = 0; i < works.size(); ++i) {
        SCOPED_TRACE(works[i].path);
        // The work must have got somewhere, or the comparison proves nothing.
        EXPECT_GT(alone[i].accumulated, 0u);
        EXPECT_FALSE(alone[i].sppcr.empty());
        EXPECT_EQ(together[i].trace, alone[i].trace);
        EXPECT_EQ(together[i].sppcr, alone[i].sppcr);
        EXPECT_EQ(together[i].accumulated, alone[i].accumulated);
        EXPECT_EQ(together[i].peaks, alone[i].peaks);
    }
    // Two different files make two different sessions.
    EXPECT_NE(alone[0].trace, alone[1].trace);
}

// The script player too: two scripts played at once trace as played alone.
std::string playScript(const std::string& path) {
    std::istringstream script("set progenitor1 150\nset progenitor2 156\nopen " + path +
                              "\ndo scoreData:\nshow results\nselect 0 1\ndo graphSelections:\nshow chart\n"
                              "state toggleTable on\ndo toggleTable:\nshow table\nset accumgeforun 3\n"
                              "do addToAccumulator:\ndo exportAccumulatedSPPCRData:\nshow sppcr\nshow store\n");
    std::ostringstream out, err;
    const int status = headless::runSession(script, "tsan.script", out, err);
    return std::to_string(status) + err.str() + out.str();
}

TEST(TwoControllers, ConcurrentScriptsTraceAsAlone) {
    const std::vector<std::string> paths = {LOCIVIEW_EXAMPLES_DIR "/di-locus-plate.txt",
                                            LOCIVIEW_GOLDEN_DIR "/data/crlf.txt"};
    std::vector<std::string> alone;
    for (const std::string& p : paths) alone.push_back(playScript(p));

    std::vector<std::string> together(paths.size());
    std::latch start(static_cast<std::ptrdiff_t>(paths.size()));
    std::vector<std::thread> threads;
    for (size_t i = 0; i < paths.size(); ++i)
        threads.emplace_back([&, i] {
            start.arrive_and_wait();
            together[i] = playScript(paths[i]);
        });
    for (std::thread& t : threads) t.join();

    for (size_t i = 0; i < paths.size(); ++i) {
        EXPECT_EQ(alone[i].rfind("0", 0), 0u) << alone[i].substr(0, 200);
        EXPECT_EQ(together[i], alone[i]) << paths[i];
    }
}

}  // namespace
}  // namespace lociview
