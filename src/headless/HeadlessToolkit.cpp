#include "headless/HeadlessToolkit.h"

#include <utility>

#include "app/ScoringFields.h"
#include "base/DevLog.h"
#include "base/LineText.h"
#include "results/ResultsTable.h"

namespace lociview::headless {

void Trace::emit(std::string_view tag, std::string_view text) {
    out << tag << ": " << text << '\n';
}

void Trace::emitList(std::string_view name, const std::vector<std::string>& entries) {
    out << name << ':';
    for (const auto& e : entries) out << ' ' << e;
    out << '\n';
}

int Matrix::cellState(int row, int column) const { return row == 0 && column == on ? 1 : 0; }

void Progress::displayNow() {
    if (trace.enabled()) trace.emit("progress", format("%.0f/%.0f", current, maximum));
}

Table::Table(Trace& t) : trace(t) {
    for (const TableColumn& c : byAlleleColumns()) columns.emplace_back(c.identifier, c.title);
}

std::vector<std::string> Table::columnIdentifiers() const {
    std::vector<std::string> ids;
    for (const auto& c : columns) ids.push_back(c.first);
    return ids;
}

std::vector<std::string> Table::columnTitles() const {
    std::vector<std::string> titles;
    for (const auto& c : columns) titles.push_back(c.second);
    return titles;
}

void Table::removeFirstColumn() {
    if (!columns.empty()) columns.erase(columns.begin());
}

void Table::addColumn(const std::string& identifier, const std::string& title) {
    columns.emplace_back(identifier, title);
}

void Table::reloadData() {
    selection.clear();
    trace.emit("reload", "tabl");
}

void Table::select(const std::vector<long long>& rows) {
    selection.clear();
    const long long count = rowCount ? rowCount() : 0;
    for (long long r : rows)
        if (r >= 0 && r < count) selection.insert(static_cast<int>(r));
}

void AuxWindow::showCentered() {
    visible = true;
    trace.emit("window", name + " shown");
}

void AuxWindow::hide() {
    visible = false;
    trace.emit("window", name + " hidden");
}

int ScriptedDialogs::runAlert(const AlertRequest& alert) {
    bool alternate = false;
    if (!answers.empty()) {
        alternate = answers.front();
        answers.pop_front();
    }
    return press(alert, alternate);
}

int ScriptedDialogs::press(const AlertRequest& alert, bool alternate) {
    shown.push_back(alert);
    // A one-button alert presses its only button whatever the answer.
    const bool pressAlternate = alternate && alert.alternateButton.has_value();
    std::string text = alert.message + " [" + alert.defaultButton + "]";
    if (alert.alternateButton) text += " [" + *alert.alternateButton + "]";
    const std::string& pressed = pressAlternate ? *alert.alternateButton : alert.defaultButton;
    text += " -> " + pressed;
    trace.emit("alert", text);
    if (onAlert) onAlert(alert, pressed);
    return pressAlternate ? 0 : 1;
}

std::optional<std::string> ScriptedDialogs::runOpenPanel() {
    trace.emit("open-panel", openAnswer ? *openAnswer : std::string("cancelled"));
    return openAnswer;
}

std::vector<std::string> ScriptedDialogs::runOpenPanelForFiles() {
    if (openAnswers.empty()) {
        std::optional<std::string> path = runOpenPanel();
        return path ? std::vector<std::string>{std::move(*path)} : std::vector<std::string>{};
    }
    std::string text;
    for (const std::string& path : openAnswers) text += (text.empty() ? "" : " ") + path;
    trace.emit("open-panel", text);
    return openAnswers;
}

std::optional<ImportAnswer> ScriptedDialogs::runImportReview(const PeakImport& tables, char suggestedDye) {
    std::string dyes;
    for (const DyeCount& d : tables.dyes)
        dyes += format("%s%c %lld", dyes.empty() ? "" : ", ", d.dye, static_cast<long long>(d.peaks));
    const std::optional<std::string> answer = std::exchange(reviewAnswer, std::string());
    const std::string marker = std::exchange(markerAnswer, std::string());
    const std::string pressed = !answer ? "cancelled" : answer->empty() ? std::string(1, suggestedDye) : *answer;
    trace.emit("import", format("%s; %zu samples; dyes %s; default %c -> %s", tables.layoutName.c_str(),
                                tables.samples.size(), dyes.c_str(), suggestedDye, pressed.c_str()));
    // A Marker column's markers, each with its rows by dye.
    if (!tables.markers.empty()) {
        std::string markers;
        for (const MarkerCount& m : tables.markers) {
            markers += (markers.empty() ? "" : "; ") + (m.name.empty() ? std::string("(none)") : m.name);
            for (const DyeCount& d : m.dyes) markers += format(" %c %lld", d.dye, static_cast<long long>(d.peaks));
        }
        const char dye = answer && !answer->empty() ? dyeLetter(*answer) : suggestedDye;
        trace.emit("markers", format("%s; default %s -> %s", markers.c_str(), defaultMarker(tables, dye).c_str(),
                                     !answer ? "cancelled" : marker.empty() ? defaultMarker(tables, dye).c_str()
                                                                            : marker.c_str()));
    }
    if (!answer) return std::nullopt;
    return ImportAnswer{*answer, marker};
}

void TraceLog::line(std::string_view text) {
    if (trace) trace->emit("log", escaped(text, LineKind::Trace));
}

void LineOutput::write(std::string_view text) {
    pending.append(text);
    // The lines ended so far; the unterminated tail waits for its end.
    const size_t ended = pending.rfind('\n') + 1;
    forEachLine(std::string_view(pending).substr(0, ended), [this](std::string_view line) { trace.emit("stdout", line); });
    pending.erase(0, ended);
}

void LineOutput::flush() {
    if (!pending.empty()) trace.emit("stdout", pending);
    pending.clear();
}

HeadlessToolkit::HeadlessToolkit(std::ostream& traceOut, bool logTrace)
    : trace(traceOut), devlog(logTrace ? &trace : nullptr), logSink(devlog), standardOutput(trace), chart(logSink),
      tabl(trace), progressbar(trace), sppcrwindow(trace, "sppcrwindow"), gewindow(trace, "gewindow"),
      accwindow(trace, "accwindow"), cleanupwindow(trace, "cleanupwindow"), window(trace), dialogs(trace) {}

HeadlessToolkit::HeadlessToolkit(std::ostream& traceOut, LogSink& log)
    : trace(traceOut), devlog(nullptr), logSink(log), standardOutput(trace), chart(logSink), tabl(trace),
      progressbar(trace), sppcrwindow(trace, "sppcrwindow"), gewindow(trace, "gewindow"),
      accwindow(trace, "accwindow"), cleanupwindow(trace, "cleanupwindow"), window(trace), dialogs(trace) {}

Outlets HeadlessToolkit::outlets() {
    return Outlets{sppcrwindow, sppcrtext, gewindow, geforun, accwindow, accumgeforun, cleanupwindow,
                   cuwlessthanfield, cuwgreaterthanfield, cuwlanefield, cuwallelefield, chart, tabl, datatext,
                   progressbar, numemptylanes, numones, numtwos, progenitor1, progenitor2, highrange, lowrange,
                   shift, stuttertol, locusmatrix, Maybes, toggleTable, window, dialogs, logSink, standardOutput};
}

std::vector<std::pair<std::string, Field*>> HeadlessToolkit::fieldsByName() {
    std::vector<std::pair<std::string, Field*>> fields;
    const Outlets all = outlets();
    // Every scoring field here is a Field.
    for (const ScoringField& f : scoringFields())
        fields.emplace_back(f.number.name, static_cast<Field*>(&f.outlet(all)));
    fields.insert(fields.end(), {{"geforun", &geforun},
                                 {"accumgeforun", &accumgeforun},
                                 {"cuwlessthanfield", &cuwlessthanfield},
                                 {"cuwgreaterthanfield", &cuwgreaterthanfield},
                                 {"cuwlanefield", &cuwlanefield},
                                 {"cuwallelefield", &cuwallelefield}});
    return fields;
}

}  // namespace lociview::headless
