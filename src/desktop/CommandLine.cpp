#include "desktop/CommandLine.h"

#include <QCommandLineParser>
#include <algorithm>
#include <utility>
#include <vector>

#include "base/Version.h"
#include "scoring/Locus.h"

namespace lociview::qt {

namespace {

// A scripted run's options, unadvertised: a user starts the program without them.
const char* const scriptedValueOptions[] = {"open", "p1", "p2", "graph-rows", "size", "screenshot", "report"};
const char* const scriptedSwitches[] = {"by-lane"};
// The scoring fields of --export-lanes besides --p1 and --p2.
const char* const laneExportOptions[] = {"low", "high", "shift", "stutter", "locus"};
// Qt's own start-up options, accepted here only to be left to QApplication,
// which reads them from the same arguments: a desktop session restores the
// program with -session ID, a user may choose -platform or -style.
const char* const qtOptions[] = {"platform", "style", "session", "display"};

QCommandLineOption hidden(const char* name, const QString& valueName = QString()) {
    QCommandLineOption option(QString::fromLatin1(name), QString(), valueName);
    option.setFlags(QCommandLineOption::HiddenFromHelp);
    return option;
}

void describe(QCommandLineParser& parser) {
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.setApplicationDescription(
        QStringLiteral("Scores the alleles of one microsatellite locus from capillary-electrophoresis\n"
                       "peak tables, for small-pool PCR (SP-PCR) analysis."));
    parser.addOption({{QStringLiteral("h"), QStringLiteral("help")}, QStringLiteral("Show this help and exit.")});
    parser.addOption({{QStringLiteral("v"), QStringLiteral("version")}, QStringLiteral("Show the version and exit.")});
    parser.addOption({QStringLiteral("devlog"),
                      QStringLiteral("Write the developer log to standard error instead of its file "
                                     "(Help > Open Log Folder).")});
    parser.addPositionalArgument(QStringLiteral("FILE"),
                                 QStringLiteral("Peak tables to open at start; several become the lanes of one data set."),
                                 QStringLiteral("[FILE...]"));
    parser.addOption({QStringLiteral("export-lanes"),
                      QStringLiteral("Draw the lane view of FILE... into OUT (.png, .svg or .pdf) with no window "
                                     "and exit. With --p1 and --p2 the lanes are scored first, their peaks "
                                     "coloured by mark; --low, --high, --shift, --stutter, --locus "
                                     "(mono, di, tri, penta) and --maybes are typed as in lociview-cli score."),
                      QStringLiteral("OUT")});
    parser.addOption({QStringLiteral("export-standard"),
                      QStringLiteral("Draw the size-standard view of the trace files FILE... into OUT (.png, .svg "
                                     "or .pdf) with no window and exit: per lane the standard's signal, its "
                                     "fragments labelled, and the fit with its residuals."),
                      QStringLiteral("OUT")});
    parser.addOption({QStringLiteral("lanes"),
                      QStringLiteral("With --export-lanes or --export-standard: the lanes drawn, as 1,3,8-12."),
                      QStringLiteral("LIST")});
    parser.addOption({QStringLiteral("overlaid"), QStringLiteral("With --export-lanes: one plot, a colour per lane.")});
    for (const char* name : laneExportOptions) parser.addOption(hidden(name, QStringLiteral("TEXT")));
    parser.addOption(hidden("maybes"));
    for (const char* name : scriptedValueOptions) parser.addOption(hidden(name, QStringLiteral("VALUE")));
    for (const char* name : scriptedSwitches) parser.addOption(hidden(name));
    for (const char* name : qtOptions) parser.addOption(hidden(name, QStringLiteral("VALUE")));
}

std::optional<std::vector<int>> parseRows(const QString& text) {
    std::vector<int> rows;
    for (const QString& part : text.split(QLatin1Char(','))) {
        bool ok = false;
        const int row = part.trimmed().toInt(&ok);
        if (!ok || row < 0) return std::nullopt;
        rows.push_back(row);
    }
    return rows;
}

std::optional<QSize> parseSize(const QString& text) {
    const QStringList parts = text.split(QLatin1Char('x'));
    if (parts.size() != 2) return std::nullopt;
    bool okWidth = false, okHeight = false;
    const int width = parts[0].toInt(&okWidth);
    const int height = parts[1].toInt(&okHeight);
    // Smaller than this the window cannot lay out its controls; larger is
    // no screen's size.
    const auto fits = [](int v) { return v >= 200 && v <= 10000; };
    if (!okWidth || !okHeight || !fits(width) || !fits(height)) return std::nullopt;
    return QSize(width, height);
}

template <class Names>
bool anySet(const QCommandLineParser& parser, const Names& names) {
    return std::any_of(std::begin(names), std::end(names),
                       [&](const char* name) { return parser.isSet(QString::fromLatin1(name)); });
}

CommandLine refused(QString error) {
    CommandLine line;
    line.ask = CommandLine::Ask::Refused;
    line.error = std::move(error);
    return line;
}

// A scripted run takes every value as given; rows and size must read.
CommandLine scriptedRun(const QCommandLineParser& parser) {
    const QStringList extra = parser.positionalArguments();
    if (!extra.isEmpty()) return refused(QStringLiteral("unknown argument: %1").arg(extra.first()));

    ScriptedRun run;
    run.open = parser.value(QStringLiteral("open"));
    if (parser.isSet(QStringLiteral("p1"))) run.p1 = parser.value(QStringLiteral("p1"));
    if (parser.isSet(QStringLiteral("p2"))) run.p2 = parser.value(QStringLiteral("p2"));
    run.byLane = parser.isSet(QStringLiteral("by-lane"));
    run.screenshot = parser.value(QStringLiteral("screenshot"));
    run.report = parser.value(QStringLiteral("report"));
    if (parser.isSet(QStringLiteral("graph-rows"))) {
        const QString text = parser.value(QStringLiteral("graph-rows"));
        const auto rows = parseRows(text);
        if (!rows) return refused(QStringLiteral("--graph-rows wants row numbers from 0 separated by commas, not %1").arg(text));
        run.graphRows = *rows;
    }
    if (parser.isSet(QStringLiteral("size"))) {
        const QString text = parser.value(QStringLiteral("size"));
        const auto size = parseSize(text);
        if (!size) return refused(QStringLiteral("--size wants WIDTHxHEIGHT, each 200 to 10000, not %1").arg(text));
        run.size = *size;
    }
    CommandLine line;
    line.run = std::move(run);
    return line;
}

CommandLine lanePicture(const QCommandLineParser& parser, bool standard) {
    LaneExport job;
    job.standard = standard;
    job.out = parser.value(standard ? QStringLiteral("export-standard") : QStringLiteral("export-lanes"));
    job.files = parser.positionalArguments();
    if (job.files.isEmpty())
        return refused(standard ? QStringLiteral("--export-standard needs the trace files to draw")
                                : QStringLiteral("--export-lanes needs the peak tables to draw"));
    if (parser.isSet(QStringLiteral("lanes"))) {
        const QString text = parser.value(QStringLiteral("lanes"));
        const auto lanes = parseLaneList(text);
        if (!lanes) return refused(QStringLiteral("--lanes wants lane numbers and ranges such as 1,3,8-12, not %1").arg(text));
        job.lanes = *lanes;
    }
    job.overlaid = parser.isSet(QStringLiteral("overlaid"));
    job.maybes = parser.isSet(QStringLiteral("maybes"));
    const std::pair<const char*, std::optional<QString>*> texts[] = {
        {"p1", &job.p1},       {"p2", &job.p2},         {"low", &job.low},
        {"high", &job.high},   {"shift", &job.shift},   {"stutter", &job.stutter}};
    for (const auto& [name, text] : texts)
        if (parser.isSet(QString::fromLatin1(name))) *text = parser.value(QString::fromLatin1(name));
    if (parser.isSet(QStringLiteral("locus"))) {
        const QString cell = parser.value(QStringLiteral("locus"));
        job.locusCell = locusColumnNamed(cell.toStdString());
        if (!job.locusCell) return refused(QStringLiteral("--locus must be mono, di, tri or penta, not %1").arg(cell));
    }
    CommandLine line;
    line.lanePicture = std::move(job);
    return line;
}

}  // namespace

CommandLine parseCommandLine(const QStringList& arguments) {
    QCommandLineParser parser;
    describe(parser);
    if (!parser.parse(arguments)) return refused(parser.errorText());

    CommandLine line;
    if (parser.isSet(QStringLiteral("help"))) {
        line.ask = CommandLine::Ask::Help;
    } else if (parser.isSet(QStringLiteral("version"))) {
        line.ask = CommandLine::Ask::Version;
    } else if (parser.isSet(QStringLiteral("export-lanes"))) {
        line = lanePicture(parser, false);
    } else if (parser.isSet(QStringLiteral("export-standard"))) {
        line = lanePicture(parser, true);
    } else if (anySet(parser, scriptedValueOptions) || anySet(parser, scriptedSwitches)) {
        line = scriptedRun(parser);
    } else {
        line.files = parser.positionalArguments();
    }
    line.devlog = parser.isSet(QStringLiteral("devlog"));
    return line;
}

QStringList argumentList(int argc, char* argv[]) {
    QStringList arguments;
    for (int i = 0; i < argc; ++i) arguments << QString::fromLocal8Bit(argv[i]);
    return arguments;
}

QString helpText() {
    QCommandLineParser parser;
    describe(parser);
    QString text = parser.helpText();
    // Without an application object Qt cannot name the program in its usage line.
    text.replace(0, text.indexOf(QLatin1Char('\n')), QStringLiteral("Usage: lociview [options] [FILE...]"));
    return text;
}

QString versionText() { return QStringLiteral("lociview %1\n").arg(QString::fromLatin1(kVersion)); }

}  // namespace lociview::qt
