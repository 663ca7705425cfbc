#include "desktop/DesktopSession.h"

#include <QAbstractButton>
#include <QEvent>
#include <QLineEdit>
#include <QSplitter>
#include <utility>

#include "app/ScoringFields.h"
#include "desktop/DesktopSettings.h"
#include "desktop/FileDrop.h"
#include "qt/LociviewWindow.h"
#include "desktop/RecentFilesMenu.h"
#include "scoring/Locus.h"

namespace lociview::qt {

namespace {

const QString geometryKey = QStringLiteral("window");

QString splitterKey(const QSplitter* splitter) { return QStringLiteral("splitter.") + splitter->objectName(); }

}  // namespace

ScoringChoices scoringChoicesOf(const LociviewWindow& window) {
    ScoringChoices choices;
    for (const ScoringField& field : scoringFields()) {
        if (const QLineEdit* edit = window.scoringField(field.number.name))
            choices.texts.*field.text = edit->text().toStdString();
    }
    for (int column = 0; column < static_cast<int>(kLoci.size()); ++column) {
        const QAbstractButton* cell = window.locusCell(column);
        if (cell && cell->isChecked()) choices.locusColumn = column;
    }
    choices.maybes = window.maybesSwitch()->isChecked();
    choices.walkEveryLocus = window.walkEveryLocusSwitch()->isChecked();
    return choices;
}

void applyScoringChoices(LociviewWindow& window, const ScoringChoices& choices) {
    for (const ScoringField& field : scoringFields()) {
        if (QLineEdit* edit = window.scoringField(field.number.name))
            edit->setText(QString::fromStdString(choices.texts.*field.text));
    }
    // The switch first: it offers tetra and hexa.
    window.walkEveryLocusSwitch()->setChecked(choices.walkEveryLocus);
    if (QAbstractButton* cell = window.locusCell(choices.locusColumn)) cell->setChecked(true);
    QAbstractButton* maybes = window.maybesSwitch();
    if (maybes->isChecked() != choices.maybes) maybes->click();
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

    connect(&window, &LociviewWindow::actionFinished, this, [this](ControllerAction action, Outcome outcome) {
        if (outcome != Outcome::Done) return;
        if (action == &GeneController::openData) afterOpen();
        if (action == &GeneController::scoreData) afterScore();
    });
    connect(window.maybesSwitch(), &QAbstractButton::toggled, this, [this](bool on) { this->settings.setMaybes(on); });
    recent = new RecentFilesMenu(
        window.fileMenu(), window.printAction(), settings, [this](const QStringList& files) { openFiles(files); }, this);
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
    const QStringList files = window.openedFiles();
    if (files.isEmpty()) return;
    settings.addRecentFiles(files);
    settings.rememberDialogFolder(QStringLiteral("open"), files.front());
}

void DesktopSession::afterScore() { settings.setScoringChoices(scoringChoicesOf(window)); }

bool DesktopSession::eventFilter(QObject* watched, QEvent* event) {
    if (watched == &window && event->type() == QEvent::Close) saveWindowLayout(window, settings);
    return false;
}

}  // namespace lociview::qt
