#pragma once
// The chart drawn with QPainter from the frame ChartGeometry computes, the
// one the OpenGL view draws: for pictures, SVG drawings, the report and the
// printed window, with no OpenGL context needed. The spectrum chart as an
// SVG drawing too.
#include <QColor>
#include <QImage>
#include <QRectF>
#include <QString>
#include <functional>

#include "chart/ChartGeometry.h"
#include "chart/SpectrumBars.h"

class QPainter;

namespace lociview::qt {

// The grey the OpenGL view clears to.
inline const QColor kChartBackground{191, 191, 191};

// The drawing area stretched over area, as the view stretches it.
void paintChart(QPainter& painter, const ChartFrame& frame, const QRectF& area, const QColor& background);

QImage chartImage(const ChartFrame& frame, QSize size, const QColor& background = Qt::white);

// The size pictures and drawings of the chart are written at: about as
// wide for its height as the chart in the window.
inline constexpr QSize kChartPictureSize{1600, 800};

// Each writes its file whole or not at all (SaveFile.h): empty when the
// file is written, else why not.
QString writeChartSvg(const QString& path, const ChartFrame& frame, QSize size = kChartPictureSize);
QString writeSpectrumSvg(const QString& path, const SpectrumBars& bars, const QString& title, QSize size);
QString writePng(const QString& path, const QImage& image);
// Any drawing paint makes, as an SVG drawing of size.
QString writeSvgPicture(const QString& path, QSize size, const QString& title,
                        const std::function<void(QPainter&)>& paint);
// The same as PNG, SVG or PDF by the extension of path.
QString writePicture(const QString& path, QSize size, const QString& title,
                     const std::function<void(QPainter&)>& paint);

}  // namespace lociview::qt
