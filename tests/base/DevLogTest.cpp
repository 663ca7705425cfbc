// A log format read when compiling: which argument types it takes, which
// lines are written without printf, and which hold nothing a sink escapes.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "base/DevLog.h"
#include "model/Allele.h"

namespace lociview {
namespace {

using logformat::ArgKind;
using logformat::argKind;

enum class Scoped : int { A };
static_assert(argKind<int32_t>() == ArgKind::Int && argKind<bool>() == ArgKind::Int && argKind<short>() == ArgKind::Int);
static_assert(argKind<ScoreCode>() == ArgKind::Int && argKind<Scoped>() == ArgKind::Other);
static_assert(argKind<size_t>() == ArgKind::UnsignedLong && argKind<int64_t>() == ArgKind::Long);
static_assert(argKind<long long>() == ArgKind::LongLong && argKind<unsigned>() == ArgKind::Unsigned);
static_assert(argKind<float>() == ArgKind::Real && argKind<char*>() == ArgKind::Text);
static_assert(argKind<const int*>() == ArgKind::Pointer && argKind<std::string>() == ArgKind::Other);

TEST(DevLogFormat, ConversionsAgainstArguments) {
    using K = ArgKind;
    const struct { const char* fmt; std::vector<K> args; bool matches, quick, plain; } cases[] = {
        {"lane # %d", {K::Int}, true, true, true},
        {"%d", {K::Unsigned}, true, true, true},  // signedness may differ, as for printf
        {"%d", {K::Long}, false, false, false},
        {"%d", {}, false, false, false},
        {"%d", {K::Int, K::Int}, false, false, false},
        {"%lf|%.2lf|%.0f", {K::Real, K::Real, K::Real}, true, true, true},
        {"%f", {K::Int}, false, false, false},
        {"as %s", {K::Text}, true, true, true},  // its text looked at when written
        {"%s", {K::Pointer}, false, false, false},
        {"%zu %ld %lld %u", {K::UnsignedLong, K::Long, K::LongLong, K::Unsigned}, true, true, true},
        {"%zu", {K::Int}, false, false, false},
        {"%lld", {K::Long}, false, false, false},
        {"%5d", {K::Int}, true, false, true},
        {"%-d", {K::Int}, true, false, true},
        {"%*d", {K::Int, K::Int}, true, false, true},
        {"%*d", {K::Long, K::Int}, false, false, false},
        {"%.*f", {K::Int, K::Real}, true, false, true},
        {"%.10f", {K::Real}, true, false, true},
        {"%.3d", {K::Int}, true, false, true},
        {"%.2s", {K::Text}, true, false, true},
        {"%hhd %hd", {K::Int, K::Int}, true, false, true},
        {"%g %e %x %c", {K::Real, K::Real, K::Unsigned, K::Int}, true, false, false},
        {"%p", {K::Pointer}, true, false, true},
        {"%Lf", {K::Real}, false, false, false},
        {"%lc", {K::Long}, false, false, false},
        {"%ls", {K::Text}, false, false, false},
        {"100%% of %d%%", {K::Int}, true, true, true},
        {"ends in %", {}, false, false, false},
        {"a\ttab", {}, true, true, false},
        {"a\\n", {}, true, true, false},
        {"%d%d%d%d", std::vector<K>(4, K::Int), true, true, true},
        {"%d%d%d%d%d", std::vector<K>(5, K::Int), true, false, true},  // more pieces than kept
    };
    for (const auto& c : cases) {
        const logformat::Parsed p = logformat::parse(c.fmt, c.args);
        EXPECT_EQ(std::tuple(p.matches, p.matches && p.quick, p.matches && p.plain), std::tuple(c.matches, c.quick, c.plain))
            << c.fmt;
    }
    // A piece's place in its format is a byte: a longer format goes to printf.
    char format[300];
    std::memset(format, 'x', sizeof format);
    for (const auto& [xs, quick] : {std::pair{253, true}, {254, false}}) {
        std::memcpy(format + xs, "%d", 3);
        EXPECT_EQ(logformat::parse(format, std::vector{K::Int}).quick, quick) << xs;
    }
}

struct Lines : LogSink {
    void line(std::string_view text) override { got.push_back("line " + std::string(text)); }
    void plainLine(std::string_view text) override { got.push_back("plain " + std::string(text)); }
    std::vector<std::string> got;
};

// A line known to need no escaping goes to the sink's plain way; a text
// argument that needs it, and any line printf writes, to its checked one.
TEST(DevLogFormat, PlainLinesSkipEscaping) {
    Lines log;
    const char* none = nullptr;
    logf(log, "lane # %d", 7);
    logf(log, "marked as %s", "MAYBE");
    logf(log, "marked as %s", "MAY\\BE");
    logf(log, "%5d", 7);
    logf(log, "text %s", none);
    logf(log, "%d%%", -3);
    EXPECT_EQ(log.got, (std::vector<std::string>{"plain lane # 7", "plain marked as MAYBE", "line marked as MAY\\BE",
                                                 "line     7", "line text (null)", "plain -3%"}));
}

}  // namespace
}  // namespace lociview
