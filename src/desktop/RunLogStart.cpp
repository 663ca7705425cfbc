#include "desktop/RunLogStart.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QStatusBar>

#include "qt/LociviewWindow.h"

namespace lociview::qt {

namespace {

void tell(Dialogs& dialogs, AlertId id, const std::string& informative) {
    AlertRequest alert = alertRequest(id);
    alert.informative = informative;
    dialogs.runAlert(alert);
}

}  // namespace

QString defaultRunLogPath() {
    return QDir(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation))
        .filePath(QStringLiteral("runs.sqlite"));
}

bool startRunLog(LociviewWindow& window, GeneController& controller, Dialogs& dialogs, const QString& path) {
    RunLogOpening opening = RunLog::open(QFile::encodeName(path).toStdString());
    if (!opening.log) {
        tell(dialogs, AlertId::RunLogUnavailable, opening.message);
        return false;
    }
    if (!opening.setAside.empty()) tell(dialogs, AlertId::RunLogSetAside, opening.message);
    if (opening.log->readOnly()) tell(dialogs, AlertId::RunLogReadOnly, opening.message);
    const RestoreOutcome restored = controller.attachRunLog(std::move(*opening.log));
    if (!restored.message.empty()) {
        tell(dialogs, AlertId::RunLogUnavailable, restored.message);
        return false;
    }
    if (!restored.leftOut.empty()) {
        std::string why;
        for (const std::string& line : restored.leftOut) why += (why.empty() ? "" : "\n") + line;
        tell(dialogs, AlertId::RunLogRunsLeftOut, why);
    }
    window.refreshViews();
    window.statusBar()->showMessage(restored.runs == 0   ? QStringLiteral("No accumulated runs to restore")
                                    : restored.runs == 1 ? QStringLiteral("Restored 1 accumulated run")
                                                         : QStringLiteral("Restored %1 accumulated runs").arg(restored.runs));
    return true;
}

}  // namespace lociview::qt
