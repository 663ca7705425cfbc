#pragma once
// The one controller: owns the open data set, the peak store, the result of
// the last scoring and the run accumulator, and receives every user action.
// Each action reads its fields once, calls the domain code, shows the
// alerts its outcome names and answers the outcome. It reaches windows and
// controls only through the Outlets a toolkit hands it.
#include <cstdint>
#include <future>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "app/Accumulation.h"
#include "app/CleanUpSnapshot.h"
#include "app/DataSet.h"
#include "app/Outcome.h"
#include "app/Provenance.h"
#include "app/ScoredRun.h"
#include "app/ActionValues.h"
#include "app/ScoringSnapshot.h"
#include "app/Toolkit.h"
#include "export/ExportTables.h"
#include "export/Report.h"
#include "input/PeakTableReader.h"
#include "model/AlleleDB.h"
#include "results/ResultsTable.h"
#include "scoring/Preparation.h"
#include "scoring/ScoringParameters.h"
#include "scoring/ScoringResult.h"
#include "scoring/ProgenitorSuggestion.h"
#include "stats/QualityFlags.h"
#include "stats/Instability.h"
#include "stats/RunStatistics.h"

namespace lociview {

// The checksum of a data set's files: one file's own, or the checksum of
// the files' checksums in order (a file not read counts as empty).
std::string dataSetSha256(const std::vector<std::optional<std::string>>& contents);
// The same on a thread of its own; the contents must stay until it is taken.
std::future<std::string> dataSetSha256Beside(const std::vector<std::optional<std::string>>& contents);

// What the user chose for the instability indices; the range, P1 and the
// locus step come from the scored run.
struct InstabilityChoices {
    IndexSizeChoice index = IndexSizeChoice::OwnMainPeak;
    double indexSize = 0.0;                    // bp, when Typed
    double threshold = kDefaultPeakThreshold;  // NaN for a text that was no number
    std::optional<double> unit;                // bp per repeat; the locus step when none
    std::vector<std::string> controls;         // sample names or lane numbers
};

class GeneController {
public:
    // Start-up: every one-time step, in order.
    explicit GeneController(const Outlets& outlets);
    GeneController(const GeneController&) = delete;
    GeneController& operator=(const GeneController&) = delete;

    // User actions (the sending control is never used).
    Outcome openData();
    Outcome printMyWindow();
    Outcome scoreData();
    Outcome toggleTable();
    Outcome toggleMaybes();
    Outcome graphSelections();
    Outcome cleanUpWindow();
    Outcome cleanUpLessThan();
    Outcome cleanUpGreaterThan();
    Outcome cleanUpLaneAndOrAllele();
    Outcome preAddToAccumulator();
    Outcome addToAccumulator();
    Outcome resetAccumulator();
    Outcome exportSPPCRData();
    Outcome exportSPPCR2();
    Outcome exportAccumulatedSPPCRData();

    // The work of the GE window's Add and of the SP-PCR export on values
    // (lociview-cli): the scored run with the GE as typed, the questions
    // answered as given. Each refuses, as its click does, when no run is
    // scored. The GE added is shown in its window's field, the exported
    // text in the export window.
    AddedRun accumulate(const std::string& geText, const Answers& answers = {});
    ExportedRun exportRun(const std::string& geText, const Answers& answers = {});
    // The accumulated runs' SP-PCR text.
    std::string accumulatedExportText() const { return accumulation.raccumulator.exportText(); }

    // The work of Open on paths given rather than chosen in the dialog:
    // after confirming that it replaces the open data set, opens the paths
    // as one data set (several as its lanes). choices answer the review of
    // sizing tables, genotype tables and per-sample files; without them the
    // review is asked. lociview-cli score and the files the desktop is
    // started with or given call this.
    Outcome openPaths(const std::vector<std::string>& paths, std::optional<ImportAnswer> choices = std::nullopt);

    // Reading a peak table.
    void openFile(const std::string& path);
    // openFile: on bytes already read; nothing for a file that could not be
    // read. checksum: the bytes' checksum when it is already under way.
    void openFileBytes(std::optional<std::string_view> bytes, std::future<std::string> checksum = {});
    void convertDataTextToDataData();

