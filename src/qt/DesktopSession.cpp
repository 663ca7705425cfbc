#include "qt/DesktopSession.h"

#include <QAbstractButton>
#include <QAction>
#include <QButtonGroup>
#include <QCheckBox>
#include <QEvent>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QSplitter>
#include <initializer_list>
#include <utility>

#include "qt/DesktopSettings.h"
#include "qt/FileDrop.h"
#include "qt/LociviewWindow.h"
#include "qt/RecentFilesMenu.h"

namespace lociview::qt {

namespace {

struct FieldName {
    const char* widget;
    QString ScoringChoices::*text;
};
const FieldName fieldNames[] = {
    {"progenitor1", &ScoringChoices::progenitor1}, {"progenitor2", &ScoringChoices::progenitor2},
    {"lowrange", &ScoringChoices::lowrange},       {"highrange", &ScoringChoices::highrange},
    {"shift", &ScoringChoices::shift},             {"stuttertol", &ScoringChoices::stuttertol},
};
// The locus cells by column, as the controller numbers them.
const char* const locusCells[] = {"locusMono", "locusDi", "locusTri", "locusPenta", "locusTetra", "locusHexa"};

template <class T>
T* child(const QObject& window, const char* name) {
    return window.findChild<T*>(QString::fromLatin1(name));
}

// Calls fn once the action of each menu item or button named is done:
// slots run in the order they were connected, and the window's came first.
template <class Fn>
void afterAction(const QObject& window, std::initializer_list<const char*> senders, QObject* receiver, Fn fn) {
    for (const char* name : senders) {
        QObject* sender = child<QObject>(window, name);
        if (auto* action = qobject_cast<QAction*>(sender)) {
            QObject::connect(action, &QAction::triggered, receiver, fn);
        } else if (auto* button = qobject_cast<QAbstractButton*>(sender)) {
            QObject::connect(button, &QAbstractButton::clicked, receiver, fn);
        }
    }
}

const QString geometryKey = QStringLiteral("window");

QString splitterKey(const QSplitter* splitter) { return QStringLiteral("splitter.") + splitter->objectName(); }

}  // namespace

ScoringChoices scoringChoicesOf(const LociviewWindow& window) {
    ScoringChoices choices;
    for (const FieldName& field : fieldNames) {
        if (const auto* edit = child<QLineEdit>(window, field.widget)) choices.*field.text = edit->text();
    }
    for (int column = 0; column < static_cast<int>(std::size(locusCells)); ++column) {
        const auto* cell = child<QRadioButton>(window, locusCells[column]);
        if (cell && cell->isChecked()) choices.locusColumn = column;
    }
    if (const auto* maybes = child<QCheckBox>(window, "Maybes")) choices.maybes = maybes->isChecked();
    if (const auto* walk = child<QCheckBox>(window, "walkEveryLocus")) choices.walkEveryLocus = walk->isChecked();
    return choices;
}

void applyScoringChoices(LociviewWindow& window, const ScoringChoices& choices) {
    for (const FieldName& field : fieldNames) {
        if (auto* edit = child<QLineEdit>(window, field.widget)) edit->setText(choices.*field.text);
    }
    // The switch first: it offers tetra and hexa.
    if (auto* walk = child<QCheckBox>(window, "walkEveryLocus")) walk->setChecked(choices.walkEveryLocus);
    if (choices.locusColumn >= 0 && choices.locusColumn < static_cast<int>(std::size(locusCells))) {
        if (auto* cell = child<QRadioButton>(window, locusCells[choices.locusColumn])) cell->setChecked(true);
    }
    auto* maybes = child<QCheckBox>(window, "Maybes");
    if (maybes && maybes->isChecked() != choices.maybes) maybes->click();
}

void saveWindowLayout(const QMainWindow& window, DesktopSettings& settings) {
    settings.setLayout(geometryKey, window.saveGeometry());
    for (const QSplitter* splitter : window.findChildren<QSplitter*>()) {
        if (!splitter->objectName().isEmpty()) settings.setLayout(splitterKey(splitter), splitter->saveState());
    }
}

void restoreWindowLayout(QMainWindow& window, const DesktopSettings& settings) {
    const QByteArray geometry = settings.layout(geometryKey);
    if (!geometry.isEmpty()) window.restoreGeometry(geometry);
    for (QSplitter* splitter : window.findChildren<QSplitter*>()) {
        const QByteArray state = settings.layout(splitterKey(splitter));
        if (!state.isEmpty()) splitter->restoreState(state);
    }
}

DesktopSession::DesktopSession(LociviewWindow& window, QtDialogs& dialogs, DesktopSettings& settings, Opener open)
    : window(window), dialogs(dialogs), settings(settings), open(std::move(open)) {
    dialogs.setSettings(&settings);
    if (const std::optional<ScoringChoices> last = settings.scoringChoices()) applyScoringChoices(window, *last);
    restoreWindowLayout(window, settings);

    afterAction(window, {"actionOpen", "openButton"}, this, [this] { afterOpen(); });
    afterAction(window, {"actionScore", "scoreButton"}, this, [this] { afterScore(); });
    if (auto* maybes = child<QCheckBox>(window, "Maybes"))
        connect(maybes, &QCheckBox::toggled, this, [this](bool on) { this->settings.setMaybes(on); });

    auto* fileMenu = child<QMenu>(window, "menuFile");
    auto* print = child<QAction>(window, "actionPrint");
    if (fileMenu) {
        recent = new RecentFilesMenu(
            fileMenu, print, settings, [this](const QStringList& files) { openFiles(files); }, this);
    }
    new FileDrop(window, [this](const QStringList& files) { openFiles(files); }, this);
    window.installEventFilter(this);
}

DesktopSession::~DesktopSession() {
    window.removeEventFilter(this);
    dialogs.setSettings(nullptr);
    settings.sync();
}

void DesktopSession::openFiles(const QStringList& files) {
    if (!files.isEmpty()) open(files);
}

// Every way of opening ends in the window's Open action: the data set it
// opened becomes the most recent entry, and its folder the open dialog's.
void DesktopSession::afterOpen() {
    if (window.lastOutcome() != Outcome::Done) return;
    const QStringList files = window.openedFiles();
    if (files.isEmpty()) return;
    settings.addRecentFiles(files);
    settings.rememberDialogFolder(QStringLiteral("open"), files.front());
}

void DesktopSession::afterScore() {
    if (window.lastOutcome() == Outcome::Done) settings.setScoringChoices(scoringChoicesOf(window));
}

bool DesktopSession::eventFilter(QObject* watched, QEvent* event) {
    if (watched == &window && event->type() == QEvent::Close) saveWindowLayout(window, settings);
    return false;
}

}  // namespace lociview::qt
