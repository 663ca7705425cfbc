#include "desktop/RecentFilesMenu.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QMenu>
#include <algorithm>
#include <utility>

#include "desktop/DesktopSettings.h"

namespace lociview::qt {

namespace {

// "&3 plate.txt (~/runs/2024)", "&4 A01.txt and 95 more (~/runs)": numbered
// for the keyboard, the home folder shortened, ampersands in names kept as
// they are.
QString entryText(int number, const QStringList& files) {
    const QFileInfo info(files.first());
    QString folder = QDir::toNativeSeparators(info.absolutePath());
    const QString home = QDir::toNativeSeparators(QDir::homePath());
    if (folder == home || folder.startsWith(home + QDir::separator()))
        folder = QStringLiteral("~") + folder.mid(home.size());
    QString name = info.fileName();
    if (files.size() > 1) name += QStringLiteral(" and %1 more").arg(files.size() - 1);
    QString text = QStringLiteral("%1 (%2)").arg(name, folder);
    text.replace(QLatin1Char('&'), QStringLiteral("&&"));
    const QString key = number < 10 ? QString::number(number) : QStringLiteral("0");
    return QStringLiteral("&%1 %2").arg(key, text);
}

}  // namespace

RecentFilesMenu::RecentFilesMenu(QMenu* fileMenu, QAction* before, DesktopSettings& settings,
                                 std::function<void(const QStringList&)> open, QObject* parent)
    : QObject(parent), recent(new QMenu(QStringLiteral("Open &Recent"), fileMenu)), settings(settings),
      open(std::move(open)) {
    recent->setObjectName(QStringLiteral("menuRecent"));
    fileMenu->insertMenu(before, recent);
    connect(recent, &QMenu::aboutToShow, this, &RecentFilesMenu::rebuild);
    rebuild();
}

RecentFilesMenu::~RecentFilesMenu() { delete recent.data(); }

void RecentFilesMenu::rebuild() {
    recent->clear();
    const QList<QStringList> files = settings.recentFiles();
    int number = 0;
    for (const QStringList& entryFiles : files) {
        QAction* entry = recent->addAction(entryText(++number, entryFiles));
        entry->setData(entryFiles);
        entry->setToolTip(entryFiles.join(QLatin1Char('\n')));
        entry->setEnabled(std::all_of(entryFiles.begin(), entryFiles.end(),
                                      [](const QString& path) { return QFileInfo(path).isFile(); }));
        connect(entry, &QAction::triggered, this, [this, entryFiles] { open(entryFiles); });
    }
    if (!files.isEmpty()) recent->addSeparator();
    QAction* clear = recent->addAction(QStringLiteral("&Clear Recent Files"));
    clear->setObjectName(QStringLiteral("actionClearRecent"));
    clear->setEnabled(!files.isEmpty());
    // The list shows again at the next aboutToShow: an action is not
    // deleted inside its own signal.
    connect(clear, &QAction::triggered, this, [this] { settings.clearRecentFiles(); });
}

}  // namespace lociview::qt