    // Scoring. score: the work of Score on choices given as values
    // (lociview-cli; Score hands over what the window holds): the window is
    // set to show them, then the run goes as a click on Score goes.
    Outcome score(const ScoringChoices& choices);
    // What the scoring fields, the locus matrix and the switches hold now.
    ScoringChoices scoringChoices() const;
    // Puts choices into the fields and switches, leaving alone a control
    // that shows its choice already.
    void showScoringChoices(const ScoringChoices& choices);
    Outcome scoreAlleles(const ScoringParameters& parameters);
    // "Walk the ladder for every repeat unit": the front ends' switch, read
    // by the next Score; off, only a di locus is walked.
    void setWalkEveryLocus(bool on) { walkEvery = on; }
    bool walkEveryLocus() const { return walkEvery; }
    // The last run that reached its end marked no peak because its locus is
    // not walked (the front ends say so once, and how to turn the walk on).
    bool lastRunUnwalked() const { return scored.unwalkedRun; }
    void sendTextLog(const std::string& text);
    void markedMessageToViewedLog(double size, int32_t height, int32_t lane, int32_t mark);

    // Clean-up: the work of the clean-up window's buttons on texts given
    // as values; refused, as the window is, when no run is scored.
    Outcome cleanUp(const CleanUpChoice& choice);
    void clean(const AlleleList& first, const AlleleList& maybes);

    // Results table data source.
    int32_t numberOfRowsInTableView() const;
    CellValue tableView(const std::string& columnIdentifier, int32_t row) const;

    // Read-only views of the state, for the front ends and tests.
    const AlleleDB& store() const { return dataSet.database; }
    const std::vector<Row>& rows() const { return dataSet.data; }
    const std::vector<int32_t>& lanes() const { return dataSet.lanelist; }
    int32_t laneCount() const { return dataSet.numlanes; }
    bool workingOnFile() const { return dataSet.isWorkingOnFile; }
    bool scoredFlag() const { return scored.shiftState.alreadyScored; }
    double shiftValue() const { return scored.shiftState.shiftvalue; }
    int32_t locusType() const { return scored.locustype; }
    int32_t alleleCount() const { return scored.numalleles; }
    const std::vector<int32_t>& alleleSizes() const { return scored.allelesizelist; }
    const ScoringResult& result() const { return scored.scoring; }
    // The lines the last scoring run wrote to the scoring log.
    const std::string& scoringLog() const { return scored.scoringLog; }
    const accumdb& accumulator() const { return accumulation.raccumulator; }

    // SP-PCR statistics (Statistics.cpp): computed afresh on each call from
    // the last scoring, the fields and the accumulator, for the panels,
    // the batch blocks and the exports.
    // The last scoring run that reached its end, of the file open now, as
    // its records' marks stand; nothing before one and nothing once another
    // file has been opened.
    std::optional<RunStatistics> runStatistics() const;
    StatisticsSource runStatisticsSource() const;
    // "Scored run of plate.txt, after clean-up", for the views and exports.
    std::string runStatisticsSourceText() const;
    AccumulatedStatistics accumulatedStatistics() const;
    // What they are computed from.
    std::optional<RunInput> runStatisticsInput() const;
    AccumulatedInput accumulatedStatisticsInput() const;

    // Repeat instability of the last scored run of the file open now
    // (RunInstability.cpp): its lanes' peaks as scoring left them (shifted,
    // in range, split peaks merged), counted afresh on each call; nothing
    // where runStatistics has nothing. A problem of the choices is said in
    // the result, with no lane.
    std::optional<InstabilityResult> runInstability(const InstabilityChoices& choices) const;
    // The choices and groups the exports and the report count them with.
    void setInstabilityChoices(InstabilityChoices choices, std::vector<GroupSpec> groups = {}) {
        instabilityChosen = std::move(choices);
        instabilityGroups = std::move(groups);
    }
    const InstabilityChoices& instabilityChoices() const { return instabilityChosen; }

    // The open data set's name as the window's title shows it ("plate.txt",
    // "a.txt and 2 more"); "" before the first opening.
    const std::string& dataSetName() const { return dataSet.openedName; }

    // Sizing tables, genotype tables and per-sample peak files (several
    // files as lanes), read where the classic grammar reads no row: what
    // the open data set was read from.
    const ImportedDataSet& importedData() const { return dataSet.imported; }

    // Trace files (.fsa, .hid; TraceActions.cpp), opened by the same Open
    // and sized first: how the next ones opened are sized. The choice taken
    // in the trace review stays for the next opening.
    void setTraceSizing(TraceChoice choice) { traceChoice = std::move(choice); }
    const TraceChoice& traceSizing() const { return traceChoice; }

    // Whether opening works out the checksum a run added to the log and the
    // exports name. A batch that adds no run and exports nothing turns it
    // off: the data set's checksum is then empty.
    void setChecksumsWanted(bool wanted) { checksumsWanted = wanted; }

