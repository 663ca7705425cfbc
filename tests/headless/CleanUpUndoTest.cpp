// Undoing and redoing clean-ups through the controller's snapshots, played
// as a user would in the headless front end: putting a snapshot back gives
// exactly the views of the moment it was taken. And what the results
// panel says they come from.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "headless/SessionScript.h"

namespace lociview::headless {
namespace {

const std::string kPlate = LOCIVIEW_EXAMPLES_DIR "/di-locus-plate.txt";

struct CleanUps {
    const char* name;
    std::vector<std::string> lines;
    const char* summary;  // what the last of them did
};

void PrintTo(const CleanUps& c, std::ostream* os) { *os << c.name; }

class CleanUpUndo : public testing::TestWithParam<CleanUps> {
protected:
    std::ostringstream out;
    Session session{out};

    void play(const std::string& line) { ASSERT_EQ(session.play(line), std::nullopt) << line; }
    void playAll(const std::vector<std::string>& lines) {
        for (const std::string& line : lines) play(line);
    }

    std::string take() {
        std::string text = out.str();
        out.str("");
        return text;
    }

    // Everything a clean-up may change, as the user sees it.
    std::string views() {
        take();
        for (const char* view : {"store", "results", "counters", "table", "chart"}) session.show(view);
        return take();
    }

    void scorePlate() {
        playAll({"set progenitor1 146", "set progenitor2 150", "set lowrange 120", "set highrange 180",
              "open " + kPlate, "do scoreData:"});
    }
};

TEST_P(CleanUpUndo, RestoringASnapshotGivesItsViewsBack) {
    scorePlate();
    const std::string before = views();
    play("snapshot before");
    playAll(GetParam().lines);
    const std::string after = views();
    ASSERT_NE(after, before);
    take();
    session.show("cleanup");
    EXPECT_EQ(take(), std::string("cleanup: ") + GetParam().summary + "\n");
    play("snapshot after");

    // Undo, redo, undo: each time exactly the state of its moment, with
    // the table reloaded.
    for (const auto& [name, expected] : {std::pair{"before", &before}, {"after", &after}, {"before", &before}}) {
        play(std::string("restore ") + name);
        EXPECT_EQ(take(), "reload: tabl\n") << name;
        EXPECT_EQ(views(), *expected) << name;
    }

    // A new scoring run makes the snapshots another run's: refused, and
    // nothing changes.
    play("do scoreData:");
    const std::string rescored = views();
    for (const char* name : {"before", "after"}) {
        play(std::string("restore ") + name);
        EXPECT_EQ(take(), "restore: refused: taken before the last opening or scoring run\n");
        EXPECT_EQ(views(), rescored);
    }
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
                 "Removed no peaks below height 500"}));

TEST_F(CleanUpUndo, ProvenanceNamesTheRunAndMarksAnotherFilesOpening) {
    const auto provenance = [this] {
        take();
        session.show("provenance");
        return take();
    };
    EXPECT_EQ(provenance(), "provenance: none\n");
    // Progenitors typed the wrong way round: the run used them swapped.
    playAll({"set progenitor1 150", "set progenitor2 146", "set lowrange 120", "set highrange 180", "set shift 0.5",
          "locus di", "state Maybes on", "open " + kPlate, "answer default", "do scoreData:"});
    const std::string scored =
        "di-locus-plate.txt: P1 146, P2 150, range 120 to 180, shift 0.5, stutter tolerance 1.5, di, Maybes on";
    EXPECT_EQ(provenance(), "provenance: " + scored + "\n");

    // Fields typed after the run do not change what the results come from.
    playAll({"set progenitor1 1", "state Maybes off"});
    EXPECT_EQ(provenance(), "provenance: " + scored + "\n");

    // Another file opened (even one that gives nothing): the table still
    // shows these results, now the previous file's.
    const std::string results = views();
    playAll({"answer default", "open " LOCIVIEW_GOLDEN_DIR "/data/empty.txt"});
    EXPECT_EQ(provenance(), "provenance: Previous file's results, " + scored + "\n");
    take();
    session.show("results");
    EXPECT_NE(results.find(take()), std::string::npos);
}

}  // namespace
}  // namespace lociview::headless
