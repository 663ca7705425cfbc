#pragma once
// The desktop application's command line: the peak tables to open, --help
// and --version answered before any window or display is needed, refusals,
// and the unadvertised options of a scripted run (ScriptedRun.h).
//
//   lociview [-h|--help] [-v|--version] [--devlog] [FILE...]
#include <QString>
#include <QStringList>
#include <optional>

#include "desktop/ScriptedRun.h"
#include "qt/export/LaneExport.h"

namespace lociview::qt {

struct CommandLine {
    enum class Ask { Start, Help, Version, Refused };
    Ask ask = Ask::Start;
    QString error;                   // why the arguments were refused ("" when not)
    QStringList files;               // peak tables to open at start
    bool devlog = false;             // the developer log on standard error, not in its file
    std::optional<ScriptedRun> run;  // an unattended run instead of the event loop
    std::optional<LaneExport> lanePicture;  // --export-lanes, --export-standard: a picture, no window
};

// arguments: the whole command line, the program first, as in argv.
CommandLine parseCommandLine(const QStringList& arguments);

// The command line as text before any application object exists, decoded as
// QCoreApplication::arguments() would.
QStringList argumentList(int argc, char* argv[]);

// What --help and --version print; helpText() also follows a refusal.
QString helpText();
QString versionText();

}  // namespace lociview::qt
