#pragma once
// Every alert the controller shows, by name, with its message and buttons
// in one table; front ends and tests tell alerts apart by the name, never
// by the text.
#include <optional>
#include <string>

namespace lociview {

enum class AlertId {
    ConfirmOpenAnother,
    NoDataInFile,
    NotWorkingOnFile,
    Progenitor1BelowLow,
    Progenitor2BelowLow,
    Progenitor1AboveHigh,
    Progenitor2AboveHigh,
    RangeOfZero,
    StutterTooLow,
    ShiftTooLarge,
    SwapProgenitors,
    RangeTooLargeToCount,
    NoAllelesInRange,
    NotScoredExport,
    NotScoredCleaning,
    NothingDeleted,
    DoubleProgenitorLoss,
    ProgenitorsDiffer,
    ImportRefused,  // peak tables that cannot be opened; the message says why
    // Only with a run log attached (session scripts never have one), and
    // the reset confirmation only where the desktop asks it. Their
    // informative text names the run, the count or the log's problem.
    AddRunAgain,
    ConfirmResetAccumulator,
    RunLogNotWritten,
    RunLogSetAside,
    RunLogUnavailable,
    RunLogReadOnly,     // a newer Lociview's log
    RunLogRunsLeftOut,  // runs the log holds that could not be restored
    // Desktop exports and the report: the informative text names the file and why.
    ExportNotWritten,
    // The lane view's suggestion: the informative text names the sizes and
    // their lanes, or why there is no pair to suggest.
    SuggestProgenitors,
    NoProgenitorsToSuggest,
};

// What a toolkit shows: 1 answers the default button, 0 the alternate one.
struct AlertRequest {
    AlertId id;
    std::string message;
    std::string defaultButton;
    std::optional<std::string> alternateButton;
    std::string informative;
    // The answer that leaves everything as it was, which Escape gives: the
    // alternate button (Keep Scoring, Abort Scoring, Keep Runs) unless the
    // default one is the careful one (Abort Exporting, Don't Add).
    int escapeAnswer = 1;
    // What the fields the action read were read as, where their text is
    // not one plain number ("stutter tolerance '1,5' is read as 1"); "" else.
    std::string fieldNotes{};
};

AlertRequest alertRequest(AlertId id);

}  // namespace lociview
