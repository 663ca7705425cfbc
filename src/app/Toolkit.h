#pragma once
// The small interfaces through which GeneController reaches windows,
// controls, dialogs, the chart and the output channels. The Qt layer and the
// headless layer each implement them; the controller knows nothing else.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "app/Alerts.h"
#include "base/DevLog.h"
#include "base/OutputSink.h"
#include "chart/Chart.h"
#include "input/PeakImport.h"
#include "input/TraceImport.h"

namespace lociview {

class TextField {
public:
    virtual ~TextField() = default;
    virtual std::string text() const = 0;
    virtual void setText(const std::string& text) = 0;
};

// A check box or a two-state button: state 0 is off, anything else on.
class StateControl {
public:
    virtual ~StateControl() = default;
    virtual int state() const = 0;
    virtual void setState(int state) = 0;
};

// The locus matrix: one row of radio cells.
class RadioMatrix {
public:
    virtual ~RadioMatrix() = default;
    virtual int numberOfColumns() const = 0;
    virtual int cellState(int row, int column) const = 0;
    virtual void selectCell(int column) = 0;  // the one cell on
};

// The scoring log view.
class TextView {
public:
    virtual ~TextView() = default;
    virtual std::string text() const = 0;
    virtual void setText(const std::string& text) = 0;
    virtual void insertText(const std::string& text) = 0;  // at the insertion point
    virtual void redraw() = 0;                              // redraw the enclosing view now
};

class ProgressIndicator {
public:
    virtual ~ProgressIndicator() = default;
    // Determinate, animated on its own, visible while stopped.
    virtual void configure() = 0;
    virtual void setMinValue(double value) = 0;
    virtual void setMaxValue(double value) = 0;
    virtual void setDoubleValue(double value) = 0;
    virtual void incrementBy(double delta) = 0;
    virtual void displayNow() = 0;  // repaint at once, inside a run that holds the thread

    // An indicator with a Cancel the user can press while a run holds the
    // thread (taken in displayNow): the run then stops and gives back the
    // state of before. Asked once a lane.
    virtual bool cancellable() const { return false; }
    virtual bool cancelRequested() const { return false; }
};

enum class ColumnResizing { Uniform, None };

// The results table view. Its data source is the controller.
class TableView {
public:
    virtual ~TableView() = default;
    virtual std::vector<std::string> columnIdentifiers() const = 0;
    virtual std::vector<std::string> columnTitles() const = 0;
    virtual void removeFirstColumn() = 0;
    virtual void addColumn(const std::string& identifier, const std::string& title) = 0;
    virtual void setColumnResizing(ColumnResizing style) = 0;
    virtual void reloadData() = 0;  // also clears the selection
    virtual std::vector<int> selectedRows() const = 0;  // ascending
};

// An auxiliary window (export, GE, accumulate, clean-up).
class Window {
public:
    virtual ~Window() = default;
    virtual void showCentered() = 0;  // bring to front as key window, centred
    virtual void hide() = 0;
    virtual bool isVisible() const = 0;
};

class MainWindow {
public:
    virtual ~MainWindow() = default;
    virtual std::string title() const = 0;
    virtual void setTitle(const std::string& title) = 0;
    virtual void print() = 0;  // the platform's print operation with its dialog
};

// What the import review answers: the dye to score (a letter or colour)
// and, for a table with a Marker column, the marker; empty for the default.
struct ImportAnswer {
    std::string dye;
    std::string marker;
};

// How trace files (.fsa, .hid) are sized: the least peak height in RFU,
// the size standard as the user names it (a standard's name, or its sizes
// "35,50,75,..."; empty for the one the file names when it fits, else the
// one that fits best), and the user's own standards beside the built-in
// ones.
struct TraceChoice {
    double minHeight = 50.0;
    std::string standard;
    std::vector<SizeStandard> own;
    bool operator==(const TraceChoice&) const = default;
};

// What the trace review shows: the choice the files were sized with, each
// file as sized, and the data set they give (refused, with its message,
// when the choice cannot be used or no peak could be sized); standards
// names those the user may choose by name.
struct TraceReview {
    TraceChoice choice;
    std::vector<TraceReviewRow> files;
    PeakImport tables;
    std::vector<std::string> standards;
};

// Sizes the same files again with another choice, for the review to show.
using TraceResize = std::function<TraceReview(const TraceChoice&)>;

// Modal alerts and the modal open-file dialog.
class Dialogs {
public:
    virtual ~Dialogs() = default;
    // 1 for the default button, 0 for the alternate one.
    virtual int runAlert(const AlertRequest& alert) = 0;
    // An alert whose answer came with the action (lociview-cli's options):
    // told as answered, not asked. alternate: the alternate button was given.
    virtual void tellAnswered(const AlertRequest& /*alert*/, bool /*alternate*/) {}
    // The chosen path, or nothing when cancelled.
    virtual std::optional<std::string> runOpenPanel() = 0;

    // Sizing tables, genotype tables and per-sample files: opening several files at once, and
    // reviewing what was read before it replaces the open data set.

    // The chosen paths, several becoming the lanes of one data set; none
    // when cancelled. A toolkit without a many-file dialog answers with its
    // one-file dialog.
    virtual std::vector<std::string> runOpenPanelForFiles() {
        std::optional<std::string> path = runOpenPanel();
        if (!path) return {};
        return {std::move(*path)};
    }
    // Shows the layout read, the dyes with their rows, the markers of a
    // Marker column with their rows by dye, the samples as lanes and what
    // was skipped, with suggestedDye (the default) chosen. Answers the dye
    // and marker to score, or nothing when the user cancels and keeps the
    // open data set.
    virtual std::optional<ImportAnswer> runImportReview(const PeakImport& /*tables*/, char /*suggestedDye*/) {
        return ImportAnswer{};
    }
    // Trace files: the review of the sized files, where the choice can be
    // changed and the files sized again (resize) before the data set
    // replaces the open one. Answers as runImportReview does; the data set
    // taken is the one the last sizing gave. A toolkit without it shows the
    // import review of the first sizing.
    virtual std::optional<ImportAnswer> runTraceReview(const TraceReview& review, const TraceResize& /*resize*/) {
        return runImportReview(review.tables, defaultDye(review.tables));
    }
};

// Everything a toolkit connects to the controller, by the controller's
// own field names. References stay valid for the controller's life.
struct Outlets {
    Window& sppcrwindow;
    TextField& sppcrtext;
    Window& gewindow;
    TextField& geforun;
    Window& accwindow;
    TextField& accumgeforun;
    Window& cleanupwindow;
    TextField& cuwlessthanfield;
    TextField& cuwgreaterthanfield;
    TextField& cuwlanefield;
    TextField& cuwallelefield;

    Chart& chart;
    TableView& tabl;
    TextView& datatext;
    ProgressIndicator& progressbar;
    TextField& numemptylanes;
    TextField& numones;
    TextField& numtwos;

    TextField& progenitor1;
    TextField& progenitor2;
    TextField& highrange;
    TextField& lowrange;
    TextField& shift;
    TextField& stuttertol;
    RadioMatrix& locusmatrix;
    StateControl& Maybes;
    StateControl& toggleTable;

    MainWindow& window;
    Dialogs& dialogs;
    LogSink& devlog;
    OutputSink& standardOutput;
};

}  // namespace lociview
