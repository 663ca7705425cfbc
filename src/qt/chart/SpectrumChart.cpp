#include "qt/chart/SpectrumChart.h"

#include <QCategoryAxis>
#include <QFontMetrics>
#include <QBarSeries>
#include <QBarSet>
#include <QGraphicsLayout>
#include <QGraphicsScene>
#include <QPainter>
#include <QValueAxis>
#include <algorithm>
#include <cmath>

#include "qt/chart/ChartPicture.h"

namespace lociview::qt {

namespace {

// The colours of P1 and P2 (colour-blind safe blue and orange).
const QColor kSeriesColours[] = {QColor(0x00, 0x72, 0xB2), QColor(0xE6, 0x9F, 0x00)};

// Whole-number ticks, about five of them, the top a whole tick above the
// tallest bar.
void countAxis(QValueAxis& axis, int64_t largest) {
    const double top = static_cast<double>(std::max<int64_t>(largest, 1));
    const double step = std::max(1.0, std::ceil(top / 5.0));
    axis.setRange(0.0, std::ceil(top / step) * step);
    axis.setTickType(QValueAxis::TicksDynamic);
    axis.setTickAnchor(0.0);
    axis.setTickInterval(step);
    axis.setLabelFormat(QStringLiteral("%.0f"));
    axis.setTitleText(QStringLiteral("Alleles"));
}

}  // namespace

QChart* spectrumChart(const SpectrumBars& bars, const QString& title, int width) {
    auto* chart = new QChart;
    chart->setTitle(bars.note.empty() ? title : title + QStringLiteral("\n") + QString::fromStdString(bars.note));
    chart->legend()->setAlignment(Qt::AlignBottom);
    chart->setAnimationOptions(QChart::NoAnimation);

    auto* series = new QBarSeries;
    for (size_t i = 0; i < bars.series.size(); ++i) {
        const SpectrumSeries& s = bars.series[i];
        auto* set = new QBarSet(QString::fromStdString(s.name));
        for (int64_t count : s.counts) set->append(static_cast<qreal>(count));
        const QColor colour = kSeriesColours[i % std::size(kSeriesColours)];
        set->setColor(colour);
        set->setBorderColor(colour.darker(130));
        // The progenitor's own bar stands apart: the only "selected" bar,
        // pale, so the mutants' bars keep the eye.
        set->setSelectedColor(colour.lighter(165));
        set->selectBar(static_cast<int>(bars.progenitorCategory));
        series->append(set);
    }
    chart->addSeries(series);

    // A category axis would give every bar its label, cut to "..." once they
    // crowd: the bars sit at 0, 1, 2... of a value axis, and the labels
    // that fit stand under theirs.
    auto* categories = new QCategoryAxis;
    categories->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
    categories->setRange(-0.5, static_cast<double>(bars.labels.size()) - 0.5);
    categories->setStartValue(-0.5);
    categories->setGridLineVisible(false);
    int widest = 1;
    const QFontMetrics metrics(categories->labelsFont());
    for (const std::string& label : bars.labels)
        widest = std::max(widest, metrics.horizontalAdvance(QString::fromStdString(label)));
    // The plot takes the width less the count axis and margins.
    const int room = std::max(1, (width - 90) / (widest + 12));
    for (const size_t i : labelledCategories(bars, static_cast<size_t>(room)))
        categories->append(QString::fromStdString(bars.labels[i]), static_cast<qreal>(i));
    categories->setTitleText(QStringLiteral("Change in repeat units"));
    chart->addAxis(categories, Qt::AlignBottom);
    series->attachAxis(categories);

    auto* counts = new QValueAxis;
    countAxis(*counts, bars.largestCount);
    chart->addAxis(counts, Qt::AlignLeft);
    series->attachAxis(counts);
    chart->legend()->setVisible(!bars.series.empty());
    return chart;
}

void paintSpectrum(QPainter& painter, const SpectrumBars& bars, const QString& title, QSize size) {
    QGraphicsScene scene;
    QChart* chart = spectrumChart(bars, title, size.width());
    scene.addItem(chart);  // the scene owns the chart now
    const QRectF area(QPointF(0, 0), QSizeF(size));
    chart->setGeometry(area);
    if (QGraphicsLayout* layout = chart->layout()) layout->activate();
    painter.setRenderHint(QPainter::Antialiasing);
    scene.render(&painter, area, area);
}

QImage spectrumImage(const SpectrumBars& bars, const QString& title, QSize size) {
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    QPainter painter(&image);
    paintSpectrum(painter, bars, title, size);
    return image;
}

SpectrumChartView::SpectrumChartView(QWidget* parent) : QChartView(parent) {
    setRenderHint(QPainter::Antialiasing);
    setMinimumSize(280, 200);
    showSpectrum(SpectrumBars{}, QString());
}

void SpectrumChartView::showSpectrum(const SpectrumBars& bars, const QString& title) {
    shown = bars;
    shownTitle = title;
    labelledWidth = width();
    QChart* old = chart();
    setChart(spectrumChart(bars, title, labelledWidth));
    delete old;  // setChart leaves the old chart to its owner, the view
}

void SpectrumChartView::resizeEvent(QResizeEvent* event) {
    QChartView::resizeEvent(event);
    if (width() != labelledWidth && shown.labels.size() > 1) showSpectrum(shown, shownTitle);
}


}  // namespace lociview::qt
