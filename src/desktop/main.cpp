// The desktop application: a Qt window for the controller.
#include <QApplication>
#include <QMessageBox>
#include <QSurfaceFormat>

#include "app/GeneController.h"
#include "qt/ChartArea.h"
#include "qt/LociviewWindow.h"
#include "qt/QtControls.h"

int main(int argc, char* argv[]) {
    // The chart draws with the fixed-function pipeline: ask for a
    // compatibility context before any window or context exists.
    QSurfaceFormat::setDefaultFormat(lociview::qt::Chartview::surfaceFormat());

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Lociview"));
    QApplication::setDesktopFileName(QStringLiteral("lociview"));

    // The chart's texture and font messages go where the window's own do;
    // declared first, they outlive the chart inside the window.
    lociview::qt::StderrLog chartLog;
    lociview::qt::StdoutSink chartOutput;
    lociview::qt::LociviewWindow window;
    window.installChartView(new lociview::qt::ChartArea(window.chartModel(), chartLog, chartOutput));
    lociview::GeneController controller(window.outlets());
    lociview::qt::ControllerLink link(window, controller);
    window.show();
    const QString glProblem = lociview::qt::Chartview::openGLProblem();
    if (!glProblem.isEmpty()) {
        QMessageBox::warning(&window, QStringLiteral("Lociview"),
                             lociview::qt::chartNotice(glProblem) +
                                 QStringLiteral("\n\nEverything else works as usual."));
    }
    return app.exec();
}
