#pragma once
// The values the controller's actions take and give back below the clicks:
// a click reads its fields or asks its dialog into one of these, lociview-cli
// makes them from its options, and the same work is done on them.
#include <optional>
#include <string>

#include "app/Outcome.h"
#include "scoring/ScoringParameters.h"

namespace lociview {

// What a user chooses before Score: the scoring fields as typed, the locus
// column and the two switches (the desktop keeps them in its settings).
struct ScoringChoices {
    ParameterTexts texts;
    int locusColumn = 1;  // 0 mono, 1 di, 2 tri, 3 penta, 4 tetra, 5 hexa
    bool maybes = false;
    bool walkEveryLocus = false;  // "Walk the ladder for every repeat unit"

    bool operator==(const ScoringChoices&) const = default;
};

// How a value call answers the questions its click would ask; an answer
// not given is asked as the click asks it.
struct Answers {
    std::optional<bool> exportAnyway;  // both progenitors missing from the results
    std::optional<bool> addAgain;      // the same run is in the run log already
};

// A clean-up as the clean-up window asks for it, its texts as typed.
enum class CleanUpKind { Below, Above, LaneAndOrAllele };
struct CleanUpChoice {
    CleanUpKind kind = CleanUpKind::Below;
    std::string height;        // Below, Above: the height
    std::string allele, lane;  // LaneAndOrAllele: a text left empty is not used
};

// What adding a run came to; sameRun: the run log held the same run
// already, as the question named it ("plate.txt was added with the same
// fields on ... (run 2).").
struct AddedRun {
    Outcome outcome = Outcome::Refused;
    std::string sameRun;
};

struct ExportedRun {
    Outcome outcome = Outcome::Refused;
    std::string text;  // the SP-PCR text, when Done
};

}  // namespace lociview
