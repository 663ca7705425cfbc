#include "qt/chart/StandardView.h"

#include <QFontMetricsF>
#include <QPainter>

#include "qt/chart/ChartPicture.h"
#include "qt/chart/LaneView.h"

namespace lociview::qt {

namespace {

QString qText(const std::string& s) { return QString::fromStdString(s); }
QRectF qRect(const PixelRect& r) { return QRectF(r.left, r.top, r.width, r.height); }

const QColor kMatched(0, 114, 178);
const QColor kStray(170, 170, 170);

void paintPanel(QPainter& painter, const StandardPanel& panel, const QFontMetricsF& metrics) {
    const QRectF plot = qRect(panel.plot);
    painter.setPen(Qt::black);
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(plot);
    painter.drawText(QRectF(plot.left(), plot.top() - metrics.height() - 1, plot.width(), metrics.height()),
                     Qt::AlignLeft | Qt::AlignBottom, qText(panel.title));
    for (const AxisTick& tick : panel.xTicks) {
        painter.drawLine(QPointF(tick.at, plot.bottom()), QPointF(tick.at, plot.bottom() + 3));
        if (!tick.text.empty())
            painter.drawText(QRectF(tick.at - 40, plot.bottom() + 4, 80, metrics.height()), Qt::AlignHCenter | Qt::AlignTop,
                             qText(tick.text));
    }
    for (const AxisTick& tick : panel.yTicks) {
        painter.drawLine(QPointF(plot.left() - 3, tick.at), QPointF(plot.left(), tick.at));
        painter.drawText(QRectF(plot.left() - 64, tick.at - metrics.height() / 2, 59, metrics.height()),
                         Qt::AlignRight | Qt::AlignVCenter, qText(tick.text));
    }
}

}  // namespace

void paintStandards(QPainter& painter, const StandardFrame& f) {
    painter.save();
    painter.fillRect(painter.window(), Qt::white);
    const QFontMetricsF metrics(painter.font());
    if (f.rows.empty()) {
        painter.setPen(Qt::darkGray);
        painter.drawText(painter.window(), Qt::AlignCenter | Qt::TextWordWrap, qText(f.note));
        painter.restore();
        return;
    }
    for (const StandardRow& row : f.rows) {
        const QRectF r = qRect(row.rect);
        painter.setPen(QColor(200, 200, 200));
        if (row.rect.top > 0) painter.drawLine(r.topLeft(), r.topRight());
        QFont bold = painter.font();
        bold.setBold(true);
        painter.save();
        painter.setFont(bold);
        painter.setPen(Qt::black);
        painter.drawText(QPointF(r.left() + 4, r.top() + 2 + metrics.ascent()), qText(row.title));
        painter.restore();
        if (!row.failure.empty()) {
            painter.setPen(QColor(180, 40, 40));
            painter.drawText(r.adjusted(16, metrics.height() + 4, -16, -4), Qt::AlignCenter | Qt::TextWordWrap,
                             qText(row.failure));
            continue;
        }
        painter.setRenderHint(QPainter::Antialiasing, false);
        for (const StandardPanel* panel : {&row.signal, &row.fit, &row.residuals}) paintPanel(painter, *panel, metrics);

        painter.save();
        painter.setClipRect(qRect(row.signal.plot));
        painter.setPen(QPen(QColor(60, 60, 60), 1.0));
        for (const auto& line : row.signalLines) {
            QPolygonF points;
            points.reserve(static_cast<qsizetype>(line.size()));
            for (const PixelPoint& p : line) points.append(QPointF(p.x, p.y));
            painter.drawPolyline(points);
        }
        painter.setRenderHint(QPainter::Antialiasing);
        for (const StandardMark& mark : row.marks) {
            painter.setPen(Qt::NoPen);
            painter.setBrush(mark.matched ? kMatched : kStray);
            painter.drawEllipse(QPointF(mark.apex.x, mark.apex.y), 3, 3);
            if (mark.matched) {
                painter.setPen(kMatched);
                painter.drawText(QRectF(mark.labelAt.x - 30, mark.labelAt.y - metrics.height(), 60, metrics.height()),
                                 Qt::AlignHCenter | Qt::AlignBottom, qText(mark.label));
            }
        }
        painter.restore();

        painter.save();
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setClipRect(qRect(row.fit.plot));
        painter.setPen(QPen(QColor(120, 120, 120), 1.0));
        QPolygonF curve;
        for (const PixelPoint& p : row.curve) curve.append(QPointF(p.x, p.y));
        painter.drawPolyline(curve);
        for (const FitPoint& point : row.points) {
            painter.setPen(QPen(kMatched, 1.5));
            painter.setBrush(point.used ? QBrush(kMatched) : QBrush(Qt::NoBrush));
            painter.drawEllipse(QPointF(point.at.x, point.at.y), 3, 3);
        }
        painter.setClipRect(qRect(row.residuals.plot));
        painter.setPen(QPen(QColor(160, 160, 160), 1.0, Qt::DashLine));
        painter.drawLine(QPointF(row.residuals.plot.left, row.zeroY), QPointF(row.residuals.plot.right(), row.zeroY));
        for (const FitPoint& point : row.points)
            if (point.used)
                painter.fillRect(QRectF(point.at.x - 2, point.barTop, 4, std::max(1.0, point.barBottom - point.barTop)),
                                 kMatched);
        painter.restore();
    }
    if (!f.note.empty()) {
        painter.setPen(Qt::darkGray);
        painter.drawText(painter.window().adjusted(4, 4, -4, -4), Qt::AlignRight | Qt::AlignBottom, qText(f.note));
    }
    painter.restore();
}

QString writeStandardPicture(const QString& path, const std::vector<LaneData>& lanes, int width, int height) {
    const QFont font = pictureFont();
    const StandardFrame frame = layStandards(lanes, {width, height, styleFor(font)});
    return writePicture(path, QSize(width, height), QStringLiteral("Size standard"), [&](QPainter& painter) {
        painter.setFont(font);
        paintStandards(painter, frame);
    });
}

StandardCanvas::StandardCanvas(QWidget* parent) : QWidget(parent) { setMinimumSize(240, 160); }

void StandardCanvas::setLanes(std::vector<LaneData> lanes) {
    data = std::move(lanes);
    update();
}

StandardFrame StandardCanvas::layOut() const { return layStandards(data, {width(), height(), styleFor(font())}); }

void StandardCanvas::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    paintStandards(painter, layOut());
}

}  // namespace lociview::qt
