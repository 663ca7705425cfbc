#pragma once
// The desktop application as a lab uses it every day, over the main window:
// it starts with the scoring choices, folders and layout of the last
// session, keeps them as they change, lists the recent files and opens the
// files dropped on the window. Scripted runs and tests of the bare window
// go without it, so nothing of the user's settings reaches them.
#include <QObject>
#include <QStringList>
#include <functional>

#include "app/ActionValues.h"

class QMainWindow;

namespace lociview::qt {

class DesktopSettings;
class LociviewWindow;
class QtDialogs;
class RecentFilesMenu;

// What the main window's widgets hold now, and putting choices back into
// them (the Maybes switch through a click, so its action is sent).
ScoringChoices scoringChoicesOf(const LociviewWindow& window);
void applyScoringChoices(LociviewWindow& window, const ScoringChoices& choices);

// The window's geometry and the sizes of its splitters.
void saveWindowLayout(const QMainWindow& window, DesktopSettings& settings);
void restoreWindowLayout(QMainWindow& window, const DesktopSettings& settings);

class DesktopSession final : public QObject {
    Q_OBJECT

public:
    // Opens peak tables as the Open action does (LociviewWindow::openFiles).
    using Opener = std::function<void(const QStringList& files)>;

    // Restores the last session into window at once; call before showing it,
    // with the controller attached. dialogs are the window's own.
    DesktopSession(LociviewWindow& window, QtDialogs& dialogs, DesktopSettings& settings, Opener open);
    ~DesktopSession() override;

    // Opens files (the command line's, dropped ones, a recent entry) as the
    // Open action does; what opens becomes the most recent entry.
    void openFiles(const QStringList& files);

    RecentFilesMenu* recentFiles() const { return recent; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // After the window's Open and Score actions that did what they were asked.
    void afterOpen();
    void afterScore();

    LociviewWindow& window;
    QtDialogs& dialogs;
    DesktopSettings& settings;
    Opener open;
    RecentFilesMenu* recent = nullptr;
};

}  // namespace lociview::qt
