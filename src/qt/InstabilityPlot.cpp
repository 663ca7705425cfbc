#include "qt/InstabilityPlot.h"

#include <QPainter>
#include <algorithm>
#include <cmath>

namespace lociview::qt {

namespace {

int wholeRepeats(double change) { return static_cast<int>(std::lround(change)); }

}  // namespace

InstabilityPlot::InstabilityPlot(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("instabilityPlot"));
    setMinimumSize(240, 220);
    showMessage(QStringLiteral("No scored run"));
}

void InstabilityPlot::showIndices(std::vector<LaneInstability> shown, std::vector<GroupInstability> shownGroups) {
    lanes.clear();
    for (LaneInstability& lane : shown)
        if (lane.indices) lanes.push_back(std::move(lane));
    groups = std::move(shownGroups);
    message = lanes.empty() ? QStringLiteral("No lane has a peak to count from") : QString();
    low = high = 0;
    bool first = true;
    for (const LaneInstability& lane : lanes)
        for (const KeptPeak& p : lane.distribution) {
            const int change = wholeRepeats(p.change);
            low = first ? change : std::min(low, change);
            high = first ? change : std::max(high, change);
            first = false;
        }
    update();
}

void InstabilityPlot::showMessage(const QString& text) {
    lanes.clear();
    groups.clear();
    message = text;
    low = high = 0;
    update();
}

void InstabilityPlot::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    if (!message.isEmpty()) {
        painter.drawText(rect(), Qt::AlignCenter | Qt::TextWordWrap, message);
        return;
    }
    const int groupHeight = std::min(height() / 3, 24 + 18 * static_cast<int>(groups.size()));
    paintHeatMap(painter, QRect(0, 0, width(), height() - groupHeight));
    paintGroups(painter, QRect(0, height() - groupHeight, width(), groupHeight));
}

void InstabilityPlot::paintHeatMap(QPainter& painter, QRect area) const {
    const QFontMetrics metrics(painter.font());
    const QRect cells = area.adjusted(40, metrics.height() + 4, -8, -metrics.height() - 6);
    painter.drawText(area.adjusted(4, 2, 0, 0), Qt::AlignLeft | Qt::AlignTop,
                     QStringLiteral("Repeat change by lane (share of kept height; main peak outlined)"));
    if (cells.width() <= 0 || cells.height() <= 0) return;
    const int bins = high - low + 1;
    const double w = static_cast<double>(cells.width()) / bins;
    const double h = static_cast<double>(cells.height()) / static_cast<double>(lanes.size());
    for (size_t row = 0; row < lanes.size(); ++row) {
        const double top = cells.top() + h * static_cast<double>(row);
        std::vector<double> shares(static_cast<size_t>(bins), 0.0);
        int mainBin = -1;
        for (const KeptPeak& p : lanes[row].distribution) {
            const int bin = wholeRepeats(p.change) - low;
            shares[static_cast<size_t>(bin)] += p.share;
            if (p.main) mainBin = bin;
        }
        for (int bin = 0; bin < bins; ++bin) {
            const double share = std::clamp(shares[static_cast<size_t>(bin)], 0.0, 1.0);
            const QRectF cell(cells.left() + w * bin, top, w, h);
            painter.fillRect(cell, QColor::fromRgbF(1.0 - 0.9 * share, 1.0 - 0.7 * share, 1.0 - 0.2 * share));
            if (bin == mainBin) {
                painter.setPen(QPen(Qt::black, 1.5));
                painter.drawRect(cell.adjusted(0.5, 0.5, -0.5, -0.5));
            }
        }
    }
    painter.setPen(Qt::black);
    painter.drawRect(cells);
    // The first and last lanes down the side; changes in whole repeats below.
    painter.drawText(QRect(area.left(), cells.top(), 36, metrics.height()), Qt::AlignRight,
                     QString::number(lanes.front().lane));
    painter.drawText(QRect(area.left(), cells.bottom() - metrics.height(), 36, metrics.height()), Qt::AlignRight,
                     QString::number(lanes.back().lane));
    const int step = std::max(1, static_cast<int>(std::ceil(metrics.horizontalAdvance(QStringLiteral("-000")) / w)));
    for (int bin = 0; bin < bins; bin += step)
        painter.drawText(QRectF(cells.left() + w * bin, cells.bottom() + 2, w * step, metrics.height()),
                         Qt::AlignLeft, QString::number(low + bin));
}

void InstabilityPlot::paintGroups(QPainter& painter, QRect area) const {
    // Each group's mean instability index and its interval, on one scale.
    double least = 0.0, most = 0.0;
    for (const GroupInstability& g : groups) {
        const Estimate& e = g.instability.mean;
        for (const std::optional<double>& v : {e.value, e.lower, e.upper})
            if (v) least = std::min(least, *v), most = std::max(most, *v);
    }
    if (most - least <= 0.0) most = least + 1.0;
    const QFontMetrics metrics(painter.font());
    const int left = area.left() + 90, right = area.right() - 12;
    const auto x = [&](double v) { return left + (v - least) / (most - least) * (right - left); };
    painter.setPen(Qt::gray);
    painter.drawLine(QPointF(x(0.0), area.top() + 2), QPointF(x(0.0), area.bottom() - 2));
    for (size_t i = 0; i < groups.size(); ++i) {
        const int y = area.top() + 10 + 18 * static_cast<int>(i);
        const Estimate& e = groups[i].instability.mean;
        painter.setPen(Qt::black);
        painter.drawText(QRect(area.left() + 4, y - metrics.height() / 2, 84, metrics.height()), Qt::AlignLeft,
                         metrics.elidedText(QString::fromStdString(groups[i].name), Qt::ElideRight, 84));
        if (e.lower && e.upper) painter.drawLine(QPointF(x(*e.lower), y), QPointF(x(*e.upper), y));
        if (e.value) painter.drawEllipse(QPointF(x(*e.value), y), 3, 3);
    }
}

}  // namespace lociview::qt
