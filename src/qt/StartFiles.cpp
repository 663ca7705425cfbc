#include "qt/StartFiles.h"

#include <QAction>
#include <QFile>
#include <utility>

#include "qt/LociviewWindow.h"

namespace lociview::qt {

std::vector<std::string> StartFileDialogs::runOpenPanelForFiles() {
    if (!nextOpen) return QtDialogs::runOpenPanelForFiles();
    const QStringList given = *std::exchange(nextOpen, std::nullopt);
    std::vector<std::string> paths;
    for (const QString& path : given) paths.push_back(QFile::encodeName(path).toStdString());
    return paths;
}

void openStartFiles(LociviewWindow& window, StartFileDialogs& dialogs, const QStringList& files) {
    if (files.isEmpty()) return;
    auto* open = window.findChild<QAction*>(QStringLiteral("actionOpen"));
    if (!open) return;
    dialogs.answerNextOpenWith(files);
    open->trigger();
}

}  // namespace lociview::qt
