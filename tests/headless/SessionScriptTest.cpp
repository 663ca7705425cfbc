// How the player reads script lines: commands and their arguments, what is
// a script error, line ends, and what happens after an error.
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "headless/SessionScript.h"
#include "support/ControllerHarness.h"

namespace lociview::headless {
namespace {

struct Played {
    int status;
    std::string out;
    std::string err;
};

Played play(const std::string& script) {
    std::istringstream in(script);
    std::ostringstream out, err;
    const int status = runSession(in, "s.script", out, err);
    return {status, out.str(), err.str()};
}

// The trace lines after the start-up lines.
std::string afterStartup(const std::string& trace) {
    std::ostringstream startup;
    { Session s(startup); }
    EXPECT_EQ(trace.compare(0, startup.str().size(), startup.str()), 0) << "start-up trace does not come first";
    return trace.substr(startup.str().size());
}

struct ErrorCase {
    const char* script;
    const char* err;
};

class SessionScriptErrors : public testing::TestWithParam<ErrorCase> {};

TEST_P(SessionScriptErrors, StopWithStatus2AndMessage) {
    const Played p = play(GetParam().script);
    EXPECT_EQ(p.status, kScriptError);
    EXPECT_EQ(p.err, GetParam().err);
    // Nothing after the bad line is carried out.
    EXPECT_EQ(afterStartup(p.out).find("title: after"), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, SessionScriptErrors,
    testing::Values(
        ErrorCase{" open x\n", "s.script:1: unknown command ''\n"},
        ErrorCase{"Open x\n", "s.script:1: unknown command 'Open'\n"},
        ErrorCase{"\n# note\n\nset nofield 1\n", "s.script:4: unknown field 'nofield'\n"},
        ErrorCase{"set\n", "s.script:1: missing argument to set\n"},
        ErrorCase{"set \n", "s.script:1: missing argument to set\n"},
        ErrorCase{"do\n", "s.script:1: missing argument to do\n"},
        ErrorCase{"do scoreData: \n", "s.script:1: unknown action 'scoreData: '\n"},
        ErrorCase{"show everything\n", "s.script:1: unknown view 'everything'\n"},
        ErrorCase{"locus hexa\n", "s.script:1: unknown locus cell 'hexa'\n"},
        ErrorCase{"locus\n", "s.script:1: missing argument to locus\n"},
        ErrorCase{"state Maybes\n", "s.script:1: missing argument to state Maybes\n"},
        ErrorCase{"state Maybes yes\n", "s.script:1: state must be on or off, not 'yes'\n"},
        ErrorCase{"state locusmatrix on\n", "s.script:1: unknown control 'locusmatrix'\n"},
        ErrorCase{"answer\n", "s.script:1: missing argument to answer\n"},
        ErrorCase{"answer Default\n", "s.script:1: answer must be default or alternate, not 'Default'\n"},
        ErrorCase{"answer default  alternate\n", "s.script:1: answer must be default or alternate, not ''\n"},
        ErrorCase{"answer alternate \n", "s.script:1: answer must be default or alternate, not ''\n"},
        ErrorCase{"select -1\n", "s.script:1: bad row number '-1'\n"},
        ErrorCase{"select +1\n", "s.script:1: bad row number '+1'\n"},
        ErrorCase{"select 1,2\n", "s.script:1: bad row number '1,2'\n"},
        ErrorCase{"select \xd9\xa3\n", "s.script:1: bad row number '\xd9\xa3'\n"},
        // The error stops the script; what follows is never played.
        ErrorCase{"show title\r\nbogus\r\nshow title after\r\n", "s.script:2: unknown command 'bogus'\n"},
        ErrorCase{"bogus", "s.script:1: unknown command 'bogus'\n"}));

TEST(SessionScript, BadAnswerLineQueuesNothing) {
    // A rejected answer line must not leave its good answers queued.
    std::ostringstream out;
    Session s(out);
    ASSERT_TRUE(s.play("answer alternate bogus").has_value());
    const AlertRequest twoButtons = alertRequest(AlertId::ConfirmOpenAnother);
    EXPECT_EQ(s.tk.dialogs.runAlert(twoButtons), 1);
}

TEST(SessionScript, LineEnds) {
    struct Case {
        std::string script;
        std::string field;  // progenitor1 afterwards
    };
    const std::vector<Case> cases = {
        {"set progenitor1 150\r\n", "150"},
        {"set progenitor1 150\n", "150"},
        {"set progenitor1 150", "150"},
        {"set progenitor1 150\r\r\n", "150\r"},  // only the CR before the LF goes
        {"set progenitor1 15\r0\n", "15\r0"},    // a lone CR is text
        {"set progenitor1 150\r", "150\r"},      // no LF follows it
        {"set progenitor1  1 5 \n", " 1 5 "},    // blanks kept
        {"set progenitor1\n", ""},
        {"set progenitor1 \n", ""},
        {"set progenitor1 1\n\nset progenitor1 2\n", "2"},
    };
    for (const auto& c : cases) {
        std::ostringstream out, err;
        Session s(out);
        ASSERT_EQ(playScript(s, c.script, "s", err), kSessionOk) << err.str();
        EXPECT_EQ(s.tk.progenitor1.text(), c.field) << "script: " << c.script;
    }
}

TEST(SessionScript, SelectionIsASetOfExistingRows) {
    std::ostringstream out;
    Session s(out);
    GeneControllerTestAccess::setAlleles(s.controller, {150, 152, 154}, {1, 1, 1}, {1.0, 1.0, 1.0});
    struct Case {
        const char* line;
        std::vector<int> rows;
    };
    const std::vector<Case> cases = {
        {"select 2 0 2", {0, 2}},
        {"select 002", {2}},
        {"select 3", {}},                             // not a row now
        {"select 99999999999999999999999999 1", {1}},  // far too large is simply not a row
        {"select 1", {1}},
        {"select", {}},
        {"select ", {}},
    };
    for (const auto& c : cases) {
        ASSERT_FALSE(s.play(c.line).has_value()) << c.line;
        EXPECT_EQ(s.tk.tabl.selectedRows(), c.rows) << c.line;
    }
    // Selecting replaces the selection; a reload clears it.
    ASSERT_FALSE(s.play("select 0 1").has_value());
    s.tk.tabl.reloadData();
    EXPECT_TRUE(s.tk.tabl.selectedRows().empty());
}

TEST(SessionScript, OpenAnswersThePathOnlyForItsOwnDialog) {
    std::ostringstream out;
    Session s(out);
    ASSERT_FALSE(s.play("open no/such/file.txt").has_value());
    ASSERT_FALSE(s.play("do openData:").has_value());
    ASSERT_FALSE(s.play("open ").has_value());
    const std::string trace = afterStartup(out.str());
    EXPECT_NE(trace.find("open-panel: no/such/file.txt\n"), std::string::npos);
    // The later openings had no path: both dialogs are cancelled.
    const size_t first = trace.find("open-panel: cancelled\n");
    ASSERT_NE(first, std::string::npos);
    EXPECT_NE(trace.find("open-panel: cancelled\n", first + 1), std::string::npos);
    EXPECT_EQ(s.tk.window.title(), "Lociview: file.txt");
}

TEST(SessionScript, AnswersOutlastActionsAndOneButtonAlertsTakeAnyAnswer) {
    std::ostringstream out;
    Session s(out);
    ASSERT_FALSE(s.play("answer alternate alternate").has_value());
    // A one-button alert takes the first queued answer and presses its button.
    ASSERT_FALSE(s.play("do exportSPPCRData:").has_value());
    // The second one is still queued for the next alert.
    ASSERT_FALSE(s.play("show title").has_value());
    const AlertRequest twoButtons = alertRequest(AlertId::ConfirmOpenAnother);
    EXPECT_EQ(s.tk.dialogs.runAlert(twoButtons), 0);
    EXPECT_EQ(s.tk.dialogs.runAlert(twoButtons), 1);  // nothing queued: default
    const std::string trace = afterStartup(out.str());
    EXPECT_NE(trace.find("alert: You have not scored this data set yet. [Abort Export] -> Abort Export\n"),
              std::string::npos);
}

TEST(SessionScript, UnreadableScript) {
    const std::string missing = "/nonexistent/dir/x.script";
    for (const std::string& path : {missing, std::filesystem::temp_directory_path().string()}) {
        std::ostringstream out, err;
        EXPECT_EQ(runSessionFile(path, out, err), kScriptError);
        EXPECT_EQ(out.str(), "") << "nothing starts";
        EXPECT_EQ(err.str().rfind(path + ":0: ", 0), 0u) << err.str();
    }
    // A stream that fails while being read.
    std::istringstream broken("show title\n");
    broken.setstate(std::ios::badbit);
    std::ostringstream out, err;
    EXPECT_EQ(runSession(broken, "b", out, err), kScriptError);
    EXPECT_EQ(err.str(), "b:0: cannot read the script\n");
    EXPECT_EQ(out.str(), "");
}

TEST(SessionScript, UnterminatedStandardOutputIsPrintedAtTheEnd) {
    // Text the program leaves without a line feed still reaches the trace,
    // after the last script line's own output.
    std::ostringstream out;
    Session s(out);
    s.tk.standardOutput.write("150.20\t");
    ASSERT_FALSE(s.play("show title").has_value());
    s.finish();
    EXPECT_EQ(afterStartup(out.str()), "title: \nstdout: 150.20\t\n");
}

// The golden traces show the usual cells and scores; these never occur there.
TEST(SessionScript, OddCellsAndScoreNames) {
    EXPECT_EQ(formatCell(CellValue{std::string()}), "");
    for (const int32_t code : {4, -1}) EXPECT_EQ(scoreName(code), "UNKNOWN VALUE PASSED TO stringScore(int x)");
}

}  // namespace
}  // namespace lociview::headless
