// Whatever the user does after adding a run (opening files that cannot be
// read or hold nothing, refused scorings, clean-ups that drive counts below
// zero, refused or abandoned additions, exports, table and chart actions),
// the accumulated runs stay exactly as they were until the accumulator is
// reset.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "headless/SessionScript.h"

namespace lociview::headless {
namespace {

const std::string kPlate = LOCIVIEW_EXAMPLES_DIR "/di-locus-plate.txt";

struct Hostile {
    const char* name;
    std::vector<std::string> lines;
};

void PrintTo(const Hostile& h, std::ostream* os) { *os << h.name; }

class SessionAccumulatedRuns : public testing::TestWithParam<Hostile> {
protected:
    std::ostringstream out;
    Session session{out};

    void play(const std::string& line) { ASSERT_EQ(session.play(line), std::nullopt) << line; }

    std::string accumView() {
        out.str("");
        session.show("accum");
        return out.str();
    }
};

TEST_P(SessionAccumulatedRuns, SurviveUntilReset) {
    for (const char* line : {"set progenitor1 150", "set progenitor2 156", "set accumgeforun 12.5"}) play(line);
    play("open " + kPlate);
    play("do scoreData:");
    play("do addToAccumulator:");
    ASSERT_FALSE(session.controller.accumulator().records().empty());
    const std::string before = accumView();

    for (const std::string& line : GetParam().lines) play(line);
    EXPECT_EQ(accumView(), before);

    play("do resetAccumulator:");
    EXPECT_TRUE(session.controller.accumulator().records().empty());
}

INSTANTIATE_TEST_SUITE_P(
    Actions, SessionAccumulatedRuns,
    testing::Values(
        Hostile{"MissingFile", {"open /nonexistent/lociview/peaks.txt", "do scoreData:"}},
        Hostile{"Folder", {"open " LOCIVIEW_GOLDEN_DIR "/data", "do scoreData:"}},
        Hostile{"EmptyFile", {"open " LOCIVIEW_GOLDEN_DIR "/data/empty.txt", "do scoreData:"}},
        Hostile{"CancelledOpen", {"answer default", "open", "do openData:"}},
        Hostile{"RefusedScorings",
                {"set lowrange abc", "do scoreData:", "set lowrange 120", "set highrange 1e400", "do scoreData:",
                 "set highrange 180", "set shift nan", "do scoreData:", "locus none", "do scoreData:"}},
        Hostile{"CountsBelowZero",
                {"set cuwallelefield 150", "set cuwlanefield 3", "do cleanUpLaneAndOrAllele:",
                 "do cleanUpLaneAndOrAllele:", "do cleanUpLaneAndOrAllele:", "set cuwlanefield",
                 "do cleanUpLaneAndOrAllele:", "set cuwlessthanfield 2147483647", "do cleanUpLessThan:",
                 "set cuwgreaterthanfield -2147483648", "do cleanUpGreaterThan:", "show table"}},
        Hostile{"RefusedAdditions",
                {"set progenitor2 157", "do addToAccumulator:", "set progenitor1 1", "set progenitor2 2",
                 "answer default", "do addToAccumulator:"}},
        Hostile{"ExportsTableAndChart",
                {"do exportSPPCRData:", "do exportSPPCR2:", "do exportAccumulatedSPPCRData:", "state toggleTable on",
                 "do toggleTable:", "select 0 1 2 99999999999999999999", "do graphSelections:", "show chart",
                 "state Maybes on", "do toggleMaybes:", "do printMyWindow:", "do preAddToAccumulator:"}},
        Hostile{"RescoreAndReopen",
                {"set stuttertol 0", "do scoreData:", "locus mono", "do scoreData:", "open " + kPlate,
                 "do scoreData:"}}),
    [](const testing::TestParamInfo<Hostile>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace lociview::headless
