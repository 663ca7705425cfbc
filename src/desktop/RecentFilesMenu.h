#pragma once
// File › Open Recent: the last peak tables opened, most recent first (the
// files of one data set as one entry), those no longer there greyed out,
// and an item that clears the list.
#include <QMenu>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <functional>

class QAction;

namespace lociview::qt {

class DesktopSettings;

class RecentFilesMenu final : public QObject {
    Q_OBJECT

public:
    // Puts the submenu into fileMenu before the item before, for the
    // object's life; open is called with the paths of an entry chosen.
    RecentFilesMenu(QMenu* fileMenu, QAction* before, DesktopSettings& settings,
                    std::function<void(const QStringList&)> open, QObject* parent);
    ~RecentFilesMenu() override;

    QMenu* menu() const { return recent.data(); }
    // Lists the entries as the settings hold them now; done each time the
    // menu is about to show, so a file deleted meanwhile shows greyed.
    void rebuild();

private:
    QPointer<QMenu> recent;
    DesktopSettings& settings;
    std::function<void(const QStringList&)> open;
};

}  // namespace lociview::qt
