#pragma once
// What the desktop application remembers between runs, in the user's
// settings (QSettings): the folder of each file dialog, the scoring
// choices as last used, the recent files and the window's layout. Only the
// desktop application reads them; scripted runs and lociview-cli never do.
#include <QByteArray>
#include <QString>
#include <QStringList>
#include <memory>
#include <optional>
#include <vector>

#include "trace/SizeStandard.h"

#include "qt/QtDialogs.h"
#include "app/ActionValues.h"

class QSettings;

namespace lociview::qt {

class DesktopSettings final : public DialogMemory {
public:
    static constexpr int recentFileCount = 10;

    // The user's settings, under the organisation and application names.
    DesktopSettings();
    // Settings kept in one INI file (tests keep them in a temporary folder).
    explicit DesktopSettings(const QString& iniFile);
    ~DesktopSettings() override;
    DesktopSettings(const DesktopSettings&) = delete;
    DesktopSettings& operator=(const DesktopSettings&) = delete;

    // The folder a file dialog opens in: where its last file was chosen,
    // else "" (the working folder, as without settings). dialog names the
    // dialog ("open").
    QString dialogFolder(const QString& dialog) const override;
    void rememberDialogFolder(const QString& dialog, const QString& chosenFile) override;

    std::optional<ScoringChoices> scoringChoices() const;
    void setScoringChoices(const ScoringChoices& choices);
    void setMaybes(bool maybes);

    // The filter a file dialog showed last ("" when none was kept).
    QString dialogFilter(const QString& dialog) const override;
    void rememberDialogFilter(const QString& dialog, const QString& filter) override;

    // Most recent first, at most recentFileCount, each once: the files of
    // one opening (one file, or several opened together as one data set),
    // as absolute paths.
    QList<QStringList> recentFiles() const;
    void addRecentFiles(const QStringList& files);
    void clearRecentFiles();

    // The user's own size standards (a name and sizes), in the order
    // saved; saving one of a name kept already replaces it.
    std::vector<SizeStandard> sizeStandards() const override;
    void saveSizeStandard(const SizeStandard& standard) override;

    // Saved layouts by name (window geometry, splitter states).
    QByteArray layout(const QString& name) const;
    void setLayout(const QString& name, const QByteArray& state);

    void sync();

private:
    std::unique_ptr<QSettings> settings;
};

}  // namespace lociview::qt
