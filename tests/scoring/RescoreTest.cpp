// Scoring is a function of the file and the fields: pressing Score again,
// or scoring at another locus first, leaves no trace in the next run.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "headless/SessionScript.h"

namespace lociview::headless {
namespace {

const std::string kPlate = LOCIVIEW_EXAMPLES_DIR "/di-locus-plate.txt";

// The trace of one scoring run and every view of what it left.
std::string scoreAndShow(Session& s, std::ostringstream& out, const std::string& locus) {
    out.str("");
    for (const std::string& line : {"locus " + locus, std::string("do scoreData:"), std::string("show store"),
                                   std::string("show results"), std::string("show counters"), std::string("show log"),
                                   std::string("show state")})
        EXPECT_EQ(s.play(line), std::nullopt) << line;
    return out.str();
}

struct Rescore {
    const char* name;
    std::vector<std::string> before;  // loci scored first, on the same open file
    std::string locus;
};

void PrintTo(const Rescore& r, std::ostream* os) { *os << r.name; }

class RescoreTest : public testing::TestWithParam<Rescore> {};

TEST_P(RescoreTest, GivesWhatAFreshRunGives) {
    std::ostringstream freshOut, againOut;
    Session fresh(freshOut), again(againOut);
    for (Session* s : {&fresh, &again})
        for (const char* line : {"set progenitor1 150", "set progenitor2 156", "set lowrange 100"})
            ASSERT_EQ(s->play(line), std::nullopt);
    ASSERT_EQ(fresh.play("open " + kPlate), std::nullopt);
    ASSERT_EQ(again.play("open " + kPlate), std::nullopt);
    for (const std::string& locus : GetParam().before) scoreAndShow(again, againOut, locus);
    EXPECT_EQ(scoreAndShow(again, againOut, GetParam().locus), scoreAndShow(fresh, freshOut, GetParam().locus));
}

INSTANTIATE_TEST_SUITE_P(Runs, RescoreTest,
                         testing::Values(Rescore{"DiSixTimes", {"di", "di", "di", "di", "di"}, "di"},
                                         Rescore{"MonoAfterDi", {"di"}, "mono"},
                                         Rescore{"DiAfterMonoAndTri", {"mono", "tri"}, "di"}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace lociview::headless
