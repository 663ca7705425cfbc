#pragma once
// Windows and controls without a display: each keeps its state and reports
// what a user would see as trace lines ("tag: text"). Used by lociview-cli
// and by the tests.
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <ostream>
#include <set>
#include <string>
#include <vector>

#include "app/Toolkit.h"
#include "base/NullStream.h"
#include "scoring/Locus.h"
#include "chart/ChartModel.h"

namespace lociview::headless {

// Where trace lines go.
class Trace {
public:
    explicit Trace(std::ostream& out) : out(out), keeps(dynamic_cast<NullStream*>(&out) == nullptr) {}
    void emit(std::string_view tag, std::string_view text);
    // False when the trace goes to a NullStream.
    bool enabled() const { return keeps; }
    // "name:" followed by " entry" for each entry; an empty list is "name:".
    void emitList(std::string_view name, const std::vector<std::string>& entries);

private:
    std::ostream& out;
    bool keeps;
};

class Field final : public TextField {
public:
    std::string text() const override { return value; }
    void setText(const std::string& text) override { value = text; }

private:
    std::string value;
};

class Switch final : public StateControl {
public:
    int state() const override { return value; }
    void setState(int state) override { value = state; }

private:
    int value = 0;
};

class Matrix final : public RadioMatrix {
public:
    int numberOfColumns() const override { return static_cast<int>(kLoci.size()); }
    int cellState(int row, int column) const override;
    void select(int column) { on = column; }  // -1 turns every cell off
    void selectCell(int column) override { select(column); }
    int selected() const { return on; }

private:
    int on = 1;  // the di cell
};

class LogView final : public TextView {
public:
    std::string text() const override { return value; }
    void setText(const std::string& text) override { value = text; }
    void insertText(const std::string& text) override { value += text; }
    void redraw() override {}

private:
    std::string value;
};

class Progress final : public ProgressIndicator {
public:
    explicit Progress(Trace& trace) : trace(trace) {}
    void configure() override {}
    void setMinValue(double value) override { minimum = value; }
    void setMaxValue(double value) override { maximum = value; }
    void setDoubleValue(double value) override { current = value; }
    void incrementBy(double delta) override { current += delta; }
    void displayNow() override;
    double value() const { return current; }
    double maxValue() const { return maximum; }

    // A Cancel pressed once the indicator has reached a value (tests); none
    // by default, as no one sits at a headless run.
    std::optional<double> cancelAt;
    bool cancellable() const override { return cancelAt.has_value(); }
    bool cancelRequested() const override { return cancelAt && current >= *cancelAt; }

private:
    Trace& trace;
    double minimum = 0, maximum = 100, current = 0;
};

class Table final : public TableView {
public:
    explicit Table(Trace& trace);
    std::vector<std::string> columnIdentifiers() const override;
    std::vector<std::string> columnTitles() const override;
    void removeFirstColumn() override;
    void addColumn(const std::string& identifier, const std::string& title) override;
    void setColumnResizing(ColumnResizing style) override { resizing = style; }
    void reloadData() override;
    std::vector<int> selectedRows() const override { return {selection.begin(), selection.end()}; }

    // The row count comes from the data source (the controller).
    void setRowCount(std::function<int()> source) { rowCount = std::move(source); }
    void select(const std::vector<long long>& rows);  // rows that are not rows now are skipped
    ColumnResizing columnResizing() const { return resizing; }

private:
    Trace& trace;
    std::vector<std::pair<std::string, std::string>> columns;
    ColumnResizing resizing = ColumnResizing::Uniform;
    std::set<int> selection;
    std::function<int()> rowCount;
};

class AuxWindow final : public Window {
public:
    AuxWindow(Trace& trace, std::string name) : trace(trace), name(std::move(name)) {}
    void showCentered() override;
    void hide() override;
    bool isVisible() const override { return visible; }

private:
    Trace& trace;
    std::string name;
    bool visible = false;
};

class Main final : public MainWindow {
public:
    explicit Main(Trace& trace) : trace(trace) {}
    std::string title() const override { return value; }
    void setTitle(const std::string& title) override { value = title; }
    void print() override { trace.emit("print", "main window"); }

private:
    Trace& trace;
    std::string value;
};

// Alerts answered from a queue, the open-file dialog from a pending path.
class ScriptedDialogs final : public Dialogs {
public:
    explicit ScriptedDialogs(Trace& trace) : trace(trace) {}
    int runAlert(const AlertRequest& alert) override;
    void tellAnswered(const AlertRequest& alert, bool alternate) override { press(alert, alternate); }
    std::optional<std::string> runOpenPanel() override;

