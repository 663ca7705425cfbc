#include "qt/StartFiles.h"

#include <QAction>
#include <QFile>
#include <utility>

#include "qt/LociviewWindow.h"

namespace lociview::qt {

std::optional<std::string> StartFileDialogs::runOpenPanel() {
    if (!nextOpen) return QtDialogs::runOpenPanel();
    const QString path = *std::exchange(nextOpen, std::nullopt);
    return QFile::encodeName(path).toStdString();
}

void openStartFiles(LociviewWindow& window, StartFileDialogs& dialogs, const QStringList& files) {
    if (files.isEmpty()) return;
    auto* open = window.findChild<QAction*>(QStringLiteral("actionOpen"));
    if (!open) return;
    dialogs.answerNextOpenWith(files.first());
    open->trigger();
}

}  // namespace lociview::qt
