#pragma once
// The controller's view of the Qt widgets: each adapter holds a widget that
// the window owns and answers the small toolkit interface over it.
#include <QObject>
#include <string>
#include <string_view>

#include "app/Toolkit.h"

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

private:
    QButtonGroup* group;
};

// The scoring log.
class PlainTextLog final : public TextView {
public:
    explicit PlainTextLog(QPlainTextEdit* edit) : edit(edit) {}
    std::string text() const override;
    void setText(const std::string& text) override;
    void insertText(const std::string& text) override;
    void redraw() override;

private:
    QPlainTextEdit* edit;
};

// QProgressBar counts in ints; the controller counts in doubles. The bar
// runs over a fixed number of steps and shows the fraction done.
class ProgressBarIndicator final : public ProgressIndicator {
public:
    static constexpr int steps = 1000;

    explicit ProgressBarIndicator(QProgressBar* bar) : bar(bar) {}
    void configure() override;
    void setMinValue(double value) override;
    void setMaxValue(double value) override;
    void setDoubleValue(double value) override;
    void incrementBy(double delta) override;
    void displayNow() override;

    // The bar position for a value, clamped to [0, steps]; 0 for an empty
    // or reversed range and for NaN.
    static int stepFor(double value, double minimum, double maximum);

private:
    void update();

    QProgressBar* bar;
    double minimum = 0.0;
    double maximum = 100.0;
    double current = 0.0;
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
// application points at the log file, DevLogFile.h). A scoring run
// writes a line or more per peak; each line written through at once cost
// seconds on a big plate. The lines are gathered and written in large
// pieces, and the rest as soon as the event loop runs again (when the
// action ends), so a developer at the terminal still sees them in time.
class StderrLog final : public LogSink {
public:
    StderrLog() = default;
    StderrLog(const StderrLog&) = delete;
    StderrLog& operator=(const StderrLog&) = delete;
    ~StderrLog() override { flush(); }
    void line(std::string_view text) override;
    void flush();

private:
    std::string pending;
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
