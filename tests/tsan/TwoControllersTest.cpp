// Two sessions, each on its own controller and headless toolkit, playing
// the same script on two different peak files on two threads at once. They
// share nothing, so each must trace exactly what it traces alone; under
// ThreadSanitizer any hidden shared state (a static cache, a global) is
// reported as a race.
#include <gtest/gtest.h>

#include <latch>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "headless/SessionScript.h"

namespace lociview {
namespace {

// Everything a user does with one file, three times over: opening it again,
// scoring with and without Maybes, the table both ways, the chart, adding,
// the exports, with alerts answered both ways.
std::string playSession(const std::string& path) {
    const std::string open = "open " + path + "\n",
                      round = "do scoreData:\nstate toggleTable on\ndo toggleTable:\nshow table\nstate toggleTable off\n"
                              "do toggleTable:\nstate Maybes on\ndo toggleMaybes:\ndo scoreData:\nshow results\n"
                              "select 0 1 2\ndo graphSelections:\nshow chart\ndo preAddToAccumulator:\n"
                              "set accumgeforun 3\nanswer alternate\ndo addToAccumulator:\ndo exportSPPCRData:\n"
                              "do exportSPPCR2:\ndo exportAccumulatedSPPCRData:\nshow sppcr\nshow store\n"
                              "state Maybes off\ndo toggleMaybes:\nanswer default\n";
    std::istringstream script("set progenitor1 150\nset progenitor2 156\n" + open + round + open + round + open + round +
                              "show accum\n");
    std::ostringstream out, err;
    const int status = headless::runSession(script, "tsan.script", out, err);
    return std::to_string(status) + err.str() + out.str();
}

TEST(TwoControllers, ConcurrentSessionsTraceAsAlone) {
    const std::vector<std::string> paths = {LOCIVIEW_EXAMPLES_DIR "/di-locus-plate.txt",
                                            LOCIVIEW_GOLDEN_DIR "/data/crlf.txt"};
    std::vector<std::string> alone;
    for (const std::string& p : paths) alone.push_back(playSession(p));
    std::vector<std::string> together(paths.size());
    std::latch start(static_cast<std::ptrdiff_t>(paths.size()));  // both begin at once
    std::vector<std::thread> threads;
    for (size_t i = 0; i < paths.size(); ++i)
        threads.emplace_back([&, i] {
            start.arrive_and_wait();
            together[i] = playSession(paths[i]);
        });
    for (std::thread& t : threads) t.join();
    for (size_t i = 0; i < paths.size(); ++i) {
        // The work must have got somewhere, or the comparison proves nothing.
        EXPECT_EQ(alone[i].rfind("0", 0), 0u) << alone[i].substr(0, 200);
        EXPECT_NE(alone[i].find("accum: run 3 p1 150 p2 156 records"), std::string::npos) << alone[i].substr(0, 200);
        EXPECT_EQ(together[i], alone[i]) << paths[i];
    }
    EXPECT_NE(alone[0], alone[1]);
}

}  // namespace
}  // namespace lociview
