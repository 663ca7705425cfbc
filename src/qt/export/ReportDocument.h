#pragma once
// The report laid out on pages with QPainter: its sections in turn, each
// heading kept with what follows it, tables with their title row repeated
// at the top of every page they run onto and their columns fitted to the
// page, the chart and spectrum pictures, the report's title and "page N of
// M" at the foot of each page. Written as a PDF file or printed.
#include <QImage>
#include <QPageLayout>
#include <QString>

#include "export/Report.h"

class QPagedPaintDevice;

namespace lociview::qt {

// The pictures a report's sections ask for; a null picture is left out
// with a line saying there is nothing to show.
struct ReportPictures {
    QImage chart;
    QImage runSpectrum;
    QImage accumulatedSpectrum;
    QImage flaggedLanes;
};

// A4 (Letter where the locale measures in inches), portrait, 15 mm margins.
QPageLayout reportPageLayout();

// Lays the report out on the device's pages; the number of pages, 0 when
// the device could not be painted on.
int paintReport(QPagedPaintDevice& device, const Report& report, const ReportPictures& pictures);

// A PDF file on reportPageLayout() pages, written whole or not at all
// (SaveFile.h): empty when written, else why not.
QString writeReportPdf(const QString& path, const Report& report, const ReportPictures& pictures);

}  // namespace lociview::qt
