#include "desktop/DesktopApp.h"

#include <QApplication>
#include <QMessageBox>
#include <QSurfaceFormat>
#include <QTextStream>
#include <QTimer>
#include <cstdio>
#include <iostream>
#include <memory>
#include <optional>

#include "app/GeneController.h"
#include "qt/chart/ChartArea.h"
#include "desktop/CommandLine.h"
#include "desktop/DesktopSession.h"
#include "desktop/DesktopSettings.h"
#include "desktop/DevLogFile.h"
#include "qt/HelpMenu.h"
#include "qt/export/LaneExport.h"
#include "qt/LociviewWindow.h"
#include "qt/QtControls.h"
#include "desktop/RunLogStart.h"
#include "desktop/ScriptedRun.h"

namespace lociview::qt {

namespace {

// Help, the version and refusals are printed before any application object
// exists, so that they work without a display (and for help2man at build time).
std::optional<int> answerWithoutWindow(const CommandLine& command) {
    switch (command.ask) {
        case CommandLine::Ask::Start:
            return std::nullopt;
        case CommandLine::Ask::Help:
            std::fputs(qPrintable(helpText()), stdout);
            return 0;
        case CommandLine::Ask::Version:
            std::fputs(qPrintable(versionText()), stdout);
            return 0;
        case CommandLine::Ask::Refused:
            std::fprintf(stderr, "lociview: %s\n%s", qPrintable(command.error), qPrintable(helpText()));
            return 2;
    }
    return 2;
}

}  // namespace

int runDesktop(int argc, char* argv[]) {
    const CommandLine command = parseCommandLine(argumentList(argc, argv));
    if (const std::optional<int> status = answerWithoutWindow(command)) return *status;

    if (command.lanePicture) {
        // A picture without a display: QPainter needs no screen.
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
        QApplication app(argc, argv);
        QTextStream err(stderr);
        return runLaneExport(*command.lanePicture, err);
    }

    // The chart draws with the fixed-function pipeline: ask for a
    // compatibility context before any window or context exists.
    QSurfaceFormat::setDefaultFormat(Chartview::surfaceFormat());

    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Lociview"));
    QApplication::setApplicationName(QStringLiteral("Lociview"));
    QApplication::setDesktopFileName(QStringLiteral("lociview"));

    // The developer log goes to its file, not the terminal, unless asked
    // for; a scripted run is a developer's and keeps it on standard error.
    // Declared before every log, so that their last lines reach the file.
    DevLogFile logFile(devLogPath(), DevLogFile::defaultLimit, std::cerr.rdbuf());
    std::optional<RedirectedStderr> logToFile;
    if (!command.devlog && !command.run) logToFile.emplace(&logFile);

    QtDialogs startDialogs;
    std::unique_ptr<UnattendedDialogs> unattendedDialogs;
    if (command.run) unattendedDialogs = std::make_unique<UnattendedDialogs>(command.run->open);
    QtDialogs* dialogs = unattendedDialogs ? static_cast<QtDialogs*>(unattendedDialogs.get()) : &startDialogs;

    // The chart's texture and font messages go where the window's own do;
    // declared first, they outlive the chart inside the window.
    StderrLog chartLog;
    StdoutSink chartOutput;
    LociviewWindow window(dialogs);
    new HelpMenu(window, devLogFolder());
    auto* chart = new ChartArea(window.chartModel(), chartLog, chartOutput);
    window.installChartView(chart);
    GeneController controller(window.outlets());
    ControllerLink link(window, controller);

    const QString glProblem = Chartview::openGLProblem();
    if (command.run) {
        if (!glProblem.isEmpty()) std::fprintf(stderr, "lociview: %s\n", qPrintable(chartNotice(glProblem)));
        QTextStream report(stdout);
        return runScripted(window, *chart, *command.run, report);
    }

    DesktopSettings settings;
    controller.setTraceSizing({50.0, {}, settings.sizeStandards()});
    DesktopSession session(window, startDialogs, settings,
                           [&](const QStringList& files) { window.openFiles(files); });
    window.show();
    if (!glProblem.isEmpty()) {
        QMessageBox::warning(&window, QStringLiteral("Lociview"),
                             chartNotice(glProblem) + QStringLiteral("\n\nEverything else works as usual."));
    }
    // Once the window is up, so that an alert about the file has it behind.
    // The accumulated runs come back from the run log last, so the status
    // bar ends by saying how many. (A scripted run leaves the log alone.)
    QTimer::singleShot(0, &window, [&] {
        session.openFiles(command.files);
        startRunLog(window, controller, startDialogs, defaultRunLogPath());
    });
    return app.exec();
}

}  // namespace lociview::qt
