// The session player. Every NAME.script in the golden folder, played from
// there, prints NAME.trace byte for byte and exits 0 with nothing on stderr
// or, given NAME.stderr, exits 2 printing it (LOCIVIEW_UPDATE_GOLDEN=1
// writes them for a new script: read them before committing). Then every
// script error, line ends, selections, answers and unreadable scripts.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "headless/SessionScript.h"
#include "support/ControllerHarness.h"

namespace fs = std::filesystem;

namespace lociview::headless {
namespace {

const fs::path kGoldenDir = LOCIVIEW_GOLDEN_DIR;

std::vector<std::string> scriptNames() {
    std::vector<std::string> names;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(kGoldenDir, ec))
        if (entry.path().extension() == ".script") names.push_back(entry.path().stem().string());
    std::sort(names.begin(), names.end());
    return names;
}

std::string readFile(const fs::path& path) {
    std::ostringstream s;
    s << std::ifstream(path, std::ios::binary).rdbuf();
    return s.str();
}

class GoldenTraceTest : public testing::TestWithParam<std::string> {};

TEST_P(GoldenTraceTest, TraceMatches) {
    const std::string name = GetParam();
    const fs::path traceFile = kGoldenDir / (name + ".trace"), errFile = kGoldenDir / (name + ".stderr");
    std::ifstream in(kGoldenDir / (name + ".script"), std::ios::binary);
    ASSERT_TRUE(in) << name;
    std::ostringstream out, err;
    const fs::path previous = fs::current_path();
    fs::current_path(kGoldenDir);
    const int status = runSession(in, name + ".script", out, err);
    fs::current_path(previous);

    if (const char* update = std::getenv("LOCIVIEW_UPDATE_GOLDEN"); update && std::string(update) == "1") {
        std::ofstream(traceFile, std::ios::binary) << out.str();
        if (err.str().empty()) fs::remove(errFile);
        else std::ofstream(errFile, std::ios::binary) << err.str();
        GTEST_SKIP() << "rewrote " << traceFile;
    }
    ASSERT_TRUE(fs::exists(traceFile)) << "no " << traceFile << " (run with LOCIVIEW_UPDATE_GOLDEN=1)";
    EXPECT_EQ(out.str(), readFile(traceFile));
    EXPECT_EQ(status, fs::exists(errFile) ? kScriptError : kSessionOk);
    EXPECT_EQ(err.str(), fs::exists(errFile) ? readFile(errFile) : "");
}

INSTANTIATE_TEST_SUITE_P(Scripts, GoldenTraceTest, testing::ValuesIn(scriptNames()),
                         [](const testing::TestParamInfo<std::string>& info) {
                             std::string id = info.param;
                             for (char& c : id)
                                 if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
                             return id;
                         });
GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(GoldenTraceTest);

// Walking the ladder for every repeat unit leaves a di locus's runs as they
// were: every golden script that scores only di plays to its own trace with
// the switch turned on first.
TEST(WalkEveryLocus, DiTracesStayByteIdentical) {
    int played = 0;
    for (const std::string& name : scriptNames()) {
        const std::string script = readFile(kGoldenDir / (name + ".script"));
        if (script.find("\nlocus ") != std::string::npos || script.find("walk-every-locus") != std::string::npos)
            continue;
        std::istringstream in("walk-every-locus on\n" + script);
        std::ostringstream out, err;
        const fs::path previous = fs::current_path();
        fs::current_path(kGoldenDir);
        runSession(in, name + ".script", out, err);
        fs::current_path(previous);
        EXPECT_EQ(out.str(), readFile(kGoldenDir / (name + ".trace"))) << name;
        ++played;
    }
    EXPECT_GE(played, 10);
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
    const char* err;  // the whole of standard error: nothing after the bad line is played
};

class SessionScriptErrors : public testing::TestWithParam<ErrorCase> {};

TEST_P(SessionScriptErrors, StopWithStatus2AndMessage) {
    std::istringstream in(GetParam().script);
    std::ostringstream out, err;
    EXPECT_EQ(runSession(in, "s.script", out, err), kScriptError);
    EXPECT_EQ(err.str(), GetParam().err);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, SessionScriptErrors,
    testing::Values(
        ErrorCase{" open x\n", "s.script:1: unknown command ''\n"},
        ErrorCase{"Open x\n", "s.script:1: unknown command 'Open'\n"},
        ErrorCase{"\n# note\n\nset nofield 1\n", "s.script:4: unknown field 'nofield'\n"},
        ErrorCase{"set\n", "s.script:1: missing argument to set\n"},
        ErrorCase{"set \n", "s.script:1: missing argument to set\n"},
        ErrorCase{"do scoreData\n", "s.script:1: unknown action 'scoreData'\n"},
        ErrorCase{"do scoreData: \n", "s.script:1: unknown action 'scoreData: '\n"},
        ErrorCase{"show everything\n", "s.script:1: unknown view 'everything'\n"},
        ErrorCase{"locus hexa\n", "s.script:1: unknown locus cell 'hexa'\n"},
        ErrorCase{"locus\n", "s.script:1: missing argument to locus\n"},
        ErrorCase{"walk-every-locus on\nlocus hexa\nwalk-every-locus off\nlocus tetra\n",
                  "s.script:4: unknown locus cell 'tetra'\n"},
        ErrorCase{"walk-every-locus yes\n", "s.script:1: walk-every-locus must be on or off, not 'yes'\n"},
        ErrorCase{"instability peak-threshold 1.5\n",
                  "s.script:1: peak-threshold '1.5': The peak threshold 1.5 lies outside 0 to 1: type a fraction of "
                  "the main peak's height, such as 0.2.\n"},
        ErrorCase{"instability controls\n", "s.script:1: missing value to instability controls\n"},
        ErrorCase{"state Maybes\n", "s.script:1: missing argument to state Maybes\n"},
        ErrorCase{"state Maybes yes\n", "s.script:1: state must be on or off, not 'yes'\n"},
        ErrorCase{"state locusmatrix on\n", "s.script:1: unknown control 'locusmatrix'\n"},
        ErrorCase{"answer\n", "s.script:1: missing argument to answer\n"},
        ErrorCase{"answer default\nanswer default maybe\n",
                  "s.script:2: answer must be default or alternate, not 'maybe'\n"},
        ErrorCase{"answer Default\n", "s.script:1: answer must be default or alternate, not 'Default'\n"},
        ErrorCase{"answer default  alternate\n", "s.script:1: answer must be default or alternate, not ''\n"},
        ErrorCase{"select 0 007 99999999999999999999999\nselect 1  2\n", "s.script:2: bad row number ''\n"},
        ErrorCase{"select -1\n", "s.script:1: bad row number '-1'\n"},
        ErrorCase{"select \xd9\xa3\n", "s.script:1: bad row number '\xd9\xa3'\n"},
        ErrorCase{"show title\r\nbogus\r\nshow nothing\r\n", "s.script:2: unknown command 'bogus'\n"},
        ErrorCase{"min-height 50\nmin-height 0\n",
                  "s.script:2: min-height must be a positive number of RFU, not '0'\n"},
        ErrorCase{"size-standard auto\nsize-standard GS600LIZ\nsize-standard ILS600\n",
                  "s.script:3: size-standard: \"ILS600\" is neither a size standard Lociview knows (GS500LIZ, "
                  "GS500LIZ-250, GS500ROX, GS500ROX-250, GS600LIZ) nor a list of sizes such as 35,50,75,100\n"},
        ErrorCase{"bogus", "s.script:1: unknown command 'bogus'\n"}),
    [](const testing::TestParamInfo<ErrorCase>& info) { return "line" + std::to_string(info.index); });

TEST(SessionScript, LineEnds) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        // The script, and the text of progenitor1 afterwards.
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
    std::ostringstream out, err;
    Session s(out);
    for (const auto& [script, field] : cases) {
        ASSERT_EQ(playScript(s, script, "s", err), kSessionOk) << err.str();
        EXPECT_EQ(s.tk.progenitor1.text(), field) << "script: " << script;
    }
}

