#include "qt/DesktopApp.h"

#include <QApplication>
#include <QMessageBox>
#include <QSurfaceFormat>
#include <QTextStream>
#include <cstdio>
#include <memory>

#include "app/GeneController.h"
#include "qt/ChartArea.h"
#include "qt/LociviewWindow.h"
#include "qt/QtControls.h"
#include "qt/ScriptedRun.h"

namespace lociview::qt {

int runDesktop(int argc, char* argv[]) {
    // The chart draws with the fixed-function pipeline: ask for a
    // compatibility context before any window or context exists.
    QSurfaceFormat::setDefaultFormat(Chartview::surfaceFormat());

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Lociview"));
    QApplication::setDesktopFileName(QStringLiteral("lociview"));

    QStringList arguments = QApplication::arguments();
    arguments.removeFirst();
    const ParsedArguments parsed = parseArguments(arguments);
    if (!parsed.error.isEmpty()) {
        std::fprintf(stderr, "lociview: %s\n", qPrintable(parsed.error));
        return 2;
    }
    std::unique_ptr<ScriptedDialogs> scriptedDialogs;
    if (parsed.run) scriptedDialogs = std::make_unique<ScriptedDialogs>(parsed.run->open);

    // The chart's texture and font messages go where the window's own do;
    // declared first, they outlive the chart inside the window.
    StderrLog chartLog;
    StdoutSink chartOutput;
    LociviewWindow window(scriptedDialogs.get());
    auto* chart = new ChartArea(window.chartModel(), chartLog, chartOutput);
    window.installChartView(chart);
    GeneController controller(window.outlets());
    ControllerLink link(window, controller);

    const QString glProblem = Chartview::openGLProblem();
    if (parsed.run) {
        if (!glProblem.isEmpty()) std::fprintf(stderr, "lociview: %s\n", qPrintable(chartNotice(glProblem)));
        QTextStream report(stdout);
        return runScripted(window, *chart, *parsed.run, report);
    }

    window.show();
    if (!glProblem.isEmpty()) {
        QMessageBox::warning(&window, QStringLiteral("Lociview"),
                             chartNotice(glProblem) + QStringLiteral("\n\nEverything else works as usual."));
    }
    return app.exec();
}

}  // namespace lociview::qt
