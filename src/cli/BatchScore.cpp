#include "cli/BatchScore.h"

#include <array>
#include <cmath>
#include <tuple>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <ostream>
#include <span>
#include <streambuf>

#include <CLI/CLI.hpp>
#include <algorithm>

#include "app/FieldNotes.h"
#include "app/GeneController.h"
#include "app/ScoringFields.h"
#include "base/BufferedLog.h"
#include "base/LineText.h"
#include "base/NullStream.h"
#include "base/NumberText.h"
#include "export/ExportTables.h"
#include "export/InstabilityTables.h"
#include "export/TableText.h"
#include "scoring/Locus.h"
#include "cli/CliWords.h"
#include "cli/PeaksCommand.h"
#include "headless/HeadlessProgram.h"
#include "headless/SessionScript.h"
#include "input/TraceImport.h"
#include "stats/StatsText.h"

namespace lociview::headless {

const char* const kScoreUsage =
    "usage: lociview-cli score [--p1 TEXT] [--p2 TEXT] [--low TEXT] [--high TEXT] [--shift TEXT]\n"
    "                          [--stutter TEXT] [--locus mono|di|tri|penta] [--maybes]\n"
    "                          [--walk-every-locus [--locus tetra|hexa]] [--index-size own|p1|controls|SIZE]\n"
    "                          [--peak-threshold X] [--repeat-unit BP] [--controls SAMPLE[,SAMPLE...]]\n"
    "                          [--group prefix:TEXT|NAME=SAMPLE[,SAMPLE...]]...\n"
    "                          [--ge TEXT] [--export-anyway] [--accumulator FILE] [--add-again]\n"
    "                          [--show WHAT[,WHAT...]] [--format blocks|tidy] [--devlog] [--dye LETTER]\n"
    "                          [--marker NAME] [--as-lanes] [--strict] [--saturation N]\n"
    "                          [--low-signal N] [--size-standard NAME|SIZES] [--min-height N] FILE...\n";

namespace {

const char* const kScoreHelpStart =
    "usage: lociview-cli score [OPTION]... FILE...\n"
    "\n"
    "Opens and scores each peak file in turn, as a user would at the main\n"
    "window, and prints the chosen views of the results after each file.\n"
    "\n";

// After the scoring fields' options, which the table of fields gives.
const char* const kScoreHelpRest =
    "  --locus CELL       mono, di, tri or penta\n"
    "  --maybes           count MAYBE peaks as alleles\n"
    "  --walk-every-locus walk the ladder for every repeat unit: a mono, tri\n"
    "                     or penta locus is scored as a di one is, with its\n"
    "                     own step, and --locus also takes tetra and hexa.\n"
    "                     Without it only a di locus marks peaks, and a run\n"
    "                     of another locus says so once on standard error\n"
    "\n"
    "Instability indices of bulk PCR (--show instability, instability-groups),\n"
    "from each lane's peaks as scoring leaves them:\n"
    "  --index-size WHAT  what repeat changes count from: own (each lane's\n"
    "                     tallest peak, the default), p1, controls (the mean\n"
    "                     tallest-peak size of the control lanes) or a size\n"
    "  --peak-threshold X peaks at least X times the tallest one's height are\n"
    "                     kept, X from 0 to 1 (default 0.2)\n"
    "  --repeat-unit BP   bp per repeat (default: the locus step)\n"
    "  --controls LIST    the control lanes: sample names or lane numbers\n"
    "  --group SPEC       a group of lanes: prefix:TEXT (samples whose names\n"
    "                     start with TEXT) or NAME=SAMPLE[,SAMPLE...]; again\n"
    "                     for more groups\n"
    "\n"
    "Peak tables (sizing tables, genotype tables, per-sample peak files):\n"
    "  --dye LETTER       the dye to score: a letter or colour (default: B\n"
    "                     when there is B, else the dye with most rows that\n"
    "                     is not the size standard); classic files keep\n"
    "                     their rows as they are\n"
    "  --marker NAME      of a table with a Marker column (multiplex exports),\n"
    "                     score the marker NAME: its samples are the lanes.\n"
    "                     Without it, the marker with most rows in the dye\n"
    "                     is scored and standard error names it; markers are\n"
    "                     never pooled. A marker the table lacks is refused,\n"
    "                     naming those there are\n"
    "  --as-lanes         open all FILEs together as the lanes of one data\n"
    "                     set, numbered in the order given, and score once;\n"
    "                     its blocks are headed by the first FILE, with\n"
    "                     \" and N more\" after it\n"
    "  --strict           a file with any row skipped (see below) fails: it\n"
    "                     is not scored, and the exit status is 1\n"
    "  Each number column is read as plain decimals unless its cells are\n"
    "  written with a decimal comma (not in comma-separated files) or marks\n"
    "  between thousands (\"2,133\", \"3.394\", \"2 133\"); the desktop's review\n"
    "  and a script's \"show import\" say which. Rows without a usable size or height\n"
    "  are skipped; each file with skipped rows gets one line on standard\n"
    "  error: \"FILE: 2,603 of 22,016 rows skipped: height not a number\".\n"
    "\n"
    "Trace files (.fsa, .hid: read by their content, and sized first; a data\n"
    "set is all traces or all tables):\n"
    "  --size-standard NAME|SIZES  the size standard: GS500LIZ, GS500LIZ-250,\n"
    "                     GS500ROX, GS500ROX-250, GS600LIZ, or the sizes in\n"
    "                     bp, comma-separated (35,50,75,...). Without it, the\n"
    "                     one the file names when it fits, else the one that\n"
    "                     fits best\n"
    "  --min-height N     the least height of a peak, in RFU (default 50)\n"
    "  Each file is one sample and one lane; FILEs that are all trace files\n"
    "  (.fsa, .hid) are the lanes of one data set, as with --as-lanes, its\n"
    "  peaks in their dye's letter; the\n"
    "  messages of the sizing are written to standard error, and a file whose\n"
    "  size standard could not be matched makes the exit status 1.\n"
    "\n"
    "Accumulation and export:\n"
    "  --ge TEXT          add each scored file to the run accumulator with\n"
    "                     this GE value; also the GE of the sppcr block\n"
    "  --export-anyway    answer \"Export Anyway\" on double progenitor loss\n"
    "                     (otherwise such a run is not added or exported)\n"
    "  --accumulator FILE keep the accumulator in the run log FILE (an SQLite\n"
    "                     database, created when missing): the runs already\n"
    "                     in it are accumulated first and every run added is\n"
    "                     written to it, so runs scored by separate commands\n"
    "                     export together as if scored by one. A run the log\n"
    "                     holds already (same file bytes, fields, locus, Maybes\n"
    "                     and GE) is not added again, so running a command\n"
    "                     twice adds its runs once; the skip is reported on\n"
    "                     standard error and does not fail the file.\n"
    "                     FILE is a plain path (not empty, not :memory:, not a\n"
    "                     file: URI). A FILE that reads as text (a peak table)\n"
    "                     is refused and left alone; a damaged log is renamed\n"
    "                     aside and a new one started, which does not fail\n"
    "                     the command, since every run it scores is kept; a\n"
    "                     newer Lociview's log is only read, so adding fails;\n"
    "                     runs the log holds with impossible values are left\n"
    "                     out of the accumulator, each said on standard error.\n"
    "  --add-again        add such a run all the same\n"
    "\n"
    "Output:\n"
    "  --show WHAT[,WHAT...]  blocks to print (default alleles,counters):\n"
    "      sizing       trace files: each as sized, tab-separated, with a title\n"
    "                   row: file, sample, well, standard, matched, expected,\n"
    "                   worst R-squared, message (a table has the title row only)\n"
    "      samples      the samples as lanes: lane, sample, file and peaks of\n"
    "                   the scored dye, tab-separated, with a title row (a\n"
    "                   classic peak table has the title row only)\n"
    "      alleles      the by-allele table, tab-separated, with a title row\n"
    "      lanes        the by-lane table, tab-separated, with a title row\n"
    "      counters     the lane counters: NAME<TAB>VALUE\n"
    "      maybes       the scoring log\n"
    "      sppcr        the single-run SP-PCR export text\n"
    "      stats        the SP-PCR statistics of the run: NAME<TAB>VALUE<TAB>\n"
    "                   LOWER<TAB>UPPER<TAB>NOTE, with a title row; bounds\n"
    "                   of 95% intervals, empty cells where there is none\n"
    "      spectrum     the allele spectrum: PROGENITOR<TAB>CHANGE_UNITS<TAB>\n"
    "                   SIZE<TAB>COUNT, with a title row\n"
    "      qc           the lanes' quality flags: LANE<TAB>SAMPLE<TAB>FLAG<TAB>\n"
    "                   DETAIL, a row per flag, with a title row; flags are\n"
    "                   off-scale, low-signal, outside-range and, once\n"
    "                   scored, improbable-alleles\n"
    "      suggest      the suggested progenitors: the two whole sizes that are\n"
    "                   the tallest peak in range of the most lanes (within the\n"
    "                   locus tolerance), PROGENITOR<TAB>SIZE<TAB>LANES<TAB>NOTE\n"
    "      instability  each lane's instability: lane, sample, index_size,\n"
    "                   main_size, peaks_kept, instability_index,\n"
    "                   expansion_index, contraction_index, mean_size,\n"
    "                   main_change, note; numbers read back exactly, empty\n"
    "                   cells and a note for a lane with no index\n"
    "      instability-groups  the indices' mean, sd and 95% t interval over\n"
    "                   all lanes, the controls and each group, and each\n"
    "                   group's difference from the controls (Welch)\n"
    "      accumulated  the accumulated SP-PCR export text, after the last file\n"
    "    Blocks come in this order; each starts with a line \"# FILE: BLOCK\"\n"
    "    (\"# accumulated\" for the accumulated text). With accumulated,\n"
    "    stats and spectrum also follow the accumulated text for the\n"
    "    accumulated runs, as \"# accumulated: stats\" and\n"
    "    \"# accumulated: spectrum\". The GE of a run's statistics is the\n"
    "    --ge value (none without it). qc and suggest are printed for every\n"
    "    file opened, also when it is not scored (qc then has no\n"
    "    improbable-alleles), after the counters' place.\n"
    "  --saturation N     a peak in range this tall (RFU) is off-scale\n"
    "                     (default 30000)\n"
    "  --low-signal N     a lane whose tallest peak in range is below N RFU\n"
    "                     has low signal (default 100)\n"
    "  --format tidy      each kind of block once, after the last file, for\n"
    "                     all files together: one tab-separated table per\n"
    "                     kind with a title row of letters, digits and\n"
    "                     underscores, a leading file column (\"accumulated\"\n"
    "                     for the accumulated runs) and no \"#\" lines;\n"
    "                     tables apart by an empty line, for R and pandas.\n"
    "                     The lanes block is long: file, lane, allele_size,\n"
    "                     height; a text (maybes, sppcr, accumulated) is a\n"
    "                     row per line under the block's name. --format\n"
    "                     blocks (the default) prints the blocks above\n"
    "  --devlog           write the developer log to standard error\n"
    "  --help             show this text\n"
    "\n"
    "Alerts are written to standard error as \"lociview: FILE: MESSAGE\",\n"
    "FILE the file they are about as its blocks are headed. The\n"
    "confirmation before opening the next file is answered \"Open Another\",\n"
    "the progenitor swap question \"Swap Progenitors\". A file that is not\n"
    "scored prints no blocks and is not accumulated.\n"
    "\n"
    "Exit status: 0 when every file was scored (and added and exported as\n"
    "asked), 1 when an alert stopped that for some file (the other files are\n"
    "still done), 2 for a usage error.\n";

// The words of text in lines of at most width characters.
std::string wrapped(const std::string& text, size_t width) {
    std::string out, line;
    for (size_t start = 0; start < text.size();) {
        size_t end = text.find(' ', start);
        if (end == std::string::npos) end = text.size();
        const std::string word = text.substr(start, end - start);
        if (!line.empty() && line.size() + 1 + word.size() > width) {
            out += line + '\n';
            line.clear();
        }
        line += (line.empty() ? "" : " ") + word;
        start = end + 1;
    }
    return out + line + '\n';
}

}  // namespace

const std::string& scoreHelp() {
    static const std::string help = [] {
        std::string starts;
        for (const ScoringField& f : scoringFields())
            starts += std::string(f.brief) + ' ' + formatDoubleField(f.startValue) + ", ";
        std::string text = kScoreHelpStart;
        text += wrapped("Parameters (each TEXT is typed into its field; unset ones keep the start-up values " + starts +
                            "locus di, Maybes off):",
                        72);
        for (const ScoringField& f : scoringFields()) {
            std::string option = std::string(f.option) + " TEXT";
            option.resize(std::max<size_t>(option.size() + 1, 19), ' ');
            text += "  " + option + f.help + '\n';
        }
        return text + kScoreHelpRest;
    }();
    return help;
}

namespace {

struct BlockName {
    const char* name;
    ShowBlock block;
};

constexpr std::array<BlockName, 14> kBlocks = {{{"sizing", ShowSizing},
                                                {"samples", ShowSamples},
                                                {"alleles", ShowAlleles},
                                                {"lanes", ShowLanes},
                                                {"counters", ShowCounters},
                                                {"qc", ShowQc},
                                                {"suggest", ShowSuggest},
                                                {"maybes", ShowMaybes},
                                                {"sppcr", ShowSppcr},
                                                {"stats", ShowStats},
                                                {"spectrum", ShowSpectrum},
                                                {"instability", ShowInstability},
                                                {"instability-groups", ShowInstabilityGroups},
                                                {"accumulated", ShowAccumulated}}};

// A message on standard error, always one line.
void say(std::ostream& err, std::string_view text) { err << "lociview: " << escaped(text, LineKind::Message) << '\n'; }

// Why the text given to --accumulator names no file a log can be kept in.
std::string accumulatorProblem(const std::string& path) {
    if (path.empty()) return "--accumulator needs the path of a file";
    if (path == ":memory:") return "--accumulator ':memory:' keeps the log in memory only; give the path of a file";
    std::string start = path.substr(0, 5);
    for (char& c : start) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    if (start == "file:")
        return "--accumulator '" + path + "' is an SQLite URI; give the path of a file (./" + path +
               " for a file of that name)";
    return {};
}

// A file that could not be read as a run log is set aside, never
// overwritten, and the batch goes on with a new one: the runs it scores are
// kept, so the command still does what it was asked and its exit status
// says so; the message says where the old file went. A file that reads as
// text (a peak table given in the log's place) is refused and left alone.
std::optional<RunLog> openRunLog(const std::string& file, std::ostream& err) {
    std::error_code ec;
    const std::filesystem::path absolute = std::filesystem::absolute(file, ec);
    RunLogOptions options;
    options.refuseText = true;
    RunLogOpening opening = RunLog::open(ec ? std::filesystem::path(file) : absolute, std::move(options));
    if (!opening.message.empty()) say(err, opening.message);
    return std::move(opening.log);
}

std::string joinTabs(const std::vector<std::string>& items) {
    std::string out;
    for (size_t i = 0; i < items.size(); ++i) {
        if (i) out += '\t';
        out += items[i];
    }
    return out;
}

// Titles and rows, tab-separated, as the blocks print the results table.
std::string tableText(const TextTable& table) {
    std::string text = joinTabs(table.columns) + '\n';
    for (const auto& row : table.rows) text += joinTabs(row) + '\n';
    return text;
}

// The by-lane table in long form: a row per lane and allele size with a
// height ("alle150" gives 150), and one row with empty cells for a lane
// without any.
TextTable laneHeights(const TextTable& lanes) {
    TextTable tidy{{"lane", "allele_size", "height"}, {}};
    for (const auto& row : lanes.rows) {
        const size_t before = tidy.rows.size();
        for (size_t c = 1; c < row.size() && c < lanes.columns.size(); ++c)
            if (!row[c].empty()) tidy.rows.push_back({row[0], lanes.columns[c].substr(4), row[c]});
        if (tidy.rows.size() == before) tidy.rows.push_back({row.empty() ? std::string() : row[0], "", ""});
    }
    return tidy;
}

// A column title as R and pandas take it: letters, digits and underscores.
std::string tidyName(std::string_view title) {
    std::string name;
    for (const char c : title) {
        const bool keep = (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_';
        if (c >= 'A' && c <= 'Z') name += static_cast<char>(c - 'A' + 'a');
        else if (keep) name += c;
        else if (!name.empty() && name.back() != '_') name += '_';
    }
    while (!name.empty() && name.back() == '_') name.pop_back();
    return name.empty() ? std::string("value") : name;
}

const char* blockName(ShowBlock block) {
    for (const BlockName& b : kBlocks)
        if (b.block == block) return b.name;
    return "";
}

// The blocks of a batch. By default each is printed as it comes, headed
// "# WHO: BLOCK" ("# accumulated" for the accumulated text). With --format
// tidy each kind of block is printed once, after the last file, as one TSV
// table for every file together: a leading file column, titles of letters,
// digits and underscores, and tables apart by an empty line.
class Blocks {
public:
    Blocks(std::ostream& out, bool tidy) : out(out), tidy(tidy) {}

    // The header of a block whose text follows later (only by default).
    void begin(const std::string& who, ShowBlock kind) {
        if (tidy) return;
        out << "# " << who;
        if (kind != ShowAccumulated) out << ": " << blockName(kind);
        out << '\n';
    }
    // A block: its text as printed by default, or its table.
    void add(const std::string& who, ShowBlock kind, const std::string& text, const std::function<TextTable()>& table) {
        if (!tidy) {
            begin(who, kind);
            print(text);
            return;
        }
        append(who, kind, table());
    }
    // A block of text lines: a row per line in tidy form.
    void addLines(const std::string& who, ShowBlock kind, const std::string& text, bool withHeader = true) {
        if (!tidy) {
            if (withHeader) begin(who, kind);
            print(text);
            return;
        }
        TextTable lines{{blockName(kind)}, {}};  // titled by the block, which tells the tables apart
        for (size_t from = 0; from < text.size();) {
            const size_t end = std::min(text.find('\n', from), text.size());
            lines.rows.push_back({text.substr(from, end - from)});
            from = end + 1;
        }
        append(who, kind, lines);
    }
    void finish() {
        if (!tidy) return;
        bool first = true;
        for (const BlockName& b : kBlocks) {
            const auto it = tables.find(b.block);
            if (it == tables.end()) continue;
            if (!first) out << '\n';
            first = false;
            out << delimitedText(it->second, Delimiter::Tab);
        }
    }

private:
    // A text block, ending with a line feed so the next block starts on its own line.
    void print(const std::string& text) {
        out << text;
        if (!text.empty() && text.back() != '\n') out << '\n';
    }
    void append(const std::string& who, ShowBlock kind, const TextTable& table) {
        auto [it, fresh] = tables.try_emplace(kind);
        TextTable& all = it->second;
        if (fresh) {
            all.columns = {"file"};
            for (const std::string& title : table.columns) all.columns.push_back(tidyName(title));
        }
        for (const auto& row : table.rows) {
            std::vector<std::string> cells = {who};
            cells.insert(cells.end(), row.begin(), row.end());
            cells.resize(all.columns.size());
            all.rows.push_back(std::move(cells));
        }
    }

    std::ostream& out;
    bool tidy;
    std::map<ShowBlock, TextTable> tables;
};

// Set by lociview-cli, which ends right after a batch: a plate's records,
// freed one by one, cost more than some of its scoring.
bool leaveAtExit = false;

class Batch {
public:
    Batch(const BatchOptions& options, std::ostream& out, std::ostream& err)
        : options(options), out(out), err(err), errLog(err),
          program(trace, options.devlog ? static_cast<LogSink&>(errLog) : static_cast<LogSink&>(noLog)) {
        tk.dialogs.onAlert = [this](const AlertRequest& alert, const std::string&) {
            // The batch itself answers the confirmation before each next file.
            // The same run in the run log is said with what came of it (accumulate).
            if (alert.id == AlertId::ConfirmOpenAnother || alert.id == AlertId::AddRunAgain) return;
            message(current, alert.informative.empty() ? alert.message : alert.message + ' ' + alert.informative);
        };
        typeParameters();
        TraceChoice sizing;
        if (options.minHeight) sizing.minHeight = *options.minHeight;
        sizing.standard = options.sizeStandard.value_or(std::string());
        controller.setTraceSizing(sizing);
        QualityLevels levels;
        levels.saturation = options.saturation.value_or(levels.saturation);
        levels.lowSignal = options.lowSignal.value_or(levels.lowSignal);
        controller.setQualityLevels(levels);
        // Only a run added to the accumulator names its file's checksum.
        controller.setChecksumsWanted(options.ge || options.accumulator);
    }

    int run() {
        if (options.accumulator) {
            std::optional<RunLog> runLog = openRunLog(*options.accumulator, err);
            if (!runLog) return 1;
            const RestoreOutcome restored = controller.attachRunLog(std::move(*runLog));
            if (!restored.message.empty()) {
                say(err, restored.message);
                return 1;
            }
            // The runs the log holds but the accumulator cannot: said, and
            // the batch goes on with the others, as the desktop does.
            for (const std::string& line : restored.leftOut) say(err, line);
        }
        // A trace is one sample: a plate of them is one data set, its lanes.
        const bool allTraces = std::all_of(options.files.begin(), options.files.end(),
                                           [](const std::string& f) { return isTraceFile(f, {}); });
        if (options.asLanes || allTraces) {
            std::string label = options.files.front();
            if (options.files.size() > 1) label += " and " + std::to_string(options.files.size() - 1) + " more";
            scoreFile(label, options.files);
        } else {
            for (const auto& file : options.files) scoreFile(file, {file});
        }
        current.clear();
        if (options.show & ShowAccumulated) {
            blocks.addLines("accumulated", ShowAccumulated, controller.accumulatedExportText());
            const AccumulatedStatistics stats = controller.accumulatedStatistics();
            addStatistics("accumulated", statRows(stats), stats.spectrum);
        }
        blocks.finish();
        return failed ? 1 : 0;
    }

    // The developer log lines still gathered, written out.
    void flushMessages() {
        errLog.flush();
        err.flush();
    }

private:
    void typeParameters() {
        // The leading number is what is used; a text that is more than one
        // number is said once, standard output as it always is.
        const auto noteReading = [this](const char* option, const std::string& text, FieldReading reading) {
            const std::string note = fieldReadingNote(option, text, reading);
            if (!note.empty()) err << "lociview: " << note << '\n';
        };
        choices = controller.scoringChoices();  // the start-up values, where no option is given
        for (const ScoringField& f : scoringFields()) {
            const auto typed = options.fields.find(f.number.name);
            if (typed == options.fields.end()) continue;
            choices.texts.*f.text = typed->second;
            noteReading(f.option, typed->second, f.number.reading);
        }
        if (options.ge) noteReading("--ge", *options.ge, numberField("accumgeforun").reading);
        choices.walkEveryLocus = options.walkEveryLocus;
        if (options.locusCell) choices.locusColumn = *options.locusCell;
        choices.maybes = choices.maybes || options.maybes;
        // Shown before the first file opens: its lanes' flags read them.
        controller.showScoringChoices(choices);
    }

    // file: the name the blocks are headed by; paths: what is opened.
    void scoreFile(const std::string& file, const std::vector<std::string>& paths) {
        current = file;
        const size_t alertsBefore = tk.dialogs.shown.size();
        const Outcome opened = controller.openPaths(
            paths, ImportAnswer{options.dye.value_or(std::string()), options.marker.value_or(std::string())});
        // Refused tables leave the last data set, if any, open: it is not
        // scored again, and without one the refusal says all.
        const bool tablesRefused =
            std::any_of(tk.dialogs.shown.begin() + static_cast<std::ptrdiff_t>(alertsBefore), tk.dialogs.shown.end(),
                        [](const AlertRequest& alert) { return alert.id == AlertId::ImportRefused; });
        if (opened != Outcome::Done && (tablesRefused || controller.workingOnFile())) {
            failed = true;
            return;
        }
        if (opened == Outcome::Done && !skippedRowsSaid()) {
            failed = true;
            return;
        }
        if (opened == Outcome::Done && !sizingSaid()) failed = true;
        // Which marker of several was scored, when --marker chose none.
        if (const std::string& note = controller.importedData().tables.markerNote; !note.empty()) message(file, note);
        const Outcome scoredFile = controller.score(choices);
        // A swap of the progenitors holds for the next files, as it does in the window.
        if (const std::optional<ResultProvenance>& source = controller.provenance(); source && !source->previousFile)
            choices.texts = source->fields;
        if (scoredFile != Outcome::Done) {
            failed = true;
            addLaneChecks(file);
            return;
        }
        if (options.show & ShowSizing) {
            const std::vector<TraceReviewRow>& traces = controller.importedData().traces;
            blocks.add(file, ShowSizing, traceReviewText(traces), [&] {
                TextTable table{traceReviewTitles(), traceReviewCells(traces)};
                table.columns.front() = "trace_file";  // "file" heads the data set
                return table;
            });
        }
        if (controller.lastRunUnwalked() && !unwalkedSaid) {
            message(file, unwalkedLocusNote(controller.locusType(), std::string("add ") + kWalkEveryLocusOption));
            unwalkedSaid = true;
        }
        if (options.show & ShowSamples) {
            const ImportedDataSet& source = controller.importedData();
            blocks.add(file, ShowSamples, sampleTableText(source.tables.samples, source.tables.files), [&] {
                TextTable samples = samplesTable(source.tables.samples, source.tables.files);
                samples.columns = {"lane", "sample", "sample_file", "peaks"};  // "file" heads the data set
                return samples;
            });
        }
        if (options.ge) accumulate();
        if (options.show & ShowAlleles) {
            const TextTable alleles = shownTable();
            blocks.add(file, ShowAlleles, tableText(alleles), [&] {
                TextTable tidy = alleles;
                tidy.columns = {"allele_size", "peaks", "weight"};
                return tidy;
            });
        }
        if (options.show & ShowLanes) {
            tk.toggleTable.setState(1);
            controller.toggleTable();
            const TextTable lanes = shownTable();
            tk.toggleTable.setState(0);
            controller.toggleTable();
            blocks.add(file, ShowLanes, tableText(lanes), [&] { return laneHeights(lanes); });
        }
        if (options.show & ShowCounters) {
            const LaneCounters counted = controller.result().counters.value_or(LaneCounters{});
            const std::pair<const char*, int32_t> counters[] = {
                {"numemptylanes", counted.empty}, {"numones", counted.ones}, {"numtwos", counted.twos}};
            std::string text;
            TextTable tidy;
            tidy.rows.emplace_back();
            for (const auto& [name, count] : counters) {
                text += std::string(name) + '\t' + formatIntField(count) + '\n';
                tidy.columns.push_back(name);
                tidy.rows.back().push_back(formatIntField(count));
            }
            blocks.add(file, ShowCounters, text, [&] { return tidy; });
        }
        addLaneChecks(file);
        if (options.show & ShowMaybes) blocks.addLines(file, ShowMaybes, controller.scoringLog());
        if (options.show & ShowSppcr) {
            // The header first: the export's alerts come after it.
            blocks.begin(file, ShowSppcr);
            if (const std::optional<std::string> text = exportRun()) blocks.addLines(file, ShowSppcr, *text, false);
        }
        if (const std::optional<RunStatistics> stats = controller.runStatistics())
            addStatistics(file, statRows(*stats), stats->spectrum);
        if (options.show & (ShowInstability | ShowInstabilityGroups)) addInstability(file);
    }

    // Counted only when asked for: a plate's indices cost a pass over its peaks.
    void addInstability(const std::string& file) {
        const std::optional<InstabilityBlocks> indices = instabilityBlocks(controller, options.instability);
        if (!indices) return;
        if (!indices->problem.empty()) {
            message(file, indices->problem);
            failed = true;
        }
        if (options.show & ShowInstability && !indices->lanes.empty())
            blocks.add(file, ShowInstability, instabilityText(indices->lanes),
                       [&] { return instabilityTable(indices->lanes); });
        if (options.show & ShowInstabilityGroups && !indices->groups.empty())
            blocks.add(file, ShowInstabilityGroups, instabilityGroupsText(indices->groups),
                       [&] { return instabilityGroupsTable(indices->groups); });
    }

    // A line for each file of the data set just opened that had rows
    // skipped; false when --strict makes that a failure.
    bool skippedRowsSaid() {
        const PeakImport& tables = controller.importedData().tables;
        bool any = false;
        for (size_t i = 0; i < tables.fileRows.size() && i < tables.files.size(); ++i) {
            const std::string line = skippedRowsText(tables.fileRows[i]);
            if (line.empty()) continue;
            errLog.flush();
            err << tables.files[i] << ": " << line << '\n';
            any = true;
        }
        return !(any && options.strict);
    }

    // The messages of trace files just sized, each naming its file; false
    // when a file's standard could not be matched.
    bool sizingSaid() {
        bool sized = true;
        for (const TraceReviewRow& row : controller.importedData().traces) {
            for (const std::string& m : row.messages) message({}, m);
            sized = sized && row.sized;
        }
        return sized;
    }

    // The qc and suggest blocks asked for: what the lanes of the file opened
    // say, scored or not.
    void addLaneChecks(const std::string& file) {
        if (options.show & ShowQc) {
            const std::vector<QualityFlag>& flags = controller.qualityFlags();
            blocks.add(file, ShowQc, qualityFlagsText(flags), [&] { return qualityFlagsTable(flags); });
        }
        if (options.show & ShowSuggest) {
            const ProgenitorSuggestion suggestion = controller.progenitorSuggestion();
            blocks.add(file, ShowSuggest, suggestionText(suggestion), [&] { return suggestionTable(suggestion); });
        }
    }

    // The stats and spectrum blocks asked for, of a run or the accumulated runs.
    void addStatistics(const std::string& who, const std::vector<StatRow>& rows, const AlleleSpectrum& spectrum) {
        if (options.show & ShowStats)
            blocks.add(who, ShowStats, statsText(rows), [&] { return statisticsTable(rows); });
        if (options.show & ShowSpectrum)
            blocks.add(who, ShowSpectrum, spectrumText(spectrum), [&] { return spectrumTable(spectrum); });
    }

    // The results table as the toolkit's table shows it now.
    TextTable shownTable() {
        TextTable table{tk.tabl.columnTitles(), {}};
        const std::vector<std::string> ids = tk.tabl.columnIdentifiers();
        const int32_t rows = controller.numberOfRowsInTableView();
        for (int32_t r = 0; r < rows; ++r) {
            std::vector<std::string> cells;
            for (const auto& id : ids) cells.push_back(formatCell(controller.tableView(id, r)));
            table.rows.push_back(std::move(cells));
        }
        return table;
    }

    // The questions an option answers; the others keep their default button.
    Answers answers() const {
        Answers given;
        if (options.exportAnyway) given.exportAnyway = true;
        given.addAgain = options.addAgain;
        return given;
    }

    void accumulate() {
        const AddedRun added = controller.accumulate(*options.ge, answers());
        // A run the log holds already stays in once: not a failure.
        if (!added.sameRun.empty() && added.outcome == Outcome::Cancelled) {
            message(current, added.sameRun + " Not added again (--add-again adds it).");
            return;
        }
        if (added.outcome != Outcome::Done) failed = true;
        else if (!added.sameRun.empty()) message(current, added.sameRun + " Added again.");
    }

    // The run's SP-PCR text; nothing when not exported.
    std::optional<std::string> exportRun() {
        ExportedRun exported = controller.exportRun(options.ge.value_or(std::string()), answers());
        if (exported.outcome == Outcome::Done) return std::move(exported.text);
        failed = true;
        return std::nullopt;
    }

    // A message about a file on standard error, after the developer log
    // lines before it: "lociview: FILE: MESSAGE".
    void message(const std::string& file, const std::string& text) {
        errLog.flush();
        say(err, (file.empty() ? std::string() : file + ": ") + text);
    }

    const BatchOptions& options;
    std::ostream& out;
    std::ostream& err;
    Blocks blocks{out, options.tidy};
    std::string current;  // the data set being opened and scored: the messages' file
    NullStream trace;  // swallowed: the batch prints its own blocks
    NullLog noLog;
    BufferedLog errLog;
    HeadlessProgram program;
    HeadlessToolkit& tk = program.tk;
    GeneController& controller = program.controller;
    ScoringChoices choices;
    bool failed = false;
    bool unwalkedSaid = false;  // once per command, however many files
};

}  // namespace

std::variant<BatchOptions, std::string> parseBatchOptions(const std::vector<std::string>& args) {
    BatchOptions o;
    CLI::App app("", "lociview-cli score");
    app.set_help_flag();  // --help is ours: it prints scoreHelp()
    std::vector<std::string> shows;
    std::string locus;
    const std::span<const ScoringField> fields = scoringFields();
    std::vector<std::string> fieldTexts(fields.size());
    std::vector<CLI::Option*> fieldOptions;
    for (size_t i = 0; i < fields.size(); ++i)
        fieldOptions.push_back(app.add_option(fields[i].option, fieldTexts[i])->allow_extra_args(false));
    const std::pair<const char*, std::optional<std::string>*> textOptions[] = {{"--ge", &o.ge},
                                                                               {"--accumulator", &o.accumulator}};
    std::vector<std::pair<CLI::Option*, std::optional<std::string>*>> given;
    std::vector<std::string> texts(std::size(textOptions));
    for (size_t i = 0; i < std::size(textOptions); ++i)
        given.emplace_back(app.add_option(textOptions[i].first, texts[i])->allow_extra_args(false),
                           textOptions[i].second);
    CLI::Option* locusOption = app.add_option("--locus", locus);
    app.add_option("--show", shows)->allow_extra_args(false)->delimiter(',');
    app.add_flag("--maybes", o.maybes);
    app.add_flag("--export-anyway", o.exportAnyway);
    app.add_flag("--add-again", o.addAgain);
    app.add_flag("--devlog", o.devlog);
    std::string dye;
    CLI::Option* dyeOption = app.add_option("--dye", dye)->allow_extra_args(false);
    std::string marker;
    CLI::Option* markerOption = app.add_option("--marker", marker)->allow_extra_args(false);
    app.add_flag("--as-lanes", o.asLanes);
    app.add_flag("--strict", o.strict);
    std::string formatName;
    CLI::Option* formatOption = app.add_option("--format", formatName)->allow_extra_args(false);
    std::string standard, minHeight;
    CLI::Option* standardOption = app.add_option("--size-standard", standard)->allow_extra_args(false);
    CLI::Option* heightOption = app.add_option("--min-height", minHeight)->allow_extra_args(false);
    std::string saturation, lowSignal;
    CLI::Option* saturationOption = app.add_option("--saturation", saturation)->allow_extra_args(false);
    CLI::Option* lowSignalOption = app.add_option("--low-signal", lowSignal)->allow_extra_args(false);
    app.add_flag("--walk-every-locus", o.walkEveryLocus);
    const char* const instabilityNames[] = {"index-size", "peak-threshold", "repeat-unit", "controls"};
    std::vector<std::string> instabilityTexts(std::size(instabilityNames));
    std::vector<CLI::Option*> instabilityGiven;
    for (size_t i = 0; i < std::size(instabilityNames); ++i)
        instabilityGiven.push_back(
            app.add_option("--" + std::string(instabilityNames[i]), instabilityTexts[i])->allow_extra_args(false));
    std::vector<std::string> groups;
    app.add_option("--group", groups)->allow_extra_args(false);
    app.add_flag("--help", o.help);
    app.add_option("FILE", o.files);
    if (std::optional<std::string> error = parseWords(app, args)) return *error;
    for (size_t i = 0; i < fields.size(); ++i)
        if (fieldOptions[i]->count() > 0) o.fields[fields[i].number.name] = fieldTexts[i];
    if (standardOption->count() > 0) {
        if (const StandardChoice choice = chooseStandard(standard, builtInStandards()); !choice.standard)
            return "--size-standard: " + choice.problem;
        o.sizeStandard = standard;
    }
    if (heightOption->count() > 0) {
        o.minHeight = minHeightOption(minHeight);
        if (!o.minHeight) return "--min-height must be a positive number of RFU, not '" + minHeight + "'";
    }
    for (size_t i = 0; i < given.size(); ++i)
        if (given[i].first->count() > 0) *given[i].second = texts[i];
    if (dyeOption->count() > 0) o.dye = dye;
    if (o.accumulator)
        if (std::string problem = accumulatorProblem(*o.accumulator); !problem.empty()) return problem;
    if (markerOption->count() > 0) o.marker = marker;
    if (formatOption->count() > 0) {
        if (formatName != "blocks" && formatName != "tidy")
            return "--format must be blocks or tidy, not '" + formatName + "'";
        o.tidy = formatName == "tidy";
    }
    for (const auto& [option, text, level] : {std::tuple{saturationOption, &saturation, &o.saturation},
                                              std::tuple{lowSignalOption, &lowSignal, &o.lowSignal}}) {
        if (option->count() == 0) continue;
        *level = rfuLevel(*text);
        if (!*level) return option->get_name() + " must be a number of RFU, 0 or more, not '" + *text + "'";
    }
    if (locusOption->count() > 0) {
        o.locusCell = locusColumnNamed(locus, o.walkEveryLocus);
        if (!o.locusCell && locusColumnNamed(locus, true))
            return "--locus " + locus + " needs " + kWalkEveryLocusOption;
        if (!o.locusCell && o.walkEveryLocus)
            return "--locus must be mono, di, tri, penta, tetra or hexa, not '" + locus + "'";
        if (!o.locusCell) return "--locus must be mono, di, tri or penta, not '" + locus + "'";
    }
    for (size_t i = 0; i < std::size(instabilityNames); ++i)
        if (instabilityGiven[i]->count() > 0)
            if (std::optional<std::string> why = setInstabilityOption(o.instability, instabilityNames[i], instabilityTexts[i]))
                return "--" + *why;
    for (const std::string& group : groups)
        if (std::optional<std::string> why = setInstabilityOption(o.instability, "group", group)) return "--" + *why;
    if (!shows.empty() || app.count("--show") > 0) {
        o.show = 0;
        for (const std::string& item : shows) {
            const auto* block = std::find_if(std::begin(kBlocks), std::end(kBlocks),
                                             [&](const BlockName& b) { return item == b.name; });
            if (block == std::end(kBlocks)) return "unknown block '" + item + "' for --show";
            o.show |= block->block;
        }
    }
    if (!o.help && o.files.empty()) return std::string("no FILE given");
    return o;
}

int runBatchScore(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    auto parsed = parseBatchOptions(args);
    if (const auto* error = std::get_if<std::string>(&parsed)) {
        err << "lociview-cli score: " << *error << "\n"
            << kScoreUsage << "Try 'lociview-cli score --help' for more information.\n";
        return 2;
    }
    const BatchOptions& options = std::get<BatchOptions>(parsed);
    if (options.help) {
        out << scoreHelp();
        return 0;
    }
    auto batch = std::make_unique<Batch>(options, out, err);
    const int status = batch->run();
    out.flush();
    // A run log open is closed properly; anything else the process's end takes.
    if (leaveAtExit && !options.accumulator) {
        batch->flushMessages();
        (void)batch.release();
    }
    return status;
}

void leaveBatchDataAtExit() {
#if !defined(__SANITIZE_ADDRESS__) && !defined(__SANITIZE_THREAD__)
    leaveAtExit = true;
#endif
}

}  // namespace lociview::headless
