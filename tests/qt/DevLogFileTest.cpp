// The developer log file: lines gathered by the desktop's log reach the
// file whole and in order, the file turns into PATH.1 at its limit with no
// third file, and a file that cannot be written leaves the lines on the
// terminal.
#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "qt/DevLogFile.h"
#include "qt/QtControls.h"

namespace lociview::qt::test {
namespace {

std::string contents(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return "(none)";
    return file.readAll().toStdString();
}

// Writes each line through the desktop's log and lets the event loop send it.
void logLines(std::initializer_list<const char*> lines) {
    StderrLog log;
    for (const char* line : lines) log.line(line);
    QCoreApplication::processEvents();
}

TEST(DevLogFileTest, LinesReachTheFileWhichTurnsOverAtItsLimit) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("log/lociview.log"));  // the folder is made
    DevLogFile file(path, 40);
    RedirectedStderr toFile(&file);

    logLines({"lane # 1", "bob== (6, 5)"});  // 22 bytes
    EXPECT_EQ(contents(path), "lane # 1\nbob== (6, 5)\n");

    logLines({"marked allele 150.00 in lane 1 as SCORED"});  // past the limit: a new file
    EXPECT_EQ(contents(path + ".1"), "lane # 1\nbob== (6, 5)\n");
    EXPECT_EQ(contents(path), "marked allele 150.00 in lane 1 as SCORED\n");

    logLines({"lane # 2"});  // the older file is replaced; two files at most
    EXPECT_EQ(contents(path + ".1"), "marked allele 150.00 in lane 1 as SCORED\n");
    EXPECT_EQ(contents(path), "lane # 2\n");
    EXPECT_EQ(contents(path + ".2"), "(none)");
}

TEST(DevLogFileTest, LinesGoToTheFallbackWhenTheFileCannotBeWritten) {
    QTemporaryDir dir;
    QFile blocker(dir.filePath(QStringLiteral("notafolder")));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    std::stringbuf terminal;
    DevLogFile file(blocker.fileName() + QStringLiteral("/lociview.log"), DevLogFile::defaultLimit, &terminal);
    RedirectedStderr toFile(&file);
    logLines({"lane # 1"});
    EXPECT_EQ(terminal.str(), "lane # 1\n");
}

}  // namespace
}  // namespace lociview::qt::test
