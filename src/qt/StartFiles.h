#pragma once
// Opening the peak tables named on the command line through the window's
// own Open action: its open-file dialog is answered with the path instead of
// being shown, and everything after is as if the user had picked the file.
#include <QString>
#include <QStringList>
#include <optional>
#include <string>

#include "qt/QtDialogs.h"

namespace lociview::qt {

class LociviewWindow;

// The window's usual dialogs, except that the next open-file dialog can be
// answered ahead of time.
class StartFileDialogs final : public QtDialogs {
public:
    void answerNextOpenWith(const QString& path) { nextOpen = path; }
    std::optional<std::string> runOpenPanel() override;

private:
    std::optional<QString> nextOpen;
};

// Opens the files given at start: the first of them, as one data set.
// Several files are to become the lanes of one data set; that belongs here.
void openStartFiles(LociviewWindow& window, StartFileDialogs& dialogs, const QStringList& files);

}  // namespace lociview::qt