TEST(SessionScript, SelectionIsASetOfExistingRows) {
    std::ostringstream out;
    Session s(out);
    GeneControllerTestAccess::setAlleles(s.controller, {150, 152, 154}, {1, 1, 1}, {1.0, 1.0, 1.0});
    const std::vector<std::pair<const char*, std::vector<int>>> cases = {
        {"select 2 0 2", {0, 2}},
        {"select 002", {2}},
        {"select 3", {}},                              // not a row now
        {"select 99999999999999999999999999 1", {1}},  // far too large is simply not a row
        {"select 1", {1}},
        {"select", {}},
        {"select ", {}},
    };
    for (const auto& [line, rows] : cases) {
        ASSERT_FALSE(s.play(line).has_value()) << line;
        EXPECT_EQ(s.tk.tabl.selectedRows(), rows) << line;
    }
    ASSERT_FALSE(s.play("select 0 1"));
    s.tk.tabl.reloadData();  // clears the selection
    EXPECT_TRUE(s.tk.tabl.selectedRows().empty());
}

TEST(SessionScript, OpenAnswersThePathOnlyForItsOwnDialog) {
    std::ostringstream out;
    Session s(out);
    for (const char* line : {"open no/such/file.txt", "do openData:", "open "}) ASSERT_FALSE(s.play(line)) << line;
    const std::string trace = afterStartup(out.str());
    // The later openings had no path: both dialogs are cancelled.
    const size_t path = trace.find("open-panel: no/such/file.txt\n"), first = trace.find("open-panel: cancelled\n");
    ASSERT_LT(path, first);
    EXPECT_NE(trace.find("open-panel: cancelled\n", first + 1), std::string::npos);
    EXPECT_EQ(s.tk.window.title(), "Lociview: file.txt");
}

