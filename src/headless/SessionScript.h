#pragma once
// The session-script player of lociview-cli: the same controller as the
// desktop application, on the headless toolkit, driven line by line by a
// script of user actions, printing the trace of what the user would see.
#include <array>
#include <iosfwd>
#include <map>
#include <optional>
#include <string>
#include <string_view>

#include "app/GeneController.h"
#include "headless/HeadlessProgram.h"
#include "headless/InstabilityOptions.h"

namespace lociview::headless {

// An action of the controller, by the name a script gives it.
using Action = Outcome (GeneController::*)();
struct ActionEntry {
    std::string_view name;
    Action action;
};

// Every action a script may send, in the order the script format lists them.
const std::array<ActionEntry, 16>& scriptActions();

// Exit statuses of a session.
inline constexpr int kSessionOk = 0;
inline constexpr int kScriptError = 2;

// A score code by the name the scoring log gives it.
std::string scoreName(int32_t code);

// A table cell as the trace and the batch tables print it: an integer as
// %d, a double as %.6f, a text as it is.
std::string formatCell(const CellValue& cell);

// The controller started on a headless toolkit whose trace goes to out.
// Construction runs the controller's start-up, so its trace comes first.
class Session : public HeadlessProgram {
public:
    explicit Session(std::ostream& out);
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    // Carries out one script line (without its line end). Answers the
    // message of a script error, in which case nothing of the line was done.
    std::optional<std::string> play(std::string_view line);

    // Prints a view; false when what names no view.
    bool show(std::string_view what);

    // Prints standard-output text still unterminated.
    void finish() { tk.standardOutput.flush(); }

    // The commands of a script line and the views of "show", by name.
    using Command = std::optional<std::string> (Session::*)(std::string_view argument);
    using View = void (Session::*)();

private:
    std::optional<std::string> open(std::string_view path);
    std::optional<std::string> set(std::string_view argument);
    std::optional<std::string> locus(std::string_view cell);
    std::optional<std::string> walkEveryLocus(std::string_view value);
    // Repeat instability: a choice by name ("instability peak-threshold
    // 0.3"), and the lanes' indices and their groups, as the score blocks.
    std::optional<std::string> instability(std::string_view argument);
    void showInstability();
    void showInstabilityGroups();
    InstabilityOptions instabilityOptions;
    std::optional<std::string> state(std::string_view argument);
    std::optional<std::string> answer(std::string_view answers);
    std::optional<std::string> select(std::string_view rows);
    std::optional<std::string> doAction(std::string_view action);
    std::optional<std::string> showView(std::string_view what);
    // Sizing tables, genotype tables and per-sample files: several files as lanes, the dye
    // answered at the next import review, and what the data set was read from.
    std::optional<std::string> openLanes(std::string_view paths);
    std::optional<std::string> dye(std::string_view answer);
    std::optional<std::string> marker(std::string_view name);
    void showImport();
    void showSamples();
    std::optional<std::string> snapshot(std::string_view name);
    std::optional<std::string> restore(std::string_view name);

    void showTitle();
    void showFields();
    void showCounters();
    void showLog();
    void showSppcr();
    void showResults();
    void showTable();
    void showStore();
    void showLanes();
    void showData();
    void showState();
    void showAccum();
    void showWindows();
    void showChart();
    // SP-PCR statistics: each line of the TSV forms, title row first.
    void showStats();
    void showSpectrum();
    void showAccumStats();
    void showAccumSpectrum();
    void emitLines(std::string_view tag, std::string_view text);
    void showCleanUp();
    void showProvenance();
    void showRuns();
    // Trace files (SessionTraces.cpp): how the next ones opened are sized,
    // and each file as sized.
    std::optional<std::string> sizeStandard(std::string_view text);
    std::optional<std::string> minHeight(std::string_view text);
    void showSizing();

    std::map<std::string, CleanUpSnapshot, std::less<>> snapshots;  // by the name a script gives
};

// Plays the lines of a script text on a session that has started; at the
// end, or at a script error, unterminated standard output is printed. A
// script error is written to err as "SCRIPT:LINE: message" and answers 2.
int playScript(Session& session, std::string_view text, const std::string& scriptName, std::ostream& err);

// Plays a whole script: the start-up trace, then every line in order. A
// script error is written to err as "SCRIPT:LINE: message" and ends the
// session with status 2; otherwise the status is 0. A script that cannot be
// read gives "SCRIPT:0: message" before anything starts.
int runSession(std::istream& script, const std::string& scriptName, std::ostream& out, std::ostream& err);

// The same on a script file, or on standard input when path is "-".
int runSessionFile(const std::string& path, std::ostream& out, std::ostream& err);

}  // namespace lociview::headless
