#pragma once
// The place of the chart in the main window: shows the OpenGL chart view of
// a model (what the controller fills), or, where OpenGL cannot draw the
// chart, a plain notice saying why it stays empty. Qt cannot
// show an OpenGL widget at all without a context, so the choice is made
// before the view is created.
#include <QWidget>

#include "qt/chart/Chartview.h"
#include "chart/ChartModel.h"

class QLabel;

namespace lociview::qt {

class ChartArea : public QWidget {
    Q_OBJECT

public:
    ChartArea(ChartModel& model, LogSink& log, OutputSink& standardOutput, QWidget* parent = nullptr);

    ChartModel& model() { return chart; }
    Chartview* view() const { return glView; }  // null when the notice is shown

private:
    ChartModel& chart;
    Chartview* glView = nullptr;
    QLabel* notice = nullptr;
};

}  // namespace lociview::qt
