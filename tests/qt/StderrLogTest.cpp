// The desktop's developer log gathers lines and writes them in pieces: no
// line may be lost, cut or reordered, and none may wait past the end of
// the action that wrote it.
#include <QCoreApplication>
#include <gtest/gtest.h>

#include <iostream>
#include <sstream>
#include <string>

#include "qt/QtControls.h"

namespace lociview::qt {
namespace {

// Standard error caught in a string for the life of the object.
class CaughtStderr {
public:
    CaughtStderr() : old(std::cerr.rdbuf(caught.rdbuf())) {}
    ~CaughtStderr() { std::cerr.rdbuf(old); }
    std::string text() const { return caught.str(); }

private:
    std::ostringstream caught;
    std::streambuf* old;
};

TEST(StderrLogTest, LinesComeOutWhenTheEventLoopRunsAgain) {
    CaughtStderr err;
    StderrLog log;
    log.line("marked allele 100.00 in lane 1 as SCORED");
    log.line("");
    log.line("lane 2 is an empty lane");
    EXPECT_EQ(err.text(), "");  // still inside the action
    QCoreApplication::processEvents();
    EXPECT_EQ(err.text(), "marked allele 100.00 in lane 1 as SCORED\n\nlane 2 is an empty lane\n");
    log.line("next action");
    QCoreApplication::processEvents();
    EXPECT_EQ(err.text(), "marked allele 100.00 in lane 1 as SCORED\n\nlane 2 is an empty lane\nnext action\n");
}

TEST(StderrLogTest, ALongRunIsWrittenWholeAndInOrder) {
    CaughtStderr err;
    std::string expected;
    {
        StderrLog log;
        for (int i = 0; i < 20000; ++i) {
            const std::string line = "allele " + std::to_string(i) + " with height " + std::to_string(i % 977);
            log.line(line);
            expected += line + "\n";
        }
        EXPECT_GT(err.text().size(), 0u);            // large pieces go out during the run
        EXPECT_LT(err.text().size(), expected.size());
    }  // and the rest when the log goes, without an event loop
    EXPECT_EQ(err.text(), expected);
    QCoreApplication::processEvents();  // a queued flush of a gone log does nothing
    EXPECT_EQ(err.text(), expected);
}

}  // namespace
}  // namespace lociview::qt
