#pragma once
// The allele spectrum as a Qt Charts bar chart: counts by change in repeat
// units, one bar colour per progenitor, the progenitors' own bars at 0 in a
// pale shade of it. The same chart renders to an image without a window,
// for saving and for reports.
#include <QChartView>
#include <QImage>
#include <QString>

#include "chart/SpectrumBars.h"

namespace lociview::qt {

// A new chart of the bars, titled, for a picture width wide: the change
// axis labels as many categories as fit there (in an even step, 0 always),
// never a label cut short. The caller owns it.
QChart* spectrumChart(const SpectrumBars& bars, const QString& title, int width);

// The chart drawn with painter over (0, 0) to size, on what is there.
void paintSpectrum(QPainter& painter, const SpectrumBars& bars, const QString& title, QSize size);

// The chart drawn on a white image of that size.
QImage spectrumImage(const SpectrumBars& bars, const QString& title, QSize size);

class SpectrumChartView final : public QChartView {
    Q_OBJECT

public:
    explicit SpectrumChartView(QWidget* parent = nullptr);

    void showSpectrum(const SpectrumBars& bars, const QString& title);
    const SpectrumBars& bars() const { return shown; }
    const QString& title() const { return shownTitle; }

    // The size of every saved picture of a spectrum (a file, the report).
    static constexpr QSize kPictureSize{720, 450};

protected:
    // A new width may fit more or fewer labels.
    void resizeEvent(QResizeEvent* event) override;

private:
    int labelledWidth = 0;  // the width the chart's labels were laid out for
    SpectrumBars shown;
    QString shownTitle;
};

}  // namespace lociview::qt