    // Run log, clean-up undo and provenance (RunLogActions.cpp,
    // UndoActions.cpp). Without a run log nothing is read or written and
    // every action does what it did before.
    // The log the accumulator is kept in from now on; the accumulator
    // becomes the log's runs (runs says how many; leftOut says which runs
    // the log holds that could not be replayed, and why). A log that cannot
    // be read is not attached (message says why).
    RestoreOutcome attachRunLog(RunLog log);
    const RunLog* runLog() const { return accumulation.runlog ? &*accumulation.runlog : nullptr; }
    // The runs in the accumulator, oldest first; without a run log the file
    // and date are those of this session's adding.
    const std::vector<LoggedRun>& accumulatedRunList() const { return accumulation.loggedRuns; }
    // resetAccumulator after asking, naming the number of runs (desktop).
    Outcome confirmResetAccumulator();
    // Clean-up undo: the state a clean-up changes, and putting it back (the
    // table reloads). Refused for a snapshot of another scoring run.
    CleanUpSnapshot cleanUpSnapshot() const;
    Outcome restoreCleanUp(const CleanUpSnapshot& snapshot);
    bool canRestore(const CleanUpSnapshot& snapshot) const { return snapshot.epoch == scored.cleanUpEpoch; }
    // What the last clean-up did, in one line: "Removed 3 peaks below height 1300".
    const std::string& cleanUpSummary() const { return scored.lastCleanUp; }
    const std::optional<ResultProvenance>& provenance() const { return scored.resultSource; }

    // Exports and the report (ExportTables.cpp, ReportContent.cpp): the
    // tables as the window shows them, headed by what they come from, and
    // the report's sections. Nothing here changes the state.
    // The table; nothing when there is none yet (no run scored to its end,
    // no accumulated run, no sizing table, genotype table or per-sample file open).
    std::optional<TextTable> exportTable(ExportTable which) const;
    bool hasExportTable(ExportTable which) const;
    // The program, date, file and checksum, every field as typed, locus and
    // Maybes the table comes from.
    ExportHeader exportHeader(ExportTable which) const;
    // Header and table; "" when there is no table.
    std::string exportText(ExportTable which, Delimiter delimiter) const;
    // Those rows of the results table under the columns it shows (Copy).
    TextTable shownTableRows(const std::vector<int>& rows) const;
    // A by-lane table with its lanes' samples after the lane column, when
    // the lanes are the samples of a sizing table, genotype table or per-sample file.
    TextTable sampleNamed(const TextTable& byLane) const;
    // A by-lane table with its lanes' flags as a last column, while its
    // lanes are those of the open data set.
    TextTable flagged(const TextTable& byLane) const;
    bool flagsShownByLane() const;
    Report report() const;

    // What the fields read by the last action that read any were read as,
    // where a text is not one plain number ("stutter tolerance '1,5' is
    // read as 1"); "" when each was. The alerts of that action carry them
    // too. Taking them clears them.
    std::string takeFieldNotes() { return std::exchange(readNotes, std::string()); }

    // The lanes for the lane view, their quality flags and the progenitors
    // they suggest (LaneActions.cpp). The flags are worked out on opening
    // and after every scoring, clean-up and undo, at the levels set; they
    // never change scoring or the counters.
    std::vector<LaneData> laneData() const;
    const std::vector<QualityFlag>& qualityFlags() const;
    // laneData() as the flags were worked out from, shared: a view that
    // shows both groups the records once (empty when no file is open).
    std::shared_ptr<const std::vector<LaneData>> flaggedFrom() const;
    const QualityLevels& levels() const { return qualityLevels; }
    void setQualityLevels(const QualityLevels& levels);
    // Within the range and locus the fields hold now.
    ProgenitorSuggestion progenitorSuggestion() const;
    // A size from the view into Progenitor 1 (which 1) or 2, as whole bp;
    // both of a suggestion the user accepted (refused when one is missing).
    void fillProgenitor(int which, double size);
    // The report draws the flagged lanes' view up to this many lanes.
    static constexpr size_t kReportedLaneViews = 12;
    // The lanes of laneData() that have a flag, in order.
    std::vector<LaneData> flaggedLanes() const;
    Outcome fillProgenitors(const ProgenitorSuggestion& suggestion);
    // "Suggest progenitors": offers the two sizes and fills them only when
    // the user accepts.
    Outcome suggestProgenitorsAction();

private:
    friend class GeneControllerTestAccess;  // tests set the result directly

