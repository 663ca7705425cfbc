#include "qt/QtControls.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QScreen>
#include <QTimer>
#include <QWidget>
#include <QWindow>
#include <cmath>
#include <iostream>

namespace lociview::qt {

namespace {

QString fromUtf8(const std::string& text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

std::string toUtf8(const QString& text) {
    const QByteArray bytes = text.toUtf8();
    return std::string(bytes.constData(), static_cast<size_t>(bytes.size()));
}

}  // namespace

std::string LineEditField::text() const { return toUtf8(edit->text()); }
void LineEditField::setText(const std::string& text) { edit->setText(fromUtf8(text)); }

std::string PlainTextField::text() const { return toUtf8(edit->toPlainText()); }
void PlainTextField::setText(const std::string& text) { edit->setPlainText(fromUtf8(text)); }

int ButtonState::state() const { return button->isChecked() ? 1 : 0; }
void ButtonState::setState(int state) { button->setChecked(state != 0); }

int ButtonGroupMatrix::numberOfColumns() const { return static_cast<int>(group->buttons().size()); }

int ButtonGroupMatrix::cellState(int row, int column) const {
    if (row != 0) return 0;
    const QAbstractButton* cell = group->button(column);
    return cell && cell->isChecked() ? 1 : 0;
}

void ButtonGroupMatrix::selectCell(int column) {
    if (QAbstractButton* cell = group->button(column)) cell->setChecked(true);
}

PlainTextLog::PlainTextLog(QPlainTextEdit* edit) : edit(edit) {}

std::string PlainTextLog::text() const {
    flush();
    return toUtf8(edit->toPlainText());
}

void PlainTextLog::setText(const std::string& text) {
    pending.clear();
    edit->setPlainText(fromUtf8(text));
}

void PlainTextLog::insertText(const std::string& text) { pending += text; }

void PlainTextLog::redraw() {
    if (frames.draw([this] { flush(); })) {
        edit->update();
    } else if (!flushQueued) {
        // The rest shows as soon as the event loop runs again.
        flushQueued = true;
        QTimer::singleShot(0, &queueGuard, [this] {
            flushQueued = false;
            flush();
        });
    }
}

void PlainTextLog::flush() const {
    if (pending.empty()) return;
    // The edit's own cursor is the insertion point; read-only stops typing,
    // not programmatic insertion.
    edit->insertPlainText(fromUtf8(pending));
    pending.clear();
}

int ProgressBarIndicator::stepFor(double value, double minimum, double maximum) {
    const double span = maximum - minimum;
    if (!(span > 0.0) || !std::isfinite(span) || std::isnan(value)) return 0;
    const double fraction = (value - minimum) / span;
    if (!(fraction > 0.0)) return 0;
    if (fraction >= 1.0) return steps;
    return static_cast<int>(std::lround(fraction * steps));
}

namespace {

// While a run lets the event loop turn, the user's input reaches one
// button and nothing else: no other action can start inside the run, and
// the window does not close under it.
class InputOnlyTo final : public QObject {
public:
    explicit InputOnlyTo(QObject* target) : target(target) { QCoreApplication::instance()->installEventFilter(this); }
    ~InputOnlyTo() override { QCoreApplication::instance()->removeEventFilter(this); }
    InputOnlyTo(const InputOnlyTo&) = delete;
    InputOnlyTo& operator=(const InputOnlyTo&) = delete;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        switch (event->type()) {
            case QEvent::MouseButtonPress:
            case QEvent::MouseButtonRelease:
            case QEvent::MouseButtonDblClick:
            case QEvent::KeyPress:
            case QEvent::KeyRelease:
            case QEvent::Wheel:
            case QEvent::ContextMenu:
            case QEvent::Drop:
            case QEvent::DragEnter:
            case QEvent::DragMove:
                // A window hands its input on to the widget it is for.
                return watched != target && !qobject_cast<QWindow*>(watched);
            case QEvent::Shortcut:
            case QEvent::ShortcutOverride:
                return true;
            case QEvent::Close:
                event->ignore();
                return true;
            default:
                return false;
        }
    }

private:
    QObject* target;
};

}  // namespace

ProgressBarIndicator::ProgressBarIndicator(QProgressBar* bar, QAbstractButton* cancel) : bar(bar), cancel(cancel) {
    if (!cancel) return;
    cancel->setEnabled(false);
    QObject::connect(cancel, &QAbstractButton::clicked, cancel, [this] {
        if (running) cancelled = true;
    });
}

void ProgressBarIndicator::endRun() {
    running = false;
    cancelled = false;
    if (cancel) cancel->setEnabled(false);
    update();
}

void ProgressBarIndicator::configure() {
    bar->setRange(0, steps);
    bar->setValue(0);
    bar->setTextVisible(true);
    bar->setVisible(true);
}

void ProgressBarIndicator::setMinValue(double value) {
    minimum = value;
    update();
}

void ProgressBarIndicator::setMaxValue(double value) {
    maximum = value;
    update();
}

void ProgressBarIndicator::setDoubleValue(double value) {
    current = value;
    update();
}

void ProgressBarIndicator::incrementBy(double delta) {
    current += delta;
    update();
}

// Scoring holds the thread, so the bar is painted here and now, at most
// about 30 times a second. With Cancel, the event loop turns then too, for
// a click on it and nothing else.
void ProgressBarIndicator::displayNow() {
    if (!running) {
        running = true;
        cancelled = false;
        frames.start();
        if (cancel) cancel->setEnabled(true);
    }
    frames.draw([this] {
        show();
        if (!cancel) return bar->repaint();
        // The window's pending repaints, the bar's among them, in one frame.
        const InputOnlyTo onlyCancel(cancel);
        QCoreApplication::processEvents();
    });
}

// Within a run the bar takes its value at frames only: a new value makes it
// repaint at once, every time the percentage it shows moves on.
void ProgressBarIndicator::update() {
    if (!running) show();
}

void ProgressBarIndicator::show() {
    const int step = stepFor(current, minimum, maximum);
    if (step == bar->value()) return;
    bar->setUpdatesEnabled(false);
    bar->setValue(step);
    bar->setUpdatesEnabled(true);  // an update, drawn with the next frame
}

void WidgetWindow::showCentered() {
    // Sized to its contents the first time; later the user's size stays.
    if (!widget->testAttribute(Qt::WA_WState_Created)) widget->adjustSize();
    QScreen* screen = widget->parentWidget() ? widget->parentWidget()->screen() : widget->screen();
    if (!screen) screen = QGuiApplication::primaryScreen();
    if (screen) {
        QRect frame = widget->frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        widget->move(frame.topLeft());
    }
    widget->show();
    widget->raise();
    widget->activateWindow();
}

void WidgetWindow::hide() { widget->hide(); }
bool WidgetWindow::isVisible() const { return widget->isVisible(); }

void StderrLog::line(std::string_view text) {
    lines.line(text);
    if (!QCoreApplication::instance()) {
        flush();
    } else if (!flushQueued) {
        flushQueued = true;
        QTimer::singleShot(0, &queueGuard, [this] { flush(); });
    }
}

void StderrLog::flush() {
    flushQueued = false;
    lines.flush();
}

void StdoutSink::write(std::string_view text) {
    std::cout.write(text.data(), static_cast<std::streamsize>(text.size()));
    if (text.find('\n') != std::string_view::npos) std::cout.flush();
}

}  // namespace lociview::qt
