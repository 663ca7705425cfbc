// The interface below the clicks, through its values: the one table of the
// scoring fields reaches each field's own control, text and header fact;
// opening paths with import choices asks no dialog and leaves the open data
// set as it was when refused; scoring, adding, exporting and cleaning up on
// values do what their clicks do, each question answered as given.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "accum/RunLog.h"
#include "app/ScoringFields.h"
#include "base/NumberText.h"
#include "support/ControllerHarness.h"
#include "support/ScratchDir.h"

namespace lociview {
namespace {

const std::string kPlate = std::string(LOCIVIEW_EXAMPLES_DIR) + "/di-locus-plate.txt";

std::string factOf(const ExportHeader& header, const std::string& name) {
    for (const auto& [fact, value] : header.facts)
        if (fact == name) return value;
    return "(none)";
}

TEST(ScoringFieldsTest, EachRowReachesItsOwnControlTextAndHeader) {
    ControllerHarness h;
    const Outlets outlets = h.tk.outlets();
    // Start-up types every default, and the fields read back as the table says.
    const ParameterTexts atStart = scoringTexts(outlets);
    for (const ScoringField& f : scoringFields()) {
        EXPECT_EQ(atStart.*f.text, formatDoubleField(f.startValue)) << f.number.name;
        EXPECT_EQ(numberField(f.number.name).label, f.number.label);
    }
    // Texts that tell the fields apart and still score: each lands in its own member.
    const std::vector<std::string> typed = {"150", "156", "100.0", "200", "0.0", "1.25"};
    ASSERT_EQ(scoringFields().size(), typed.size());
    for (size_t i = 0; i < typed.size(); ++i) scoringFields()[i].outlet(outlets).setText(typed[i]);
    const ParameterTexts read = scoringTexts(outlets);
    for (size_t i = 0; i < typed.size(); ++i) EXPECT_EQ(read.*scoringFields()[i].text, typed[i]);
    ASSERT_EQ(h.controller.openPaths({kPlate}), Outcome::Done);
    ASSERT_EQ(h.controller.scoreData(), Outcome::Done);
    // The run keeps the texts, and the export header names each by its label.
    const ExportHeader header = h.controller.exportHeader(ExportTable::ByAllele);
    for (size_t i = 0; i < typed.size(); ++i) {
        EXPECT_EQ(h.controller.provenance()->fields.*scoringFields()[i].text, typed[i]);
        EXPECT_EQ(factOf(header, scoringFields()[i].number.label), typed[i]);
    }
    EXPECT_TRUE(h.tk.dialogs.shown.empty());
}

TEST(OpenPathsTest, ChoicesAnswerTheReviewAndARefusalKeepsTheDataSet) {
    ControllerHarness h;
    const ScratchDir dir;
    const std::vector<std::string> samples = {
        dir.write("s1.txt", "B,1\t1\t150\t800\t8000\t1\r\nB,2\t1\t148\t200\t2000\t2"),
        dir.write("s2.txt", "B,1\t1\t156\t700\t7000\t1\r\nG,1\t1\t170\t400\t10\t3")};
    // Chosen ahead: no review is shown, and the dye chosen is scored.
    ASSERT_EQ(h.controller.openPaths(samples, ImportAnswer{"G", ""}), Outcome::Done);
    EXPECT_EQ(h.takeTrace().find("import:"), std::string::npos);
    EXPECT_EQ(h.controller.importedData().dye, 'G');
    EXPECT_EQ(h.controller.laneCount(), 2);
    EXPECT_EQ(h.controller.dataSetName(), "s1.txt and 1 more");
    const std::vector<Row> rows = h.controller.rows();

    // A dye the files lack is refused after the confirmation, and the open
    // data set stays as it was.
    ASSERT_EQ(h.controller.openPaths(samples, ImportAnswer{"Y", ""}), Outcome::Refused);
    ASSERT_EQ(h.tk.dialogs.shown.size(), 2u);
    EXPECT_EQ(h.tk.dialogs.shown[0].id, AlertId::ConfirmOpenAnother);
    EXPECT_EQ(h.tk.dialogs.shown[1].id, AlertId::ImportRefused);
    EXPECT_EQ(h.controller.rows(), rows);
    EXPECT_EQ(h.controller.importedData().dye, 'G');
    EXPECT_EQ(h.controller.dataSetName(), "s1.txt and 1 more");

    // Without choices the review is asked, as Open asks it.
    h.takeTrace();
    ASSERT_EQ(h.controller.openPaths({samples.front()}), Outcome::Done);
    EXPECT_NE(h.takeTrace().find("import:"), std::string::npos);
    EXPECT_EQ(h.controller.importedData().dye, 'B');
    EXPECT_EQ(h.controller.dataSetName(), "s1.txt");
}

// The by-allele rows, counters and marks a scoring left, to compare two runs.
std::string resultsOf(const GeneController& c) {
    std::string text;
    for (const AlleleRow& row : c.result().alleles)
        text += std::to_string(row.size) + ":" + std::to_string(row.count) + " ";
    const LaneCounters n = c.result().counters.value_or(LaneCounters{-1, -1, -1});
    text += "| " + std::to_string(n.empty) + " " + std::to_string(n.ones) + " " + std::to_string(n.twos) + " |";
    for (const AllelePtr& a : c.store().backupList()) text += " " + std::to_string(a->getScore());
    return text;
}

TEST(ValueCallsTest, ScoreOnChoicesIsScoreOnTheWindow) {
    // Progenitors typed the wrong way round: both paths ask to swap them.
    const ScoringChoices chosen{{"156", "150", "140", "170", "0", "1.5"}, 2, true, true};
    ControllerHarness clicked;
    ASSERT_EQ(clicked.controller.openPaths({kPlate}), Outcome::Done);
    clicked.controller.showScoringChoices(chosen);
    ASSERT_EQ(clicked.controller.scoreData(), Outcome::Done);

    ControllerHarness given;
    ASSERT_EQ(given.controller.openPaths({kPlate}), Outcome::Done);
    ASSERT_EQ(given.controller.score(chosen), Outcome::Done);
    EXPECT_EQ(resultsOf(given.controller), resultsOf(clicked.controller));
    EXPECT_EQ(given.controller.locusType(), 3);
    // The window shows what was scored, the swap included, and the run keeps it.
    ScoringChoices swapped = chosen;
    std::swap(swapped.texts.progenitor1, swapped.texts.progenitor2);
    EXPECT_EQ(given.controller.scoringChoices(), swapped);
    EXPECT_EQ(clicked.controller.scoringChoices(), swapped);
    EXPECT_EQ(given.controller.provenance()->fields, swapped.texts);
    ASSERT_EQ(given.tk.dialogs.shown.size(), 1u);
    EXPECT_EQ(given.tk.dialogs.shown[0].id, AlertId::SwapProgenitors);

    // Nothing open: refused, and the choices are not shown.
    ControllerHarness empty;
    EXPECT_EQ(empty.controller.score(chosen), Outcome::Refused);
    EXPECT_NE(empty.controller.scoringChoices(), chosen);
}

TEST(ValueCallsTest, EachQuestionIsAnsweredAsGivenAndToldAsAnswered) {
    // P1 and P2 where the plate has no allele: adding and exporting ask about the double loss.
    const ScoringChoices lost{{"110", "112", "100", "170", "0", "1.5"}, 1, false, false};
    struct Row {
        std::optional<bool> exportAnyway;
        Outcome outcome;
    };
    for (const Row& row : {Row{std::nullopt, Outcome::Cancelled}, Row{false, Outcome::Cancelled},
                           Row{true, Outcome::Done}}) {
        ControllerHarness h;
        ASSERT_EQ(h.controller.openPaths({kPlate}), Outcome::Done);
        EXPECT_EQ(h.controller.exportRun("5", {}).outcome, Outcome::Refused);  // not scored yet
        EXPECT_EQ(h.controller.accumulate("5", {}).outcome, Outcome::Refused);
        ASSERT_EQ(h.controller.score(lost), Outcome::Done);
        h.tk.dialogs.shown.clear();
        const Answers answers{row.exportAnyway, std::nullopt};
        const ExportedRun exported = h.controller.exportRun("5", answers);
        EXPECT_EQ(exported.outcome, row.outcome);
        EXPECT_EQ(exported.text.empty(), row.outcome != Outcome::Done);
        EXPECT_EQ(h.controller.accumulate("7.5", answers).outcome, row.outcome);
        EXPECT_EQ(h.controller.accumulator().currentRun(), row.outcome == Outcome::Done ? 1 : 0);
        ASSERT_EQ(h.tk.dialogs.shown.size(), 2u);
        for (const AlertRequest& alert : h.tk.dialogs.shown) EXPECT_EQ(alert.id, AlertId::DoubleProgenitorLoss);
    }

    // The same run in the run log: added again only when the answer says so.
    const ScratchDir scratch;
    ControllerHarness h;
    RunLogOpening opening = RunLog::open(scratch.path / "runs.sqlite");
    ASSERT_TRUE(opening.log);
    ASSERT_EQ(h.controller.attachRunLog(std::move(*opening.log)).message, "");
    ASSERT_EQ(h.controller.openPaths({kPlate}), Outcome::Done);
    const ScoringChoices found{{"150", "156", "140", "170", "0", "1.5"}, 1, false, false};
    ASSERT_EQ(h.controller.score(found), Outcome::Done);
    const AddedRun first = h.controller.accumulate("5");
    EXPECT_EQ(first.outcome, Outcome::Done);
    EXPECT_EQ(first.sameRun, "");
    const AddedRun skipped = h.controller.accumulate("5", Answers{std::nullopt, false});
    EXPECT_EQ(skipped.outcome, Outcome::Cancelled);
    EXPECT_NE(skipped.sameRun.find("di-locus-plate.txt was added with the same fields on "), std::string::npos);
    EXPECT_EQ(h.controller.accumulatedRunList().size(), 1u);
    const AddedRun again = h.controller.accumulate("5", Answers{std::nullopt, true});
    EXPECT_EQ(again.outcome, Outcome::Done);
    EXPECT_EQ(again.sameRun, skipped.sameRun);
    EXPECT_EQ(h.controller.accumulatedRunList().size(), 2u);
    EXPECT_EQ(h.controller.accumulatedRunList().back().record.fields.ge, "5");
}

TEST(ValueCallsTest, CleanUpOnTextsIsTheWindowsCleanUp) {
    const ScoringChoices chosen{{"150", "156", "140", "170", "0", "1.5"}, 1, true, false};
    const CleanUpChoice choices[] = {{CleanUpKind::Below, "1300", "", ""},
                                     {CleanUpKind::Above, "2000", "", ""},
                                     {CleanUpKind::LaneAndOrAllele, "", "150", ""},
                                     {CleanUpKind::LaneAndOrAllele, "", "", "3"}};
    for (const CleanUpChoice& choice : choices) {
        ControllerHarness clicked, given;
        for (ControllerHarness* h : {&clicked, &given}) {
            ASSERT_EQ(h->controller.openPaths({kPlate}), Outcome::Done);
            EXPECT_EQ(h->controller.cleanUp(choice), Outcome::Refused);  // nothing scored
            ASSERT_EQ(h->controller.score(chosen), Outcome::Done);
        }
        const std::string before = resultsOf(given.controller);
        const Outlets outlets = clicked.tk.outlets();
        outlets.cuwlessthanfield.setText(choice.kind == CleanUpKind::Below ? choice.height : "");
        outlets.cuwgreaterthanfield.setText(choice.kind == CleanUpKind::Above ? choice.height : "");
        outlets.cuwallelefield.setText(choice.allele);
        outlets.cuwlanefield.setText(choice.lane);
        const auto click = choice.kind == CleanUpKind::Below   ? &GeneController::cleanUpLessThan
                           : choice.kind == CleanUpKind::Above ? &GeneController::cleanUpGreaterThan
                                                               : &GeneController::cleanUpLaneAndOrAllele;
        ASSERT_EQ((clicked.controller.*click)(), Outcome::Done);
        ASSERT_EQ(given.controller.cleanUp(choice), Outcome::Done);
        EXPECT_EQ(resultsOf(given.controller), resultsOf(clicked.controller));
        EXPECT_NE(resultsOf(given.controller), before) << "the clean-up removed nothing";
        EXPECT_EQ(given.controller.cleanUpSummary(), clicked.controller.cleanUpSummary());
    }
}

}  // namespace
}  // namespace lociview
