// The interface below the clicks, through its values: the one table of the
// scoring fields reaches each field's own control, text and header fact,
// and opening paths with import choices asks no dialog and leaves the open
// data set as it was when refused.
#include <gtest/gtest.h>

#include <string>
#include <vector>

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

}  // namespace
}  // namespace lociview
