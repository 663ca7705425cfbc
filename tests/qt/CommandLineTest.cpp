// The desktop application's command line: what each argument list asks
// for, and the file given at start opened through the window's Open action.
#include <gtest/gtest.h>

#include "app/GeneController.h"
#include "qt/CommandLine.h"
#include "qt/LociviewWindow.h"
#include "qt/StartFiles.h"

namespace lociview::qt::test {
namespace {

using Ask = CommandLine::Ask;

QStringList split(const char* arguments) {
    return (QStringLiteral("lociview ") + QString::fromLatin1(arguments)).split(QLatin1Char(' '), Qt::SkipEmptyParts);
}

TEST(CommandLineTest, EachArgumentListAsksForOneThing) {
    struct Case {
        const char* arguments;
        Ask ask;
        const char* error;  // "" when accepted
        bool scripted;
        const char* files;  // joined by '|'
    };
    const Case cases[] = {
        {"", Ask::Start, "", false, ""},
        {"a.txt b.txt", Ask::Start, "", false, "a.txt|b.txt"},
        {"-- --odd.txt", Ask::Start, "", false, "--odd.txt"},
        {"-session 12ab a.txt", Ask::Start, "", false, "a.txt"},  // left to QApplication
        {"a.txt --help", Ask::Help, "", false, ""},
        {"-h", Ask::Help, "", false, ""},
        {"-v", Ask::Version, "", false, ""},
        {"--version --open a.txt", Ask::Version, "", false, ""},
        {"--verbose a.txt", Ask::Refused, "Unknown option 'verbose'.", false, ""},
        // Scripted runs.
        {"--open a.txt", Ask::Start, "", true, ""},
        {"--open=a.txt --p1=150 --p2 156 --by-lane --graph-rows 0,3 --size 800x600 --screenshot s.png", Ask::Start, "",
         true, ""},
        {"--screenshot s.png", Ask::Start, "", true, ""},
        {"--open", Ask::Refused, "Missing value after '--open'.", false, ""},
        {"--open a.txt extra", Ask::Refused, "unknown argument: extra", false, ""},
        {"--by-lane=yes", Ask::Refused, "Unexpected value after '--by-lane'.", false, ""},
        {"--graph-rows 0,-1", Ask::Refused, "--graph-rows wants row numbers from 0 separated by commas, not 0,-1", false,
         ""},
        {"--graph-rows 0,,1", Ask::Refused, "--graph-rows wants row numbers from 0 separated by commas, not 0,,1", false,
         ""},
        {"--size 1200", Ask::Refused, "--size wants WIDTHxHEIGHT, each 200 to 10000, not 1200", false, ""},
        {"--size 100x800", Ask::Refused, "--size wants WIDTHxHEIGHT, each 200 to 10000, not 100x800", false, ""},
        {"--size 1200x99999", Ask::Refused, "--size wants WIDTHxHEIGHT, each 200 to 10000, not 1200x99999", false, ""},
    };
    for (const Case& c : cases) {
        const CommandLine line = parseCommandLine(split(c.arguments));
        EXPECT_EQ(line.ask, c.ask) << c.arguments;
        EXPECT_EQ(line.error.toStdString(), c.error) << c.arguments;
        EXPECT_EQ(line.run.has_value(), c.scripted) << c.arguments;
        EXPECT_EQ(line.files.join(QLatin1Char('|')).toStdString(), c.files) << c.arguments;
    }
}

TEST(CommandLineTest, ScriptedValuesLandInTheirFields) {
    const CommandLine line =
        parseCommandLine(split("--open=a.txt --p1 150.5 --by-lane --graph-rows 2,0 --size 640x480 --screenshot s.png"));
    ASSERT_TRUE(line.run);
    const ScriptedRun& run = *line.run;
    EXPECT_EQ(run.open, "a.txt");
    EXPECT_EQ(run.p1, QStringLiteral("150.5"));
    EXPECT_FALSE(run.p2);  // untouched: the field keeps its start-up text
    EXPECT_TRUE(run.byLane);
    EXPECT_EQ(run.graphRows, (std::vector<int>{2, 0}));
    EXPECT_EQ(run.size, QSize(640, 480));
    EXPECT_EQ(run.screenshot, "s.png");
}

TEST(CommandLineTest, DevlogGoesWithFilesOrAScriptedRun) {
    EXPECT_TRUE(parseCommandLine(split("--devlog a.txt")).devlog);
    EXPECT_EQ(parseCommandLine(split("--devlog a.txt")).files, QStringList{QStringLiteral("a.txt")});
    EXPECT_TRUE(parseCommandLine(split("--open a.txt --devlog")).run);
    EXPECT_FALSE(parseCommandLine(split("a.txt")).devlog);
}

TEST(CommandLineTest, HelpShowsOnlyTheAdvertisedOptions) {
    const QString help = helpText();
    EXPECT_TRUE(help.startsWith(QStringLiteral("Usage: lociview [options] [FILE...]\n"))) << help.toStdString();
    for (const char* shown : {"--help", "--version", "--devlog", "FILE"}) EXPECT_TRUE(help.contains(QLatin1String(shown))) << shown;
    for (const char* hidden : {"--open", "--p1", "--by-lane", "--screenshot", "--session"}) {
        EXPECT_FALSE(help.contains(QLatin1String(hidden))) << hidden;
    }
}

TEST(CommandLineTest, AFileGivenOpensThroughTheOpenAction) {
    StartFileDialogs dialogs;
    LociviewWindow window{&dialogs};
    GeneController controller{window.outlets()};
    ControllerLink link{window, controller};

    openStartFiles(window, dialogs, {});
    EXPECT_EQ(window.title(), "Lociview");
    openStartFiles(window, dialogs, {QStringLiteral(LOCIVIEW_EXAMPLES_DIR "/di-locus-plate.txt")});
    EXPECT_EQ(window.title(), "Lociview: di-locus-plate.txt");
}

}  // namespace
}  // namespace lociview::qt::test