    void queueAnswer(bool alternate) { answers.push_back(alternate); }
    void clearAnswers() { answers.clear(); }
    void setOpenAnswer(std::optional<std::string> path) { openAnswer = std::move(path); }

    // Sizing tables, genotype tables and per-sample files. The open-file dialog answers the
    // paths given to setOpenAnswers, else as runOpenPanel does; the next
    // import review answers a dye (empty: the default) or, given nothing,
    // is cancelled.
    std::vector<std::string> runOpenPanelForFiles() override;
    std::optional<ImportAnswer> runImportReview(const PeakImport& tables, char suggestedDye) override;
    void setOpenAnswers(std::vector<std::string> paths) { openAnswers = std::move(paths); }
    void answerImportReview(std::optional<std::string> dye) { reviewAnswer = std::move(dye); }
    // The marker the next review answers (empty: the default).
    void answerMarker(std::string marker) { markerAnswer = std::move(marker); }
    std::vector<AlertRequest> shown;  // every alert, in order, for tests
    // Told of every alert as it is answered (pressed: the title pressed).
    std::function<void(const AlertRequest& alert, const std::string& pressed)> onAlert;

private:
    int press(const AlertRequest& alert, bool alternate);

    Trace& trace;
    std::deque<bool> answers;  // true = alternate
    std::optional<std::string> openAnswer;
    std::vector<std::string> openAnswers;
    std::optional<std::string> reviewAnswer = std::string();
    std::string markerAnswer;
};

class TraceLog final : public LogSink {
public:
    explicit TraceLog(Trace* trace) : trace(trace) {}
    bool enabled() const override { return trace != nullptr; }
    void line(std::string_view text) override;

private:
    Trace* trace;
};

// Standard output: completed lines become "stdout" trace lines.
class LineOutput final : public OutputSink {
public:
    explicit LineOutput(Trace& trace) : trace(trace) {}
    bool enabled() const override { return trace.enabled(); }
    void write(std::string_view text) override;
    void flush();  // prints an unterminated tail

private:
    Trace& trace;
    std::string pending;
};

// The whole headless layout, with the start-up control states.
class HeadlessToolkit {
public:
    // logTrace false: the developer log is discarded (nothing formatted).
    explicit HeadlessToolkit(std::ostream& traceOut, bool logTrace = true);
    // The developer log goes to log instead of the trace.
    HeadlessToolkit(std::ostream& traceOut, LogSink& log);
    Outlets outlets();

    Trace trace;
    TraceLog devlog;
    LogSink& logSink;  // devlog, or the sink given at construction
    LineOutput standardOutput;
    ChartModel chart;
    Table tabl;
    LogView datatext;
    Progress progressbar;
    Field sppcrtext, geforun, accumgeforun, cuwlessthanfield, cuwgreaterthanfield, cuwlanefield, cuwallelefield;
    Field numemptylanes, numones, numtwos;
    Field progenitor1, progenitor2, highrange, lowrange, shift, stuttertol;
    AuxWindow sppcrwindow, gewindow, accwindow, cleanupwindow;
    Matrix locusmatrix;
    Switch Maybes, toggleTable;
    Main window;
    ScriptedDialogs dialogs;

    // Fields by their script names, in the order the "fields" view lists them.
    std::vector<std::pair<std::string, Field*>> fieldsByName();
};

}  // namespace lociview::headless
