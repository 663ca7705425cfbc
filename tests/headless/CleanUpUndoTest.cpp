// Undoing and redoing clean-ups through the controller's snapshots, played
// in the session player: putting a snapshot back gives exactly the views of
// its moment. And what the results say they come from.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "headless/SessionScript.h"

namespace lociview::headless {
namespace {

using Lines = std::vector<std::string>;

struct CleanUps {
    const char* name;
    Lines lines;
    const char* summary;  // what the last of them did
};

class CleanUpUndo : public testing::TestWithParam<CleanUps> {
protected:
    std::ostringstream out;
    Session session{out};

    // The trace of lines, and nothing before them.
    std::string play(const Lines& lines) {
        out.str("");
        for (const std::string& line : lines) EXPECT_EQ(session.play(line), std::nullopt) << line;
        return out.str();
    }
    // Everything a clean-up may change, as the user sees it.
    std::string views() { return play({"show store", "show results", "show counters", "show table", "show chart"}); }

    void scorePlate(const char* p1 = "146", const char* p2 = "150") {
        play({std::string("set progenitor1 ") + p1, std::string("set progenitor2 ") + p2, "set lowrange 120",
              "set highrange 180", "open " LOCIVIEW_EXAMPLES_DIR "/di-locus-plate.txt", "do scoreData:"});
    }
};

TEST_P(CleanUpUndo, RestoringASnapshotGivesItsViewsBack) {
    scorePlate();
    const std::string before = views();
    play({"snapshot before"});
    play(GetParam().lines);
    const std::string after = views();
    ASSERT_NE(after, before);
    EXPECT_EQ(play({"show cleanup", "snapshot after"}), std::string("cleanup: ") + GetParam().summary + "\n");

    // Undo, redo, undo: each the state of its moment, the table reloaded.
    for (const auto& [name, expected] : {std::pair{"before", &before}, {"after", &after}, {"before", &before}}) {
        EXPECT_EQ(play({std::string("restore ") + name}), "reload: tabl\n") << name;
        EXPECT_EQ(views(), *expected) << name;
    }
    // A new scoring run makes them another run's: refused, nothing changes.
    play({"do scoreData:"});
    const std::string rescored = views();
    EXPECT_EQ(play({"restore after"}), "restore: refused: taken before the last opening or scoring run\n");
    EXPECT_EQ(views(), rescored);
}

INSTANTIATE_TEST_SUITE_P(
    Removals, CleanUpUndo,
    testing::Values(
        CleanUps{"LessThanWithMaybes",
                 {"state Maybes on", "set cuwlessthanfield 1300", "do cleanUpLessThan:"},
                 "Removed 3 peaks (2 maybes) below height 1300"},
        CleanUps{"GreaterThan", {"set cuwgreaterthanfield 2000", "do cleanUpGreaterThan:"},
                 "Removed 8 peaks above height 2000"},
        CleanUps{"Lane", {"set cuwlanefield 3", "do cleanUpLaneAndOrAllele:"}, "Removed 2 peaks of lane 3"},
        CleanUps{"Allele", {"set cuwallelefield 150", "do cleanUpLaneAndOrAllele:"}, "Removed 7 peaks at allele 150"},
        // The same peak twice: the count drops twice, the score stays DISCARDED.
        CleanUps{"LaneAndAlleleTwice",
                 {"set cuwlanefield 3", "set cuwallelefield 150", "do cleanUpLaneAndOrAllele:",
                  "do cleanUpLaneAndOrAllele:"},
                 "Removed 1 peak at allele 150 in lane 3"},
        CleanUps{"SeveralInARow",
                 {"set cuwgreaterthanfield 2000", "do cleanUpGreaterThan:", "set cuwlanefield 3",
                  "do cleanUpLaneAndOrAllele:", "set cuwlessthanfield 500", "do cleanUpLessThan:"},
                 "Removed no peaks below height 500"}),
    [](const auto& info) { return std::string(info.param.name); });

// A Cancel during the lane sweeps leaves everything as before the click:
// the records (shifted, merged and cleaned up by the run before), the
// results, the fields a progenitor swap changes, and the undo steps; the
// next run scores as if the cancelled one had never been.
TEST_F(CleanUpUndo, ACancelledScoringRunLeavesEverythingAsBefore) {
    const Lines scored = {"set shift 0.5", "set progenitor1 146", "set progenitor2 150",
                          "open " LOCIVIEW_EXAMPLES_DIR "/di-locus-plate.txt", "do scoreData:", "snapshot scored",
                          "set cuwlanefield 3", "do cleanUpLaneAndOrAllele:"};
    const Lines next = {"set progenitor1 156", "set progenitor2 146", "set shift 1", "state Maybes on",
                        "answer default"};
    play(scored);
    const auto everything = [this] { return views() + play({"show fields", "show state", "show log"}); };
    const std::string before = everything();

    play(next);
    session.tk.progressbar.cancelAt = 5.0;
    EXPECT_EQ(session.controller.scoreData(), Outcome::Cancelled);
    session.tk.progressbar.cancelAt.reset();
    play({"set progenitor1 146", "set progenitor2 150", "set shift 0.5", "state Maybes off"});
    EXPECT_EQ(everything(), before);
    EXPECT_EQ(play({"restore scored"}), "reload: tabl\n");

    play(next);
    play({"do scoreData:"});
    std::ostringstream otherOut;
    Session other{otherOut};
    for (const auto& lines : {scored, next, Lines{"do scoreData:"}})
        for (const std::string& line : lines) other.play(line);
    otherOut.str("");
    for (const char* view : {"store", "results", "counters", "state", "log"}) other.show(view);
    EXPECT_EQ(play({"show store", "show results", "show counters", "show state", "show log"}), otherOut.str());
}

TEST_F(CleanUpUndo, ProvenanceIsTheRunsAndMarksAnotherFilesOpening) {
    EXPECT_EQ(play({"show provenance"}), "provenance: none\n");
    // Progenitors typed the wrong way round are swapped for the run; what
    // is typed after it changes nothing.
    play({"set shift 0.5", "state Maybes on", "answer default"});
    scorePlate("150", "146");
    play({"set progenitor1 1", "state Maybes off"});
    const std::string run =
        "di-locus-plate.txt: P1 146, P2 150, range 120 to 180, shift 0.5, stutter tolerance 1.5, di, Maybes on\n";
    EXPECT_EQ(play({"show provenance"}), "provenance: " + run);
    // Another file opened (one that gives nothing): the same results, now
    // the previous file's.
    const std::string results = play({"show results"});
    play({"open " LOCIVIEW_GOLDEN_DIR "/data/empty.txt"});
    EXPECT_EQ(play({"show provenance", "show results"}), "provenance: Previous file's results, " + run + results);
}

}  // namespace
}  // namespace lociview::headless
