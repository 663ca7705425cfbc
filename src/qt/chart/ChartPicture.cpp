#include "qt/chart/ChartPicture.h"

#include <QFileInfo>
#include <QFont>
#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>
#include <QPageSize>
#include <QPdfWriter>
#include <QSvgGenerator>
#include <algorithm>

#include "qt/export/SaveFile.h"
#include "qt/chart/SpectrumChart.h"

namespace lociview::qt {

namespace {

// The bitmap font's glyphs are 24 units tall once scaled; text of this
// pixel size fills about as much.
constexpr double kLabelPixels = 21.0;

QColor level(CurveColour colour) {
    const int l = colourLevel(colour);
    return {l, l, l};
}

template <class Paint>
QString writeSvg(const QString& path, QSize size, const QString& title, Paint&& paint) {
    return saveFile(path, [&](QIODevice& file) {
        QSvgGenerator svg;
        svg.setOutputDevice(&file);
        svg.setSize(size);
        svg.setViewBox(QRect(QPoint(0, 0), size));
        svg.setTitle(title);
        svg.setDescription(QStringLiteral("Drawn by Lociview"));
        QPainter painter;
        if (!painter.begin(&svg)) return false;
        paint(painter);
        return painter.end();
    });
}

}  // namespace

void paintChart(QPainter& painter, const ChartFrame& frame, const QRectF& area, const QColor& background) {
    painter.save();
    painter.setClipRect(area);
    painter.fillRect(area, background);
    if (frame.empty()) {
        painter.restore();
        return;
    }
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    // The drawing area runs up from its bottom edge, the painter down from
    // its top: drawing-area (x, y) is (x, areaHeight - y) from the top left.
    const double sx = area.width() / ChartGeometry::areaWidth;
    const double sy = area.height() / ChartGeometry::areaHeight;
    painter.translate(area.topLeft());
    painter.scale(sx, sy);
    const auto at = [](double x, double y) { return QPointF(x, ChartGeometry::areaHeight - y); };

    // As wide as a line the view draws, one pixel, whatever the scale.
    QPen pen(Qt::black, 1.0);
    pen.setCosmetic(true);
    pen.setWidthF(std::max(1.0, std::min(sx, sy)));

    QFont font = painter.font();
    font.setPixelSize(static_cast<int>(kLabelPixels));
    painter.setFont(font);
    const double descent = QFontMetricsF(font).descent();
    painter.setPen(pen);
    for (const ChartLabel& label : frame.labels) {
        // The text runs upward from its anchor, its glyphs to the left of it.
        painter.save();
        painter.translate(at(label.x, ChartGeometry::labelBase));
        painter.rotate(-90);
        painter.drawText(QPointF(0, -descent), QString::fromStdString(label.text));
        painter.restore();
    }

    for (const ChartCurve& curve : frame.curves) {
        QPainterPath path;
        for (size_t i = 0; i < curve.vertices.size(); ++i) {
            const ChartVertex& v = curve.vertices[i];
            const QPointF p = at(curve.x0 + v.x, ChartGeometry::curveBase + v.y);
            if (i == 0) path.moveTo(p);
            else path.lineTo(p);
        }
        pen.setColor(level(curve.colour));
        painter.strokePath(path, pen);
    }
    if (frame.axis) {
        pen.setColor(level(*frame.axis));
        painter.setPen(pen);
        painter.drawLine(at(0, ChartGeometry::axisY), at(ChartGeometry::areaWidth, ChartGeometry::axisY));
    }
    painter.restore();
}

QImage chartImage(const ChartFrame& frame, QSize size, const QColor& background) {
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(background);
    QPainter painter(&image);
    paintChart(painter, frame, QRectF(QPointF(0, 0), QSizeF(size)), background);
    return image;
}

QString writeChartSvg(const QString& path, const ChartFrame& frame, QSize size) {
    return writeSvg(path, size, QStringLiteral("Lociview chart"), [&](QPainter& painter) {
        paintChart(painter, frame, QRectF(QPointF(0, 0), QSizeF(size)), Qt::white);
    });
}

QString writeSpectrumSvg(const QString& path, const SpectrumBars& bars, const QString& title, QSize size) {
    return writeSvg(path, size, title, [&](QPainter& painter) {
        painter.fillRect(QRect(QPoint(0, 0), size), Qt::white);
        paintSpectrum(painter, bars, title, size);
    });
}

QString writeSvgPicture(const QString& path, QSize size, const QString& title,
                        const std::function<void(QPainter&)>& paint) {
    return writeSvg(path, size, title, paint);
}

QString writePng(const QString& path, const QImage& image) {
    return saveFile(path, [&](QIODevice& file) { return image.save(&file, "PNG"); });
}

QString writePicture(const QString& path, QSize size, const QString& title,
                     const std::function<void(QPainter&)>& paint) {
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == QLatin1String("svg")) return writeSvgPicture(path, size, title, paint);
    if (suffix == QLatin1String("pdf")) {
        return saveFile(path, [&](QIODevice& file) {
            QPdfWriter pdf(&file);
            pdf.setResolution(96);
            pdf.setPageSize(QPageSize(QSizeF(size) * 72.0 / 96.0, QPageSize::Point));
            pdf.setPageMargins(QMarginsF(0, 0, 0, 0));
            QPainter painter;
            if (!painter.begin(&pdf)) return false;
            painter.setWindow(QRect(QPoint(0, 0), size));
            paint(painter);
            return painter.end();
        });
    }
    if (suffix != QLatin1String("png")) return QStringLiteral("the name ends in neither .png, .svg nor .pdf");
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    {
        QPainter painter(&image);
        paint(painter);
    }
    return writePng(path, image);
}

}  // namespace lociview::qt
