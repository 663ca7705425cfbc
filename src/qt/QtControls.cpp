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

std::string PlainTextLog::text() const { return toUtf8(edit->toPlainText()); }
void PlainTextLog::setText(const std::string& text) { edit->setPlainText(fromUtf8(text)); }

void PlainTextLog::insertText(const std::string& text) {
    // The edit's own cursor is the insertion point; read-only stops typing,
    // not programmatic insertion.
    edit->insertPlainText(fromUtf8(text));
}

void PlainTextLog::redraw() { edit->repaint(); }

int ProgressBarIndicator::stepFor(double value, double minimum, double maximum) {
    const double span = maximum - minimum;
    if (!(span > 0.0) || !std::isfinite(span) || std::isnan(value)) return 0;
    const double fraction = (value - minimum) / span;
    if (!(fraction > 0.0)) return 0;
    if (fraction >= 1.0) return steps;
    return static_cast<int>(std::lround(fraction * steps));
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

// Scoring holds the thread, so the bar is painted here and now; spinning
// the event loop would let other actions in mid-run.
void ProgressBarIndicator::displayNow() { bar->repaint(); }

void ProgressBarIndicator::update() { bar->setValue(stepFor(current, minimum, maximum)); }

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
    pending.append(text);
    pending += '\n';
    if (pending.size() >= (1u << 16) || !QCoreApplication::instance()) {
        flush();
    } else if (!flushQueued) {
        flushQueued = true;
        QTimer::singleShot(0, &queueGuard, [this] { flush(); });
    }
}

void StderrLog::flush() {
    flushQueued = false;
    if (pending.empty()) return;
    std::cerr.write(pending.data(), static_cast<std::streamsize>(pending.size()));
    std::cerr.flush();
    pending.clear();
}

void StdoutSink::write(std::string_view text) {
    std::cout.write(text.data(), static_cast<std::streamsize>(text.size()));
    if (text.find('\n') != std::string_view::npos) std::cout.flush();
}

}  // namespace lociview::qt
