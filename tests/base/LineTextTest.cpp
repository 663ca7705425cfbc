// Splitting text into lines and the escaping rule of each kind of line.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "base/BufferedLog.h"
#include "base/LineText.h"

namespace lociview {
namespace {

std::vector<std::string> linesOf(std::string_view text) {
    std::vector<std::string> lines;
    forEachLine(text, [&](std::string_view line) { lines.emplace_back(line); });
    return lines;
}

TEST(LineTextTest, LinesEndAtLineFeedsAndALastLineWithoutOneCounts) {
    using Lines = std::vector<std::string>;
    EXPECT_EQ(linesOf(""), Lines{});
    EXPECT_EQ(linesOf("\n"), Lines{""});
    EXPECT_EQ(linesOf("a"), Lines{"a"});
    EXPECT_EQ(linesOf("a\n"), Lines{"a"});
    EXPECT_EQ(linesOf("a\n\nb\r\nc"), (Lines{"a", "", "b\r", "c"}));
}

TEST(LineTextTest, EachKindOfLineHasItsRule) {
    const std::string text = "a\tb\\c\nd\re";
    const struct {
        LineKind kind;
        const char* line;
    } cases[] = {
        {LineKind::DevLog, "a\tb\\c\\nd\\re"},
        {LineKind::Trace, "a\tb\\\\c\\nd\\re"},
        {LineKind::TraceExport, "a\tb\\c\\nd\re"},
        {LineKind::Message, "a\tb\\c d e"},
        {LineKind::Cell, "a b\\c d e"},
    };
    for (const auto& c : cases) EXPECT_EQ(escaped(text, c.kind), c.line) << static_cast<int>(c.kind);
    // What needs nothing is left as it is.
    for (const auto& c : cases) EXPECT_EQ(escaped("plain text", c.kind), "plain text");
    EXPECT_EQ(escaped("tab\tonly", LineKind::Cell), "tab only");
    EXPECT_EQ(escaped("back\\slash", LineKind::Trace), "back\\\\slash");
}

TEST(LineTextTest, BufferedLogWritesOneLinePerEntryWhenFlushed) {
    std::ostringstream out;
    {
        BufferedLog log(out);
        log.line("first");
        log.line("two\nlines");
        EXPECT_EQ(out.str(), "");  // held until flushed
        log.flush();
        EXPECT_EQ(out.str(), "first\ntwo\\nlines\n");
        log.line("last");
    }
    EXPECT_EQ(out.str(), "first\ntwo\\nlines\nlast\n");  // the rest at the end
}

// Lines put together in the buffer, handed over, escaped, near the longest
// placed, and longer than the buffer, in order across the pieces written.
TEST(LineTextTest, BufferedLogKeepsEveryLineInOrderAcrossPieces) {
    std::ostringstream out;
    std::string expected;
    const auto both = [&expected](std::string_view text) {
        expected.append(text);
        expected += '\n';
    };
    {
        BufferedLog log(out);
        const std::string longest(LogSink::kLineRoom - 1, 'y'), over(LogSink::kLineRoom, 'z'), huge(100000, 'x');
        for (int i = 0; i < 5000; ++i) {
            logf(log, "allele %lf with height %d", i * 0.25, i);
            both(format("allele %lf with height %d", i * 0.25, i));
            if (i % 1000 == 7) {
                log.line(huge);
                both(huge);
            }
            if (i % 700 == 3) {
                logf(log, "as %s", "a\nb");
                both("as a\\nb");
                logf(log, "%s", over.c_str());
                both(over);
            }
            if (i % 300 == 1) {
                log.writePlainLine(longest);
                both(longest);
                log.writePlainLine(over);
                both(over);
            }
        }
    }
    EXPECT_EQ(out.str(), expected);
}

}  // namespace
}  // namespace lociview
