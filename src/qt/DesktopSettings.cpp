#include "qt/DesktopSettings.h"

#include <QFileInfo>
#include <QSettings>
#include <algorithm>

#include "scoring/Locus.h"

namespace lociview::qt {

namespace {

const QString scoringGroup = QStringLiteral("scoring/");
const QString recentKey = QStringLiteral("recentFiles");

// The field texts by key, in the order of the fields on screen.
struct FieldKey {
    const char* key;
    QString ScoringChoices::*text;
};
const FieldKey fieldKeys[] = {
    {"progenitor1", &ScoringChoices::progenitor1}, {"progenitor2", &ScoringChoices::progenitor2},
    {"lowrange", &ScoringChoices::lowrange},       {"highrange", &ScoringChoices::highrange},
    {"shift", &ScoringChoices::shift},             {"stuttertol", &ScoringChoices::stuttertol},
};

}  // namespace

DesktopSettings::DesktopSettings() : settings(std::make_unique<QSettings>()) {}

DesktopSettings::DesktopSettings(const QString& iniFile)
    : settings(std::make_unique<QSettings>(iniFile, QSettings::IniFormat)) {}

DesktopSettings::~DesktopSettings() = default;

QString DesktopSettings::dialogFolder(const QString& dialog) const {
    const QString folder = settings->value(QStringLiteral("folders/") + dialog).toString();
    return !folder.isEmpty() && QFileInfo(folder).isDir() ? folder : QString();
}

void DesktopSettings::rememberDialogFolder(const QString& dialog, const QString& chosenFile) {
    settings->setValue(QStringLiteral("folders/") + dialog, QFileInfo(chosenFile).absolutePath());
}

std::optional<ScoringChoices> DesktopSettings::scoringChoices() const {
    if (!settings->contains(scoringGroup + QLatin1String(fieldKeys[0].key))) return std::nullopt;
    ScoringChoices choices;
    for (const FieldKey& field : fieldKeys)
        choices.*field.text = settings->value(scoringGroup + QLatin1String(field.key)).toString();
    choices.walkEveryLocus = settings->value(scoringGroup + QStringLiteral("walkEveryLocus"), false).toBool();
    choices.locusColumn = std::clamp(settings->value(scoringGroup + QStringLiteral("locus"), 1).toInt(), 0,
                                     static_cast<int>(lociOffered(choices.walkEveryLocus).size()) - 1);
    choices.maybes = settings->value(scoringGroup + QStringLiteral("maybes"), false).toBool();
    return choices;
}

void DesktopSettings::setScoringChoices(const ScoringChoices& choices) {
    for (const FieldKey& field : fieldKeys) settings->setValue(scoringGroup + QLatin1String(field.key), choices.*field.text);
    settings->setValue(scoringGroup + QStringLiteral("locus"), choices.locusColumn);
    settings->setValue(scoringGroup + QStringLiteral("walkEveryLocus"), choices.walkEveryLocus);
    setMaybes(choices.maybes);
}

void DesktopSettings::setMaybes(bool maybes) { settings->setValue(scoringGroup + QStringLiteral("maybes"), maybes); }

QString DesktopSettings::dialogFilter(const QString& dialog) const {
    return settings->value(QStringLiteral("filters/") + dialog).toString();
}

void DesktopSettings::rememberDialogFilter(const QString& dialog, const QString& filter) {
    settings->setValue(QStringLiteral("filters/") + dialog, filter);
}

QList<QStringList> DesktopSettings::recentFiles() const {
    // Each entry a list of paths; a plain path (as earlier versions kept
    // them) reads as a list of one.
    QList<QStringList> entries;
    for (const QVariant& entry : settings->value(recentKey).toList()) {
        QStringList files = entry.toStringList();
        files.removeAll(QString());
        if (files.isEmpty() || entries.contains(files)) continue;
        entries.append(files);
        if (entries.size() == recentFileCount) break;
    }
    return entries;
}

void DesktopSettings::addRecentFiles(const QStringList& files) {
    QStringList absolute;
    for (const QString& path : files) absolute.append(QFileInfo(path).absoluteFilePath());
    if (absolute.isEmpty()) return;
    QList<QStringList> entries = recentFiles();
    entries.removeAll(absolute);
    entries.prepend(absolute);
    QVariantList kept;
    for (const QStringList& entry : entries.mid(0, recentFileCount)) kept.append(QVariant(entry));
    settings->setValue(recentKey, kept);
}

void DesktopSettings::clearRecentFiles() { settings->remove(recentKey); }

QByteArray DesktopSettings::layout(const QString& name) const {
    return settings->value(QStringLiteral("layout/") + name).toByteArray();
}

void DesktopSettings::setLayout(const QString& name, const QByteArray& state) {
    settings->setValue(QStringLiteral("layout/") + name, state);
}

void DesktopSettings::sync() { settings->sync(); }

}  // namespace lociview::qt