TEST(SessionScript, AnswersOutlastActionsAndOneButtonAlertsTakeAnyAnswer) {
    std::ostringstream out;
    Session s(out);
    ASSERT_FALSE(s.play("answer alternate alternate"));
    // A one-button alert takes the first queued answer and presses its button.
    ASSERT_FALSE(s.play("do exportSPPCRData:"));
    EXPECT_NE(afterStartup(out.str()).find("-> Abort Export\n"), std::string::npos);
    // The second one is still queued for the next alert; then the default.
    ASSERT_FALSE(s.play("show title"));
    const AlertRequest twoButtons = alertRequest(AlertId::ConfirmOpenAnother);
    EXPECT_EQ(s.tk.dialogs.runAlert(twoButtons), 0);
    EXPECT_EQ(s.tk.dialogs.runAlert(twoButtons), 1);
    // A rejected answer line leaves none of its good answers queued.
    ASSERT_TRUE(s.play("answer alternate bogus"));
    EXPECT_EQ(s.tk.dialogs.runAlert(twoButtons), 1);
}

TEST(SessionScript, UnreadableScriptStartsNothing) {
    for (const std::string& path : {std::string("/nonexistent/dir/x.script"), fs::temp_directory_path().string()}) {
        std::ostringstream out, err;
        EXPECT_EQ(runSessionFile(path, out, err), kScriptError);
        EXPECT_EQ(out.str(), "");
        EXPECT_EQ(err.str().rfind(path + ":0: ", 0), 0u) << err.str();
    }
    // A stream that fails while being read.
    std::istringstream broken("show title\n");
    broken.setstate(std::ios::badbit);
    std::ostringstream out, err;
    EXPECT_EQ(runSession(broken, "b", out, err), kScriptError);
    EXPECT_EQ(err.str() + out.str(), "b:0: cannot read the script\n");
}

TEST(SessionScript, UnterminatedStandardOutputIsPrintedAtTheEnd) {
    // After the last script line's own output.
    std::ostringstream out;
    Session s(out);
    s.tk.standardOutput.write("150.20\t");
    ASSERT_FALSE(s.play("show title"));
    s.finish();
    EXPECT_EQ(afterStartup(out.str()), "title: \nstdout: 150.20\t\n");
}

}  // namespace
}  // namespace lociview::headless
