#include "headless/SessionScript.h"

#include <algorithm>
#include <array>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <limits>
#include <sstream>
#include <utility>
#include <vector>

#include "base/DevLog.h"
#include "base/LineText.h"
#include "export/InstabilityTables.h"
#include "scoring/Locus.h"
#include "scoring/ScoringLog.h"
#include "chart/ChartGeometry.h"
#include "stats/StatsText.h"

namespace lociview::headless {

namespace {

std::string quoted(std::string_view what, std::string_view text) {
    return std::string(what) + " '" + std::string(text) + "'";
}

// Splits at every blank; a double blank gives an empty token.
std::vector<std::string_view> tokens(std::string_view text) {
    std::vector<std::string_view> out;
    size_t start = 0;
    for (;;) {
        const size_t blank = text.find(' ', start);
        out.push_back(text.substr(start, blank == std::string_view::npos ? std::string_view::npos : blank - start));
        if (blank == std::string_view::npos) return out;
        start = blank + 1;
    }
}

// A row number: ASCII digits only. Too large for any row saturates, so it
// stays a number that is simply not a row.
std::optional<long long> rowNumber(std::string_view token) {
    if (token.empty()) return std::nullopt;
    long long value = 0;
    constexpr long long cap = std::numeric_limits<long long>::max() / 10 - 9;
    for (char c : token) {
        if (c < '0' || c > '9') return std::nullopt;
        if (value < cap) value = value * 10 + (c - '0');
    }
    return value;
}

template <typename T, typename F>
std::vector<std::string> entries(const std::vector<T>& items, F&& show) {
    std::vector<std::string> out;
    out.reserve(items.size());
    for (const auto& item : items) out.push_back(show(item));
    return out;
}

std::vector<std::string> intEntries(const std::vector<int32_t>& items) {
    return entries(items, [](int32_t v) { return format("%d", v); });
}

}  // namespace

// Every action a script may send, as a menu item or button would.
const std::array<ActionEntry, 16>& scriptActions() {
    static constexpr std::array<ActionEntry, 16> actions = {{
        {"openData:", &GeneController::openData},
        {"printMyWindow:", &GeneController::printMyWindow},
        {"scoreData:", &GeneController::scoreData},
        {"toggleTable:", &GeneController::toggleTable},
        {"toggleMaybes:", &GeneController::toggleMaybes},
        {"graphSelections:", &GeneController::graphSelections},
        {"cleanUpWindow:", &GeneController::cleanUpWindow},
        {"cleanUpLessThan:", &GeneController::cleanUpLessThan},
        {"cleanUpGreaterThan:", &GeneController::cleanUpGreaterThan},
        {"cleanUpLaneAndOrAllele:", &GeneController::cleanUpLaneAndOrAllele},
        {"preAddToAccumulator:", &GeneController::preAddToAccumulator},
        {"addToAccumulator:", &GeneController::addToAccumulator},
        {"resetAccumulator:", &GeneController::resetAccumulator},
        {"exportSPPCRData:", &GeneController::exportSPPCRData},
        {"exportSPPCR2:", &GeneController::exportSPPCR2},
        {"exportAccumulatedSPPCRData:", &GeneController::exportAccumulatedSPPCRData},
    }};
    return actions;
}

std::string scoreName(int32_t code) { return stringScore(code); }

std::string formatCell(const CellValue& cell) {
    if (const auto* i = std::get_if<int32_t>(&cell)) return format("%d", *i);
    if (const auto* d = std::get_if<double>(&cell)) return format("%.6f", *d);
    return std::get<std::string>(cell);
}

Session::Session(std::ostream& out) : HeadlessProgram(out) {}

namespace {

struct CommandEntry {
    std::string_view name;
    Session::Command command;
    bool needsArgument;  // "missing argument" without one
};

struct ViewEntry {
    std::string_view name;
    Session::View view;
};

}  // namespace

std::optional<std::string> Session::play(std::string_view line) {
    static const CommandEntry kCommands[] = {
        {"open", &Session::open, false},     {"set", &Session::set, true},
        {"locus", &Session::locus, true},    {"state", &Session::state, true},
        {"answer", &Session::answer, true},  {"select", &Session::select, false},
        {"do", &Session::doAction, true},    {"show", &Session::showView, true},
        {"open-lanes", &Session::openLanes, true}, {"dye", &Session::dye, true},
        {"snapshot", &Session::snapshot, true}, {"restore", &Session::restore, true},
        {"marker", &Session::marker, true},
        {"size-standard", &Session::sizeStandard, true}, {"min-height", &Session::minHeight, true},
        {"walk-every-locus", &Session::walkEveryLocus, true}, {"instability", &Session::instability, true},
    };
    if (line.empty() || line.front() == '#') return std::nullopt;
    const size_t blank = line.find(' ');
    const std::string_view command = line.substr(0, blank);
    const std::string_view rest = blank != std::string_view::npos ? line.substr(blank + 1) : std::string_view();
    for (const CommandEntry& c : kCommands) {
        if (c.name != command) continue;
        if (c.needsArgument && rest.empty()) return "missing argument to " + std::string(command);
        return (this->*c.command)(rest);
    }
    return quoted("unknown command", command);
}

std::optional<std::string> Session::open(std::string_view path) {
    // The dialog answers the path when it appears; without one it is cancelled.
    tk.dialogs.setOpenAnswer(path.empty() ? std::nullopt : std::optional<std::string>(path));
    controller.openData();
    tk.dialogs.setOpenAnswer(std::nullopt);
    return std::nullopt;
}

std::optional<std::string> Session::openLanes(std::string_view rest) {
    std::vector<std::string> paths;
    for (auto token : tokens(rest)) {
        if (token.empty()) return std::string("empty path in open-lanes (a double blank)");
        paths.emplace_back(token);
    }
    // One path is answered as "open" answers it.
    if (paths.size() == 1) tk.dialogs.setOpenAnswer(paths.front());
    else tk.dialogs.setOpenAnswers(paths);
    controller.openData();
    tk.dialogs.setOpenAnswer(std::nullopt);
    tk.dialogs.setOpenAnswers({});
    return std::nullopt;
}

std::optional<std::string> Session::dye(std::string_view answer) {
    tk.dialogs.answerImportReview(answer == "cancel" ? std::nullopt : std::optional<std::string>(answer));
    return std::nullopt;
}

std::optional<std::string> Session::marker(std::string_view name) {
    tk.dialogs.answerMarker(std::string(name));
    return std::nullopt;
}

std::optional<std::string> Session::set(std::string_view rest) {
    const size_t sep = rest.find(' ');
    const std::string_view name = rest.substr(0, sep);
    const std::string_view text = sep == std::string_view::npos ? std::string_view() : rest.substr(sep + 1);
    for (auto& [fieldName, field] : tk.fieldsByName()) {
        if (fieldName == name) {
            field->setText(std::string(text));
            return std::nullopt;
        }
    }
    return quoted("unknown field", name);
}

std::optional<std::string> Session::locus(std::string_view cell) {
    if (cell == "none") {
        tk.locusmatrix.select(-1);
        return std::nullopt;
    }
    const std::optional<int> column = locusColumnNamed(cell, controller.walkEveryLocus());
    if (!column) return quoted("unknown locus cell", cell);
    tk.locusmatrix.select(*column);
    return std::nullopt;
}

std::optional<std::string> Session::walkEveryLocus(std::string_view value) {
    if (value != "on" && value != "off") return quoted("walk-every-locus must be on or off, not", value);
    controller.setWalkEveryLocus(value == "on");
    // Tetra and hexa leave the choice with the switch: di is chosen instead.
    if (value == "off" && tk.locusmatrix.selected() >= kLocusColumns) tk.locusmatrix.select(1);
    return std::nullopt;
}

std::optional<std::string> Session::instability(std::string_view rest) {
    const size_t sep = rest.find(' ');
    if (sep == std::string_view::npos) return "missing value to instability " + std::string(rest);
    return setInstabilityOption(instabilityOptions, rest.substr(0, sep), rest.substr(sep + 1));
}

std::optional<std::string> Session::state(std::string_view rest) {
    const size_t sep = rest.find(' ');
    const std::string_view name = rest.substr(0, sep);
    Switch* control = name == "Maybes" ? &tk.Maybes : name == "toggleTable" ? &tk.toggleTable : nullptr;
    if (!control) return quoted("unknown control", name);
    if (sep == std::string_view::npos) return "missing argument to state " + std::string(name);
    const std::string_view value = rest.substr(sep + 1);
    if (value != "on" && value != "off") return quoted("state must be on or off, not", value);
    control->setState(value == "on" ? 1 : 0);
    return std::nullopt;
}

std::optional<std::string> Session::answer(std::string_view rest) {
    std::vector<bool> answers;
    for (auto token : tokens(rest)) {
        if (token != "default" && token != "alternate")
            return quoted("answer must be default or alternate, not", token);
        answers.push_back(token == "alternate");
    }
    for (bool alternate : answers) tk.dialogs.queueAnswer(alternate);
    return std::nullopt;
}

std::optional<std::string> Session::select(std::string_view rest) {
    std::vector<long long> rows;
    if (!rest.empty()) {
        for (auto token : tokens(rest)) {
            const auto row = rowNumber(token);
            if (!row) return quoted("bad row number", token);
            rows.push_back(*row);
        }
    }
    tk.tabl.select(rows);
    return std::nullopt;
}

std::optional<std::string> Session::doAction(std::string_view name) {
    for (const auto& entry : scriptActions()) {
        if (entry.name != name) continue;
        // Sent directly the open action finds no chosen path: its dialog is cancelled.
        if (entry.action == &GeneController::openData) tk.dialogs.setOpenAnswer(std::nullopt);
        (controller.*entry.action)();
        return std::nullopt;
    }
    return quoted("unknown action", name);
}

// Undo as the desktop does it: the state a clean-up changes, kept under a
// name and put back later.
std::optional<std::string> Session::snapshot(std::string_view name) {
    snapshots.insert_or_assign(std::string(name), controller.cleanUpSnapshot());
    return std::nullopt;
}

std::optional<std::string> Session::restore(std::string_view name) {
    const auto found = snapshots.find(name);
    if (found == snapshots.end()) return quoted("no snapshot", name);
    if (controller.restoreCleanUp(found->second) != Outcome::Done)
        tk.trace.emit("restore", "refused: taken before the last opening or scoring run");
    return std::nullopt;
}

std::optional<std::string> Session::showView(std::string_view what) {
    if (!show(what)) return quoted("unknown view", what);
    return std::nullopt;
}

bool Session::show(std::string_view what) {
    static const ViewEntry kViews[] = {
        {"title", &Session::showTitle},   {"fields", &Session::showFields}, {"counters", &Session::showCounters},
        {"log", &Session::showLog},       {"sppcr", &Session::showSppcr},   {"results", &Session::showResults},
        {"table", &Session::showTable},   {"store", &Session::showStore},   {"lanes", &Session::showLanes},
        {"data", &Session::showData},     {"state", &Session::showState},   {"accum", &Session::showAccum},
        {"windows", &Session::showWindows}, {"chart", &Session::showChart},
        {"stats", &Session::showStats},     {"spectrum", &Session::showSpectrum},
        {"accumstats", &Session::showAccumStats}, {"accumspectrum", &Session::showAccumSpectrum},
        {"import", &Session::showImport},   {"samples", &Session::showSamples},
        {"cleanup", &Session::showCleanUp}, {"provenance", &Session::showProvenance},
        {"runs", &Session::showRuns},       {"sizing", &Session::showSizing},
        {"instability", &Session::showInstability}, {"instability-groups", &Session::showInstabilityGroups},
    };
    for (const ViewEntry& v : kViews) {
        if (v.name != what) continue;
        (this->*v.view)();
        return true;
    }
    return false;
}

void Session::showTitle() { tk.trace.emit("title", tk.window.title()); }

void Session::showCounters() {
    tk.trace.emit("numemptylanes", tk.numemptylanes.text());
    tk.trace.emit("numones", tk.numones.text());
    tk.trace.emit("numtwos", tk.numtwos.text());
}

void Session::showLog() { emitLines("scoringlog", tk.datatext.text()); }

void Session::showSppcr() { tk.trace.emit("sppcr", escaped(tk.sppcrtext.text(), LineKind::TraceExport)); }

void Session::showResults() {
    const std::vector<AlleleRow>& rows = controller.result().alleles;
    tk.trace.emitList("tblallele", intEntries(alleleSizes(rows)));
    tk.trace.emitList("tblallelecount", intEntries(alleleCounts(rows)));
    tk.trace.emitList("tblweight", entries(alleleWeights(rows), [](double w) { return format("%.6f", w); }));
    tk.trace.emitList("tbllane", intEntries(controller.result().tbllane));
}

void Session::showLanes() { tk.trace.emitList("lanelist", intEntries(controller.lanes())); }

void Session::showData() {
    for (const Row& row : controller.rows()) {
        std::string text;
        for (size_t i = 0; i < row.size(); ++i) {
            if (i) text += '\t';
            text += row[i];
        }
        tk.trace.emit("row", text);
    }
}

void Session::showState() {
    tk.trace.emit("state", format("isWorkingOnFile %d alreadyScored %d shiftvalue %.6f locustype %d numalleles %d",
                                  controller.workingOnFile(), controller.scoredFlag(), controller.shiftValue(),
                                  controller.locusType(), controller.alleleCount()));
    tk.trace.emitList("allelesizelist", intEntries(controller.alleleSizes()));
}

void Session::showAccum() {
    const accumdb& acc = controller.accumulator();
    tk.trace.emit("accum", format("run %d p1 %d p2 %d records %zu", acc.currentRun(), acc.getP1(), acc.getP2(),
                                  acc.records().size()));
    tk.trace.emitList("allelesizes", intEntries(acc.getAlleleSizes()));
    for (const accumallele& r : acc.records())
        tk.trace.emit("record", format("%.6f %d %.6f %d", r.getSize(), r.getRun(), r.getGE(), r.getReps()));
}

void Session::showWindows() {
    const std::pair<const char*, const AuxWindow*> windows[] = {{"sppcrwindow", &tk.sppcrwindow},
                                                                 {"gewindow", &tk.gewindow},
                                                                 {"accwindow", &tk.accwindow},
                                                                 {"cleanupwindow", &tk.cleanupwindow}};
    for (const auto& [name, w] : windows) tk.trace.emit("window", std::string(name) + (w->isVisible() ? " shown" : " hidden"));
}

void Session::showFields() {
    for (auto& [name, field] : tk.fieldsByName()) tk.trace.emit("field", name + " " + field->text());
    tk.trace.emit("state", format("Maybes %d", tk.Maybes.state() != 0 ? 1 : 0));
    tk.trace.emit("state", format("toggleTable %d", tk.toggleTable.state() != 0 ? 1 : 0));
    // The same walk scoring makes: the last cell that is on.
    std::string_view cell = "none";
    const int columns = tk.locusmatrix.numberOfColumns();
    for (int c = 0; c < columns; ++c)
        if (tk.locusmatrix.cellState(0, c) != 0 && c < static_cast<int>(lociOffered(controller.walkEveryLocus()).size()))
            cell = kLoci[static_cast<size_t>(c)].name;
    tk.trace.emit("locus", cell);
}

void Session::showTable() {
    const std::vector<std::string> ids = tk.tabl.columnIdentifiers();
    tk.trace.emitList("columns", ids);
    const std::vector<std::string> titles = tk.tabl.columnTitles();
    std::string text;
    for (size_t i = 0; i < titles.size(); ++i) {
        if (i) text += '\t';
        text += titles[i];
    }
    tk.trace.emit("titles", text);
    const int32_t rows = controller.numberOfRowsInTableView();
    for (int32_t r = 0; r < rows; ++r) {
        std::string text;
        for (size_t i = 0; i < ids.size(); ++i) {
            if (i) text += '\t';
            text += formatCell(controller.tableView(ids[i], r));
        }
        tk.trace.emit("row", text);
    }
}

void Session::showStore() {
    const AlleleDB& db = controller.store();
    tk.trace.emit("store", format("working %zu backup %zu key %u", db.workingList().size(), db.backupList().size(),
                                  db.nextKey()));
    for (const auto& a : db.workingList())
        tk.trace.emit("allele", format("%d %.6f %d %d %d %s", a->getKey(), a->getSize(), a->getHeight(), a->getArea(),
                                       a->getLane(), scoreName(a->getScore()).c_str()));
}

void Session::showChart() {
    ChartModel& chart = tk.chart;
    // Drawing a frame first: its parity step may raise low, which the line shows.
    const ChartFrame frame = ChartGeometry::frame(chart);
    tk.trace.emit("chart", format("low %d high %d maybes %d locus %d peaks %zu", chart.getLow(), chart.getHigh(),
                                  chart.getMaybes(), chart.getLocusType(), chart.peaks().size()));
    for (const auto& p : chart.peaks())
        tk.trace.emit("peak", format("%d %.6f %d %s", p->getKey(), p->getSize(), p->getHeight(),
                                     scoreName(p->getScore()).c_str()));
    if (chart.peaks().empty()) return;
    for (const ChartLabel& label : frame.labels) tk.trace.emit("label", format("%s %.3f", label.text.c_str(), label.x));
    for (const ChartCurve& c : frame.curves)
        tk.trace.emit("curve", format("%d %.3f %d %.3f %.3f %s", c.key, c.x0, c.amplitude, c.width, c.spread,
                                      colourName(c.colour)));
    if (frame.axis) tk.trace.emit("axis", colourName(*frame.axis));
}

void Session::emitLines(std::string_view tag, std::string_view text) {
    forEachLine(text, [this, tag](std::string_view line) { tk.trace.emit(tag, line); });
}

void Session::showImport() {
    const ImportedDataSet& opened = controller.importedData();
    tk.trace.emit("layout", opened.tables.layoutName);
    tk.trace.emitList("files", opened.tables.files);
    tk.trace.emit("dye", opened.dye ? dyeName(opened.dye) : std::string());
    tk.trace.emitList("dyes", entries(opened.tables.dyes, [](const DyeCount& d) {
                          return format("%c:%lld", d.dye, static_cast<long long>(d.peaks));
                      }));
    tk.trace.emit("skipped", skippedSummary(opened.tables));
    if (!opened.tables.marker.empty()) tk.trace.emit("marker", opened.tables.marker);
    for (const std::string& note : opened.tables.notes) tk.trace.emit("note", note);
}

void Session::showSamples() {
    const ImportedDataSet& opened = controller.importedData();
    const std::string text = sampleTableText(opened.tables.samples, opened.tables.files);
    // The lines after the title line.
    bool title = true;
    forEachLine(text, [&](std::string_view line) {
        if (!std::exchange(title, false)) tk.trace.emit("sample", line);
    });
}

void Session::showStats() {
    const std::optional<RunStatistics> stats = controller.runStatistics();
    if (!stats) {
        tk.trace.emit("stats", "no scored run");
        return;
    }
    emitLines("stats", statsText(statRows(*stats)));
}

void Session::showSpectrum() {
    const std::optional<RunStatistics> stats = controller.runStatistics();
    if (!stats) {
        tk.trace.emit("spectrum", "no scored run");
        return;
    }
    emitLines("spectrum", spectrumText(stats->spectrum));
}

// The indices as the score blocks print them; a problem in one line.
void Session::showInstability() {
    const std::optional<InstabilityBlocks> blocks = instabilityBlocks(controller, instabilityOptions);
    if (!blocks) tk.trace.emit("instability", "no scored run");
    else if (blocks->lanes.empty()) tk.trace.emit("instability", blocks->problem);
    else emitLines("instability", instabilityText(blocks->lanes));
}

void Session::showInstabilityGroups() {
    const std::optional<InstabilityBlocks> blocks = instabilityBlocks(controller, instabilityOptions);
    if (!blocks) tk.trace.emit("instability-groups", "no scored run");
    else if (!blocks->problem.empty()) tk.trace.emit("instability-groups", blocks->problem);
    else emitLines("instability-groups", instabilityGroupsText(blocks->groups));
}

void Session::showAccumStats() { emitLines("accumstats", statsText(statRows(controller.accumulatedStatistics()))); }

void Session::showAccumSpectrum() {
    emitLines("accumspectrum", spectrumText(controller.accumulatedStatistics().spectrum));
}

void Session::showCleanUp() { tk.trace.emit("cleanup", controller.cleanUpSummary()); }

void Session::showProvenance() {
    const auto& source = controller.provenance();
    tk.trace.emit("provenance", source ? provenanceText(*source) : std::string("none"));
}

void Session::showRuns() {
    for (const LoggedRun& r : controller.accumulatedRunList())
        tk.trace.emit("run", format("%d %s %.2f %d %d %d %d %s", r.run, r.record.fileName.c_str(), r.record.ge,
                                    r.record.lanes, r.record.emptyLanes, r.record.oneLanes,
                                    r.record.twoOrMoreLanes, r.addedAt.c_str()));
}

int playScript(Session& session, std::string_view text, const std::string& scriptName, std::ostream& err) {
    long lineNumber = 0;
    std::optional<std::string> error;
    forEachLine(text, [&](std::string_view line) {
        if (error) return;
        // CR LF line ends: the CR before the LF is not part of the line.
        const bool ended = line.data() + line.size() < text.data() + text.size();
        if (ended && !line.empty() && line.back() == '\r') line.remove_suffix(1);
        ++lineNumber;
        error = session.play(line);
    });
    if (error) {
        session.finish();
        err << scriptName << ':' << lineNumber << ": " << *error << '\n';
        return kScriptError;
    }
    session.finish();
    return kSessionOk;
}

int runSession(std::istream& script, const std::string& scriptName, std::ostream& out, std::ostream& err) {
    // The whole script is read first, so an unreadable one starts nothing.
    const std::string text((std::istreambuf_iterator<char>(script)), std::istreambuf_iterator<char>());
    if (script.bad()) {
        err << scriptName << ":0: cannot read the script\n";
        return kScriptError;
    }
    Session session(out);
    const int status = playScript(session, text, scriptName, err);
    out.flush();
    return status;
}

int runSessionFile(const std::string& path, std::ostream& out, std::ostream& err) {
    if (path == "-") return runSession(std::cin, path, out, err);
    std::error_code ec;
    std::ifstream file;
    if (!std::filesystem::is_directory(path, ec)) file.open(path, std::ios::binary);
    if (!file.is_open()) {
        err << path << ":0: cannot open the script\n";
        return kScriptError;
    }
    return runSession(file, path, out, err);
}

}  // namespace lociview::headless
