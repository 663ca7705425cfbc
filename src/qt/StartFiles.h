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
    void answerNextOpenWith(const QStringList& paths) { nextOpen = paths; }
    std::vector<std::string> runOpenPanelForFiles() override;

private:
    std::optional<QStringList> nextOpen;
};

// Opens the files given at start as one data set: one file as the Open
// action opens it, several as its lanes, in the order given.
void openStartFiles(LociviewWindow& window, StartFileDialogs& dialogs, const QStringList& files);

}  // namespace lociview::qt
