#pragma once
// The desktop's run log: where it lives, and restoring the accumulator from
// it when the application starts.
#include <QString>

#include "app/GeneController.h"

namespace lociview::qt {

class LociviewWindow;

// runs.sqlite in the user's data folder (QStandardPaths::AppDataLocation).
QString defaultRunLogPath();

// Opens the run log at path, attaches it to the controller (the accumulator
// becomes its runs) and says so in the status bar: "Restored 3 accumulated
// runs". A log that had to be set aside, or no log at all, is told in an
// alert naming the file. Answers whether a log is attached.
bool startRunLog(LociviewWindow& window, GeneController& controller, Dialogs& dialogs, const QString& path);

}  // namespace lociview::qt
