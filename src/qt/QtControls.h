#pragma once
// The controller's view of the Qt widgets: each adapter holds a widget that
// the window owns and answers the small toolkit interface over it.
#include <QElapsedTimer>
#include <QObject>
#include <algorithm>
#include <iostream>
#include <string>
#include <string_view>

#include "app/Toolkit.h"
#include "base/BufferedLog.h"

class QAbstractButton;
class QButtonGroup;
class QLineEdit;
class QPlainTextEdit;
class QProgressBar;
class QWidget;

namespace lociview::qt {

class LineEditField final : public TextField {
public:
    explicit LineEditField(QLineEdit* edit) : edit(edit) {}
    QLineEdit* widget() const { return edit; }
    std::string text() const override;
    void setText(const std::string& text) override;

private:
    QLineEdit* edit;
};

// A multi-line text control used as a field (the export text).
class PlainTextField final : public TextField {
public:
    explicit PlainTextField(QPlainTextEdit* edit) : edit(edit) {}
    std::string text() const override;
    void setText(const std::string& text) override;

private:
    QPlainTextEdit* edit;
};

// A check box or checkable button. Setting the state never sends the
// button's action: actions are wired to clicks, not to state changes.
class ButtonState final : public StateControl {
public:
    explicit ButtonState(QAbstractButton* button) : button(button) {}
    int state() const override;
    void setState(int state) override;

private:
    QAbstractButton* button;
};

// The locus cells, one row; the group's ids are the column numbers.
class ButtonGroupMatrix final : public RadioMatrix {
public:
    explicit ButtonGroupMatrix(QButtonGroup* group) : group(group) {}
    int numberOfColumns() const override;
    int cellState(int row, int column) const override;
    void selectCell(int column) override;

private:
    QButtonGroup* group;
};

// The frames of a run that holds the thread: none in its first tenth of a
// second (a quick run shows only its end), then at most ten a second and
// never more than a sixth of the time, however long a frame takes. (A
// window that holds an OpenGL view composes the whole of itself for every
// repaint; in software that can take longer than a frame's time.)
class FrameRate {
public:
    static constexpr qint64 frameMs = 100;

    // The run starts now.
    void start() {
        clock.start();
        nextFrame = frameMs;
    }
    // Calls paint when a frame is due and answers whether it did.
    template <class Paint>
    bool draw(Paint&& paint) {
        if (!clock.isValid()) start();
        if (clock.elapsed() < nextFrame) return false;
        clock.start();
        paint();
        nextFrame = std::max<qint64>(clock.elapsed() * 5, frameMs);
        clock.start();
        return true;
    }

private:
    QElapsedTimer clock;
    qint64 nextFrame = frameMs;  // ms after the last frame's end
};

// The scoring log. The lines a run inserts are gathered and put into the
// view together, at most about 30 times a second and when the run ends;
// the view is drawn with the progress indicator's frames.
class PlainTextLog final : public TextView {
public:
    explicit PlainTextLog(QPlainTextEdit* edit);
    std::string text() const override;
    void setText(const std::string& text) override;
    void insertText(const std::string& text) override;
    void redraw() override;
    // Puts the gathered lines into the view now (reading the text does too,
    // so it reads as if each line had gone in at once).
    void flush() const;

private:
    QPlainTextEdit* edit;
    mutable std::string pending;
    bool flushQueued = false;
    FrameRate frames;
    QObject queueGuard;  // drops a queued flush when the log goes first
};

// QProgressBar counts in ints; the controller counts in doubles. The bar
// runs over a fixed number of steps and shows the fraction done. With a
// Cancel button, a run's repaints also let a click on it in (and no other
// input), and the run then stops.
class ProgressBarIndicator final : public ProgressIndicator {
public:
    static constexpr int steps = 1000;

    explicit ProgressBarIndicator(QProgressBar* bar, QAbstractButton* cancel = nullptr);
    void configure() override;
    void setMinValue(double value) override;
    void setMaxValue(double value) override;
    void setDoubleValue(double value) override;
    void incrementBy(double delta) override;
    void displayNow() override;
    bool cancellable() const override { return cancel != nullptr; }
    bool cancelRequested() const override { return cancelled; }
    // The action is over: Cancel has nothing more to stop.
    void endRun();

    // The bar position for a value, clamped to [0, steps]; 0 for an empty
    // or reversed range and for NaN.
    static int stepFor(double value, double minimum, double maximum);

private:
    void update();
    void show();  // the value onto the bar

    QProgressBar* bar;
    QAbstractButton* cancel;
    double minimum = 0.0;
    double maximum = 100.0;
    double current = 0.0;
    bool running = false;
    bool cancelled = false;
    FrameRate frames;
};

// An auxiliary window: shown in front, centred on its screen.
class WidgetWindow final : public Window {
public:
    explicit WidgetWindow(QWidget* widget) : widget(widget) {}
    void showCentered() override;
    void hide() override;
    bool isVisible() const override;

private:
    QWidget* widget;
};

// Developer log: one line per entry on standard error (which the desktop
// application points at the log file, DevLogFile.h), gathered as the
// command line gathers it (BufferedLog.h), and what is held written as soon
// as the event loop runs again (when the action ends), so a developer at
// the terminal still sees the lines in time.
class StderrLog final : public LogSink {
public:
    StderrLog() = default;
    StderrLog(const StderrLog&) = delete;
    StderrLog& operator=(const StderrLog&) = delete;
    void line(std::string_view text) override;
    void flush();

private:
    BufferedLog lines{std::cerr};
    bool flushQueued = false;
    QObject queueGuard;  // drops a queued flush when the log goes first
};

// Standard output, flushed at every line end so the listing is not held
// back behind a buffer while the window runs.
class StdoutSink final : public OutputSink {
public:
    void write(std::string_view text) override;
};

}  // namespace lociview::qt
