#include "qt/chart/ChartArea.h"

#include <QLabel>
#include <QVBoxLayout>

namespace lociview::qt {

ChartArea::ChartArea(ChartModel& model, LogSink& log, OutputSink& standardOutput, QWidget* parent)
    : QWidget(parent), chart(model) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    const QString problem = Chartview::openGLProblem();
    if (problem.isEmpty()) {
        glView = new Chartview(chart, log, standardOutput, this);
        layout->addWidget(glView);
    } else {
        notice = new QLabel(chartNotice(problem), this);
        notice->setAlignment(Qt::AlignCenter);
        notice->setWordWrap(true);
        notice->setAutoFillBackground(true);
        QPalette palette = notice->palette();
        palette.setColor(QPalette::Window, QColor(191, 191, 191));
        notice->setPalette(palette);
        layout->addWidget(notice);
    }
}

}  // namespace lociview::qt