    // For the life of an action that reads fields: their notes, which its
    // alerts carry.
    class ReadingFields {
    public:
        ReadingFields(GeneController& controller, std::vector<std::pair<std::string_view, std::string>> texts);
        ~ReadingFields() { controller.readingFields = false; }
        ReadingFields(const ReadingFields&) = delete;
        ReadingFields& operator=(const ReadingFields&) = delete;

    private:
        GeneController& controller;
    };

    // 1 for the default button, 0 for the alternate one; alternate: the
    // answer given with the action, told rather than asked.
    int ask(AlertId id, const std::string& informative = {}, std::optional<bool> alternate = std::nullopt);
    Outcome refuse(AlertId id);  // a check's alert; the action stops
    bool maybesOn() const { return outlets.Maybes.state() != 0; }
    bool byLane() const { return outlets.toggleTable.state() != 0; }
    Outcome cleanUpChosen(const CleanUpChoice& choice);
    Outcome cleanByHeight(const std::string& text, const char* fieldName,
                          AlleleList (AlleleDB::*select)(int32_t, int32_t) const, const char* side);
    // Sizing tables, genotype tables and per-sample files: reading the chosen files into data,
    // or the outcome that ends the opening with the old data set given back.
    std::optional<Outcome> readTables(const std::vector<std::string>& paths, std::vector<Row>& kept,
                                      const std::optional<ImportAnswer>& choices);
    // Opening: whether the open data set may be replaced (its rows then
    // kept aside), and reading the paths chosen.
    bool confirmReplacing(std::vector<Row>& kept);
    Outcome openChosen(const std::vector<std::string>& paths, std::vector<Row>& kept,
                       const std::optional<ImportAnswer>& choices);
    Outcome refuseTables(const std::string& message, std::vector<Row>& kept);
    // The review's answer taken: marker and dye chosen, the rows made, the
    // data set replaced (or the refusal, with the old one given back).
    std::optional<Outcome> takeTables(PeakImport& tables, const ImportAnswer& answer, const std::string& tablesSha256,
                                      std::vector<Row>& kept);
    // Every file a trace: sized, reviewed (and sized again as the review
    // asks), taken as tables are.
    std::optional<Outcome> readTraces(const std::vector<ImportFile>& files,
                                      const std::vector<std::optional<std::string>>& contents, std::vector<Row>& kept);
    TraceReview sizeTraceFiles(const std::vector<ImportFile>& files, const TraceChoice& choice,
                               std::vector<SizedTrace>* sized = nullptr);
    // Run log, clean-up undo and provenance.
    AddedRun addRun(const std::string& geText, const Answers& answers);
    ExportedRun exportScoredRun(const std::string& geText, const Answers& answers);
    AddedRun addToRunLog(int32_t p1, int32_t p2, const std::string& geText, std::optional<bool> addAgain);
    RunRecord currentRunRecord(int32_t p1, int32_t p2, const std::string& geText) const;
    void noteUnloggedRun(int32_t p1, int32_t p2, int32_t run, const std::string& geText);
    std::string reloadFromRunLog(std::vector<std::string>* leftOut = nullptr);
    void noteCleanUp(const std::string& what, const AlleleList& first, const AlleleList& maybes);
    // The locus of the accumulated runs for export headers: "di", or each
    // locus when they differ ("di, tri (not pooled)").
    std::string accumulatedLocus() const;
    // A cancelled scoring run (ScoreActions.cpp).
    ScoringSnapshot scoringSnapshot() const;
    void restoreScoring(const ScoringSnapshot& snapshot);
    // The lane view's flags (LaneActions.cpp).
    void updateQualityFlags();
    int32_t selectedLocus() const;  // the locus matrix's choice
    int selectedLocusColumn() const;

    Outlets outlets;
    LogSink& log;

    // The open data set, the last scoring run and the accumulated runs.
    DataSet dataSet;
    ScoredRun scored;
    Accumulation accumulation;

    TraceChoice traceChoice;  // how trace files are sized
    bool checksumsWanted = true;
    bool walkEvery = false;
    InstabilityChoices instabilityChosen;
    std::vector<GroupSpec> instabilityGroups;
    // What the fields of the action that read them last were read as.
    std::string readNotes;
    bool readingFields = false;
    // Quality flags of the open data set. Each step that changes the marks
    // takes the flags' range and levels at once but leaves their pass over
    // every peak to the first reader: a batch run that shows no flags skips it.
    QualityLevels qualityLevels;
    mutable std::vector<QualityFlag> flags;
    mutable std::optional<QualityInput> flagsDue;
    mutable std::shared_ptr<const std::vector<LaneData>> flagLanes;
};

}  // namespace lociview
