#include "desktop/DesktopSettings.h"

#include <QFileInfo>
#include <QSettings>
#include <algorithm>
#include <span>

#include "app/ScoringFields.h"
#include "base/NumberText.h"
#include "scoring/Locus.h"

#include "scoring/Locus.h"

namespace lociview::qt {

namespace {

const QString scoringGroup = QStringLiteral("scoring/");
const QString recentKey = QStringLiteral("recentFiles");
const QString standardsKey = QStringLiteral("sizeStandards");

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
    const std::span<const ScoringField> fields = scoringFields();
    if (!settings->contains(scoringGroup + QLatin1String(fields.front().number.name))) return std::nullopt;
    ScoringChoices choices;
    // A field that came after the settings were kept starts as it always does.
    for (const ScoringField& field : fields)
        choices.texts.*field.text = settings
                                        ->value(scoringGroup + QLatin1String(field.number.name),
                                                QString::fromStdString(formatDoubleField(field.startValue)))
                                        .toString()
                                        .toStdString();
    choices.walkEveryLocus = settings->value(scoringGroup + QStringLiteral("walkEveryLocus"), false).toBool();
    choices.locusColumn = std::clamp(settings->value(scoringGroup + QStringLiteral("locus"), 1).toInt(), 0,
                                     static_cast<int>(lociOffered(choices.walkEveryLocus).size()) - 1);
    choices.maybes = settings->value(scoringGroup + QStringLiteral("maybes"), false).toBool();
    return choices;
}

void DesktopSettings::setScoringChoices(const ScoringChoices& choices) {
    for (const ScoringField& field : scoringFields())
        settings->setValue(scoringGroup + QLatin1String(field.number.name),
                           QString::fromStdString(choices.texts.*field.text));
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

std::vector<SizeStandard> DesktopSettings::sizeStandards() const {
    std::vector<SizeStandard> standards;
    const int count = settings->beginReadArray(standardsKey);
    for (int i = 0; i < count; ++i) {
        settings->setArrayIndex(i);
        const std::string name = settings->value(QStringLiteral("name")).toString().trimmed().toStdString();
        SizesText sizes = parseSizes(settings->value(QStringLiteral("sizes")).toString().toStdString());
        // A value edited by hand into something unusable is left out.
        if (!name.empty() && sizes.problem.empty()) standards.push_back({name, std::move(sizes.sizes), {}});
    }
    settings->endArray();
    return standards;
}

void DesktopSettings::saveSizeStandard(const SizeStandard& standard) {
    std::vector<SizeStandard> standards = sizeStandards();
    const auto same = std::find_if(standards.begin(), standards.end(),
                                   [&](const SizeStandard& s) { return s.name == standard.name; });
    if (same != standards.end()) *same = standard;
    else standards.push_back(standard);
    settings->remove(standardsKey);
    settings->beginWriteArray(standardsKey, static_cast<int>(standards.size()));
    for (size_t i = 0; i < standards.size(); ++i) {
        settings->setArrayIndex(static_cast<int>(i));
        QStringList sizes;
        for (const double size : standards[i].usedSizes()) sizes << QString::number(size, 'g', 10);
        settings->setValue(QStringLiteral("name"), QString::fromStdString(standards[i].name));
        settings->setValue(QStringLiteral("sizes"), sizes.join(QLatin1Char(',')));
    }
    settings->endArray();
}

void DesktopSettings::sync() { settings->sync(); }

}  // namespace lociview::qt
